// CGradient: exact band colours, both directions, the base-colour variants,
// empty sizes and repeated preparation.

#include <gtest/gtest.h>

#include "controls/gradient.h"
#include "tests/support/gdi_fixture.h"
#include "tests/support/snapshot_file.h"

namespace {

COLORREF At(CGradient& g, int x, int y) { return g.GetMemDC()->GetPixel(x, y); }

struct LineCase {
  int y;
  COLORREF colour;
};
class TabGradient : public ::testing::TestWithParam<LineCase> {};
TEST_P(TabGradient, EachLineTakesTheLastBandThatStartsOnIt) {
  MemSurface target(1, 1);
  CGradient g(40, 18);
  g.PrepareVertical(&target.dc, 255, 255, 255, 147, 174, 230);
  ASSERT_NE(g.GetMemDC(), nullptr);
  const LineCase c = GetParam();
  EXPECT_EQ(At(g, 0, c.y), c.colour);
  EXPECT_EQ(At(g, 39, c.y), c.colour);
}
INSTANTIATE_TEST_SUITE_P(Table, TabGradient,
                         ::testing::Values(LineCase{0, RGB(249, 250, 253)},
                                           LineCase{1, RGB(243, 246, 252)},
                                           LineCase{17, RGB(147, 174, 230)}));

TEST(Gradient, FullHeightGradientHasOneBandPerLineAndBlitsToTheTarget) {
  MemSurface target(20, 256);
  CGradient g(20, 256);
  g.PrepareVertical(&target.dc, 0, 0, 0, 255, 128, 0);
  for (int y : {0, 1, 100, 255}) {
    // Band y: start + y x (end - start) / 256, truncated.
    EXPECT_EQ(At(g, 5, y), RGB(y * 255 / 256, y * 128 / 256, 0)) << y;
  }
  target.dc.BitBlt(0, 0, 20, 256, g.GetMemDC(), 0, 0, SRCCOPY);
  EXPECT_EQ(target.dc.GetPixel(3, 100), RGB(99, 50, 0));
  qv::testing::SavePicture(qv::ToQImage(target.bitmap), "gradient_vertical");
}

TEST(Gradient, HorizontalRunsFromTheSecondColourOnTheLeft) {
  MemSurface target(1, 1);
  CGradient g(256, 4);
  g.PrepareHorizontal(&target.dc, 255, 255, 255, 0, 0, 0);
  EXPECT_EQ(At(g, 0, 2), RGB(0, 0, 0));
  EXPECT_EQ(At(g, 128, 2), RGB(127, 127, 127));
  EXPECT_EQ(At(g, 255, 2), RGB(254, 254, 254));
  qv::testing::SavePicture(qv::ToQImage(*CBitmap::FromHandle(GetCurrentObject(*g.GetMemDC(), OBJ_BITMAP))),
                           "gradient_horizontal");
}

struct BaseCase {
  const char* name;
  void (CGradient::*prepare)(CDC*, COLORREF);
  bool vertical;
  COLORREF first, lastApprox;  // first band, and the colour the bands head for
};
class BaseColour : public ::testing::TestWithParam<BaseCase> {};
TEST_P(BaseColour, DerivesBothEndsFromTheBase) {
  const BaseCase c = GetParam();
  MemSurface target(1, 1);
  CGradient g(256, 256);
  (g.*c.prepare)(&target.dc, RGB(100, 150, 200));
  EXPECT_EQ(At(g, 0, 0), c.first) << c.name;
  const COLORREF last = c.vertical ? At(g, 0, 255) : At(g, 255, 0);
  for (int ch = 0; ch < 3; ++ch) {
    const int got = (last >> (8 * ch)) & 0xFF, want = (c.lastApprox >> (8 * ch)) & 0xFF;
    EXPECT_NEAR(got, want, 1) << c.name << " channel " << ch;
  }
}
INSTANTIATE_TEST_SUITE_P(
    Table, BaseColour,
    ::testing::Values(
        BaseCase{"vertical", &CGradient::PrepareVerticalFromBase, true, RGB(250, 250, 249),
                 RGB(70, 120, 170)},
        BaseCase{"light-to-dark", &CGradient::PrepareHorizontalLightToDark, false,
                 RGB(110, 160, 210), RGB(80, 130, 180)},
        BaseCase{"dark-to-light", &CGradient::PrepareHorizontalDarkToLight, false,
                 RGB(80, 130, 180), RGB(110, 160, 210)}));

TEST(Gradient, DarkBaseChannelsStopAtZeroInsteadOfWrapping) {
  MemSurface target(1, 1);
  CGradient g(256, 256);
  g.PrepareVerticalFromBase(&target.dc, RGB(10, 0, 250));
  const COLORREF last = At(g, 0, 255);
  EXPECT_LE(GetRValue(last), 1);
  EXPECT_LE(GetGValue(last), 1);
  EXPECT_NEAR(GetBValue(last), 220, 1);
}

struct SizeCase {
  int w, h;
};
class EmptyGradient : public ::testing::TestWithParam<SizeCase> {};
TEST_P(EmptyGradient, PaintsNothingAndCopiesNothing) {
  MemSurface target(8, 8);
  CGradient g(GetParam().w, GetParam().h);
  g.PrepareVertical(&target.dc, 0, 0, 0, 0, 0, 0);
  g.PrepareHorizontal(&target.dc, 0, 0, 0, 0, 0, 0);
  ASSERT_NE(g.GetMemDC(), nullptr);
  target.dc.BitBlt(0, 0, GetParam().w, GetParam().h, g.GetMemDC(), 0, 0, SRCCOPY);
  EXPECT_EQ(target.Count(RGB(255, 255, 255)), 64);
}
INSTANTIATE_TEST_SUITE_P(Table, EmptyGradient,
                         ::testing::Values(SizeCase{0, 0}, SizeCase{0, 10}, SizeCase{10, 0}));

TEST(Gradient, PreparingAgainReplacesTheFirstPictureAndANullDcMeansTheScreen) {
  MemSurface target(1, 1);
  CGradient g(4, 4);
  g.PrepareVertical(&target.dc, 255, 0, 0, 255, 0, 0);
  const HDC firstHandle = g.GetMemDC()->m_hDC;
  g.PrepareVertical(nullptr, 0, 0, 255, 0, 0, 255);
  EXPECT_EQ(GetBkColor(firstHandle), CLR_INVALID) << "the first DC is gone";
  EXPECT_EQ(At(g, 2, 2), RGB(0, 0, 255));
}

}  // namespace
