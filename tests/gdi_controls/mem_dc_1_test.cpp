// CMemDC_1: drawing lands on the target only at the end, at the target's
// coordinates, inside its clip box, over the target's background colour.

#include <gtest/gtest.h>

#include "controls/mem_dc_1.h"
#include "tests/support/gdi_fixture.h"
#include "tests/support/snapshot_file.h"

namespace {

class WindowSurface : public ::testing::Test {
 protected:
  WindowSurface() : image(60, 40, QImage::Format_RGB32) {
    image.fill(qRgb(1, 2, 3));
    target.Attach(qv::CreateSurfaceDC(image));
  }
  QImage image;
  CDC target;
};

TEST_F(WindowSurface, CopiesTheClipBoxAtTheTargetsCoordinatesWhenItEnds) {
  CRgn update;
  update.CreateRectRgn(10, 5, 50, 30);
  qv::SetSurfaceClip(target, update);
  {
    CMemDC_1 mem(&target);
    CRect box;
    mem.GetClipBox(&box);
    EXPECT_EQ(box, CRect(10, 5, 50, 30));
    mem.FillSolidRect(12, 7, 10, 10, RGB(255, 0, 0));
    mem.SetBkMode(TRANSPARENT);
    mem.SetTextColor(0x0000CE);  // red 0xCE
    mem.TextOut(25, 8, "00010", 5);
    EXPECT_EQ(image.pixel(15, 10), qRgb(1, 2, 3)) << "nothing shows before the end";
  }
  EXPECT_EQ(image.pixel(15, 10), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(11, 6), qRgb(255, 255, 255)) << "the fresh target's background: white";
  EXPECT_EQ(image.pixel(5, 5), qRgb(1, 2, 3)) << "outside the clip box";
  EXPECT_EQ(image.pixel(55, 35), qRgb(1, 2, 3));
  int text = 0;
  for (int y = 5; y < 30; ++y)
    for (int x = 25; x < 50; ++x) text += image.pixel(x, y) == qRgb(206, 0, 0);
  EXPECT_GT(text, 10);
  qv::testing::SavePicture(image, "mem_dc_1");
}

TEST_F(WindowSurface, FillsWithTheTargetsBackgroundColour) {
  target.SetBkColor(RGB(0, 128, 0));
  { CMemDC_1 mem(&target); }
  EXPECT_EQ(image.pixel(30, 20), qRgb(0, 128, 0));
}

TEST_F(WindowSurface, EmptyClipBoxDrawsNothing) {
  CRgn nothing;
  nothing.CreateRectRgn(0, 0, 0, 0);
  qv::SetSurfaceClip(target, nothing);
  {
    CMemDC_1 mem(&target);
    mem.FillSolidRect(0, 0, 60, 40, RGB(255, 0, 0));
  }
  EXPECT_EQ(image.pixel(30, 20), qRgb(1, 2, 3));
}

}  // namespace
