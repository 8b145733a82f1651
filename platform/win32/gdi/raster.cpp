// The rasteriser: pixels, fills, raster-operation blits, lines, shapes,
// 3-D edges and DrawState.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "platform/win32/gdi/gdi_internal.h"
#include "platform/win32/system/system_colours.h"

namespace qv::gdi {

std::uint32_t Rop3(BYTE code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t r = 0;
  for (int i = 0; i < 8; ++i)
    if ((code >> i) & 1u) r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  return r;
}

namespace {

std::uint32_t Rop2(int mode, std::uint32_t p, std::uint32_t d) {
  const unsigned code = static_cast<unsigned>(mode - 1);
  std::uint32_t r = 0;
  for (int i = 0; i < 4; ++i)
    if ((code >> i) & 1u) r |= ((i & 2) ? p : ~p) & ((i & 1) ? d : ~d);
  return r;
}

bool UsesSource(BYTE rop) { return ((rop & 0xCC) >> 2) != (rop & 0x33); }
bool UsesPattern(BYTE rop) { return ((rop & 0xF0) >> 4) != (rop & 0x0F); }

// A colour in the surface's own terms: 0x00RRGGBB, or a monochrome index
// spread over all bits so that the boolean operations work alike.
std::uint32_t Native(const Pixels& s, COLORREF c) {
  if (s.bpp == 1) return s.MonoIndex(c) ? 0xFFFFFFFFu : 0u;
  return ToPixel(c);
}
std::uint32_t Read(const Pixels& s, int x, int y) {
  const std::uint32_t v = s.Get(x, y);
  return s.bpp == 1 ? (v ? 0xFFFFFFFFu : 0u) : v;
}

template <class F>
void ForEachClipped(const Region& clip, const RECT& r, F f) {
  RECT i;
  for (const RECT& c : clip.rects)
    if (IntersectRect(&i, &c, &r)) f(i);
}

RECT ToSurfaceRect(const QvDc& dc, const RECT& r) {
  const POINT a = ToSurface(dc, r.left, r.top);
  return RECT{a.x, a.y, a.x + (r.right - r.left), a.y + (r.bottom - r.top)};
}

// Pen pixels of a DC: colour, width and the ROP2, clipped.
struct PenPainter {
  QvDc& dc;
  Pixels* s;
  Region clip;
  RECT box;
  std::uint32_t colour = 0;
  int width = 1;
  bool none = false;

  explicit PenPainter(QvDc& d) : dc(d), s(d.Surface()), clip(EffectiveClip(d)), box(clip.Box()) {
    QvGdiObject* pen = Object(dc.st.pen, OBJ_PEN);
    none = !s || !pen || pen->pen.lopnStyle == PS_NULL || dc.st.rop2 == R2_NOP;
    if (none) return;
    const COLORREF c = pen->handle == GetStockObject(DC_PEN) ? dc.st.dcPen : pen->pen.lopnColor;
    colour = Native(*s, c);
    width = std::max<int>(1, pen->pen.lopnWidth.x);
  }
  void Dot(int x, int y) {
    if (x < box.left || x >= box.right || y < box.top || y >= box.bottom) return;
    if (!clip.Contains(x, y)) return;
    s->Set(x, y, Rop2(dc.st.rop2, colour, Read(*s, x, y)));
  }
  void Plot(int x, int y) {
    if (width == 1) return Dot(x, y);
    const int h = width / 2;
    for (int yy = y - h; yy < y - h + width; ++yy)
      for (int xx = x - h; xx < x - h + width; ++xx) Dot(xx, yy);
  }
  // Surface coordinates; the end point is not drawn.
  void Line(int x0, int y0, int x1, int y1) {
    if (none) return;
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
      Plot(x0, y0);
      const int e2 = 2 * err;
      if (e2 >= dy) err += dy, x0 += sx;
      if (e2 <= dx) err += dx, y0 += sy;
    }
  }
};

// Pixels of a shape (surface coordinates) filled with the brush, then the
// pixels of its outline with the pen.
void PaintShape(QvDc& dc, const RECT& box, const std::function<bool(int, int)>& inside,
                bool outlineWithPen) {
  Pixels* s = dc.Surface();
  if (!s || IsRectEmpty(&box)) return;
  PenPainter pen(dc);
  const Region clip = EffectiveClip(dc);
  QvGdiObject* brush = Brush(dc.st.brush);
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) {
      if (!inside(x, y)) continue;
      const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
      if (edge && outlineWithPen && !pen.none) {
        pen.Dot(x, y);
        continue;
      }
      if (!clip.Contains(x, y)) continue;
      if (auto c = BrushColour(dc, brush, x, y)) s->Set(x, y, Native(*s, *c));
    }
}

bool PenIsNull(const QvDc& dc) {
  QvGdiObject* pen = Object(dc.st.pen, OBJ_PEN);
  return !pen || pen->pen.lopnStyle == PS_NULL;
}

RECT Normalized(int l, int t, int r, int b) {
  return RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

// Source pixels converted to the destination's format, as Windows converts
// between colour and monochrome.
struct SourceReader {
  const QvDc& src;
  const QvDc& dst;
  const Pixels& s;
  const Pixels& d;
  std::uint32_t srcBk;
  std::uint32_t monoZero, monoOne;

  SourceReader(const QvDc& sdc, const QvDc& ddc, const Pixels& sp, const Pixels& dp)
      : src(sdc), dst(ddc), s(sp), d(dp), srcBk(ToPixel(sdc.st.bk)) {
    // A monochrome device bitmap takes the destination's text colour for 0
    // and its background colour for 1; a DIB section uses its colour table.
    monoZero = ToPixel(s.dib ? s.PaletteColour(0) : ddc.st.text);
    monoOne = ToPixel(s.dib ? s.PaletteColour(1) : ddc.st.bk);
  }
  std::uint32_t At(int x, int y) const {
    const std::uint32_t v = s.Get(x, y);
    if (s.bpp == 1 && d.bpp == 1) return v ? 0xFFFFFFFFu : 0u;
    if (s.bpp == 1) return v ? monoOne : monoZero;
    if (d.bpp == 1) return v == srcBk ? 0xFFFFFFFFu : 0u;  // the background colour becomes white
    return v;
  }
};

// Destination rectangle (surface) and a map from destination to source pixels.
BOOL Blit(QvDc& dst, const RECT& dstRect, QvDc* src, BYTE rop,
          const std::function<POINT(int, int)>& map) {
  Pixels* d = dst.Surface();
  if (!d) return FALSE;
  const Region clip = EffectiveClip(dst);
  QvGdiObject* brush = Brush(dst.st.brush);
  const bool needP = UsesPattern(rop);
  if (!UsesSource(rop)) src = nullptr;
  Pixels* s = src ? src->Surface() : nullptr;
  if (src && !s) return FALSE;
  // A blit within one surface reads from a copy, so overlapping moves work.
  Pixels copy;
  const Pixels* from = s;
  if (s && s == d) {
    copy.Allocate(s->width, s->height, s->bpp);
    copy.dib = s->dib;
    for (int y = 0; y < s->height; ++y)
      std::memcpy(copy.Row(y), s->Row(y), static_cast<std::size_t>(std::min(copy.stride, s->stride)));
    from = &copy;
  }
  std::optional<SourceReader> reader;
  if (from) reader.emplace(*src, dst, *from, *d);
  ForEachClipped(clip, dstRect, [&](const RECT& r) {
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        std::uint32_t sv = 0, pv = 0;
        if (reader) {
          const POINT q = map(x, y);
          if (q.x < 0 || q.y < 0 || q.x >= from->width || q.y >= from->height) continue;
          sv = reader->At(q.x, q.y);
        }
        if (needP) {
          const auto c = BrushColour(dst, brush, x, y);
          if (!c) continue;  // a hollow brush paints nothing
          pv = Native(*d, *c);
        }
        d->Set(x, y, Rop3(rop, pv, sv, Read(*d, x, y)));
      }
  });
  return TRUE;
}

}  // namespace

std::optional<COLORREF> BrushColour(const QvDc& dc, const QvGdiObject* brush, int x, int y) {
  if (!brush) return std::nullopt;
  switch (brush->brush.lbStyle) {
    case BS_SOLID:
      return brush->handle == GetStockObject(DC_BRUSH) ? dc.st.dcBrush : brush->brush.lbColor;
    case BS_PATTERN: {
      const Pixels& p = *brush->pattern;
      const int px = ((x % p.width) + p.width) % p.width, py = ((y % p.height) + p.height) % p.height;
      const std::uint32_t v = p.Get(px, py);
      if (p.bpp == 32) return FromPixel(v);
      if (p.dib) return p.PaletteColour(v);
      return v ? dc.st.bk : dc.st.text;
    }
    default: return std::nullopt;
  }
}

void FillWithBrush(QvDc& dc, const RECT& logical, const QvGdiObject* brush, BYTE rop3) {
  if (IsRectEmpty(&logical)) return;
  Pixels* s = dc.Surface();
  if (!s) return;
  const RECT r = ToSurfaceRect(dc, logical);
  const Region clip = EffectiveClip(dc);
  const bool needP = UsesPattern(rop3);
  if (needP && brush && brush->brush.lbStyle == BS_SOLID) {
    // A solid brush gives every pixel the same colour: look it up once.
    const std::uint32_t pv = Native(*s, *BrushColour(dc, brush, 0, 0));
    const std::uint32_t stored = (pv & 0xFFFFFFu) | s->alphaFill;
    ForEachClipped(clip, r, [&](const RECT& c) {
      for (int y = c.top; y < c.bottom; ++y) {
        if (rop3 == 0xF0 && s->bpp == 32) {
          auto* row = reinterpret_cast<std::uint32_t*>(s->Row(y));
          std::fill(row + c.left, row + c.right, stored);
          continue;
        }
        for (int x = c.left; x < c.right; ++x)
          s->Set(x, y, rop3 == 0xF0 ? pv : Rop3(rop3, pv, 0, Read(*s, x, y)));
      }
    });
    return;
  }
  ForEachClipped(clip, r, [&](const RECT& c) {
    for (int y = c.top; y < c.bottom; ++y)
      for (int x = c.left; x < c.right; ++x) {
        std::uint32_t pv = 0;
        if (needP) {
          const auto colour = BrushColour(dc, brush, x, y);
          if (!colour) return;
          pv = Native(*s, *colour);
        }
        s->Set(x, y, Rop3(rop3, pv, 0, Read(*s, x, y)));
      }
  });
}

void FillSolid(QvDc& dc, const RECT& logical, COLORREF colour) {
  Pixels* s = dc.Surface();
  if (!s || IsRectEmpty(&logical)) return;
  const std::uint32_t v = Native(*s, colour);
  ForEachClipped(EffectiveClip(dc), ToSurfaceRect(dc, logical), [&](const RECT& c) {
    for (int y = c.top; y < c.bottom; ++y)
      for (int x = c.left; x < c.right; ++x) s->Set(x, y, v);
  });
}

}  // namespace qv::gdi

using namespace qv::gdi;

COLORREF GetPixel(HDC h, int x, int y) {
  QvDc* dc = Dc(h);
  Pixels* s = dc ? dc->Surface() : nullptr;
  if (!s) return CLR_INVALID;
  const POINT p = ToSurface(*dc, x, y);
  if (!EffectiveClip(*dc).Contains(p.x, p.y)) return CLR_INVALID;
  const std::uint32_t v = s->Get(p.x, p.y);
  return s->bpp == 1 ? s->PaletteColour(v) : FromPixel(v);
}

COLORREF SetPixel(HDC h, int x, int y, COLORREF c) {
  QvDc* dc = Dc(h);
  Pixels* s = dc ? dc->Surface() : nullptr;
  if (!s) return CLR_INVALID;
  const POINT p = ToSurface(*dc, x, y);
  if (!EffectiveClip(*dc).Contains(p.x, p.y)) return CLR_INVALID;
  s->Set(p.x, p.y, s->bpp == 1 ? s->MonoIndex(c) : ToPixel(c));
  return s->bpp == 1 ? s->PaletteColour(s->MonoIndex(c)) : (c & 0xFFFFFFu);
}

BOOL SetPixelV(HDC h, int x, int y, COLORREF c) { return SetPixel(h, x, y, c) != CLR_INVALID; }

int FillRect(HDC h, const RECT* r, HBRUSH brush) {
  QvDc* dc = Dc(h);
  QvGdiObject* b = Brush(brush);
  if (!dc || !r || !b) return FALSE;
  FillWithBrush(*dc, *r, b, 0xF0);
  return TRUE;
}

int FrameRect(HDC h, const RECT* r, HBRUSH brush) {
  QvDc* dc = Dc(h);
  QvGdiObject* b = Brush(brush);
  if (!dc || !r || !b) return FALSE;
  if (IsRectEmpty(r)) return TRUE;
  FillWithBrush(*dc, RECT{r->left, r->top, r->right, r->top + 1}, b, 0xF0);
  FillWithBrush(*dc, RECT{r->left, r->bottom - 1, r->right, r->bottom}, b, 0xF0);
  FillWithBrush(*dc, RECT{r->left, r->top, r->left + 1, r->bottom}, b, 0xF0);
  FillWithBrush(*dc, RECT{r->right - 1, r->top, r->right, r->bottom}, b, 0xF0);
  return TRUE;
}

BOOL InvertRect(HDC h, const RECT* r) {
  QvDc* dc = Dc(h);
  if (!dc || !r) return FALSE;
  FillWithBrush(*dc, *r, nullptr, 0x55);
  return TRUE;
}

BOOL FillRgn(HDC h, HRGN rgn, HBRUSH brush) {
  QvDc* dc = Dc(h);
  QvGdiObject* r = Object(rgn, OBJ_REGION);
  QvGdiObject* b = Brush(brush);
  if (!dc || !r || !b) return FALSE;
  for (const RECT& rc : r->region.rects) FillWithBrush(*dc, rc, b, 0xF0);
  return TRUE;
}

BOOL PaintRgn(HDC h, HRGN rgn) {
  QvDc* dc = Dc(h);
  return dc ? FillRgn(h, rgn, dc->st.brush) : FALSE;
}

BOOL FrameRgn(HDC h, HRGN rgn, HBRUSH brush, int w, int hgt) {
  QvDc* dc = Dc(h);
  QvGdiObject* r = Object(rgn, OBJ_REGION);
  QvGdiObject* b = Brush(brush);
  if (!dc || !r || !b || w < 0 || hgt < 0) return FALSE;
  // The frame is the region less its inside: the region eroded by w and h.
  Region inner = r->region;
  for (const POINT d : {POINT{w, 0}, POINT{-w, 0}, POINT{0, hgt}, POINT{0, -hgt}}) {
    Region shifted = r->region;
    shifted.Offset(d.x, d.y);
    inner = Region::Combine(inner, shifted, RGN_AND);
  }
  for (const RECT& rc : Region::Combine(r->region, inner, RGN_DIFF).rects)
    FillWithBrush(*dc, rc, b, 0xF0);
  return TRUE;
}

BOOL DrawFocusRect(HDC h, const RECT* r) {
  QvDc* dc = Dc(h);
  Pixels* s = dc ? dc->Surface() : nullptr;
  if (!s || !r) return FALSE;
  if (IsRectEmpty(r)) return TRUE;
  const RECT d = ToSurfaceRect(*dc, *r);
  const Region clip = EffectiveClip(*dc);
  auto flip = [&](int x, int y) {
    if (((x + y) & 1) == 0 && clip.Contains(x, y)) s->Set(x, y, ~Read(*s, x, y));
  };
  for (int x = d.left; x < d.right; ++x) {
    flip(x, d.top);
    if (d.bottom - 1 > d.top) flip(x, d.bottom - 1);
  }
  for (int y = d.top + 1; y < d.bottom - 1; ++y) {
    flip(d.left, y);
    if (d.right - 1 > d.left) flip(d.right - 1, y);
  }
  return TRUE;
}

BOOL DrawEdge(HDC h, RECT* r, UINT edge, UINT flags) {
  QvDc* dc = Dc(h);
  if (!dc || !r) return FALSE;
  RECT rc = *r;
  struct Line {
    UINT bit;
    int tl, br;
  };
  // Outer ring first, then the inner one.
  const Line rings[2][2] = {
      {{BDR_RAISEDOUTER, COLOR_3DLIGHT, COLOR_3DDKSHADOW}, {BDR_SUNKENOUTER, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT}},
      {{BDR_RAISEDINNER, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW}, {BDR_SUNKENINNER, COLOR_3DDKSHADOW, COLOR_3DLIGHT}},
  };
  for (int ring = 0; ring < 2; ++ring) {
    const Line* line = nullptr;
    for (const Line& l : rings[ring])
      if (edge & l.bit) line = &l;
    if (!line || IsRectEmpty(&rc)) continue;
    COLORREF tl = GetSysColor(line->tl), br = GetSysColor(line->br);
    if (flags & BF_MONO) tl = br = GetSysColor(COLOR_WINDOWFRAME);
    if (flags & BF_FLAT) tl = br = GetSysColor(ring == 0 ? COLOR_BTNSHADOW : COLOR_BTNFACE);
    if (flags & BF_TOP) FillSolid(*dc, RECT{rc.left, rc.top, rc.right, rc.top + 1}, tl);
    if (flags & BF_LEFT) FillSolid(*dc, RECT{rc.left, rc.top, rc.left + 1, rc.bottom}, tl);
    if (flags & BF_BOTTOM) FillSolid(*dc, RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom}, br);
    if (flags & BF_RIGHT) FillSolid(*dc, RECT{rc.right - 1, rc.top, rc.right, rc.bottom}, br);
    if (flags & BF_TOP) ++rc.top;
    if (flags & BF_LEFT) ++rc.left;
    if (flags & BF_BOTTOM) --rc.bottom;
    if (flags & BF_RIGHT) --rc.right;
  }
  if (flags & BF_MIDDLE) FillSolid(*dc, rc, GetSysColor((flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
  if (flags & BF_ADJUST) *r = rc;
  return TRUE;
}

BOOL MoveToEx(HDC h, int x, int y, POINT* old) {
  QvDc* dc = Dc(h);
  if (!dc) return FALSE;
  if (old) *old = dc->st.position;
  dc->st.position = POINT{x, y};
  return TRUE;
}

BOOL GetCurrentPositionEx(HDC h, POINT* p) {
  QvDc* dc = Dc(h);
  if (!dc || !p) return FALSE;
  *p = dc->st.position;
  return TRUE;
}

BOOL LineTo(HDC h, int x, int y) {
  QvDc* dc = Dc(h);
  if (!dc) return FALSE;
  const POINT a = ToSurface(*dc, dc->st.position.x, dc->st.position.y);
  const POINT b = ToSurface(*dc, x, y);
  PenPainter(*dc).Line(a.x, a.y, b.x, b.y);
  dc->st.position = POINT{x, y};
  return TRUE;
}

BOOL Polyline(HDC h, const POINT* pts, int count) {
  QvDc* dc = Dc(h);
  if (!dc || !pts || count < 2) return FALSE;
  PenPainter pen(*dc);
  for (int i = 0; i + 1 < count; ++i) {
    const POINT a = ToSurface(*dc, pts[i].x, pts[i].y), b = ToSurface(*dc, pts[i + 1].x, pts[i + 1].y);
    pen.Line(a.x, a.y, b.x, b.y);
  }
  return TRUE;
}

BOOL Polygon(HDC h, const POINT* pts, int count) {
  QvDc* dc = Dc(h);
  Pixels* s = dc ? dc->Surface() : nullptr;
  if (!s || !pts || count < 2) return FALSE;
  std::vector<POINT> p(static_cast<std::size_t>(count));
  RECT box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int i = 0; i < count; ++i) {
    p[static_cast<std::size_t>(i)] = ToSurface(*dc, pts[i].x, pts[i].y);
    box.left = std::min(box.left, p[static_cast<std::size_t>(i)].x);
    box.top = std::min(box.top, p[static_cast<std::size_t>(i)].y);
    box.right = std::max(box.right, p[static_cast<std::size_t>(i)].x);
    box.bottom = std::max(box.bottom, p[static_cast<std::size_t>(i)].y);
  }
  const Region clip = EffectiveClip(*dc);
  RECT visible = clip.Box();
  IntersectRect(&visible, &visible, &box);
  // Interior: pixel centres inside the outline, by the DC's fill mode.
  QvGdiObject* brush = Brush(dc->st.brush);
  for (int y = visible.top; y < visible.bottom; ++y) {
    const double cy = y + 0.5;
    std::vector<std::pair<double, int>> xs;
    for (std::size_t i = 0; i < p.size(); ++i) {
      const POINT a = p[i], b = p[(i + 1) % p.size()];
      if ((a.y <= cy) == (b.y <= cy)) continue;
      xs.emplace_back(a.x + (cy - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y), b.y > a.y ? 1 : -1);
    }
    std::sort(xs.begin(), xs.end());
    int winding = 0;
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
      winding += xs[i].second;
      const bool in = dc->st.polyFill == WINDING ? winding != 0 : (i % 2) == 0;
      if (!in) continue;
      for (int x = static_cast<int>(std::ceil(xs[i].first - 0.5)); x + 0.5 < xs[i + 1].first; ++x) {
        if (!clip.Contains(x, y)) continue;
        if (auto c = BrushColour(*dc, brush, x, y)) s->Set(x, y, Native(*s, *c));
      }
    }
  }
  PenPainter pen(*dc);
  for (std::size_t i = 0; i < p.size(); ++i) {
    const POINT a = p[i], b = p[(i + 1) % p.size()];
    pen.Line(a.x, a.y, b.x, b.y);
  }
  return TRUE;
}

BOOL Rectangle(HDC h, int l, int t, int r, int b) {
  QvDc* dc = Dc(h);
  if (!dc) return FALSE;
  RECT n = Normalized(l, t, r, b);
  if (PenIsNull(*dc)) {
    // Without a pen the filled area is one pixel smaller on the right and bottom.
    FillWithBrush(*dc, RECT{n.left, n.top, n.right - 1, n.bottom - 1}, Brush(dc->st.brush), 0xF0);
    return TRUE;
  }
  if (n.right - n.left < 2 || n.bottom - n.top < 2) return TRUE;
  FillWithBrush(*dc, RECT{n.left + 1, n.top + 1, n.right - 1, n.bottom - 1}, Brush(dc->st.brush), 0xF0);
  PenPainter pen(*dc);
  const POINT a = ToSurface(*dc, n.left, n.top), z = ToSurface(*dc, n.right - 1, n.bottom - 1);
  pen.Line(a.x, a.y, z.x, a.y);
  pen.Line(z.x, a.y, z.x, z.y);
  pen.Line(z.x, z.y, a.x, z.y);
  pen.Line(a.x, z.y, a.x, a.y);
  return TRUE;
}

BOOL RoundRect(HDC h, int l, int t, int r, int b, int w, int hgt) {
  QvDc* dc = Dc(h);
  if (!dc) return FALSE;
  RECT n = Normalized(l, t, r, b);
  if (PenIsNull(*dc)) --n.right, --n.bottom;
  const POINT a = ToSurface(*dc, n.left, n.top);
  const RECT box{a.x, a.y, a.x + (n.right - n.left), a.y + (n.bottom - n.top)};
  const double rx = std::min<double>(std::abs(w), box.right - box.left) / 2.0;
  const double ry = std::min<double>(std::abs(hgt), box.bottom - box.top) / 2.0;
  auto inside = [&](int x, int y) {
    if (x < box.left || x >= box.right || y < box.top || y >= box.bottom) return false;
    if (rx <= 0 || ry <= 0) return true;
    const double px = x + 0.5, py = y + 0.5;
    const double cx = std::clamp(px, box.left + rx, box.right - rx);
    const double cy = std::clamp(py, box.top + ry, box.bottom - ry);
    const double ex = (px - cx) / rx, ey = (py - cy) / ry;
    return ex * ex + ey * ey <= 1.0;
  };
  PaintShape(*dc, box, inside, true);
  return TRUE;
}

BOOL Ellipse(HDC h, int l, int t, int r, int b) {
  const RECT n = Normalized(l, t, r, b);
  return RoundRect(h, n.left, n.top, n.right, n.bottom, n.right - n.left, n.bottom - n.top);
}

BOOL PatBlt(HDC h, int x, int y, int w, int hgt, DWORD rop) {
  QvDc* dc = Dc(h);
  if (!dc) return FALSE;
  const BYTE code = static_cast<BYTE>((rop >> 16) & 0xFF);
  if (UsesSource(code)) return FALSE;
  FillWithBrush(*dc, Normalized(x, y, x + w, y + hgt), Brush(dc->st.brush), code);
  return TRUE;
}

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
  QvDc* d = Dc(dst);
  if (!d) return FALSE;
  const BYTE code = static_cast<BYTE>((rop >> 16) & 0xFF);
  QvDc* s = Dc(src);
  if (UsesSource(code) && !s) return FALSE;
  if (w <= 0 || h <= 0) return TRUE;
  const POINT dp = ToSurface(*d, x, y);
  const POINT sp = s ? ToSurface(*s, sx, sy) : POINT{0, 0};
  const RECT dr{dp.x, dp.y, dp.x + w, dp.y + h};
  Pixels* dpix = d->Surface();
  Pixels* spix = s ? s->Surface() : nullptr;
  if (code == 0xCC && dpix && spix && dpix != spix && dpix->bpp == 32 && spix->bpp == 32) {
    // A plain copy between two colour surfaces: the pixels row by row, each
    // row cut to the part that has source pixels.
    const int ox = sp.x - dp.x, oy = sp.y - dp.y;
    const std::uint32_t alpha = dpix->alphaFill;
    ForEachClipped(EffectiveClip(*d), dr, [&](const RECT& c) {
      const int x0 = std::max(c.left, -ox), x1 = std::min(c.right, spix->width - ox);
      if (x0 >= x1) return;
      for (int y = c.top; y < c.bottom; ++y) {
        const int qy = y + oy;
        if (qy < 0 || qy >= spix->height) continue;
        const auto* from = reinterpret_cast<const std::uint32_t*>(spix->Row(qy));
        auto* to = reinterpret_cast<std::uint32_t*>(dpix->Row(y));
        for (int x = x0; x < x1; ++x) to[x] = (from[x + ox] & 0xFFFFFFu) | alpha;
      }
    });
    return TRUE;
  }
  return Blit(*d, dr, s, code,
              [&](int px, int py) { return POINT{sp.x + (px - dp.x), sp.y + (py - dp.y)}; });
}

BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                DWORD rop) {
  QvDc* d = Dc(dst);
  if (!d) return FALSE;
  const BYTE code = static_cast<BYTE>((rop >> 16) & 0xFF);
  QvDc* s = Dc(src);
  if (UsesSource(code) && !s) return FALSE;
  if (w == 0 || h == 0 || (s && (sw == 0 || sh == 0))) return TRUE;
  const RECT dl = Normalized(x, y, x + w, y + h);
  const RECT sl = Normalized(sx, sy, sx + sw, sy + sh);
  const POINT dp = ToSurface(*d, dl.left, dl.top);
  const POINT sp = s ? ToSurface(*s, sl.left, sl.top) : POINT{0, 0};
  const int dw = dl.right - dl.left, dh = dl.bottom - dl.top;
  const int aw = sl.right - sl.left, ah = sl.bottom - sl.top;
  const bool mirrorX = (w < 0) != (sw < 0), mirrorY = (h < 0) != (sh < 0);
  return Blit(*d, RECT{dp.x, dp.y, dp.x + dw, dp.y + dh}, s, code, [&](int px, int py) {
    // Nearest source pixel to the destination pixel's centre.
    int jx = static_cast<int>((2LL * (px - dp.x) + 1) * aw / (2LL * dw));
    int jy = static_cast<int>((2LL * (py - dp.y) + 1) * ah / (2LL * dh));
    if (mirrorX) jx = aw - 1 - jx;
    if (mirrorY) jy = ah - 1 - jy;
    return POINT{sp.x + jx, sp.y + jy};
  });
}

namespace {
DRAWSTATEPROC g_iconPainter = nullptr;
DRAWSTATEICONSIZEPROC g_iconSize = nullptr;
}  // namespace

void SetDrawStateIconSupport(DRAWSTATEPROC draw, DRAWSTATEICONSIZEPROC size) {
  g_iconPainter = draw;
  g_iconSize = size;
}

BOOL DrawStateA(HDC h, HBRUSH brush, DRAWSTATEPROC proc, LPARAM lData, WPARAM wData, int x, int y,
                int cx, int cy, UINT flags) {
  QvDc* dc = Dc(h);
  if (!dc) return FALSE;
  if ((flags & 0xF) == DST_ICON) {
    // An icon is a complex picture drawn by the icon support.
    int iw = 0, ih = 0;
    if (!g_iconPainter || !g_iconSize || !g_iconSize(lData, &iw, &ih)) return FALSE;
    if ((flags & (DSS_DISABLED | DSS_MONO)) == 0) {
      // A plain icon keeps its transparent pixels: drawn in place, not as a picture.
      POINT old{};
      OffsetViewportOrgEx(h, x, y, &old);
      const BOOL ok = g_iconPainter(h, lData, wData, cx ? cx : iw, cy ? cy : ih);
      SetViewportOrgEx(h, old.x, old.y, nullptr);
      return ok;
    }
    return DrawStateA(h, brush, g_iconPainter, lData, wData, x, y, cx ? cx : iw, cy ? cy : ih,
                      (flags & ~0xFu) | DST_COMPLEX);
  }
  const UINT type = flags & 0xF;
  if (type != DST_BITMAP && type != DST_COMPLEX) return FALSE;
  HBITMAP bmp = type == DST_BITMAP ? reinterpret_cast<HBITMAP>(lData) : nullptr;
  if (type == DST_BITMAP) {
    QvGdiObject* b = Object(bmp, OBJ_BITMAP);
    if (!b) return FALSE;
    if (cx == 0) cx = b->bitmap->width;
    if (cy == 0) cy = b->bitmap->height;
  }
  if (type == DST_COMPLEX && !proc) return FALSE;
  if (cx <= 0 || cy <= 0) return TRUE;
  // The picture in a 32-bit bitmap on white.
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP pic = CreateBitmap(cx, cy, 1, 32, nullptr);
  HGDIOBJ oldPic = SelectObject(mem, pic);
  PatBlt(mem, 0, 0, cx, cy, WHITENESS);
  if (type == DST_BITMAP) {
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(src, bmp);
    BitBlt(mem, 0, 0, cx, cy, src, 0, 0, SRCCOPY);
    SelectObject(src, old);
    DeleteDC(src);
  } else {
    proc(mem, lData, wData, cx, cy);
  }
  if ((flags & (DSS_DISABLED | DSS_MONO)) == 0) {
    BitBlt(h, x, y, cx, cy, mem, 0, 0, SRCCOPY);
  } else {
    // Ink: every pixel clearly darker than white.
    const Pixels& p = *Object(pic, OBJ_BITMAP)->bitmap;
    auto ink = [&](int px, int py) {
      const std::uint32_t v = p.Get(px, py);
      return ((v >> 16) & 0xFF) + ((v >> 8) & 0xFF) + (v & 0xFF) < 3u * 0xC0u;
    };
    auto paint = [&](int ox, int oy, COLORREF c) {
      for (int py = 0; py < cy; ++py)
        for (int px = 0; px < cx; ++px)
          if (ink(px, py)) SetPixelV(h, x + px + ox, y + py + oy, c);
    };
    if (flags & DSS_DISABLED) {
      paint(1, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
      paint(0, 0, GetSysColor(COLOR_BTNSHADOW));
    } else {
      QvGdiObject* b = Brush(brush ? brush : dc->st.brush);
      paint(0, 0, b && b->brush.lbStyle == BS_SOLID ? b->brush.lbColor : dc->st.text);
    }
  }
  SelectObject(mem, oldPic);
  DeleteObject(pic);
  DeleteDC(mem);
  return TRUE;
}
