// Device contexts: creation, selected objects, attributes, coordinates and
// clipping; DCs over caller-owned pixels and pixels as QImages.

#include <algorithm>
#include <cstring>

#include "platform/win32/gdi/gdi_internal.h"
#include "platform/win32/gdi/gdi_qt.h"
#include "platform/win32/system/system_metrics.h"

namespace qv::gdi {
namespace {

QvDc* NewDc(bool memory) {
  auto* dc = new QvDc;
  dc->memory = memory;
  dc->st.pen = GetStockObject(BLACK_PEN);
  dc->st.brush = GetStockObject(WHITE_BRUSH);
  dc->st.font = GetStockObject(SYSTEM_FONT);
  Hold(dc->st.pen);
  Hold(dc->st.brush);
  Hold(dc->st.font);
  if (memory) {
    dc->bitmap = DefaultBitmap();
    Hold(dc->bitmap);
  }
  RegisterDc(dc);
  return dc;
}

void HoldState(const DcState& s) {
  Hold(s.pen);
  Hold(s.brush);
  Hold(s.font);
}
void ReleaseState(const DcState& s) {
  Release(s.pen);
  Release(s.brush);
  Release(s.font);
}

// The clip region after an operation of the RGN_ modes with `r` (device).
int ApplyClip(QvDc& dc, const Region& r, int mode) {
  if (mode == RGN_COPY) {
    dc.st.clip = r;
  } else if (!dc.st.clip) {
    // No clip region yet: the whole surface is the first operand.
    Pixels* s = dc.Surface();
    RECT all{-dc.surfaceOrigin.x, -dc.surfaceOrigin.y, (s ? s->width : 0) - dc.surfaceOrigin.x,
             (s ? s->height : 0) - dc.surfaceOrigin.y};
    dc.st.clip = Region::Combine(Region::FromRect(all), r, mode);
  } else {
    dc.st.clip = Region::Combine(*dc.st.clip, r, mode);
  }
  return EffectiveClip(dc).Type();
}

RECT LogicalToDevice(const QvDc& dc, int l, int t, int r, int b) {
  const int dx = dc.st.viewportOrg.x - dc.st.windowOrg.x;
  const int dy = dc.st.viewportOrg.y - dc.st.windowOrg.y;
  return RECT{std::min(l, r) + dx, std::min(t, b) + dy, std::max(l, r) + dx, std::max(t, b) + dy};
}

}  // namespace

POINT ToSurface(const QvDc& dc, int x, int y) {
  return POINT{x - dc.st.windowOrg.x + dc.st.viewportOrg.x + dc.surfaceOrigin.x,
               y - dc.st.windowOrg.y + dc.st.viewportOrg.y + dc.surfaceOrigin.y};
}

Region EffectiveClip(const QvDc& dc) {
  Pixels* s = dc.Surface();
  if (!s) return Region{};
  Region r = Region::FromRect(RECT{0, 0, s->width, s->height});
  if (dc.visible) r = Region::Combine(r, *dc.visible, RGN_AND);
  if (dc.st.clip) {
    Region c = *dc.st.clip;
    c.Offset(dc.surfaceOrigin.x, dc.surfaceOrigin.y);
    r = Region::Combine(r, c, RGN_AND);
  }
  return r;
}

}  // namespace qv::gdi

using namespace qv::gdi;

qv::gdi::Pixels* QvDc::Surface() const {
  if (!memory) return external.get();
  QvGdiObject* b = Object(bitmap, OBJ_BITMAP);
  return b ? b->bitmap.get() : nullptr;
}

HDC CreateCompatibleDC(HDC dc) {
  if (dc && !Dc(dc)) return nullptr;
  return NewDc(true)->handle;
}

BOOL DeleteDC(HDC h) {
  QvDc* dc = Dc(h);
  if (!dc) return FALSE;
  UnregisterDc(dc);
  ReleaseState(dc->st);
  for (const DcState& s : dc->saved) ReleaseState(s);
  if (dc->memory) Release(dc->bitmap);
  if (dc->permanent) dc->permanent->m_hDC = dc->permanent->m_hAttribDC = nullptr;
  if (dc->temporary) dc->temporary->m_hDC = dc->temporary->m_hAttribDC = nullptr;
  delete dc;
  return TRUE;
}

HGDIOBJ SelectObject(HDC h, HGDIOBJ obj) {
  QvDc* dc = Dc(h);
  QvGdiObject* o = obj ? Object(obj) : nullptr;
  if (!dc || !o || o->deletePending) return nullptr;
  HGDIOBJ* slot = nullptr;
  switch (o->type) {
    case OBJ_PEN: slot = &dc->st.pen; break;
    case OBJ_BRUSH: slot = &dc->st.brush; break;
    case OBJ_FONT: slot = &dc->st.font; break;
    case OBJ_REGION:
      return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(SelectClipRgn(h, obj)));
    case OBJ_BITMAP:
      if (!dc->memory) return nullptr;
      if (!o->stock && o->selectedIn && o->selectedIn != dc) return nullptr;
      o->selectedIn = dc;
      slot = &dc->bitmap;
      break;
    default: return nullptr;
  }
  HGDIOBJ old = *slot;
  if (old == obj) return old;
  Hold(obj);
  *slot = obj;
  Release(old);
  return old;
}

HGDIOBJ GetCurrentObject(HDC h, UINT type) {
  QvDc* dc = Dc(h);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_PEN: return dc->st.pen;
    case OBJ_BRUSH: return dc->st.brush;
    case OBJ_FONT: return dc->st.font;
    case OBJ_BITMAP: return dc->memory ? dc->bitmap : nullptr;
    default: return nullptr;
  }
}

int SaveDC(HDC h) {
  QvDc* dc = Dc(h);
  if (!dc) return 0;
  HoldState(dc->st);
  dc->saved.push_back(dc->st);
  return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC h, int saved) {
  QvDc* dc = Dc(h);
  if (!dc) return FALSE;
  const int n = static_cast<int>(dc->saved.size());
  const int level = saved < 0 ? n + 1 + saved : saved;
  if (level < 1 || level > n) return FALSE;
  ReleaseState(dc->st);
  dc->st = dc->saved[static_cast<std::size_t>(level - 1)];
  // The restored state's holds move to the current state; the newer ones go.
  for (int i = level; i < n; ++i) ReleaseState(dc->saved[static_cast<std::size_t>(i)]);
  dc->saved.resize(static_cast<std::size_t>(level - 1));
  return TRUE;
}

int GetDeviceCaps(HDC, int index) {
  switch (index) {
    case LOGPIXELSX: case LOGPIXELSY: return 96;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case HORZRES: return GetSystemMetrics(SM_CXSCREEN);
    case VERTRES: return GetSystemMetrics(SM_CYSCREEN);
    case NUMCOLORS: return -1;
    case RASTERCAPS: return 0x7E99;  // bitblt, stretchblt, DIBs, big fonts
    case TECHNOLOGY: return 1;       // raster display
    default: return 0;
  }
}

#define QV_DC_ATTRIBUTE(Set, Get, Type, field, invalid, check)      \
  Type Set(HDC h, Type v) {                                         \
    QvDc* dc = Dc(h);                                               \
    if (!dc || !(check)) return invalid;                            \
    Type old = dc->st.field;                                        \
    dc->st.field = v;                                               \
    return old;                                                     \
  }                                                                 \
  Type Get(HDC h) {                                                 \
    QvDc* dc = Dc(h);                                               \
    return dc ? dc->st.field : invalid;                             \
  }

QV_DC_ATTRIBUTE(SetTextColor, GetTextColor, COLORREF, text, CLR_INVALID, (v & 0xFF000000u) == 0)
QV_DC_ATTRIBUTE(SetBkColor, GetBkColor, COLORREF, bk, CLR_INVALID, (v & 0xFF000000u) == 0)
QV_DC_ATTRIBUTE(SetBkMode, GetBkMode, int, bkMode, 0, v == TRANSPARENT || v == OPAQUE)
QV_DC_ATTRIBUTE(SetROP2, GetROP2, int, rop2, 0, v >= R2_BLACK && v <= R2_WHITE)
QV_DC_ATTRIBUTE(SetPolyFillMode, GetPolyFillMode, int, polyFill, 0, v == ALTERNATE || v == WINDING)
QV_DC_ATTRIBUTE(SetStretchBltMode, GetStretchBltMode, int, stretchMode, 0, v >= 1 && v <= 4)
QV_DC_ATTRIBUTE(SetTextAlign, GetTextAlign, UINT, textAlign, 0xFFFFFFFFu, true)
#undef QV_DC_ATTRIBUTE

namespace {
COLORREF SwapColour(HDC h, COLORREF DcState::*field, COLORREF c) {
  QvDc* dc = Dc(h);
  if (!dc) return CLR_INVALID;
  const COLORREF old = dc->st.*field;
  dc->st.*field = c & 0xFFFFFFu;
  return old;
}
}  // namespace

COLORREF SetDCBrushColor(HDC h, COLORREF c) { return SwapColour(h, &DcState::dcBrush, c); }
COLORREF SetDCPenColor(HDC h, COLORREF c) { return SwapColour(h, &DcState::dcPen, c); }

int SetMapMode(HDC h, int mode) {
  QvDc* dc = Dc(h);
  if (!dc || mode != MM_TEXT) return 0;
  return MM_TEXT;
}
int GetMapMode(HDC h) { return Dc(h) ? MM_TEXT : 0; }

namespace {
BOOL SetOrigin(HDC h, POINT DcState::*which, int x, int y, bool relative, POINT* old) {
  QvDc* dc = Dc(h);
  if (!dc) return FALSE;
  POINT& p = dc->st.*which;
  if (old) *old = p;
  p = relative ? POINT{p.x + x, p.y + y} : POINT{x, y};
  return TRUE;
}
}  // namespace

BOOL SetWindowOrgEx(HDC h, int x, int y, POINT* old) {
  return SetOrigin(h, &DcState::windowOrg, x, y, false, old);
}
BOOL SetViewportOrgEx(HDC h, int x, int y, POINT* old) {
  return SetOrigin(h, &DcState::viewportOrg, x, y, false, old);
}
BOOL OffsetWindowOrgEx(HDC h, int dx, int dy, POINT* old) {
  return SetOrigin(h, &DcState::windowOrg, dx, dy, true, old);
}
BOOL OffsetViewportOrgEx(HDC h, int dx, int dy, POINT* old) {
  return SetOrigin(h, &DcState::viewportOrg, dx, dy, true, old);
}
BOOL GetWindowOrgEx(HDC h, POINT* p) {
  QvDc* dc = Dc(h);
  if (!dc || !p) return FALSE;
  *p = dc->st.windowOrg;
  return TRUE;
}
BOOL GetViewportOrgEx(HDC h, POINT* p) {
  QvDc* dc = Dc(h);
  if (!dc || !p) return FALSE;
  *p = dc->st.viewportOrg;
  return TRUE;
}

BOOL LPtoDP(HDC h, POINT* pts, int count) {
  QvDc* dc = Dc(h);
  if (!dc || (!pts && count > 0)) return FALSE;
  for (int i = 0; i < count; ++i) {
    pts[i].x += dc->st.viewportOrg.x - dc->st.windowOrg.x;
    pts[i].y += dc->st.viewportOrg.y - dc->st.windowOrg.y;
  }
  return TRUE;
}

BOOL DPtoLP(HDC h, POINT* pts, int count) {
  QvDc* dc = Dc(h);
  if (!dc || (!pts && count > 0)) return FALSE;
  for (int i = 0; i < count; ++i) {
    pts[i].x -= dc->st.viewportOrg.x - dc->st.windowOrg.x;
    pts[i].y -= dc->st.viewportOrg.y - dc->st.windowOrg.y;
  }
  return TRUE;
}

int SelectClipRgn(HDC h, HRGN rgn) { return ExtSelectClipRgn(h, rgn, RGN_COPY); }

int ExtSelectClipRgn(HDC h, HRGN rgn, int mode) {
  QvDc* dc = Dc(h);
  if (!dc) return ERROR;
  if (!rgn) {
    if (mode != RGN_COPY) return ERROR;
    dc->st.clip.reset();
    return EffectiveClip(*dc).Type();
  }
  QvGdiObject* r = Object(rgn, OBJ_REGION);
  if (!r || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  return ApplyClip(*dc, r->region, mode);
}

int IntersectClipRect(HDC h, int l, int t, int r, int b) {
  QvDc* dc = Dc(h);
  if (!dc) return ERROR;
  return ApplyClip(*dc, Region::FromRect(LogicalToDevice(*dc, l, t, r, b)), RGN_AND);
}

int ExcludeClipRect(HDC h, int l, int t, int r, int b) {
  QvDc* dc = Dc(h);
  if (!dc) return ERROR;
  return ApplyClip(*dc, Region::FromRect(LogicalToDevice(*dc, l, t, r, b)), RGN_DIFF);
}

int OffsetClipRgn(HDC h, int dx, int dy) {
  QvDc* dc = Dc(h);
  if (!dc) return ERROR;
  if (dc->st.clip) dc->st.clip->Offset(dx, dy);
  return EffectiveClip(*dc).Type();
}

int GetClipBox(HDC h, RECT* r) {
  QvDc* dc = Dc(h);
  if (!dc || !r) return ERROR;
  const Region clip = EffectiveClip(*dc);
  RECT box = clip.Box();
  const POINT origin = ToSurface(*dc, 0, 0);
  if (!clip.Empty()) OffsetRect(&box, -origin.x, -origin.y);
  *r = box;
  return clip.Type();
}

int GetClipRgn(HDC h, HRGN out) {
  QvDc* dc = Dc(h);
  QvGdiObject* o = Object(out, OBJ_REGION);
  if (!dc || !o) return -1;
  if (!dc->st.clip) return 0;
  o->region = *dc->st.clip;
  return 1;
}

BOOL PtVisible(HDC h, int x, int y) {
  QvDc* dc = Dc(h);
  if (!dc) return FALSE;
  const POINT p = ToSurface(*dc, x, y);
  return EffectiveClip(*dc).Contains(p.x, p.y) ? TRUE : FALSE;
}

BOOL RectVisible(HDC h, const RECT* r) {
  QvDc* dc = Dc(h);
  if (!dc || !r) return FALSE;
  RECT d = LogicalToDevice(*dc, r->left, r->top, r->right, r->bottom);
  OffsetRect(&d, dc->surfaceOrigin.x, dc->surfaceOrigin.y);
  RECT tmp;
  for (const RECT& c : EffectiveClip(*dc).rects)
    if (IntersectRect(&tmp, &c, &d)) return TRUE;
  return FALSE;
}

// ---------------------------------------------------------------- Qt bridge

namespace qv {

HDC CreateSurfaceDC(std::uint32_t* pixels, int width, int height, int strideBytes) {
  if (!pixels || width <= 0 || height <= 0 || strideBytes < width * 4) return nullptr;
  QvDc* dc = NewDc(false);
  dc->external = std::make_unique<gdi::Pixels>();
  gdi::Pixels& p = *dc->external;
  p.width = width;
  p.height = height;
  p.bpp = 32;
  p.stride = strideBytes;
  p.bits = reinterpret_cast<std::uint8_t*>(pixels);
  p.alphaFill = 0xFF000000u;
  return dc->handle;
}

HDC CreateSurfaceDC(QImage& image) {
  if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
    return nullptr;
  return CreateSurfaceDC(reinterpret_cast<std::uint32_t*>(image.bits()), image.width(),
                         image.height(), static_cast<int>(image.bytesPerLine()));
}

BOOL SetSurfaceOrigin(HDC h, int x, int y) {
  QvDc* dc = gdi::Dc(h);
  if (!dc) return FALSE;
  dc->surfaceOrigin = POINT{x, y};
  return TRUE;
}

BOOL SetSurfaceClip(HDC h, HRGN visible) {
  QvDc* dc = gdi::Dc(h);
  if (!dc) return FALSE;
  if (!visible) {
    dc->visible.reset();
    return TRUE;
  }
  QvGdiObject* r = gdi::Object(visible, OBJ_REGION);
  if (!r) return FALSE;
  dc->visible = r->region;
  return TRUE;
}

namespace {
QImage PixelsToImage(const gdi::Pixels& p) {
  QImage img(p.width, p.height, QImage::Format_RGB32);
  for (int y = 0; y < p.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < p.width; ++x) {
      const std::uint32_t v = p.Get(x, y);
      line[x] = 0xFF000000u | (p.bpp == 1 ? gdi::ToPixel(p.PaletteColour(v)) : v);
    }
  }
  return img;
}
}  // namespace

QImage ToQImage(HBITMAP bitmap) {
  QvGdiObject* o = gdi::Object(bitmap, OBJ_BITMAP);
  return o ? PixelsToImage(*o->bitmap) : QImage();
}

QImage ToQImage(const CBitmap& bitmap) { return ToQImage(bitmap.m_hObject); }

QImage ToQImage(HDC h) {
  QvDc* dc = gdi::Dc(h);
  gdi::Pixels* p = dc ? dc->Surface() : nullptr;
  return p ? PixelsToImage(*p) : QImage();
}

HBITMAP CreateBitmapFromQImage(const QImage& image) {
  if (image.isNull()) return nullptr;
  const QImage src = image.convertToFormat(QImage::Format_RGB32);
  HBITMAP bmp = CreateBitmap(src.width(), src.height(), 1, 32, nullptr);
  QvGdiObject* o = gdi::Object(bmp, OBJ_BITMAP);
  if (!o) return nullptr;
  for (int y = 0; y < o->bitmap->height && y < src.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(y));
    for (int x = 0; x < o->bitmap->width && x < src.width(); ++x)
      o->bitmap->Set(x, y, line[x] & 0xFFFFFFu);
  }
  return bmp;
}

}  // namespace qv
