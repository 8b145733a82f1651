#pragma once
// The Win32 drawing interface over our own rasteriser: handles, structures,
// constants and the free functions. A device context draws into 32-bit
// pixels (0x00RRGGBB in memory) or into a 1-bit monochrome bitmap; colours at
// this interface are COLORREF 0x00BBGGRR.

#include "platform/core/wintypes.h"
#include "platform/win32/gdi/geometry.h"

using CHAR = char;
using WCHAR = wchar_t;
using LPSTR = char*;
using LPCSTR = const char*;
using LPCWSTR = const wchar_t*;
using LPVOID = void*;
using ULONG_PTR = std::uintptr_t;

// ---------------------------------------------------------------- handles
// Every drawing object is reached through one handle type; a stale or foreign
// handle makes a call fail, it never crashes. A handle is an id, never reused
// within the process, that names no memory: it is looked up on every call.
struct QvGdiHandle;
struct QvDcHandle;
using HGDIOBJ = QvGdiHandle*;
using HPEN = HGDIOBJ;
using HBRUSH = HGDIOBJ;
using HFONT = HGDIOBJ;
using HBITMAP = HGDIOBJ;
using HRGN = HGDIOBJ;
using HDC = QvDcHandle*;

// ---------------------------------------------------------------- colours
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;
inline constexpr COLORREF CLR_NONE = 0xFFFFFFFFu;
inline constexpr COLORREF CLR_DEFAULT = 0xFF000000u;

// ---------------------------------------------------------------- objects
enum : int {
  OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_FONT = 6, OBJ_BITMAP = 7, OBJ_REGION = 8,
  OBJ_MEMDC = 10,
};
enum : int {
  WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4,
  NULL_BRUSH = 5, HOLLOW_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8,
  OEM_FIXED_FONT = 10, ANSI_FIXED_FONT = 11, ANSI_VAR_FONT = 12, SYSTEM_FONT = 13,
  DEVICE_DEFAULT_FONT = 14, SYSTEM_FIXED_FONT = 16, DEFAULT_GUI_FONT = 17, DC_BRUSH = 18,
  DC_PEN = 19,
};
HGDIOBJ GetStockObject(int which);
BOOL DeleteObject(HGDIOBJ h);
DWORD GetObjectType(HGDIOBJ h);
// Fills LOGPEN, LOGBRUSH, LOGFONTA or BITMAP; returns the bytes written, 0 on
// failure; with a null buffer returns the size needed.
int GetObject(HGDIOBJ h, int size, void* out);
inline int GetObjectA(HGDIOBJ h, int size, void* out) { return GetObject(h, size, out); }

// Pens
enum : int {
  PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5,
  PS_INSIDEFRAME = 6,
};
struct LOGPEN {
  UINT lopnStyle;
  POINT lopnWidth;
  COLORREF lopnColor;
};
HPEN CreatePen(int style, int width, COLORREF colour);
HPEN CreatePenIndirect(const LOGPEN* lp);

// Brushes
enum : UINT { BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1, BS_HATCHED = 2, BS_PATTERN = 3 };
struct LOGBRUSH {
  UINT lbStyle;
  COLORREF lbColor;
  ULONG_PTR lbHatch;
};
HBRUSH CreateSolidBrush(COLORREF colour);
HBRUSH CreateBrushIndirect(const LOGBRUSH* lb);
// A brush tiled from an 8x8 (or larger) bitmap; a monochrome bitmap takes the
// DC's text colour for 0 bits and its background colour for 1 bits.
HBRUSH CreatePatternBrush(HBITMAP pattern);

// Fonts
inline constexpr int LF_FACESIZE = 32;
struct LOGFONTA {
  LONG lfHeight;  // < 0: character height, > 0: cell height, 0: default
  LONG lfWidth;
  LONG lfEscapement;  // tenths of a degree, counter-clockwise
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  CHAR lfFaceName[LF_FACESIZE];  // system code page (UTF-8, or the CP936 bytes of "宋体")
};
using LOGFONT = LOGFONTA;
enum : int {
  FW_DONTCARE = 0, FW_THIN = 100, FW_EXTRALIGHT = 200, FW_LIGHT = 300, FW_NORMAL = 400,
  FW_REGULAR = 400, FW_MEDIUM = 500, FW_SEMIBOLD = 600, FW_DEMIBOLD = 600, FW_BOLD = 700,
  FW_EXTRABOLD = 800, FW_HEAVY = 900, FW_BLACK = 900,
};
enum : BYTE {
  ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, GB2312_CHARSET = 134,
  OEM_CHARSET = 255,
  OUT_DEFAULT_PRECIS = 0, OUT_STRING_PRECIS = 1, OUT_CHARACTER_PRECIS = 2, OUT_STROKE_PRECIS = 3,
  OUT_TT_PRECIS = 4, OUT_DEVICE_PRECIS = 5, OUT_RASTER_PRECIS = 6, OUT_TT_ONLY_PRECIS = 7,
  CLIP_DEFAULT_PRECIS = 0, CLIP_CHARACTER_PRECIS = 1, CLIP_STROKE_PRECIS = 2,
  DEFAULT_QUALITY = 0, DRAFT_QUALITY = 1, PROOF_QUALITY = 2, NONANTIALIASED_QUALITY = 3,
  ANTIALIASED_QUALITY = 4, CLEARTYPE_QUALITY = 5,
  DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2,
  FF_DONTCARE = 0x00, FF_ROMAN = 0x10, FF_SWISS = 0x20, FF_MODERN = 0x30, FF_SCRIPT = 0x40,
  FF_DECORATIVE = 0x50,
};
HFONT CreateFontIndirectA(const LOGFONTA* lf);
inline HFONT CreateFontIndirect(const LOGFONTA* lf) { return CreateFontIndirectA(lf); }
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                  DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                  DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                  LPCSTR face);
inline HFONT CreateFont(int h, int w, int e, int o, int wt, DWORD it, DWORD ul, DWORD so,
                        DWORD cs, DWORD op, DWORD cp, DWORD q, DWORD pf, LPCSTR face) {
  return CreateFontA(h, w, e, o, wt, it, ul, so, cs, op, cp, q, pf, face);
}

// Bitmaps
struct BITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;  // the pixels of a DIB section, else null
};
struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};
struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;  // > 0: bottom-up rows, < 0: top-down
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
// The colour table follows the header at biSize bytes; a 1-bit bitmap has two entries.
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
inline constexpr DWORD BI_RGB = 0;
inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr UINT DIB_PAL_COLORS = 1;

// Zero width or height gives a 1x1 monochrome bitmap, as Windows does.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateBitmapIndirect(const BITMAP* bm);
// Same format as the DC's surface: a memory DC still holding its initial 1x1
// bitmap gives a monochrome bitmap; a null DC means the 32-bit screen.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// 1- and 32-bit BI_RGB sections; *bits receives the pixels (rows of
// ((width * bitCount + 31) / 32) * 4 bytes, bottom-up unless biHeight < 0).
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
LONG GetBitmapBits(HBITMAP bmp, LONG size, void* out);
LONG SetBitmapBits(HBITMAP bmp, DWORD size, const void* in);
// Rows of the bitmap converted to the format of `info` (1 or 32 bits);
// returns the lines copied.
int GetDIBits(HDC dc, HBITMAP bmp, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage);
int SetDIBits(HDC dc, HBITMAP bmp, UINT start, UINT lines, const void* bits,
              const BITMAPINFO* info, UINT usage);

// Regions: lists of rectangles.
enum : int { ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3, RGN_ERROR = 0 };
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
HRGN CreateRectRgn(int l, int t, int r, int b);
HRGN CreateRectRgnIndirect(const RECT* r);
int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode);
BOOL SetRectRgn(HRGN rgn, int l, int t, int r, int b);
int OffsetRgn(HRGN rgn, int dx, int dy);
int GetRgnBox(HRGN rgn, RECT* box);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* r);
BOOL EqualRgn(HRGN a, HRGN b);
// Number of rectangles, and a copy of them (in y then x order) when out != null.
int GetRegionRects(HRGN rgn, RECT* out, int capacity);

// ---------------------------------------------------------------- DCs
HDC CreateCompatibleDC(HDC dc);  // null: compatible with the 32-bit screen
BOOL DeleteDC(HDC dc);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);  // a region: returns the region type as a pointer
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int saved);  // < 0: relative to the newest

enum : int { LOGPIXELSX = 88, LOGPIXELSY = 90, BITSPIXEL = 12, PLANES = 14, HORZRES = 8,
             VERTRES = 10, NUMCOLORS = 24, RASTERCAPS = 38, TECHNOLOGY = 2 };
enum : int { RC_PALETTE = 0x0100 };  // a RASTERCAPS bit: never set on our 32-bit surfaces
int GetDeviceCaps(HDC dc, int index);  // 96 dpi, 32 bits a pixel

COLORREF SetTextColor(HDC dc, COLORREF c);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF c);
COLORREF GetBkColor(HDC dc);
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
enum : int {
  R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5,
  R2_NOT = 6, R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11,
  R2_MERGENOTPEN = 12, R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16,
};
int SetROP2(HDC dc, int mode);
int GetROP2(HDC dc);
enum : int { ALTERNATE = 1, WINDING = 2 };
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);
enum : int { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4 };
int SetStretchBltMode(HDC dc, int mode);  // stored; stretching is nearest-pixel in every mode
int GetStretchBltMode(HDC dc);
COLORREF SetDCBrushColor(HDC dc, COLORREF c);
COLORREF SetDCPenColor(HDC dc, COLORREF c);

// Coordinates: only MM_TEXT; device = logical - window origin + viewport origin.
enum : int { MM_TEXT = 1, MM_LOMETRIC = 2, MM_HIMETRIC = 3, MM_LOENGLISH = 4, MM_HIENGLISH = 5,
             MM_TWIPS = 6, MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8 };
int SetMapMode(HDC dc, int mode);  // other modes fail and return 0
int GetMapMode(HDC dc);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old);
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL GetWindowOrgEx(HDC dc, POINT* p);
BOOL GetViewportOrgEx(HDC dc, POINT* p);
BOOL LPtoDP(HDC dc, POINT* pts, int count);
BOOL DPtoLP(HDC dc, POINT* pts, int count);

// Clipping. Regions given to SelectClipRgn are in device coordinates and are
// copied; rectangles of IntersectClipRect/ExcludeClipRect are logical.
int SelectClipRgn(HDC dc, HRGN rgn);  // null removes the clip region
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
int IntersectClipRect(HDC dc, int l, int t, int r, int b);
int ExcludeClipRect(HDC dc, int l, int t, int r, int b);
int OffsetClipRgn(HDC dc, int dx, int dy);
int GetClipBox(HDC dc, RECT* r);  // logical; the visible part of the surface
int GetClipRgn(HDC dc, HRGN out);  // 1 and a copy when a clip region is selected, else 0
BOOL PtVisible(HDC dc, int x, int y);
BOOL RectVisible(HDC dc, const RECT* r);

// Pixels and fills
COLORREF GetPixel(HDC dc, int x, int y);  // CLR_INVALID outside the clip region
COLORREF SetPixel(HDC dc, int x, int y, COLORREF c);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF c);
// A brush handle of (COLOR_xxx + 1) stands for that system colour.
int FillRect(HDC dc, const RECT* r, HBRUSH brush);
int FrameRect(HDC dc, const RECT* r, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* r);
BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush);
BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int w, int h);
BOOL PaintRgn(HDC dc, HRGN rgn);
BOOL DrawFocusRect(HDC dc, const RECT* r);  // XOR of every other pixel: a second call undoes it

enum : UINT {
  BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8,
  BDR_OUTER = 0x3, BDR_INNER = 0xC, BDR_RAISED = 0x5, BDR_SUNKEN = 0xA,
  EDGE_RAISED = 0x5, EDGE_SUNKEN = 0xA, EDGE_ETCHED = 0x6, EDGE_BUMP = 0x9,
  BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8, BF_TOPLEFT = 0x3,
  BF_TOPRIGHT = 0x6, BF_BOTTOMLEFT = 0x9, BF_BOTTOMRIGHT = 0xC, BF_RECT = 0xF,
  BF_MIDDLE = 0x800, BF_SOFT = 0x1000, BF_ADJUST = 0x2000, BF_FLAT = 0x4000, BF_MONO = 0x8000,
};
BOOL DrawEdge(HDC dc, RECT* r, UINT edge, UINT flags);

// Lines and shapes: pen outlines, brush interiors, the current ROP2.
BOOL MoveToEx(HDC dc, int x, int y, POINT* old);
BOOL LineTo(HDC dc, int x, int y);  // the end point is not drawn
BOOL GetCurrentPositionEx(HDC dc, POINT* p);
BOOL Polyline(HDC dc, const POINT* pts, int count);
BOOL Polygon(HDC dc, const POINT* pts, int count);
BOOL Rectangle(HDC dc, int l, int t, int r, int b);
BOOL Ellipse(HDC dc, int l, int t, int r, int b);
BOOL RoundRect(HDC dc, int l, int t, int r, int b, int w, int h);

// Raster operations: the ternary code is bits 16..23 of the DWORD; bit
// ((P << 2) | (S << 1) | D) of it is the result for pattern, source, destination.
inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD SRCPAINT = 0x00EE0086;
inline constexpr DWORD SRCAND = 0x008800C6;
inline constexpr DWORD SRCINVERT = 0x00660046;
inline constexpr DWORD SRCERASE = 0x00440328;
inline constexpr DWORD NOTSRCCOPY = 0x00330008;
inline constexpr DWORD NOTSRCERASE = 0x001100A6;
inline constexpr DWORD MERGECOPY = 0x00C000CA;
inline constexpr DWORD MERGEPAINT = 0x00BB0226;
inline constexpr DWORD PATCOPY = 0x00F00021;
inline constexpr DWORD PATPAINT = 0x00FB0A09;
inline constexpr DWORD PATINVERT = 0x005A0049;
inline constexpr DWORD DSTINVERT = 0x00550009;
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;
BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);
// Negative sizes mirror; pixels are taken by nearest neighbour.
BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                DWORD rop);
BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop);

// DrawState: bitmaps (DST_BITMAP, lData = HBITMAP) and complex painters.
using DRAWSTATEPROC = BOOL (*)(HDC dc, LPARAM lData, WPARAM wData, int cx, int cy);
enum : UINT {
  DST_COMPLEX = 0x0, DST_TEXT = 0x1, DST_PREFIXTEXT = 0x2, DST_ICON = 0x3, DST_BITMAP = 0x4,
  DSS_NORMAL = 0x0, DSS_UNION = 0x10, DSS_DISABLED = 0x20, DSS_MONO = 0x80, DSS_RIGHT = 0x8000,
};
// Disabled: the picture's dark pixels become an embossed COLOR_BTNHIGHLIGHT /
// COLOR_BTNSHADOW relief. DST_ICON is drawn by the window layer's icon support
// through DST_COMPLEX.
BOOL DrawStateA(HDC dc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM lData, WPARAM wData, int x,
                int y, int cx, int cy, UINT flags);
// How DST_ICON draws an icon (lData) and finds its size when cx or cy is 0;
// the window layer's icon support registers both.
using DRAWSTATEICONSIZEPROC = BOOL (*)(LPARAM icon, int* cx, int* cy);
void SetDrawStateIconSupport(DRAWSTATEPROC draw, DRAWSTATEICONSIZEPROC size);

// ---------------------------------------------------------------- text
// Glyphs come from Qt, drawn without antialiasing: a text pixel has exactly the
// text colour. Strings are UTF-8. Text calls need a running QGuiApplication
// and fail (0 / FALSE) without one.
struct TEXTMETRICA {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};
using TEXTMETRIC = TEXTMETRICA;
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* tm);
inline BOOL GetTextMetrics(HDC dc, TEXTMETRICA* tm) { return GetTextMetricsA(dc, tm); }
BOOL GetTextExtentPoint32A(HDC dc, LPCSTR s, int len, SIZE* size);
inline BOOL GetTextExtentPoint32(HDC dc, LPCSTR s, int len, SIZE* size) {
  return GetTextExtentPoint32A(dc, s, len, size);
}
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR s, int len, SIZE* size);
int GetTextFaceA(HDC dc, int size, LPSTR out);

enum : UINT {
  TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0,
  TA_BOTTOM = 8, TA_BASELINE = 24,
};
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
// len < 0 is not allowed by TextOut (nothing drawn); the string needs no terminator.
BOOL TextOutA(HDC dc, int x, int y, LPCSTR s, int len);
inline BOOL TextOut(HDC dc, int x, int y, LPCSTR s, int len) { return TextOutA(dc, x, y, s, len); }
BOOL TextOutW(HDC dc, int x, int y, LPCWSTR s, int len);
enum : UINT { ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4 };
BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* r, LPCSTR s, UINT len,
                 const int* dx);

enum : UINT {
  DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
  DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
  DT_TABSTOP = 0x80, DT_NOCLIP = 0x100, DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400,
  DT_NOPREFIX = 0x800, DT_INTERNAL = 0x1000, DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000,
  DT_END_ELLIPSIS = 0x8000, DT_MODIFYSTRING = 0x10000, DT_RTLREADING = 0x20000,
  DT_WORD_ELLIPSIS = 0x40000, DT_NOFULLWIDTHCHARBREAK = 0x80000, DT_HIDEPREFIX = 0x100000,
  DT_PREFIXONLY = 0x200000,
};
// len -1: up to the terminator. Returns the text height (with DT_VCENTER or
// DT_BOTTOM the offset from the rectangle's top to the text's bottom), 0 on failure.
int DrawTextA(HDC dc, LPCSTR s, int len, RECT* r, UINT format);
inline int DrawText(HDC dc, LPCSTR s, int len, RECT* r, UINT format) {
  return DrawTextA(dc, s, len, r, format);
}
int DrawTextW(HDC dc, LPCWSTR s, int len, RECT* r, UINT format);

