// The owner-drawn menu measures its entries on the device context of the
// application's main window, or of the desktop window when there is none.
// The DC tells whose it is by the surface it covers.

#include <gtest/gtest.h>

#include <vector>

#include "controls/owner_draw_menu_font.h"
#include "platform/win32/application.h"
#include "platform/win32/main_window.h"
#include "platform/win32/win_app.h"

namespace {

// left, top, right, bottom of a DC's clip box.
std::vector<LONG> ClipBox(HDC dc) {
  RECT box{};
  ::GetClipBox(dc, &box);
  return {box.left, box.top, box.right, box.bottom};
}
std::vector<LONG> ClipBoxOfTheMenuDc() {
  qv::controls::MenuFontDC dc(true);
  return ClipBox(dc.dc().m_hDC);
}
std::vector<LONG> ClipBoxOfTheDesktopDc() {
  const HDC dc = ::GetDC(nullptr);
  std::vector<LONG> box = ClipBox(dc);
  ::ReleaseDC(nullptr, dc);
  return box;
}

TEST(MenuFontDc, IsTheMainWindowsWhileItExistsElseTheDesktops) {
  qv::Application();
  CWinApp app("menu font");
  const std::vector<LONG> desktop = ClipBoxOfTheDesktopDc();
  EXPECT_EQ(AfxGetMainWnd(), nullptr);
  EXPECT_EQ(ClipBoxOfTheMenuDc(), desktop);

  CWnd main;
  ASSERT_TRUE(main.CreateEx(0, nullptr, "main", WS_POPUP | WS_VISIBLE, CRect(10, 20, 331, 143), nullptr, 0));
  app.m_pMainWnd = &main;
  EXPECT_EQ(AfxGetMainWnd(), &main);
  EXPECT_EQ(ClipBoxOfTheMenuDc(), std::vector<LONG>({0, 0, 321, 123}));

  main.DestroyWindow();
  EXPECT_EQ(AfxGetMainWnd(), nullptr);
  EXPECT_EQ(ClipBoxOfTheMenuDc(), desktop);
  app.m_pMainWnd = nullptr;
  EXPECT_EQ(AfxGetMainWnd(), nullptr);
}

}  // namespace
