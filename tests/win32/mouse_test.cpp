// The mouse through real Qt events: capture, leave tracking, WM_SETCURSOR and
// cursors, the context menu, PreTranslateMessage, the window under a point,
// and the tool tip shown after a hover.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QWindow>
#include <vector>

#include "platform/win32/application.h"
#include "platform/win32/cwnd.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/input/mouse.h"
#include "platform/win32/snapshot.h"
#include "platform/win32/tooltip/tooltip.h"
#include "platform/win32/window_object.h"
#include "platform/win32/window_tree.h"
#include "tests/support/snapshot_file.h"

namespace {

struct Seen {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// Keeps every message; answers WM_SETCURSOR and eats clicks when asked.
class Recorder : public CWnd {
 public:
  std::vector<Seen> seen;
  HCURSOR cursor = nullptr;  // shown over the window when set
  bool eatClicks = false;
  CToolTipCtrl* tip = nullptr;

  std::vector<Seen> Of(UINT msg) const {
    std::vector<Seen> out;
    for (const Seen& s : seen)
      if (s.msg == msg) out.push_back(s);
    return out;
  }
  BOOL PreTranslateMessage(MSG* msg) override {
    if (tip) tip->RelayEvent(msg);
    return eatClicks && msg->message == WM_LBUTTONDOWN;
  }
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    seen.push_back(Seen{msg, w, l});
    if (msg == WM_SETCURSOR && cursor) {
      SetCursor(cursor);
      return TRUE;
    }
    return CWnd::WindowProc(msg, w, l);
  }
};

void PumpUntil(const std::function<bool()>& done) {
  QElapsedTimer guard;
  guard.start();
  // The bound only keeps a broken build from hanging; it is no assertion.
  while (!done() && guard.elapsed() < 5000) qv::PumpMessages();
}

class MouseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qv::Application();
    ASSERT_TRUE(top.CreateEx(0, nullptr, "top", WS_POPUP | WS_VISIBLE, CRect(100, 100, 400, 300), nullptr, 0));
    ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 60), &top, 7));
    window = qv::win32::Lookup(top.m_hWnd)->host->windowHandle();
    ASSERT_TRUE(window);
    QTest::mouseMove(window, QPoint(250, 150));  // start outside the child
    qv::PumpMessages();
    top.seen.clear();
    child.seen.clear();
  }
  void TearDown() override {
    ReleaseCapture();
    top.DestroyWindow();
  }
  Recorder top;
  Recorder child;
  QWindow* window = nullptr;
};

TEST_F(MouseTest, TheCursorIsAskedForBeforeEachMoveAndTheCaptureTakesMovesOutside) {
  QTest::mouseMove(window, QPoint(50, 30));
  ASSERT_FALSE(child.Of(WM_MOUSEMOVE).empty());
  ASSERT_GE(child.seen.size(), 3u);
  // As on Windows: the hit test, then the cursor, then the move.
  EXPECT_EQ(child.seen[0].msg, WM_NCHITTEST);
  EXPECT_EQ(child.seen[0].lParam, MAKELPARAM(150, 130)) << "screen coordinates";
  EXPECT_EQ(child.seen[1].msg, WM_SETCURSOR);
  EXPECT_EQ(child.seen[1].lParam, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(child.Of(WM_MOUSEMOVE).back().lParam, MAKELPARAM(40, 20));
  EXPECT_FALSE(top.Of(WM_SETCURSOR).empty()) << "the default processing asks the parent";

  EXPECT_EQ(SetCapture(child.m_hWnd), nullptr);
  EXPECT_EQ(GetCapture(), child.m_hWnd);
  child.seen.clear();
  QTest::mouseMove(window, QPoint(250, 150));
  ASSERT_FALSE(child.Of(WM_MOUSEMOVE).empty()) << "outside the child, yet its message";
  EXPECT_EQ(child.Of(WM_MOUSEMOVE).back().lParam, MAKELPARAM(240, 140));
  EXPECT_TRUE(child.Of(WM_SETCURSOR).empty()) << "no WM_SETCURSOR under capture";
  EXPECT_TRUE(child.Of(WM_NCHITTEST).empty()) << "nor a hit test";
  POINT pos{};
  ASSERT_TRUE(GetCursorPos(&pos));
  EXPECT_EQ(pos.x, 350);
  EXPECT_EQ(pos.y, 250);

  EXPECT_TRUE(ReleaseCapture());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(child.Of(WM_CAPTURECHANGED).size(), 1u);
  child.seen.clear();
  QTest::mouseMove(window, QPoint(260, 160));
  EXPECT_TRUE(child.Of(WM_MOUSEMOVE).empty()) << "released";
}

TEST_F(MouseTest, LeavingATrackedWindowSendsMouseLeaveOnce) {
  QTest::mouseMove(window, QPoint(50, 30));
  TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, child.m_hWnd, 0};
  ASSERT_TRUE(_TrackMouseEvent(&tme));
  QTest::mouseMove(window, QPoint(200, 150));
  EXPECT_EQ(child.Of(WM_MOUSELEAVE).size(), 1u);
  QTest::mouseMove(window, QPoint(50, 30));
  QTest::mouseMove(window, QPoint(200, 150));
  EXPECT_EQ(child.Of(WM_MOUSELEAVE).size(), 1u) << "once per request";
}

TEST_F(MouseTest, AWindowsCursorShowsOverItAndTheArrowElsewhere) {
  child.cursor = LoadCursor(nullptr, IDC_HAND);
  ASSERT_TRUE(child.cursor);
  EXPECT_EQ(LoadCursor(nullptr, IDC_HAND), child.cursor) << "predefined cursors are shared";
  EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCEA(1)), nullptr);
  QWidget* childHost = qv::win32::Lookup(child.m_hWnd)->host;
  QWidget* topHost = qv::win32::Lookup(top.m_hWnd)->host;
  QTest::mouseMove(window, QPoint(50, 30));
  EXPECT_EQ(childHost->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(GetCursor(), child.cursor);
  QTest::mouseMove(window, QPoint(200, 150));
  EXPECT_EQ(topHost->cursor().shape(), Qt::ArrowCursor) << "the default: the arrow";
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
  EXPECT_TRUE(DestroyCursor(child.cursor)) << "a shared cursor is never destroyed";
  EXPECT_EQ(LoadCursor(nullptr, IDC_HAND), child.cursor);
}

TEST_F(MouseTest, ARightClickBringsTheContextMenuToTheParent) {
  QTest::mouseClick(window, Qt::RightButton, {}, QPoint(50, 30));
  ASSERT_EQ(child.Of(WM_CONTEXTMENU).size(), 1u);
  ASSERT_EQ(top.Of(WM_CONTEXTMENU).size(), 1u) << "the child's default hands it on";
  EXPECT_EQ(top.Of(WM_CONTEXTMENU)[0].wParam, reinterpret_cast<WPARAM>(child.m_hWnd));
  EXPECT_EQ(top.Of(WM_CONTEXTMENU)[0].lParam, MAKELPARAM(150, 130)) << "screen coordinates";
}

TEST_F(MouseTest, ShiftF10AsksForTheContextMenuFromTheKeyboard) {
  SetFocus(child.m_hWnd);
  ASSERT_EQ(GetFocus(), child.m_hWnd);
  qv::PressKey(0x79, Qt::ShiftModifier);  // VK_F10
  ASSERT_EQ(top.Of(WM_CONTEXTMENU).size(), 1u);
  EXPECT_EQ(top.Of(WM_CONTEXTMENU)[0].lParam, MAKELPARAM(-1, -1)) << "no position from the keyboard";
  qv::PressKey(0x79);
  EXPECT_EQ(top.Of(WM_CONTEXTMENU).size(), 1u) << "F10 alone is no context menu";
}

TEST_F(MouseTest, PreTranslateMessageOfAParentEatsTheChildsClick) {
  top.eatClicks = true;
  QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(50, 30));
  EXPECT_TRUE(child.Of(WM_LBUTTONDOWN).empty());
  EXPECT_EQ(child.Of(WM_LBUTTONUP).size(), 1u);
}

TEST_F(MouseTest, PointsFindWindowsAndMapBetweenThem) {
  EXPECT_EQ(WindowFromPoint(POINT{150, 130}), child.m_hWnd);
  EXPECT_EQ(WindowFromPoint(POINT{350, 250}), top.m_hWnd);
  EXPECT_EQ(ChildWindowFromPoint(top.m_hWnd, POINT{50, 30}), child.m_hWnd);
  EXPECT_EQ(ChildWindowFromPoint(top.m_hWnd, POINT{250, 150}), top.m_hWnd);
  EXPECT_EQ(ChildWindowFromPoint(top.m_hWnd, POINT{-5, 30}), nullptr);
  POINT p[2] = {{0, 0}, {5, 6}};
  EXPECT_EQ(MapWindowPoints(child.m_hWnd, top.m_hWnd, p, 2), MAKELONG(10, 10));
  EXPECT_EQ(p[1].x, 15);
  EXPECT_EQ(p[1].y, 16);
  POINT s{0, 0};
  MapWindowPoints(child.m_hWnd, nullptr, &s, 1);
  EXPECT_EQ(s.x, 110) << "to the screen";
}

TEST_F(MouseTest, SetParentMovesAWindowAndRefusesLoops) {
  Recorder other;
  ASSERT_TRUE(other.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(150, 100, 250, 180), &top, 8));
  EXPECT_EQ(SetParent(child.m_hWnd, other.m_hWnd), top.m_hWnd) << "the previous parent";
  EXPECT_EQ(GetParent(child.m_hWnd), other.m_hWnd);
  EXPECT_EQ(GetDlgItem(other.m_hWnd, 7), child.m_hWnd);
  EXPECT_EQ(GetDlgItem(top.m_hWnd, 7), nullptr);
  RECT r{};
  GetWindowRect(child.m_hWnd, &r);
  EXPECT_EQ(r.left, 100 + 150 + 10) << "its place within the new parent";
  EXPECT_EQ(SetParent(other.m_hWnd, child.m_hWnd), nullptr) << "not into its own child";
  EXPECT_TRUE(BringWindowToTop(child.m_hWnd));
  EXPECT_EQ(SetParent(child.m_hWnd, top.m_hWnd), other.m_hWnd);
  other.DestroyWindow();
  EXPECT_TRUE(IsWindow(child.m_hWnd)) << "moved out before its old parent went";
}

TEST_F(MouseTest, TheToolTipShowsAfterTheHoverAndGoesOnAClick) {
  CToolTipCtrl tip;
  ASSERT_TRUE(tip.Create(&child));
  ASSERT_TRUE(tip.AddTool(&child, "Write the image"));
  EXPECT_EQ(tip.GetToolCount(), 1);
  tip.SetDelayTime(TTDT_INITIAL, 30);
  child.tip = &tip;
  CString text;
  tip.GetText(text, &child);
  EXPECT_EQ(text, "Write the image");

  QTest::mouseMove(window, QPoint(50, 30));
  EXPECT_FALSE(tip.IsWindowVisible()) << "not before the delay";
  PumpUntil([&] { return tip.IsWindowVisible() != FALSE; });
  ASSERT_TRUE(tip.IsWindowVisible());
  RECT r{};
  tip.GetWindowRect(&r);
  EXPECT_EQ(r.left, 150) << "at the cursor";
  EXPECT_GT(r.top, 130) << "below it";
  EXPECT_EQ(::GetParent(tip.m_hWnd), child.m_hWnd) << "owned by the tool's window";
  const COLORREF info = GetSysColor(COLOR_INFOBK), frame = GetSysColor(COLOR_INFOTEXT);
  auto rgb = [](COLORREF c) { return static_cast<QRgb>(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c)); };
  PumpUntil([&] { return (qv::WindowSnapshot(tip.m_hWnd).pixel(1, 1) & 0xFFFFFF) == rgb(info); });
  QImage shown = qv::WindowSnapshot(tip.m_hWnd);
  EXPECT_EQ(shown.pixel(0, 0) & 0xFFFFFF, rgb(frame)) << "a thin border";
  EXPECT_EQ(shown.pixel(1, 1) & 0xFFFFFF, rgb(info)) << "on the info colour";
  qv::testing::SavePicture(shown, "tooltip");

  QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(50, 30));
  EXPECT_FALSE(tip.IsWindowVisible()) << "a click hides it";

  // Shown again after leaving and coming back (the parent relays too, as a
  // dialog does); leaving for a window that relays nothing hides it.
  top.tip = &tip;
  QTest::mouseMove(window, QPoint(250, 150));
  QTest::mouseMove(window, QPoint(55, 30));
  PumpUntil([&] { return tip.IsWindowVisible() != FALSE; });
  ASSERT_TRUE(tip.IsWindowVisible());
  top.tip = child.tip = nullptr;
  QTest::mouseMove(window, QPoint(250, 150));
  PumpUntil([&] { return !tip.IsWindowVisible(); });
  EXPECT_FALSE(tip.IsWindowVisible());
  child.tip = &tip;

  tip.Activate(FALSE);
  QTest::mouseMove(window, QPoint(200, 150));
  QTest::mouseMove(window, QPoint(60, 30));
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 100) qv::PumpMessages();
  EXPECT_FALSE(tip.IsWindowVisible()) << "an inactive tip never shows";
  child.tip = nullptr;
}

}  // namespace
