// Drawing objects: the handle registry, pens, brushes, fonts, bitmaps and
// stock objects.

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/core/handle_table.h"
#include "platform/win32/gdi/gdi_internal.h"

namespace qv::gdi {
namespace {

// Live objects and DCs by handle; the tables outlive every static that still
// holds a handle. One id source serves both, so that no DC ever has an
// object's handle; it starts above the system colour brushes (1-31).
HandleIds& Ids() {
  static auto* ids = new HandleIds(0x20000);
  return *ids;
}
HandleTable<HGDIOBJ, QvGdiObject, QvGdiObject*>& Objects() {
  static auto* table = new HandleTable<HGDIOBJ, QvGdiObject, QvGdiObject*>(Ids());
  return *table;
}
HandleTable<HDC, QvDc, QvDc*>& Dcs() {
  static auto* table = new HandleTable<HDC, QvDc, QvDc*>(Ids());
  return *table;
}

void Free(QvGdiObject* o) {
  Objects().Remove(o->handle);
  ClearWrappers(o);
  delete o;
}

QvGdiObject* MakeStock(DWORD type) {
  QvGdiObject* o = NewObject(type);
  o->stock = true;
  return o;
}
HGDIOBJ StockPen(UINT style, COLORREF c) {
  QvGdiObject* o = MakeStock(OBJ_PEN);
  o->pen = LOGPEN{style, POINT{1, 0}, c};
  return o->handle;
}
HGDIOBJ StockFont(LONG height, LONG weight, BYTE pitch, const char* face) {
  QvGdiObject* o = MakeStock(OBJ_FONT);
  o->font.lfHeight = height;
  o->font.lfWeight = weight;
  o->font.lfPitchAndFamily = pitch;
  std::strncpy(o->font.lfFaceName, face, LF_FACESIZE - 1);
  return o->handle;
}

struct Stock {
  std::array<HGDIOBJ, 20> objects{};
  HGDIOBJ defaultBitmap = nullptr;
  Stock() {
    objects[WHITE_BRUSH] = StockBrush(BS_SOLID, RGB(255, 255, 255));
    objects[LTGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(192, 192, 192));
    objects[GRAY_BRUSH] = StockBrush(BS_SOLID, RGB(128, 128, 128));
    objects[DKGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(64, 64, 64));
    objects[BLACK_BRUSH] = StockBrush(BS_SOLID, RGB(0, 0, 0));
    objects[NULL_BRUSH] = StockBrush(BS_NULL, 0);
    objects[WHITE_PEN] = StockPen(PS_SOLID, RGB(255, 255, 255));
    objects[BLACK_PEN] = StockPen(PS_SOLID, RGB(0, 0, 0));
    objects[NULL_PEN] = StockPen(PS_NULL, 0);
    objects[OEM_FIXED_FONT] = StockFont(12, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Terminal");
    objects[ANSI_FIXED_FONT] = StockFont(12, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Courier");
    objects[ANSI_VAR_FONT] = StockFont(12, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif");
    objects[SYSTEM_FONT] = StockFont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "System");
    objects[DEVICE_DEFAULT_FONT] = StockFont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "System");
    objects[SYSTEM_FIXED_FONT] = StockFont(15, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Fixedsys");
    objects[DEFAULT_GUI_FONT] = StockFont(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Shell Dlg");
    // DC_BRUSH and DC_PEN take their colour from the DC they are selected into.
    objects[DC_BRUSH] = StockBrush(BS_SOLID, 0xFFFFFF);
    objects[DC_PEN] = StockPen(PS_SOLID, 0);
    QvGdiObject* bitmap = MakeStock(OBJ_BITMAP);
    bitmap->bitmap = std::make_unique<Pixels>();
    bitmap->bitmap->Allocate(1, 1, 1);
    defaultBitmap = bitmap->handle;
  }
};
Stock& Stocks() {
  static Stock s;
  return s;
}

}  // namespace

HGDIOBJ StockBrush(UINT style, COLORREF c) {
  QvGdiObject* o = MakeStock(OBJ_BRUSH);
  o->brush = LOGBRUSH{style, c, 0};
  return o->handle;
}

void Pixels::Allocate(int w, int h, int depth) {
  width = w;
  height = h;
  bpp = depth;
  stride = StrideFor(w, depth);
  storage.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(h), 0);
  bits = storage.data();
}

std::uint32_t Pixels::MonoIndex(COLORREF c) const {
  auto dist = [c](const RGBQUAD& q) {
    const int dr = GetRValue(c) - q.rgbRed, dg = GetGValue(c) - q.rgbGreen,
              db = GetBValue(c) - q.rgbBlue;
    return dr * dr + dg * dg + db * db;
  };
  return dist(palette[1]) <= dist(palette[0]) ? 1u : 0u;
}

COLORREF Pixels::PaletteColour(std::uint32_t index) const {
  const RGBQUAD& q = palette[index & 1u];
  return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

QvGdiObject* NewObject(DWORD type) {
  auto* o = new QvGdiObject;
  o->type = type;
  Objects().Add(o, [o](HGDIOBJ h) { o->handle = h; });
  return o;
}

QvGdiObject* Object(HGDIOBJ h, DWORD type) {
  if (!h) return nullptr;
  QvGdiObject* o = Objects().Find(h);
  if (!o || (type != 0 && o->type != type)) return nullptr;
  return o;
}

QvGdiObject* Brush(HBRUSH h) {
  const auto v = reinterpret_cast<std::uintptr_t>(h);
  if (v >= 1 && v <= kSysColourCount) return Object(GetSysColorBrush(static_cast<int>(v - 1)));
  return Object(h, OBJ_BRUSH);
}

void RegisterDc(QvDc* dc) {
  Dcs().Add(dc, [dc](HDC h) { dc->handle = h; });
}
void UnregisterDc(QvDc* dc) { Dcs().Remove(dc->handle); }
QvDc* Dc(HDC h) { return h ? Dcs().Find(h) : nullptr; }

void Hold(HGDIOBJ h) {
  if (QvGdiObject* o = Object(h)) ++o->selections;
}
void Release(HGDIOBJ h) {
  QvGdiObject* o = Object(h);
  if (!o) return;
  if (--o->selections <= 0) {
    o->selections = 0;
    if (o->type == OBJ_BITMAP) o->selectedIn = nullptr;
    if (o->deletePending) Free(o);
  }
}

HGDIOBJ DefaultBitmap() { return Stocks().defaultBitmap; }

}  // namespace qv::gdi

using namespace qv::gdi;

HGDIOBJ GetStockObject(int which) {
  if (which < 0 || which >= static_cast<int>(Stocks().objects.size())) return nullptr;
  return Stocks().objects[static_cast<std::size_t>(which)];
}

BOOL DeleteObject(HGDIOBJ h) {
  QvGdiObject* o = Object(h);
  if (!o) return FALSE;
  if (o->stock) return TRUE;
  if (o->selections > 0) {
    o->deletePending = true;  // freed when the last DC lets it go
    return TRUE;
  }
  Free(o);
  return TRUE;
}

DWORD GetObjectType(HGDIOBJ h) {
  if (QvGdiObject* o = Object(h)) return o->type;
  return 0;
}

int GetObject(HGDIOBJ h, int size, void* out) {
  QvGdiObject* o = Object(h);
  if (!o) return 0;
  auto copy = [&](const auto& v) -> int {
    const int n = static_cast<int>(sizeof(v));
    if (!out) return n;
    if (size < n) return 0;
    std::memcpy(out, &v, sizeof(v));
    return n;
  };
  switch (o->type) {
    case OBJ_PEN: return copy(o->pen);
    case OBJ_BRUSH: return copy(o->brush);
    case OBJ_FONT: return copy(o->font);
    case OBJ_BITMAP: {
      const Pixels& p = *o->bitmap;
      BITMAP bm{0, p.width, p.height, p.dib ? p.stride : ((p.width * p.bpp + 15) / 16) * 2, 1,
                static_cast<WORD>(p.bpp), p.dib ? p.bits : nullptr};
      return copy(bm);
    }
    default: return 0;
  }
}

HPEN CreatePen(int style, int width, COLORREF colour) {
  if (style < PS_SOLID || style > PS_INSIDEFRAME) return nullptr;
  QvGdiObject* o = NewObject(OBJ_PEN);
  o->pen = LOGPEN{static_cast<UINT>(style), POINT{std::max(width, 0), 0}, colour & 0xFFFFFFu};
  return o->handle;
}

HPEN CreatePenIndirect(const LOGPEN* lp) {
  if (!lp) return nullptr;
  return CreatePen(static_cast<int>(lp->lopnStyle), lp->lopnWidth.x, lp->lopnColor);
}

HBRUSH CreateSolidBrush(COLORREF colour) {
  QvGdiObject* o = NewObject(OBJ_BRUSH);
  o->brush = LOGBRUSH{BS_SOLID, colour & 0xFFFFFFu, 0};
  return o->handle;
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
  if (!lb) return nullptr;
  if (lb->lbStyle == BS_SOLID) return CreateSolidBrush(lb->lbColor);
  if (lb->lbStyle == BS_NULL) {
    QvGdiObject* o = NewObject(OBJ_BRUSH);
    o->brush = LOGBRUSH{BS_NULL, 0, 0};
    return o->handle;
  }
  if (lb->lbStyle == BS_PATTERN) return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb->lbHatch));
  return nullptr;
}

HBRUSH CreatePatternBrush(HBITMAP pattern) {
  QvGdiObject* b = Object(pattern, OBJ_BITMAP);
  if (!b) return nullptr;
  QvGdiObject* o = NewObject(OBJ_BRUSH);
  o->brush = LOGBRUSH{BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(pattern)};
  // A copy: the bitmap may be deleted while the brush lives on.
  const Pixels& src = *b->bitmap;
  o->pattern = std::make_unique<Pixels>();
  o->pattern->Allocate(src.width, src.height, src.bpp);
  o->pattern->dib = src.dib;
  o->pattern->palette[0] = src.palette[0];
  o->pattern->palette[1] = src.palette[1];
  for (int y = 0; y < src.height; ++y)
    for (int x = 0; x < src.width; ++x) o->pattern->Set(x, y, src.Get(x, y));
  return o->handle;
}

HFONT CreateFontIndirectA(const LOGFONTA* lf) {
  if (!lf) return nullptr;
  QvGdiObject* o = NewObject(OBJ_FONT);
  o->font = *lf;
  o->font.lfFaceName[LF_FACESIZE - 1] = '\0';  // a face name is at most 31 bytes
  return o->handle;
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                  DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                  DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                  LPCSTR face) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = static_cast<BYTE>(italic);
  lf.lfUnderline = static_cast<BYTE>(underline);
  lf.lfStrikeOut = static_cast<BYTE>(strikeOut);
  lf.lfCharSet = static_cast<BYTE>(charSet);
  lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  lf.lfQuality = static_cast<BYTE>(quality);
  lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (width < 0 || height < 0 || planes != 1) return nullptr;
  if (bitsPerPixel != 1 && bitsPerPixel != 32) return nullptr;
  int depth = static_cast<int>(bitsPerPixel);
  if (width == 0 || height == 0) width = height = 1, depth = 1, bits = nullptr;
  QvGdiObject* o = NewObject(OBJ_BITMAP);
  o->bitmap = std::make_unique<Pixels>();
  o->bitmap->Allocate(width, height, depth);
  if (bits) SetBitmapBits(o->handle, static_cast<DWORD>(o->bitmap->storage.size()), bits);
  return o->handle;
}

HBITMAP CreateBitmapIndirect(const BITMAP* bm) {
  if (!bm) return nullptr;
  return CreateBitmap(bm->bmWidth, bm->bmHeight, bm->bmPlanes, bm->bmBitsPixel, bm->bmBits);
}

// Device bitmaps keep word-aligned rows, as Windows' bitmap bits do.
LONG GetBitmapBits(HBITMAP bmp, LONG size, void* out) {
  QvGdiObject* o = Object(bmp, OBJ_BITMAP);
  if (!o || !out || size <= 0) return 0;
  const Pixels& p = *o->bitmap;
  const int rowBytes = ((p.width * p.bpp + 15) / 16) * 2;
  LONG done = 0;
  auto* dst = static_cast<std::uint8_t*>(out);
  for (int y = 0; y < p.height && done < size; ++y) {
    const int n = std::min<LONG>(rowBytes, size - done);
    std::memcpy(dst + done, p.Row(y), static_cast<std::size_t>(std::min(n, p.stride)));
    done += n;
  }
  return done;
}

LONG SetBitmapBits(HBITMAP bmp, DWORD size, const void* in) {
  QvGdiObject* o = Object(bmp, OBJ_BITMAP);
  if (!o || !in) return 0;
  Pixels& p = *o->bitmap;
  const LONG rowBytes = ((p.width * p.bpp + 15) / 16) * 2;
  LONG done = 0;
  const auto* src = static_cast<const std::uint8_t*>(in);
  for (int y = 0; y < p.height && done < static_cast<LONG>(size); ++y) {
    const LONG n = std::min<LONG>(rowBytes, static_cast<LONG>(size) - done);
    std::memcpy(p.Row(y), src + done, static_cast<std::size_t>(std::min<LONG>(n, p.stride)));
    done += n;
  }
  return done;
}
