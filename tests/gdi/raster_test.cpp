// Raster operations, conversions between colour and monochrome, lines,
// shapes, clipping and the handling of objects by the DCs.

#include <cstring>

#include "platform/win32/system/system_metrics.h"
#include "tests/support/gdi_fixture.h"

namespace {

// With P = F0, S = CC and D = AA in every channel, bit i of each channel
// meets exactly the combination (P, S, D) of index i: the result is the code.
TEST(RasterOps, EveryTernaryCodeFollowsItsTruthTable) {
  MemSurface dst(1, 1), src(1, 1);
  CBrush pattern(RGB(0xF0, 0xF0, 0xF0));
  dst.dc.SelectObject(&pattern);
  src.dc.SetPixel(0, 0, RGB(0xCC, 0xCC, 0xCC));
  for (int code = 0; code < 256; ++code) {
    dst.dc.SetPixel(0, 0, RGB(0xAA, 0xAA, 0xAA));
    ASSERT_TRUE(dst.dc.BitBlt(0, 0, 1, 1, &src.dc, 0, 0, static_cast<DWORD>(code) << 16));
    ASSERT_EQ(dst.dc.GetPixel(0, 0), RGB(code, code, code)) << "code " << code;
  }
  dst.dc.SelectStockObject(WHITE_BRUSH);
}

struct NamedRop {
  DWORD rop;
  BYTE code;
};
class NamedRops : public ::testing::TestWithParam<NamedRop> {};
TEST_P(NamedRops, CarryTheirCodeAndWorkThroughBitBltAndPatBlt) {
  const NamedRop c = GetParam();
  EXPECT_EQ((c.rop >> 16) & 0xFF, c.code);
  MemSurface dst(2, 1), src(2, 1);
  CBrush pattern(RGB(0xF0, 0xF0, 0xF0));
  dst.dc.SelectObject(&pattern);
  src.dc.SetPixel(0, 0, RGB(0xCC, 0xCC, 0xCC));
  dst.dc.SetPixel(0, 0, RGB(0xAA, 0xAA, 0xAA));
  EXPECT_TRUE(dst.dc.BitBlt(0, 0, 1, 1, &src.dc, 0, 0, c.rop));
  EXPECT_EQ(dst.dc.GetPixel(0, 0), RGB(c.code, c.code, c.code));
  EXPECT_EQ(dst.dc.GetPixel(1, 0), RGB(255, 255, 255)) << "outside the blit";
  const bool usesSource = ((c.code & 0xCC) >> 2) != (c.code & 0x33);
  dst.dc.SetPixel(0, 0, RGB(0xAA, 0xAA, 0xAA));
  EXPECT_EQ(dst.dc.PatBlt(0, 0, 1, 1, c.rop), usesSource ? FALSE : TRUE);
  if (!usesSource) {
    EXPECT_EQ(dst.dc.GetPixel(0, 0), RGB(c.code, c.code, c.code));
  }
  dst.dc.SelectStockObject(WHITE_BRUSH);
}
INSTANTIATE_TEST_SUITE_P(Table, NamedRops,
                         ::testing::Values(NamedRop{SRCCOPY, 0xCC}, NamedRop{SRCAND, 0x88},
                                           NamedRop{SRCPAINT, 0xEE}, NamedRop{SRCINVERT, 0x66},
                                           NamedRop{PATCOPY, 0xF0}, NamedRop{PATINVERT, 0x5A},
                                           NamedRop{DSTINVERT, 0x55}, NamedRop{BLACKNESS, 0x00},
                                           NamedRop{WHITENESS, 0xFF}, NamedRop{0xE20746, 0xE2},
                                           NamedRop{0xB8074A, 0xB8}));

TEST(RasterOps, MaskedImageComposesWithSrcAndThenSrcPaint) {
  // The transparent-bitmap idiom: mask (white = keep) AND, then image OR.
  MemSurface dst(2, 1), mask(2, 1), image(2, 1);
  dst.dc.FillSolidRect(0, 0, 2, 1, RGB(10, 20, 30));
  mask.dc.SetPixel(0, 0, RGB(0, 0, 0));  // pixel 0 opaque, pixel 1 transparent
  image.dc.SetPixel(0, 0, RGB(200, 100, 50));
  image.dc.SetPixel(1, 0, RGB(0, 0, 0));
  dst.dc.BitBlt(0, 0, 2, 1, &mask.dc, 0, 0, SRCAND);
  dst.dc.BitBlt(0, 0, 2, 1, &image.dc, 0, 0, SRCPAINT);
  EXPECT_EQ(dst.dc.GetPixel(0, 0), RGB(200, 100, 50));
  EXPECT_EQ(dst.dc.GetPixel(1, 0), RGB(10, 20, 30));
}

TEST(RasterOps, ColourToMonochromeAndBack) {
  MemSurface colour(3, 1);
  colour.dc.SetPixel(0, 0, RGB(1, 2, 3));
  colour.dc.SetPixel(1, 0, RGB(0, 0, 0));
  colour.dc.SetPixel(2, 0, RGB(255, 255, 255));
  colour.dc.SetBkColor(RGB(1, 2, 3));  // the background colour becomes white, all else black
  CDC mono;
  mono.CreateCompatibleDC(nullptr);
  CBitmap bits;
  ASSERT_TRUE(bits.CreateCompatibleBitmap(&mono, 3, 1));  // still the 1x1 default: monochrome
  BITMAP bm{};
  bits.GetBitmap(&bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  CBitmap* old = mono.SelectObject(&bits);
  mono.BitBlt(0, 0, 3, 1, &colour.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(mono.GetPixel(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(mono.GetPixel(1, 0), RGB(0, 0, 0));
  EXPECT_EQ(mono.GetPixel(2, 0), RGB(0, 0, 0));
  // Back: 0 bits take the text colour, 1 bits the background colour of the destination.
  MemSurface back(3, 1);
  back.dc.SetTextColor(RGB(9, 8, 7));
  back.dc.SetBkColor(RGB(70, 80, 90));
  back.dc.BitBlt(0, 0, 3, 1, &mono, 0, 0, SRCCOPY);
  EXPECT_EQ(back.dc.GetPixel(0, 0), RGB(70, 80, 90));
  EXPECT_EQ(back.dc.GetPixel(1, 0), RGB(9, 8, 7));
  EXPECT_EQ(back.dc.GetPixel(2, 0), RGB(9, 8, 7));
  mono.SelectObject(old);
}

TEST(RasterOps, StretchBltScalesAndMirrors) {
  MemSurface src(2, 1), dst(4, 2);
  src.dc.SetPixel(0, 0, RGB(255, 0, 0));
  src.dc.SetPixel(1, 0, RGB(0, 0, 255));
  dst.dc.StretchBlt(0, 0, 4, 2, &src.dc, 0, 0, 2, 1, SRCCOPY);
  const COLORREF want[4] = {RGB(255, 0, 0), RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 0, 255)};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(dst.dc.GetPixel(x, 0), want[x]);
    EXPECT_EQ(dst.dc.GetPixel(x, 1), want[x]);
  }
  dst.dc.StretchBlt(4, 0, -4, 1, &src.dc, 0, 0, 2, 1, SRCCOPY);  // spans 0..3
  for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.dc.GetPixel(x, 0), want[3 - x]);
}

TEST(RasterOps, CopyLeavesPixelsWithoutSourceAndOutsideTheClipAlone) {
  MemSurface src(2, 2), dst(5, 5);
  src.dc.FillSolidRect(0, 0, 2, 2, RGB(10, 20, 30));
  dst.dc.IntersectClipRect(0, 0, 5, 2);
  // The source starts one pixel above and left of its bitmap.
  ASSERT_TRUE(dst.dc.BitBlt(0, 0, 5, 5, &src.dc, -1, -1, SRCCOPY));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) {
      const bool copied = y == 1 && (x == 1 || x == 2);
      EXPECT_EQ(dst.dc.GetPixel(x, y) == RGB(10, 20, 30), copied) << x << ", " << y;
    }
  dst.dc.SelectClipRgn(nullptr);
  EXPECT_EQ(dst.Count(RGB(255, 255, 255)), 23);
}

TEST(RasterOps, OverlappingBlitWithinOneSurfaceMovesThePicture) {
  MemSurface s(4, 1);
  for (int x = 0; x < 4; ++x) s.dc.SetPixel(x, 0, RGB(x * 10, 0, 0));
  s.dc.BitBlt(1, 0, 3, 1, &s.dc, 0, 0, SRCCOPY);
  for (int x = 1; x < 4; ++x) EXPECT_EQ(s.dc.GetPixel(x, 0), RGB((x - 1) * 10, 0, 0));
}

struct LineCase {
  POINT from, to;
};
class Lines : public ::testing::TestWithParam<LineCase> {};
TEST_P(Lines, LineToLeavesTheEndPointOut) {
  const LineCase c = GetParam();
  MemSurface s(12, 12);
  s.dc.MoveTo(c.from);
  s.dc.LineTo(c.to);
  const COLORREF black = RGB(0, 0, 0);
  if (CPoint(c.from) != c.to) {
    EXPECT_EQ(s.dc.GetPixel(c.from), black);
  }
  EXPECT_EQ(s.dc.GetPixel(c.to), RGB(255, 255, 255));
  EXPECT_EQ(s.Count(black), std::max(std::abs(c.to.x - c.from.x), std::abs(c.to.y - c.from.y)));
  EXPECT_EQ(s.dc.GetCurrentPosition(), CPoint(c.to));
}
INSTANTIATE_TEST_SUITE_P(Table, Lines,
                         ::testing::Values(LineCase{{1, 1}, {9, 1}}, LineCase{{9, 2}, {1, 2}},
                                           LineCase{{3, 0}, {3, 10}}, LineCase{{0, 0}, {10, 10}},
                                           LineCase{{10, 1}, {2, 5}}, LineCase{{5, 5}, {5, 5}}));

TEST(Shapes, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
  MemSurface s(10, 10);
  CPen red(PS_SOLID, 1, RGB(255, 0, 0));
  CBrush blue(RGB(0, 0, 255));
  CPen* oldPen = s.dc.SelectObject(&red);
  CBrush* oldBrush = s.dc.SelectObject(&blue);
  s.dc.Rectangle(1, 1, 6, 5);  // 5 x 4: 14 outline pixels, 3 x 2 inside
  EXPECT_EQ(s.Count(RGB(255, 0, 0)), 14);
  EXPECT_EQ(s.Count(RGB(0, 0, 255)), 6);
  EXPECT_EQ(s.dc.GetPixel(6, 5), RGB(255, 255, 255));
  // A null pen: the fill alone, one pixel short on the right and bottom.
  s.dc.SelectStockObject(NULL_PEN);
  s.dc.FillSolidRect(0, 0, 10, 10, RGB(255, 255, 255));
  s.dc.Rectangle(1, 1, 6, 5);
  EXPECT_EQ(s.Count(RGB(0, 0, 255)), 12);
  s.dc.SelectObject(oldPen);
  s.dc.SelectObject(oldBrush);
}

TEST(Shapes, PolygonAndEllipseStayInsideTheirBounds) {
  MemSurface s(20, 20);
  CBrush green(RGB(0, 255, 0));
  CBrush* old = s.dc.SelectObject(&green);
  const POINT tri[] = {{2, 2}, {17, 2}, {2, 17}};
  s.dc.Polygon(tri, 3);
  const RECT ink = s.Ink();
  EXPECT_EQ(ink.left, 2);
  EXPECT_EQ(ink.top, 2);
  EXPECT_LE(ink.right, 18);
  EXPECT_LE(ink.bottom, 18);
  EXPECT_GT(s.Count(RGB(0, 255, 0)), 60);
  EXPECT_EQ(s.dc.GetPixel(15, 15), RGB(255, 255, 255));
  s.dc.FillSolidRect(0, 0, 20, 20, RGB(255, 255, 255));
  s.dc.Ellipse(4, 4, 14, 10);
  const RECT e = s.Ink();
  EXPECT_EQ(e.left, 4);
  EXPECT_EQ(e.top, 4);
  EXPECT_EQ(e.right, 14);
  EXPECT_EQ(e.bottom, 10);
  EXPECT_EQ(s.dc.GetPixel(4, 4), RGB(255, 255, 255)) << "corners stay out";
  EXPECT_EQ(s.dc.GetPixel(9, 7), RGB(0, 255, 0));
  s.dc.SelectObject(old);
}

TEST(Shapes, Draw3dRectAndFillSolidRectLeaveTheBackgroundColourAsMfcDoes) {
  MemSurface s(6, 6);
  s.dc.Draw3dRect(0, 0, 6, 6, RGB(255, 0, 0), RGB(0, 0, 255));
  EXPECT_EQ(s.dc.GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(s.dc.GetPixel(4, 0), RGB(255, 0, 0));
  EXPECT_EQ(s.dc.GetPixel(5, 0), RGB(0, 0, 255)) << "top-right corner belongs to the right edge";
  EXPECT_EQ(s.dc.GetPixel(0, 5), RGB(0, 0, 255));
  EXPECT_EQ(s.dc.GetPixel(2, 2), RGB(255, 255, 255));
  EXPECT_EQ(s.dc.GetBkColor(), RGB(0, 0, 255));
}

TEST(Shapes, DrawFocusRectTwiceRestoresThePixels) {
  MemSurface s(8, 8);
  const CRect r(1, 1, 7, 7);
  s.dc.DrawFocusRect(&r);
  EXPECT_GT(s.Count(RGB(0, 0, 0)), 5);
  EXPECT_EQ(s.dc.GetPixel(3, 3), RGB(255, 255, 255));
  s.dc.DrawFocusRect(&r);
  EXPECT_EQ(s.Count(RGB(255, 255, 255)), 64);
}

TEST(Shapes, DrawEdgeUsesTheSystemColoursAndAdjusts) {
  MemSurface s(10, 10);
  CRect r(0, 0, 10, 10);
  s.dc.DrawEdge(&r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  EXPECT_EQ(r, CRect(2, 2, 8, 8));
  EXPECT_EQ(s.dc.GetPixel(0, 5), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(s.dc.GetPixel(9, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(s.dc.GetPixel(1, 5), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(s.dc.GetPixel(8, 5), GetSysColor(COLOR_3DLIGHT));
}

struct ClipCase {
  const char* name;
  int mode;  // RGN_ mode of the second rectangle against the first
  POINT in, out;
};
class Clipping : public ::testing::TestWithParam<ClipCase> {};
TEST_P(Clipping, FillsTouchOnlyTheClipRegion) {
  const ClipCase c = GetParam();
  MemSurface s(20, 10);
  CRgn a, b;
  a.CreateRectRgn(0, 0, 10, 10);
  b.CreateRectRgn(5, 0, 15, 10);
  a.CombineRgn(&a, &b, c.mode);
  s.dc.SelectClipRgn(&a);
  CBrush red(RGB(255, 0, 0));
  const CRect all(0, 0, 20, 10);
  s.dc.FillRect(&all, &red);
  EXPECT_EQ(s.dc.GetPixel(c.in), RGB(255, 0, 0)) << c.name;
  s.dc.SelectClipRgn(nullptr);
  EXPECT_EQ(s.dc.GetPixel(c.out), RGB(255, 255, 255)) << c.name;
}
INSTANTIATE_TEST_SUITE_P(Table, Clipping,
                         ::testing::Values(ClipCase{"and", RGN_AND, {7, 5}, {2, 5}},
                                           ClipCase{"or", RGN_OR, {12, 5}, {17, 5}},
                                           ClipCase{"diff", RGN_DIFF, {2, 5}, {7, 5}},
                                           ClipCase{"xor", RGN_XOR, {12, 5}, {7, 5}}));

TEST(Clipping, ClipBoxIsLogicalAndFollowsTheWindowOrigin) {
  MemSurface s(20, 20);
  s.dc.IntersectClipRect(5, 6, 15, 16);
  s.dc.SetWindowOrg(5, 6);
  CRect box;
  EXPECT_EQ(s.dc.GetClipBox(&box), SIMPLEREGION);
  EXPECT_EQ(box, CRect(10, 12, 20, 22));
  s.dc.FillSolidRect(0, 0, 100, 100, RGB(0, 0, 0));
  s.dc.SetWindowOrg(0, 0);
  s.dc.SelectClipRgn(nullptr);
  EXPECT_EQ(s.Count(RGB(0, 0, 0)), 100);
  EXPECT_EQ(s.dc.GetPixel(4, 6), RGB(255, 255, 255));
  EXPECT_EQ(s.dc.GetPixel(5, 6), RGB(0, 0, 0));
}

TEST(Objects, SelectObjectReturnsWhatItDisplaced) {
  MemSurface s(2, 2);
  CPen a(PS_SOLID, 1, RGB(1, 1, 1)), b(PS_SOLID, 1, RGB(2, 2, 2));
  CPen* first = s.dc.SelectObject(&a);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->m_hObject, GetStockObject(BLACK_PEN));
  EXPECT_EQ(s.dc.SelectObject(&b), &a);
  EXPECT_EQ(s.dc.SelectObject(first), &b);
  CFont font;
  font.CreatePointFont(90, "Arial");
  CFont* oldFont = s.dc.SelectObject(&font);
  EXPECT_EQ(oldFont->m_hObject, GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(s.dc.SelectObject(oldFont), &font);
  // A bitmap lives in one DC at a time.
  CDC other;
  other.CreateCompatibleDC(&s.dc);
  EXPECT_EQ(other.SelectObject(&s.bitmap), nullptr);
  EXPECT_EQ(s.dc.SelectStockObject(NULL_BRUSH)->m_hObject, GetStockObject(WHITE_BRUSH));
}

TEST(Objects, StaleAndForeignHandlesFailWithoutHarm) {
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_FALSE(DeleteObject(brush));
  HDC dc = CreateCompatibleDC(nullptr);
  RECT r{0, 0, 1, 1};
  EXPECT_FALSE(FillRect(dc, &r, brush));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN))) << "stock objects are never deleted";
  EXPECT_NE(GetObjectType(GetStockObject(BLACK_PEN)), 0u);
}

// The allocator hands a freed object's memory to the next one at once in a
// Release build: a handle must name the object, not the memory.
TEST(Objects, AHandleOnceDeletedNeverComesBack) {
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  HDC dc = CreateCompatibleDC(nullptr);
  HRGN rgn = CreateRectRgn(0, 0, 2, 2);
  ASSERT_TRUE(DeleteObject(brush));
  ASSERT_TRUE(DeleteDC(dc));
  ASSERT_TRUE(DeleteObject(rgn));
  for (int i = 0; i < 200; ++i) {
    HBRUSH b = CreateSolidBrush(RGB(4, 5, 6));
    HDC d = CreateCompatibleDC(nullptr);
    HRGN r = CreateRectRgn(0, 0, 1, 1);
    EXPECT_NE(b, brush);
    EXPECT_NE(d, dc);
    EXPECT_NE(r, rgn);
    EXPECT_NE(reinterpret_cast<void*>(d), reinterpret_cast<void*>(b)) << "a DC is never an object";
    DeleteObject(b);
    DeleteDC(d);
    DeleteObject(r);
  }
  EXPECT_EQ(GetObjectType(brush), 0u);
  EXPECT_EQ(GetObjectType(rgn), 0u);
  EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
  HDC live = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(live)), 0u) << "a DC handle is no object handle";
  DeleteDC(live);
}

TEST(Objects, DeletingASelectedBitmapWaitsUntilItIsDeselected) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(nullptr, 4, 4);
  HGDIOBJ old = SelectObject(dc, bmp);
  EXPECT_TRUE(DeleteObject(bmp));
  EXPECT_EQ(SetPixel(dc, 1, 1, RGB(5, 6, 7)), RGB(5, 6, 7)) << "still drawable";
  SelectObject(dc, old);
  EXPECT_EQ(GetObjectType(bmp), 0u) << "gone once let go";
  DeleteDC(dc);
}

struct EmptyCase {
  const char* name;
  int w, h;
};
class EmptyAreas : public ::testing::TestWithParam<EmptyCase> {};
TEST_P(EmptyAreas, NeverDrawAndNeverCrash) {
  const EmptyCase c = GetParam();
  MemSurface s(8, 8);
  CBrush black(RGB(0, 0, 0));
  const CRect r(4, 4, 4 + c.w, 4 + c.h);
  s.dc.FillRect(&r, &black);
  s.dc.FrameRect(&r, &black);
  s.dc.FillSolidRect(&r, RGB(0, 0, 0));
  s.dc.DrawFocusRect(&r);
  s.dc.BitBlt(4, 4, c.w, c.h, &s.dc, 0, 0, BLACKNESS);
  CRect t = r;
  s.dc.DrawText("x", 1, &t, DT_SINGLELINE);
  s.dc.SetBkColor(RGB(255, 255, 255));
  EXPECT_EQ(s.Count(RGB(255, 255, 255)), 64) << c.name;
  // Zero-sized bitmaps are 1 x 1 monochrome, as Windows makes them.
  CBitmap empty;
  ASSERT_TRUE(empty.CreateCompatibleBitmap(&s.dc, std::max(c.w, 0), std::max(c.h, 0)));
  BITMAP bm{};
  empty.GetBitmap(&bm);
  if (c.w <= 0 || c.h <= 0) {
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
  }
}
INSTANTIATE_TEST_SUITE_P(Table, EmptyAreas,
                         ::testing::Values(EmptyCase{"zero", 0, 0}, EmptyCase{"flat", 3, 0},
                                           EmptyCase{"inverted", -3, -2},
                                           EmptyCase{"narrow-inverted", -1, 3}));

TEST(Dib, ThirtyTwoBitSectionIsBottomUpAndShared) {
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{40, 3, 2, 1, 32, BI_RGB, 24, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(dib, nullptr);
  ASSERT_NE(bits, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, dib);
  SetPixel(dc, 0, 0, RGB(0x11, 0x22, 0x33));
  const auto* px = static_cast<const std::uint32_t*>(bits);
  EXPECT_EQ(px[3] & 0xFFFFFFu, 0x112233u) << "the top row is the last one in memory";
  EXPECT_EQ(px[0] & 0xFFFFFFu, 0u);
  BITMAP bm{};
  GetObject(dib, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBits, bits);
  SelectObject(dc, old);
  DeleteObject(dib);
  DeleteDC(dc);
}

TEST(Dib, OneBitSectionTakesItsColourTable) {
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD colours[2];
  } info{{40, 8, 1, 1, 1, BI_RGB, 4, 0, 0, 2, 0}, {{0, 0, 255, 0}, {0, 255, 0, 0}}};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                 &bits, nullptr, 0);
  ASSERT_NE(dib, nullptr);
  static_cast<std::uint8_t*>(bits)[0] = 0x80;  // leftmost pixel index 1
  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(src, dib);
  MemSurface dst(2, 1);
  BitBlt(dst.dc, 0, 0, 2, 1, src, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.dc.GetPixel(0, 0), RGB(0, 255, 0));
  EXPECT_EQ(dst.dc.GetPixel(1, 0), RGB(255, 0, 0));
  SelectObject(src, old);
  DeleteObject(dib);
  DeleteDC(src);
}

TEST(Regions, CombinePointTestAndOffset) {
  CRgn a, b, c;
  a.CreateRectRgn(0, 0, 10, 10);
  b.CreateRectRgn(5, 5, 15, 15);
  c.CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(c.CombineRgn(&a, &b, RGN_OR), COMPLEXREGION);
  EXPECT_TRUE(c.PtInRegion(12, 12));
  EXPECT_FALSE(c.PtInRegion(12, 2));
  EXPECT_EQ(c.CombineRgn(&a, &b, RGN_AND), SIMPLEREGION);
  CRect box;
  c.GetRgnBox(&box);
  EXPECT_EQ(box, CRect(5, 5, 10, 10));
  c.OffsetRgn(-5, -5);
  c.GetRgnBox(&box);
  EXPECT_EQ(box, CRect(0, 0, 5, 5));
  EXPECT_EQ(c.CombineRgn(&a, &a, RGN_DIFF), NULLREGION);
  EXPECT_EQ(c.CombineRgn(&a, &b, RGN_XOR), COMPLEXREGION);
  EXPECT_FALSE(c.PtInRegion(7, 7));
  CRgn d;
  d.CreateRectRgn(0, 0, 10, 10);
  EXPECT_TRUE(d.EqualRgn(&a));
}

TEST(SystemTables, ClassicColoursAndMetrics) {
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(10, 36, 106));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
  LOGBRUSH lb{};
  GetObject(GetSysColorBrush(COLOR_BTNSHADOW), sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, RGB(128, 128, 128));
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
  MemSurface s(4, 4);
  const RECT r{0, 0, 4, 4};
  FillRect(s.dc, &r, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  EXPECT_EQ(s.dc.GetPixel(2, 2), RGB(212, 208, 200));
}

TEST(Surfaces, SurfaceDcHonoursOriginAndVisibleRegion) {
  QImage image(10, 10, QImage::Format_RGB32);
  image.fill(Qt::white);
  HDC dc = qv::CreateSurfaceDC(image);
  ASSERT_NE(dc, nullptr);
  qv::SetSurfaceOrigin(dc, 2, 3);
  HRGN visible = CreateRectRgn(2, 3, 6, 6);
  qv::SetSurfaceClip(dc, visible);
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(CRect(box), CRect(0, 0, 4, 3));
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  const RECT all{-5, -5, 20, 20};
  FillRect(dc, &all, red);
  EXPECT_EQ(image.pixel(2, 3), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(5, 5), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(6, 5), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(1, 3), qRgb(255, 255, 255));
  HBITMAP bmp = CreateCompatibleBitmap(dc, 1, 1);
  EXPECT_EQ(SelectObject(dc, bmp), nullptr) << "no bitmap on a window DC";
  DeleteObject(bmp);
  DeleteObject(red);
  DeleteObject(visible);
  DeleteDC(dc);
}

}  // namespace
