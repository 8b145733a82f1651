// Frames, top-level windows and the window manager: the non-client layout and
// its drawing, composite snapshots, owned popups, close, moves, titles and
// style changes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <vector>

#include "platform/win32/application.h"
#include "platform/win32/cwnd.h"
#include "platform/win32/snapshot.h"
#include "platform/win32/window_manager.h"
#include "tests/support/snapshot_file.h"

namespace {

void PumpUntil(const std::function<bool()>& done) {
  QElapsedTimer guard;
  guard.start();
  // The bound only keeps a broken build from hanging; it is no assertion.
  while (!done() && guard.elapsed() < 5000) qv::PumpMessages();
}

// Records what the window manager side sends; may refuse to close.
class RecordingWnd : public CWnd {
 public:
  std::vector<UINT> seen;
  std::vector<CSize> sizes;
  std::vector<UINT> sizeTypes;
  std::vector<CPoint> moves;
  bool refuseClose = false;
  int paints = 0;
  COLORREF colour = RGB(255, 0, 0);

 protected:
  LRESULT OnSysCommand(WPARAM w, LPARAM l) {
    seen.push_back(WM_SYSCOMMAND);
    return CWnd::DefWindowProc(WM_SYSCOMMAND, w, l);
  }
  LRESULT OnCloseMsg(WPARAM w, LPARAM l) {
    seen.push_back(WM_CLOSE);
    return refuseClose ? 0 : CWnd::DefWindowProc(WM_CLOSE, w, l);
  }
  LRESULT OnSizeMsg(WPARAM w, LPARAM l) {
    sizes.emplace_back(LOWORD(l), HIWORD(l));
    sizeTypes.push_back(static_cast<UINT>(w));
    return 0;
  }
  LRESULT OnMoveMsg(WPARAM, LPARAM l) {
    moves.emplace_back(GET_X_LPARAM(l), GET_Y_LPARAM(l));
    return 0;
  }
  void OnPaint() {
    ++paints;
    CPaintDC dc(this);
    dc.FillSolidRect(CRect(0, 0, 1000, 1000), colour);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(RecordingWnd, CWnd)
  ON_MESSAGE(WM_SYSCOMMAND, OnSysCommand)
  ON_MESSAGE(WM_CLOSE, OnCloseMsg)
  ON_MESSAGE(WM_SIZE, OnSizeMsg)
  ON_MESSAGE(WM_MOVE, OnMoveMsg)
  ON_WM_PAINT()
END_MESSAGE_MAP()

// The shown top-level Qt window that hosts a window, found by its title (the
// hosts of destroyed windows are hidden until Qt deletes them).
QWidget* TopLevelWidget(const char* title) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->windowTitle() == QString::fromUtf8(title) && w->isVisible()) return w;
  return nullptr;
}

QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
QRgb Sys(int index) {
  const COLORREF c = GetSysColor(index);
  return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)) & 0xFFFFFF;
}

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override { qv::Application(); }
};

TEST_F(FrameTest, ClientAreaFollowsTheFrameAsOnWindows) {
  struct Case {
    const char* name;
    DWORD style, exStyle;
    bool child;
    CRect client;  // of a 200 x 100 window, in window coordinates
  } cases[] = {
      {"popup", WS_POPUP, 0, false, CRect(0, 0, 200, 100)},
      {"popup border", WS_POPUP | WS_BORDER, 0, false, CRect(1, 1, 199, 99)},
      {"caption", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, false, CRect(3, 22, 197, 97)},
      {"sizing caption", WS_POPUP | WS_CAPTION | WS_THICKFRAME, 0, false, CRect(4, 23, 196, 96)},
      {"modal frame", WS_POPUP, WS_EX_DLGMODALFRAME, false, CRect(3, 3, 197, 97)},
      {"child border", WS_CHILD | WS_BORDER, 0, true, CRect(1, 1, 199, 99)},
      {"child client edge", WS_CHILD, WS_EX_CLIENTEDGE, true, CRect(2, 2, 198, 98)},
      {"child static edge", WS_CHILD, WS_EX_STATICEDGE, true, CRect(1, 1, 199, 99)},
      {"child border and edge", WS_CHILD | WS_BORDER, WS_EX_CLIENTEDGE, true, CRect(3, 3, 197, 97)},
      {"child caption", WS_CHILD | WS_CAPTION, 0, true, CRect(3, 22, 197, 97)},
  };
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, CRect(0, 0, 400, 300), nullptr, 0));
  for (const Case& c : cases) {
    CWnd w;
    ASSERT_TRUE(w.CreateEx(c.exStyle, nullptr, c.name, c.style, CRect(10, 20, 210, 120), c.child ? &parent : nullptr, 0))
        << c.name;
    CRect client, window;
    w.GetClientRect(&client);
    w.GetWindowRect(&window);
    CPoint origin(0, 0);
    w.ClientToScreen(&origin);
    EXPECT_EQ(window.Size(), CSize(200, 100)) << c.name;
    const CRect inWindow(origin.x - window.left, origin.y - window.top, origin.x - window.left + client.Width(),
                         origin.y - window.top + client.Height());
    EXPECT_EQ(inWindow, c.client) << c.name;
    w.DestroyWindow();
  }
}

TEST_F(FrameTest, ScrollBarsAreAsWideAsTheSystemSays) {
  CWnd top;
  ASSERT_TRUE(top.CreateEx(0, nullptr, "bars", WS_POPUP | WS_VSCROLL | WS_HSCROLL, CRect(0, 0, 100, 80), nullptr, 0));
  CRect client;
  top.GetClientRect(&client);
  EXPECT_EQ(client.Width(), 100 - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(client.Height(), 80 - GetSystemMetrics(SM_CYHSCROLL));
  top.DestroyWindow();
}

// A dialog as a person sees it: caption, frame, a bordered child and a child
// with a sunken client edge, each showing what it painted.
TEST_F(FrameTest, CompositeSnapshotShowsTheFramesAndEveryChild) {
  RecordingWnd dialog, bordered, sunken;
  ASSERT_TRUE(dialog.CreateEx(WS_EX_DLGMODALFRAME, nullptr, "Select IC Type",
                              WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, CRect(50, 40, 250, 160), nullptr, 0));
  dialog.colour = GetSysColor(COLOR_3DFACE);
  ASSERT_TRUE(bordered.CreateEx(0, nullptr, "", WS_CHILD | WS_BORDER | WS_VISIBLE, CRect(10, 10, 60, 40), &dialog, 1));
  ASSERT_TRUE(sunken.CreateEx(WS_EX_CLIENTEDGE, nullptr, "", WS_CHILD | WS_VISIBLE, CRect(80, 10, 180, 60), &dialog, 2));
  sunken.colour = RGB(255, 255, 255);
  PumpUntil([&] { return dialog.paints && bordered.paints && sunken.paints; });
  const QImage shot = qv::testing::SaveSnapshot(dialog.m_hWnd, "dialog");
  ASSERT_EQ(shot.size(), QSize(200, 120));
  // The raised dialog frame.
  EXPECT_EQ(At(shot, 0, 0), Sys(COLOR_3DLIGHT));
  EXPECT_EQ(At(shot, 1, 1), Sys(COLOR_3DHIGHLIGHT));
  EXPECT_EQ(At(shot, 199, 119), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(At(shot, 198, 118), Sys(COLOR_3DSHADOW));
  // The caption runs from the active caption colour towards its gradient; no
  // icon in a modal frame; the close box is button face with a black cross.
  EXPECT_EQ(At(shot, 3, 12), Sys(COLOR_ACTIVECAPTION));
  EXPECT_EQ(At(shot, 150, 4), qRgb(0x80, 0xA2, 0xD0) & 0xFFFFFF) << "blended along the bar";
  EXPECT_EQ(At(shot, 197 - 2 - 16 + 2, 3 + 2 + 2), Sys(COLOR_3DFACE));
  EXPECT_EQ(At(shot, 197 - 2 - 16 + 4, 3 + 2 + 3), 0x000000u);
  int titleInk = 0;
  for (int x = 4; x < 100; ++x)
    for (int y = 4; y < 20; ++y) titleInk += At(shot, x, y) == 0xFFFFFFu;
  EXPECT_GT(titleInk, 40) << "the title in white";
  // The client starts under the caption's bottom line.
  EXPECT_EQ(At(shot, 3, 21), Sys(COLOR_3DFACE));
  // Children, placed in the client area with their frames.
  const QPoint client(3, 22);
  EXPECT_EQ(At(shot, client.x() + 10, client.y() + 10), 0x000000u) << "WS_BORDER";
  EXPECT_EQ(At(shot, client.x() + 11, client.y() + 11), 0xFF0000u) << "its client";
  EXPECT_EQ(At(shot, client.x() + 80, client.y() + 10), Sys(COLOR_3DSHADOW)) << "sunken edge outside";
  EXPECT_EQ(At(shot, client.x() + 81, client.y() + 11), Sys(COLOR_3DDKSHADOW)) << "and inside";
  EXPECT_EQ(At(shot, client.x() + 179, client.y() + 59), Sys(COLOR_3DHIGHLIGHT));
  EXPECT_EQ(At(shot, client.x() + 90, client.y() + 30), 0xFFFFFFu);
  // The window snapshot stays the client area alone.
  EXPECT_EQ(qv::WindowSnapshot(dialog.m_hWnd).size(), QSize(194, 95));
  dialog.DestroyWindow();
}

TEST_F(FrameTest, CaptionWithSystemMenuHasTheIconAndTheBoxes) {
  RecordingWnd main;
  ASSERT_TRUE(main.CreateEx(0, nullptr, "Main", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_VISIBLE,
                            CRect(0, 0, 160, 80), nullptr, 0));
  PumpUntil([&] { return main.paints > 0; });
  const QImage shot = qv::testing::SaveSnapshot(main.m_hWnd, "main");
  // The sizing frame: raised edge, then two pixels of the active border.
  EXPECT_EQ(At(shot, 2, 40), Sys(COLOR_ACTIVEBORDER));
  EXPECT_EQ(At(shot, 3, 40), Sys(COLOR_ACTIVEBORDER));
  // The icon: black outline and a dark blue title bar at the caption's left.
  EXPECT_EQ(At(shot, 4 + 1 + 1, 4 + 1 + 5), 0x000000u);
  EXPECT_EQ(At(shot, 4 + 1 + 5, 4 + 1 + 3), 0x000080u);
  // Three boxes: close, maximise two pixels left of it, minimise next to that.
  const int closeLeft = 156 - 2 - 16, maxLeft = closeLeft - 2 - 16, minLeft = maxLeft - 16;
  for (int left : {closeLeft, maxLeft, minLeft}) {
    EXPECT_EQ(At(shot, left, 6), Sys(COLOR_3DLIGHT)) << left;
    EXPECT_EQ(At(shot, left + 15, 6 + 13), Sys(COLOR_3DDKSHADOW)) << left;
  }
  EXPECT_EQ(At(shot, minLeft + 5, 6 + 10), 0x000000u) << "the minimise bar";
  EXPECT_EQ(At(shot, maxLeft + 3, 6 + 5), 0x000000u) << "the maximise box";
  main.DestroyWindow();
}

TEST_F(FrameTest, AStyleChangeThatMovesTheFrameResizesTheClientAndRepaints) {
  CWnd top;
  ASSERT_TRUE(top.CreateEx(0, nullptr, "top", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0));
  RecordingWnd w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 60), &top, 1));
  PumpUntil([&] { return w.paints > 0; });
  const int paints = w.paints;
  w.sizes.clear();
  EXPECT_TRUE(w.ModifyStyle(0, WS_BORDER));
  ASSERT_EQ(w.sizes, std::vector<CSize>{CSize(98, 48)});
  w.colour = RGB(0, 0, 255);
  PumpUntil([&] { return w.paints > paints; });
  EXPECT_GT(w.paints, paints);
  EXPECT_EQ(qv::WindowSnapshot(w.m_hWnd).size(), QSize(98, 48));
  EXPECT_TRUE(w.ModifyStyleEx(0, WS_EX_CLIENTEDGE));
  EXPECT_EQ(w.sizes.back(), CSize(94, 44));
  PumpUntil([&] { return At(qv::CompositeSnapshot(top.m_hWnd), 13, 13) == 0x0000FFu; });
  const QImage shot = qv::CompositeSnapshot(top.m_hWnd);
  EXPECT_EQ(At(shot, 10, 10), 0x000000u) << "the border";
  EXPECT_EQ(At(shot, 11, 11), Sys(COLOR_3DSHADOW)) << "the client edge inside it";
  EXPECT_EQ(At(shot, 13, 13), 0x0000FFu);
  EXPECT_FALSE(w.ModifyStyle(0, WS_BORDER)) << "no change";
  top.DestroyWindow();
}

TEST_F(FrameTest, ACaptionGainedByATopLevelWindowComesFromTheWindowManager) {
  RecordingWnd w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "gaining", WS_POPUP | WS_VISIBLE, CRect(40, 40, 240, 140), nullptr, 0));
  QWidget* host = TopLevelWidget("gaining");
  ASSERT_NE(host, nullptr);
  EXPECT_TRUE(host->windowFlags() & Qt::FramelessWindowHint);
  w.sizes.clear();
  EXPECT_TRUE(w.ModifyStyle(0, WS_CAPTION | WS_SYSMENU));
  EXPECT_EQ(w.sizes, std::vector<CSize>{CSize(194, 75)});
  EXPECT_FALSE(host->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(host->isVisible());
  EXPECT_EQ(host->geometry(), QRect(43, 62, 194, 75));
  CRect r;
  w.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(40, 40, 240, 140));
  w.DestroyWindow();
}

TEST_F(FrameTest, SetTextOnATopLevelWindowSetsItsTitle) {
  CWnd top;
  ASSERT_TRUE(top.CreateEx(0, nullptr, "First title", WS_POPUP | WS_CAPTION | WS_VISIBLE, CRect(0, 0, 120, 60), nullptr, 0));
  QWidget* host = TopLevelWidget("First title");
  ASSERT_NE(host, nullptr);
  top.SetWindowText("Downloading");
  EXPECT_EQ(host->windowTitle(), QString("Downloading"));
  top.DestroyWindow();
}

TEST_F(FrameTest, OwnedPopupIsATopLevelWindowAtItsScreenPlace) {
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, CRect(100, 100, 400, 300), nullptr, 0));
  RecordingWnd popup;
  ASSERT_TRUE(popup.CreateEx(0, nullptr, "owned popup", WS_POPUP | WS_BORDER | WS_VISIBLE, CRect(500, 120, 560, 150), &owner, 0));
  QWidget* host = TopLevelWidget("owned popup");
  ASSERT_NE(host, nullptr) << "a window of its own";
  EXPECT_EQ(host->geometry(), QRect(500, 120, 60, 30));
  CRect r;
  popup.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(500, 120, 560, 150)) << "screen coordinates, not the owner's";
  EXPECT_EQ(::GetParent(popup.m_hWnd), owner.m_hWnd);
  EXPECT_EQ(::GetDlgItem(owner.m_hWnd, 0), nullptr) << "not one of the owner's children";
  owner.ShowWindow(SW_HIDE);
  EXPECT_TRUE(popup.IsWindowVisible()) << "its visibility is its own";
  owner.DestroyWindow();
  EXPECT_FALSE(::IsWindow(popup.m_hWnd)) << "destroyed with its owner";
}

bool FixedSize(const QWidget* host) {
  return host->minimumSize() == host->size() && host->maximumSize() == host->size();
}
bool FreeSize(const QWidget* host) {
  return host->minimumSize() == QSize(0, 0) && host->maximumSize() == QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

// The styles become the window manager's hints, as a person meets them on
// Windows: no WS_THICKFRAME, no resize function; WS_MAXIMIZEBOX, the maximise
// function and never min = max size hints; neither, min = max; the boxes
// only with their styles. On the offscreen platform, what the layer hands Qt
// and the X server (tests/win32/x11 reads them back from one).
TEST_F(FrameTest, TheStylesBecomeTheWindowManagersSizeHintsAndBoxes) {
  constexpr DWORD kDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  struct Case {
    const char* name;
    DWORD style, exStyle;
    bool fixed, minimiseBox, maximiseBox;
    std::uint32_t functions, decorations, maximisedFunctions;
  } cases[] = {
      {"modal frame", kDialog, WS_EX_DLGMODALFRAME, true, false, false, 0x24, 0x1a, 0x24},
      {"sizing frame", kDialog | WS_THICKFRAME, 0, false, false, false, 0x26, 0x1e, 0x26},
      {"boxes", kDialog | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, false, true, true, 0x3c, 0x7a, 0x3e},
      {"boxes and sizing frame", kDialog | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, false, true, true, 0x3e,
       0x7e, 0x3e},
      {"minimise box", kDialog | WS_MINIMIZEBOX, 0, true, true, false, 0x2c, 0x3a, 0x2c},
      {"popup", WS_POPUP | WS_BORDER, 0, true, false, false, 0x0, 0x0, 0x0},
  };
  for (const Case& c : cases) {
    CWnd w;
    ASSERT_TRUE(w.CreateEx(c.exStyle, nullptr, c.name, c.style | WS_VISIBLE, CRect(10, 10, 210, 110), nullptr, 0));
    QWidget* host = TopLevelWidget(c.name);
    ASSERT_NE(host, nullptr) << c.name;
    EXPECT_EQ(FixedSize(host), c.fixed) << c.name;
    EXPECT_EQ(FreeSize(host), !c.fixed) << c.name;
    EXPECT_EQ(host->windowFlags().testFlag(Qt::WindowMinimizeButtonHint), c.minimiseBox) << c.name;
    EXPECT_EQ(host->windowFlags().testFlag(Qt::WindowMaximizeButtonHint), c.maximiseBox) << c.name;
    EXPECT_EQ(qv::win32::FollowedStyle(host), c.style | WS_VISIBLE) << c.name;
    const qv::win32::MotifHints normal = qv::win32::MotifHintsFor(c.style, false);
    EXPECT_EQ(normal.flags, 3u) << c.name;
    EXPECT_EQ(normal.functions, c.functions) << c.name;
    EXPECT_EQ(normal.decorations, c.decorations) << c.name;
    EXPECT_EQ(qv::win32::MotifHintsFor(c.style, true).functions, c.maximisedFunctions) << c.name;
    EXPECT_EQ(qv::win32::FixedSizeFor(c.style), c.fixed) << c.name;
    // The program itself may still size it; the window keeps the new size.
    w.SetWindowPos(nullptr, 0, 0, 260, 150, SWP_NOMOVE | SWP_NOZORDER);
    CRect r;
    w.GetWindowRect(&r);
    EXPECT_EQ(r.Size(), CSize(260, 150)) << c.name;
    EXPECT_EQ(FixedSize(host), c.fixed) << c.name;
    w.DestroyWindow();
  }
}

// A window manager that maximises only what it may resize gets the resize
// function for windows with a maximise box: maximising wins.
TEST_F(FrameTest, WhereMaximisingNeedsResizingMaximisingWins) {
  constexpr DWORD kMain = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  qv::win32::SetMaximiseNeedsResize(true);
  EXPECT_EQ(qv::win32::MotifHintsFor(kMain, false).functions, 0x3eu);
  EXPECT_EQ(qv::win32::MotifHintsFor(WS_POPUP | WS_CAPTION | WS_SYSMENU, false).functions, 0x24u)
      << "a fixed dialog stays fixed";
  qv::win32::SetMaximiseNeedsResize(false);
  EXPECT_EQ(qv::win32::MotifHintsFor(kMain, false).functions, 0x3cu);
}

// A window with a maximise box is never of fixed size: it can be restored
// and maximised again as often as the person likes. Restored, it has its
// size from before.
TEST_F(FrameTest, AWindowWithAMaximiseBoxIsRestoredAndMaximisedAgain) {
  RecordingWnd w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "fixed main", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MAXIMIZEBOX | WS_VISIBLE,
                         CRect(20, 30, 320, 230), nullptr, 0));
  QWidget* host = TopLevelWidget("fixed main");
  ASSERT_NE(host, nullptr);
  const QRect normal = host->geometry();
  for (int round = 0; round < 2; ++round) {
    w.ShowWindow(SW_MAXIMIZE);
    PumpUntil([&] { return !w.sizeTypes.empty() && w.sizeTypes.back() == SIZE_MAXIMIZED; });
    EXPECT_TRUE(host->isMaximized());
    EXPECT_TRUE(FreeSize(host));
    EXPECT_EQ(host->frameGeometry(), QApplication::primaryScreen()->availableGeometry());
    w.ShowWindow(SW_RESTORE);
    PumpUntil([&] { return host->geometry() == normal; });
    EXPECT_FALSE(host->isMaximized());
    EXPECT_EQ(host->geometry(), normal);
    EXPECT_TRUE(FreeSize(host)) << "never min = max";
    CRect r;
    w.GetWindowRect(&r);
    EXPECT_EQ(r, CRect(20, 30, 320, 230));
    ASSERT_FALSE(w.sizeTypes.empty());
    EXPECT_EQ(w.sizeTypes.back(), static_cast<UINT>(SIZE_RESTORED));
  }
  w.DestroyWindow();
}

// A window with neither a sizing frame nor a maximise box is free only while
// the program keeps it maximised, and of fixed size again once restored.
TEST_F(FrameTest, AFixedWindowIsFreeOnlyWhileMaximised) {
  RecordingWnd w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "fixed dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                         CRect(20, 30, 320, 230), nullptr, 0));
  QWidget* host = TopLevelWidget("fixed dialog");
  ASSERT_NE(host, nullptr);
  const QRect normal = host->geometry();
  w.ShowWindow(SW_MAXIMIZE);
  PumpUntil([&] { return !w.sizeTypes.empty() && w.sizeTypes.back() == SIZE_MAXIMIZED; });
  EXPECT_TRUE(host->isMaximized()) << "the program may maximise any window";
  EXPECT_TRUE(FreeSize(host));
  ASSERT_FALSE(w.sizeTypes.empty());
  EXPECT_EQ(w.sizeTypes.back(), static_cast<UINT>(SIZE_MAXIMIZED));
  w.ShowWindow(SW_RESTORE);
  PumpUntil([&] { return host->geometry() == normal && FixedSize(host); });
  EXPECT_EQ(host->geometry(), normal);
  EXPECT_TRUE(FixedSize(host));
  w.DestroyWindow();
}

// The window manager resizes a window without a sizing frame (on a request):
// the window is put back to its size.
TEST_F(FrameTest, AResizeAgainstTheStylesIsPutBack) {
  for (const DWORD boxes : {DWORD{0}, DWORD{WS_MAXIMIZEBOX}}) {
    RecordingWnd w;
    ASSERT_TRUE(w.CreateEx(0, nullptr, "put back", WS_POPUP | WS_CAPTION | WS_SYSMENU | boxes | WS_VISIBLE,
                           CRect(20, 30, 320, 230), nullptr, 0));
    QWidget* host = TopLevelWidget("put back");
    ASSERT_NE(host, nullptr);
    const QSize size = host->size();
    host->setMinimumSize(0, 0);  // as a window manager that ignores the hints
    host->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    host->resize(500, 400);
    PumpUntil([&] { return host->size() == size; });
    EXPECT_EQ(host->size(), size) << boxes;
    CRect r;
    w.GetWindowRect(&r);
    EXPECT_EQ(r, CRect(20, 30, 320, 230)) << boxes;
    w.DestroyWindow();
  }
}

TEST_F(FrameTest, TheWindowManagersCloseAsksTheWindowFirst) {
  for (const bool refuse : {true, false}) {
    RecordingWnd w;
    ASSERT_TRUE(w.CreateEx(0, nullptr, "closing", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, CRect(0, 0, 120, 60), nullptr, 0));
    w.refuseClose = refuse;
    QWidget* host = TopLevelWidget("closing");
    ASSERT_NE(host, nullptr);
    HWND h = w.m_hWnd;
    host->close();
    qv::PumpMessages();
    EXPECT_EQ(w.seen, (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE})) << refuse;
    EXPECT_EQ(::IsWindow(h), refuse ? TRUE : FALSE);
    EXPECT_EQ(::IsWindowVisible(h), refuse ? TRUE : FALSE);
    if (refuse) {
      EXPECT_TRUE(host->isVisible()) << "a refusal keeps it open";
      w.DestroyWindow();
    }
  }
}

TEST_F(FrameTest, WindowManagerMovesAndResizesReachTheWindow) {
  RecordingWnd w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "moving", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE,
                         CRect(20, 30, 220, 130), nullptr, 0));
  QWidget* host = TopLevelWidget("moving");
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(host->geometry(), QRect(24, 53, 192, 73)) << "inside the window manager's frame";
  w.sizes.clear();
  host->setGeometry(QRect(64, 83, 292, 173));  // as the window manager does
  PumpUntil([&] { return !w.moves.empty() && !w.sizes.empty(); });
  CRect r;
  w.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(60, 60, 360, 260));
  ASSERT_FALSE(w.moves.empty());
  EXPECT_EQ(w.moves.back(), CPoint(64, 83)) << "the client area's origin";
  ASSERT_FALSE(w.sizes.empty());
  EXPECT_EQ(w.sizes.back(), CSize(292, 173));
  CRect client;
  w.GetClientRect(&client);
  EXPECT_EQ(client.Size(), CSize(292, 173));

  w.ShowWindow(SW_MAXIMIZE);
  PumpUntil([&] { return host->isMaximized() && !w.sizeTypes.empty() && w.sizeTypes.back() == SIZE_MAXIMIZED; });
  EXPECT_TRUE(host->isMaximized());
  ASSERT_FALSE(w.sizeTypes.empty());
  EXPECT_EQ(w.sizeTypes.back(), SIZE_MAXIMIZED);
  w.DestroyWindow();
}

class ClickCounter : public RecordingWnd {
 public:
  int clicks = 0;

 protected:
  LRESULT OnClick(WPARAM, LPARAM) {
    ++clicks;
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ClickCounter, RecordingWnd)
  ON_MESSAGE(WM_LBUTTONDOWN, OnClick)
END_MESSAGE_MAP()

void Click(QWidget* target, QPoint at) {
  QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(target, &press);
}

// A disabled parent blocks its children's input, but they keep their look:
// Qt would grey every child widget of a disabled widget.
TEST_F(FrameTest, ADisabledParentBlocksInputButDoesNotGreyItsChildren) {
  RecordingWnd top;
  ASSERT_TRUE(top.CreateEx(0, nullptr, "disabling", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0));
  ClickCounter child;
  ASSERT_TRUE(child.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, CRect(10, 10, 110, 60), &top, 1));
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 100, 10, 0, 0};
  child.SetScrollInfo(SB_VERT, &info);
  QWidget* topHost = TopLevelWidget("disabling");
  ASSERT_NE(topHost, nullptr);
  QWidget* childHost = topHost->childAt(20, 20);
  ASSERT_NE(childHost, nullptr);
  PumpUntil([&] { return child.paints > 0; });
  const QImage before = qv::CompositeSnapshot(top.m_hWnd);
  Click(childHost, QPoint(5, 5));
  EXPECT_EQ(child.clicks, 1);

  top.EnableWindow(FALSE);
  qv::PumpMessages();
  Click(childHost, QPoint(5, 5));
  EXPECT_EQ(child.clicks, 1) << "no input inside a disabled window";
  EXPECT_TRUE(child.IsWindowEnabled());
  EXPECT_TRUE(childHost->isEnabled());
  for (QWidget* w : childHost->findChildren<QWidget*>()) EXPECT_TRUE(w->isEnabled()) << "the scroll bar keeps its look";
  EXPECT_EQ(qv::CompositeSnapshot(top.m_hWnd), before);

  top.EnableWindow(TRUE);
  Click(childHost, QPoint(5, 5));
  EXPECT_EQ(child.clicks, 2);
  // The window's own widgets follow its own state.
  child.EnableWindow(FALSE);
  for (QWidget* w : childHost->findChildren<QWidget*>()) EXPECT_FALSE(w->isEnabled());
  Click(childHost, QPoint(5, 5));
  EXPECT_EQ(child.clicks, 2);
  top.DestroyWindow();
}

// A child that leaves its background alone: only a small red mark of its own.
class MarkWnd : public CWnd {
 public:
  int paints = 0;

 protected:
  void OnPaint() {
    ++paints;
    CPaintDC dc(this);
    dc.FillSolidRect(CRect(0, 0, 5, 5), RGB(255, 0, 0));
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(MarkWnd, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

TEST_F(FrameTest, ChildrenThatDoNotPaintTheirBackgroundShowTheirParent) {
  RecordingWnd top;
  ASSERT_TRUE(top.CreateEx(0, nullptr, "under", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0));
  top.colour = RGB(0, 0, 255);
  top.UpdateWindow();
  MarkWnd plain, transparent;
  ASSERT_TRUE(plain.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 60), &top, 1));
  ASSERT_TRUE(transparent.CreateEx(WS_EX_TRANSPARENT, nullptr, "", WS_CHILD | WS_VISIBLE, CRect(100, 10, 150, 60), &top, 2));
  plain.UpdateWindow();
  transparent.UpdateWindow();
  for (CWnd* w : {static_cast<CWnd*>(&plain), static_cast<CWnd*>(&transparent)}) {
    const QImage shot = qv::WindowSnapshot(w->m_hWnd);
    EXPECT_EQ(At(shot, 2, 2), 0xFF0000u);
    EXPECT_EQ(At(shot, 20, 20), 0x0000FFu) << "the parent's pixels, not white";
  }
  // The parent paints again: what it paints reaches the transparent child,
  // which paints itself over it once more.
  const int paints = transparent.paints;
  top.colour = RGB(0, 255, 0);
  top.Invalidate(FALSE);
  top.UpdateWindow();
  PumpUntil([&] { return transparent.paints > paints; });
  EXPECT_EQ(transparent.paints, paints + 1);
  const QImage shot = qv::WindowSnapshot(transparent.m_hWnd);
  EXPECT_EQ(At(shot, 20, 20), 0x00FF00u);
  EXPECT_EQ(At(shot, 2, 2), 0xFF0000u);
  top.DestroyWindow();
}

}  // namespace
