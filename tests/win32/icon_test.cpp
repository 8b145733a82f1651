// Icons through their masks, DrawState with DST_ICON, and image lists with
// their mask colour and out-of-range indices.

#include <gtest/gtest.h>

#include "platform/win32/application.h"
#include "platform/win32/icon/icon.h"
#include "tests/support/gdi_fixture.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kKey = RGB(255, 0, 255);

// A 4 x 4 red icon whose top-left pixel is transparent.
HICON RedIcon() {
  CBitmap color, mask;
  color.CreateBitmap(4, 4, 1, 32, nullptr);
  mask.CreateBitmap(4, 4, 1, 1, nullptr);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap* old = dc.SelectObject(&color);
  dc.FillSolidRect(0, 0, 4, 4, kRed);
  dc.SetPixel(0, 0, RGB(0, 0, 0));
  dc.SelectObject(&mask);
  dc.PatBlt(0, 0, 4, 4, BLACKNESS);
  dc.SetPixel(0, 0, RGB(255, 255, 255));
  dc.SelectObject(old);
  ICONINFO info{TRUE, 0, 0, static_cast<HBITMAP>(mask.m_hObject), static_cast<HBITMAP>(color.m_hObject)};
  return CreateIconIndirect(&info);
}

TEST(Icon, DrawsThroughItsMaskAndOverAFlickerFreeBrush) {
  HICON icon = RedIcon();
  ASSERT_TRUE(icon);
  MemSurface s(12, 6);
  s.dc.FillSolidRect(0, 0, 12, 6, kGreen);
  ASSERT_TRUE(DrawIconEx(s.dc, 1, 1, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(s.dc.GetPixel(1, 1), kGreen) << "transparent";
  EXPECT_EQ(s.dc.GetPixel(2, 2), kRed);
  EXPECT_EQ(s.Count(kRed), 15);
  CBrush blue(kBlue);
  ASSERT_TRUE(DrawIconEx(s.dc, 6, 1, icon, 4, 4, 0, static_cast<HBRUSH>(blue.m_hObject), DI_NORMAL));
  EXPECT_EQ(s.dc.GetPixel(6, 1), kBlue) << "the brush behind the transparent pixel";
  EXPECT_EQ(s.dc.GetPixel(7, 2), kRed);

  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP bm{};
  ASSERT_TRUE(GetObject(info.hbmColor, sizeof(bm), &bm));
  EXPECT_EQ(bm.bmWidth, 4);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon)) << "a stale handle";
  EXPECT_FALSE(DrawIconEx(s.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
}

TEST(Icon, DrawStateShowsAnIconPlainOrDisabled) {
  qv::Application();
  HICON icon = RedIcon();
  MemSurface s(12, 8);
  s.dc.FillSolidRect(0, 0, 12, 8, kGreen);
  ASSERT_TRUE(DrawStateA(s.dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, 1, 1, 0, 0, DST_ICON));
  EXPECT_EQ(s.dc.GetPixel(1, 1), kGreen) << "transparent pixels stay";
  EXPECT_EQ(s.dc.GetPixel(4, 4), kRed);
  ASSERT_TRUE(DrawStateA(s.dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, 6, 1, 0, 0, DST_ICON | DSS_DISABLED));
  EXPECT_EQ(s.dc.GetPixel(7, 2), GetSysColor(COLOR_BTNSHADOW)) << "the shape in the shadow colour";
  EXPECT_EQ(s.dc.GetPixel(10, 5), GetSysColor(COLOR_BTNHIGHLIGHT)) << "its highlight one pixel down and right";
  EXPECT_EQ(s.dc.GetPixel(6, 1), kGreen);
  DestroyIcon(icon);
  EXPECT_FALSE(DrawStateA(s.dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, 1, 1, 0, 0, DST_ICON));
}

TEST(ImageList, TheMaskColourIsTransparentAndBadIndicesFailSafely) {
  qv::Application();
  // A strip of three 4 x 4 images: red, green, blue, each with a key-coloured corner.
  CBitmap strip;
  strip.CreateBitmap(12, 4, 1, 32, nullptr);
  {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&strip);
    const COLORREF colours[3] = {kRed, kGreen, kBlue};
    for (int i = 0; i < 3; ++i) {
      dc.FillSolidRect(4 * i, 0, 4, 4, colours[i]);
      dc.SetPixel(4 * i, 0, kKey);
    }
    dc.SelectObject(old);
  }
  CImageList list;
  ASSERT_TRUE(list.Create(4, 4, ILC_COLOR32 | ILC_MASK, 3, 0));
  EXPECT_EQ(list.Add(&strip, kKey), 0);
  EXPECT_EQ(list.GetImageCount(), 3);

  MemSurface s(8, 8);
  s.dc.FillSolidRect(0, 0, 8, 8, RGB(255, 255, 255));
  ASSERT_TRUE(list.Draw(&s.dc, 2, CPoint(2, 2), ILD_TRANSPARENT));
  EXPECT_EQ(s.dc.GetPixel(2, 2), RGB(255, 255, 255)) << "the key colour is transparent";
  EXPECT_EQ(s.dc.GetPixel(3, 3), kBlue);
  EXPECT_EQ(s.Count(kBlue), 15);

  for (int bad : {3, -1, 1000}) {
    EXPECT_FALSE(list.Draw(&s.dc, bad, CPoint(0, 0), ILD_NORMAL)) << bad;
    EXPECT_EQ(ImageList_GetIcon(list, bad, ILD_NORMAL), nullptr) << bad;
  }
  EXPECT_EQ(s.Count(kBlue), 15) << "nothing drawn for them";

  HICON green = list.ExtractIcon(1);
  ASSERT_TRUE(green);
  ASSERT_TRUE(DrawIconEx(s.dc, 0, 0, green, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(s.dc.GetPixel(1, 1), kGreen);
  EXPECT_EQ(ImageList_ReplaceIcon(list, -1, green), 3);
  DestroyIcon(green);

  HIMAGELIST handle = list.m_hImageList;
  EXPECT_TRUE(list.DeleteImageList());
  EXPECT_EQ(ImageList_GetImageCount(handle), 0);
  EXPECT_FALSE(ImageList_Draw(handle, 0, s.dc, 0, 0, ILD_NORMAL)) << "a stale list";
}

}  // namespace
