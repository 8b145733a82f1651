#pragma once
// Inside of the drawing layer: pixel buffers, regions, objects and DCs.
// Not for use outside platform/win32/gdi.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <QFont>

#include "platform/win32/gdi/gdi_classes.h"

namespace qv::gdi {

// 0x00BBGGRR <-> 0x00RRGGBB
constexpr std::uint32_t ToPixel(COLORREF c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr COLORREF FromPixel(std::uint32_t p) {
  return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

// A 32-bit (0x00RRGGBB) or 1-bit (MSB first) pixel buffer, owned or external.
struct Pixels {
  int width = 0;
  int height = 0;
  int bpp = 32;
  int stride = 0;
  std::uint8_t* bits = nullptr;
  bool bottomUp = false;
  bool dib = false;  // a DIB section: its monochrome colours come from the palette
  std::uint32_t alphaFill = 0;  // high byte of every written pixel (Qt RGB32 wants 0xFF)
  RGBQUAD palette[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  std::vector<std::uint8_t> storage;

  static int StrideFor(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }
  void Allocate(int w, int h, int depth);
  std::uint8_t* Row(int y) const { return bits + static_cast<std::ptrdiff_t>(bottomUp ? height - 1 - y : y) * stride; }
  // 32-bit: 0x00RRGGBB; 1-bit: 0 or 1.
  std::uint32_t Get(int x, int y) const {
    if (bpp == 1) return (Row(y)[x >> 3] >> (7 - (x & 7))) & 1u;
    return reinterpret_cast<const std::uint32_t*>(Row(y))[x] & 0xFFFFFFu;
  }
  void Set(int x, int y, std::uint32_t v) {
    if (bpp == 1) {
      std::uint8_t& b = Row(y)[x >> 3];
      const std::uint8_t m = static_cast<std::uint8_t>(0x80u >> (x & 7));
      b = (v & 1u) ? (b | m) : (b & ~m);
    } else {
      reinterpret_cast<std::uint32_t*>(Row(y))[x] = (v & 0xFFFFFFu) | alphaFill;
    }
  }
  // The palette entry nearest to a colour, for drawing into 1-bit pixels.
  std::uint32_t MonoIndex(COLORREF c) const;
  COLORREF PaletteColour(std::uint32_t index) const;
};

// A set of pixels as non-overlapping rectangles, sorted by top, then left.
struct Region {
  std::vector<RECT> rects;

  static Region FromRect(const RECT& r);
  bool Empty() const { return rects.empty(); }
  RECT Box() const;
  bool Contains(int x, int y) const;
  int Type() const { return rects.empty() ? NULLREGION : rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION; }
  void Offset(int dx, int dy);
  static Region Combine(const Region& a, const Region& b, int mode);
};

}  // namespace qv::gdi

struct QvDc;

struct QvGdiObject {
  HGDIOBJ handle = nullptr;
  DWORD type = 0;
  bool stock = false;
  int selections = 0;           // DCs (and saved DC states) that hold it
  bool deletePending = false;   // DeleteObject while selected: freed when released
  CGdiObject* permanent = nullptr;
  std::unique_ptr<CGdiObject> temporary;  // FromHandle's wrapper when there is no permanent one

  LOGPEN pen{};
  LOGBRUSH brush{};
  std::unique_ptr<qv::gdi::Pixels> pattern;  // BS_PATTERN brushes
  LOGFONTA font{};
  std::unique_ptr<QFont> qfont;  // made at first use (needs a QGuiApplication)
  int ascent = 0;                // the cell, with qfont
  int descent = 0;
  bool smooth = false;           // antialiased glyphs
  bool strikeBold = false;       // bold struck twice
  std::unique_ptr<qv::gdi::Pixels> bitmap;
  QvDc* selectedIn = nullptr;  // a bitmap lives in at most one DC (stock excepted)
  qv::gdi::Region region;
};

struct DcState {
  HGDIOBJ pen = nullptr;
  HGDIOBJ brush = nullptr;
  HGDIOBJ font = nullptr;
  COLORREF text = 0x000000;
  COLORREF bk = 0xFFFFFF;
  COLORREF dcBrush = 0xFFFFFF;
  COLORREF dcPen = 0x000000;
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int polyFill = ALTERNATE;
  int stretchMode = BLACKONWHITE;
  UINT textAlign = TA_LEFT | TA_TOP;
  POINT windowOrg{0, 0};
  POINT viewportOrg{0, 0};
  POINT position{0, 0};
  std::optional<qv::gdi::Region> clip;  // device coordinates
};

struct QvDc {
  HDC handle = nullptr;
  bool memory = true;
  HGDIOBJ bitmap = nullptr;  // memory DCs: the selected bitmap
  std::unique_ptr<qv::gdi::Pixels> external;
  POINT surfaceOrigin{0, 0};
  std::optional<qv::gdi::Region> visible;  // surface coordinates
  DcState st;
  std::vector<DcState> saved;
  CDC* permanent = nullptr;
  std::unique_ptr<CDC> temporary;

  qv::gdi::Pixels* Surface() const;
};

namespace qv::gdi {

// Handle checks: null for a handle that is not (or no longer) ours, or of another type.
QvGdiObject* Object(HGDIOBJ h, DWORD type = 0);
QvDc* Dc(HDC h);
// Brush handles may be (COLOR_xxx + 1): resolved to the system colour's brush.
QvGdiObject* Brush(HBRUSH h);
inline constexpr std::size_t kSysColourCount = 31;  // COLOR_SCROLLBAR to COLOR_MENUBAR
QvGdiObject* NewObject(DWORD type);  // registered; its handle is o->handle
HGDIOBJ StockBrush(UINT style, COLORREF c);  // a brush that DeleteObject leaves alone
void Hold(HGDIOBJ h);
void Release(HGDIOBJ h);
void ClearWrappers(QvGdiObject* o);
void RegisterDc(QvDc* dc);  // gives it its handle
void UnregisterDc(QvDc* dc);
HGDIOBJ DefaultBitmap();

// Drawing helpers on surface coordinates.
POINT ToSurface(const QvDc& dc, int x, int y);  // logical -> surface pixel
// The pixels a DC may touch, in surface coordinates.
Region EffectiveClip(const QvDc& dc);
// Colour of a brush on this DC (null brush: nullopt).
std::optional<COLORREF> BrushColour(const QvDc& dc, const QvGdiObject* brush, int x, int y);
// Fills a logical rectangle with a brush through a raster operation code (8 bits).
void FillWithBrush(QvDc& dc, const RECT& logical, const QvGdiObject* brush, BYTE rop3);
// Fills a logical rectangle with one colour (ExtTextOut's opaque box).
void FillSolid(QvDc& dc, const RECT& logical, COLORREF colour);
std::uint32_t Rop3(BYTE code, std::uint32_t p, std::uint32_t s, std::uint32_t d);

// The font with its Qt font and cell made (null: the system font).
QvGdiObject& ResolvedFont(QvGdiObject* font);
QString FaceFamily(const char* face);

}  // namespace qv::gdi
