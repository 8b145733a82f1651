// The window core: message maps, sends and posts across threads, text
// messages, destruction, timers, scroll bars and painting.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/sync.h"
#include "platform/win32/application.h"
#include "platform/win32/cwnd.h"
#include "platform/win32/snapshot.h"
#include "platform/win32/window_class.h"

namespace {

constexpr UINT kMsgA = WM_USER + 1;
constexpr UINT kMsgB = WM_USER + 2;
constexpr UINT kMsgUnmapped = WM_USER + 3;

class BaseWnd : public CWnd {
 protected:
  LRESULT OnA(WPARAM, LPARAM) { return 1; }
  LRESULT OnB(WPARAM, LPARAM) { return 2; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
  ON_MESSAGE(kMsgA, OnA)
  ON_MESSAGE(kMsgB, OnB)
END_MESSAGE_MAP()

// Overrides A twice (the first entry must win) and the text, which it hands
// on to the default processing.
class DerivedWnd : public BaseWnd {
 public:
  std::vector<UINT> seen;
  std::thread::id handlerThread;

 protected:
  LRESULT OnFirstA(WPARAM, LPARAM) { return 10; }
  LRESULT OnSecondA(WPARAM, LPARAM) { return 20; }
  LRESULT OnSetText(WPARAM, LPARAM) {
    seen.push_back(WM_SETTEXT);
    return Default();
  }
  LRESULT OnRecord(WPARAM w, LPARAM) {
    seen.push_back(static_cast<UINT>(w));
    handlerThread = std::this_thread::get_id();
    return static_cast<LRESULT>(w) * 2;
  }
  void OnDestroy() { seen.push_back(WM_DESTROY); }
  void OnNcDestroy() { seen.push_back(WM_NCDESTROY); }
  void OnTimer(UINT_PTR id) { seen.push_back(static_cast<UINT>(0x1000 + id)); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(DerivedWnd, BaseWnd)
  ON_MESSAGE(kMsgA, OnFirstA)
  ON_MESSAGE(kMsgA, OnSecondA)
  ON_MESSAGE(WM_SETTEXT, OnSetText)
  ON_MESSAGE(WM_USER + 50, OnRecord)
  ON_WM_DESTROY()
  ON_WM_NCDESTROY()
  ON_WM_TIMER()
END_MESSAGE_MAP()

void PumpUntil(const std::function<bool()>& done) {
  QElapsedTimer guard;
  guard.start();
  // The bound only keeps a broken build from hanging; it is no assertion.
  while (!done() && guard.elapsed() < 5000) qv::PumpMessages();
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qv::Application();
    ASSERT_TRUE(top.CreateEx(0, nullptr, "top", WS_POPUP | WS_VISIBLE, CRect(0, 0, 300, 200), nullptr, 0));
    ASSERT_TRUE(wnd.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 60), &top, 7));
  }
  CWnd top;
  DerivedWnd wnd;
};

TEST_F(WindowTest, FirstMatchingEntryWinsAndBaseMapsFollow) {
  struct Case {
    UINT msg;
    LRESULT expected;
  } cases[] = {{kMsgA, 10}, {kMsgB, 2}, {kMsgUnmapped, 0}};
  for (const Case& c : cases) EXPECT_EQ(wnd.SendMessage(c.msg), c.expected) << c.msg;
  // A handler's Default() reaches the window's own procedure.
  wnd.SetWindowText("Verify Fail!");
  EXPECT_EQ(wnd.seen, std::vector<UINT>{WM_SETTEXT});
  EXPECT_EQ(wnd.GetWindowTextLength(), 12);
  EXPECT_EQ(CWnd::FromHandle(wnd.m_hWnd), &wnd);
  EXPECT_EQ(::GetDlgItem(top.m_hWnd, 7), wnd.m_hWnd);
  EXPECT_EQ(::GetParent(wnd.m_hWnd), top.m_hWnd);
  EXPECT_EQ(wnd.GetDlgCtrlID(), 7);
}

TEST_F(WindowTest, TextMessagesAtTheirEdges) {
  HWND h = wnd.m_hWnd;
  struct Case {
    const char* set;  // nullptr: WM_SETTEXT with NULL
    WPARAM size;
    LRESULT copied;
    const char* got;
  } cases[] = {
      {"Verify Fail!", 5, 4, "Veri"}, {"Verify Fail!", 64, 12, "Verify Fail!"}, {"abc", 1, 0, ""},
      {"abc", 0, 0, "#"},  // a size of 0 leaves the buffer alone
      {nullptr, 8, 0, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(::SendMessage(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.set)), TRUE);
    char buffer[64] = "#";
    EXPECT_EQ(::SendMessage(h, WM_GETTEXT, c.size, reinterpret_cast<LPARAM>(buffer)), c.copied);
    EXPECT_STREQ(buffer, c.got);
    EXPECT_EQ(::SendMessage(h, WM_GETTEXTLENGTH, 0, 0), c.set ? static_cast<LRESULT>(std::strlen(c.set)) : 0);
  }
  EXPECT_EQ(::SendMessage(h, WM_GETTEXT, 10, 0), 0);  // no buffer
  CString text;
  wnd.SetWindowText("PASS");
  wnd.GetWindowText(text);
  EXPECT_EQ(text, "PASS");
}

TEST_F(WindowTest, ClassNamesAreCutToTheBuffer) {
  struct Case {
    int size;
    int copied;
    const char* got;
  } cases[] = {{64, 6, "AfxWnd"}, {7, 6, "AfxWnd"}, {4, 3, "Afx"}, {1, 0, ""}, {0, 0, "#"}};
  for (const Case& c : cases) {
    char buffer[64] = "#";
    EXPECT_EQ(::GetClassNameA(wnd.m_hWnd, buffer, c.size), c.copied) << c.size;
    EXPECT_STREQ(buffer, c.got) << c.size;
  }
}

TEST_F(WindowTest, WorkerSendsAreServedOnTheUiThreadWhileItWaits) {
  HWND h = wnd.m_hWnd;
  std::atomic<bool> done{false};
  std::vector<LRESULT> results;
  std::thread worker([&] {
    for (WPARAM i = 1; i <= 20; ++i) results.push_back(::SendMessage(h, WM_USER + 50, i, 0));
    done.store(true, std::memory_order_release);
  });
  EXPECT_TRUE(qv::WaitServingSends([&] { return done.load(std::memory_order_acquire); }, INFINITE));
  worker.join();
  ASSERT_EQ(results.size(), 20u);
  for (size_t i = 0; i < results.size(); ++i) EXPECT_EQ(results[i], static_cast<LRESULT>(2 * (i + 1)));
  EXPECT_EQ(wnd.handlerThread, std::this_thread::get_id());
}

TEST_F(WindowTest, PostsFromAWorkerArriveInOrderBehindItsCarriedCalls) {
  HWND h = wnd.m_hWnd;
  std::thread worker([&] {
    for (WPARAM i = 0; i < 200; ++i) ::PostMessage(h, WM_USER + 50, i, 0);
    ::EnableWindow(h, FALSE);  // carried to the UI thread, after the posts
  });
  worker.join();
  PumpUntil([&] { return wnd.seen.size() >= 200 && !wnd.IsWindowEnabled(); });
  ASSERT_EQ(wnd.seen.size(), 200u);
  for (UINT i = 0; i < 200; ++i) EXPECT_EQ(wnd.seen[i], i);
  EXPECT_FALSE(wnd.IsWindowEnabled());
}

// While the window handles WM_DESTROY, a worker's send returns 0 at once
// instead of waiting for a window that will never answer.
class SendsDuringDestroy : public CWnd {
 public:
  std::atomic<LRESULT> workerResult{-1};

 protected:
  void OnDestroy() {
    HWND h = m_hWnd;
    std::thread worker([&, h] { workerResult = ::SendMessage(h, WM_USER + 50, 1, 0); });
    worker.join();  // a plain join: the send must not need this thread
  }
  LRESULT OnRecord(WPARAM, LPARAM) { return 99; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(SendsDuringDestroy, CWnd)
  ON_WM_DESTROY()
  ON_MESSAGE(WM_USER + 50, OnRecord)
END_MESSAGE_MAP()

TEST_F(WindowTest, DestructionOrderAndMessagesToDestroyedWindows) {
  DerivedWnd child;
  ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD, CRect(0, 0, 10, 10), &wnd, 8));
  HWND h = wnd.m_hWnd;
  HWND c = child.m_hWnd;
  wnd.seen.clear();
  ASSERT_TRUE(::DestroyWindow(h));
  EXPECT_EQ(wnd.seen, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
  EXPECT_EQ(child.seen, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
  EXPECT_EQ(wnd.m_hWnd, nullptr);  // detached after its last message
  EXPECT_FALSE(::IsWindow(h));
  EXPECT_FALSE(::IsWindow(c));
  EXPECT_EQ(::SendMessage(h, kMsgA, 0, 0), 0);
  EXPECT_FALSE(::PostMessage(h, kMsgA, 0, 0));
  EXPECT_EQ(::GetDlgItem(top.m_hWnd, 7), nullptr);

  SendsDuringDestroy dying;
  ASSERT_TRUE(dying.Create(nullptr, "", WS_CHILD, CRect(0, 0, 10, 10), &top, 9));
  EXPECT_EQ(dying.SendMessage(WM_USER + 50), 99);
  dying.DestroyWindow();
  EXPECT_EQ(dying.workerResult.load(), 0);
}

// The allocator hands a freed window's memory to the next one at once in a
// Release build: a handle must name the window, not the memory.
TEST_F(WindowTest, AHandleOnceDestroyedNeverComesBack) {
  HWND old = ::CreateWindowExA(0, nullptr, "old", WS_CHILD, 0, 0, 10, 10, top.m_hWnd, 20, nullptr);
  ASSERT_NE(old, nullptr);
  ASSERT_TRUE(::DestroyWindow(old));
  for (int i = 0; i < 200; ++i) {
    HWND next = ::CreateWindowExA(0, nullptr, "next", WS_CHILD, 0, 0, 10, 10, top.m_hWnd, 21, nullptr);
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next, old);
    EXPECT_FALSE(::IsWindow(old));
    EXPECT_EQ(::GetWindowTextLengthA(old), 0) << "a stale handle reaches no window";
    ::DestroyWindow(next);
  }
}

TEST_F(WindowTest, SubclassedWindowGoesThroughTheMapThenItsProcedure) {
  HWND raw = ::CreateWindowExA(0, "msctls_progress32", "raw", WS_CHILD | WS_VISIBLE, 0, 0, 50, 10, top.m_hWnd, 5, nullptr);
  ASSERT_NE(raw, nullptr);
  DerivedWnd sub;
  ASSERT_TRUE(sub.SubclassWindow(::GetDlgItem(top.m_hWnd, 5)));
  EXPECT_EQ(::SendMessage(raw, kMsgA, 0, 0), 10);
  EXPECT_TRUE(::SetWindowTextA(raw, "x"));
  EXPECT_EQ(sub.seen, std::vector<UINT>{WM_SETTEXT});
  EXPECT_EQ(::GetWindowTextLengthA(raw), 1);
  DerivedWnd second;
  EXPECT_FALSE(second.SubclassWindow(raw));  // one object takes a window's messages
}

TEST_F(WindowTest, TimersTickUntilKilled) {
  ASSERT_EQ(wnd.SetTimer(3, 10, nullptr), 3u);
  PumpUntil([&] { return wnd.seen.size() >= 3; });
  ASSERT_GE(wnd.seen.size(), 3u);
  for (UINT s : wnd.seen) EXPECT_EQ(s, 0x1003u);
  EXPECT_TRUE(wnd.KillTimer(3));
  EXPECT_FALSE(wnd.KillTimer(3));
}

TEST_F(WindowTest, ScrollInfoClampsAndShowsTheBar) {
  CRect client;
  wnd.GetClientRect(&client);
  EXPECT_EQ(client, CRect(0, 0, 100, 50));
  struct Case {
    UINT mask;
    int min, max;
    UINT page;
    int pos;
    int expectPos;
    bool visible;
  } cases[] = {
      {SIF_RANGE | SIF_PAGE | SIF_POS, 0, 160, 1, 500, 160, true},
      {SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 95, 91, true},  // limit max - (page - 1)
      {SIF_POS, 0, 0, 0, -4, 0, true},
      {SIF_RANGE | SIF_PAGE, 0, 5, 6, 0, 0, false},  // the page covers the range
  };
  for (const Case& c : cases) {
    SCROLLINFO si{sizeof(SCROLLINFO), c.mask, c.min, c.max, c.page, c.pos, 0};
    EXPECT_EQ(::SetScrollInfo(wnd.m_hWnd, SB_VERT, &si, TRUE), c.expectPos);
    EXPECT_EQ(wnd.GetScrollPos(SB_VERT), c.expectPos);
    wnd.GetClientRect(&client);
    EXPECT_EQ(client.Width(), c.visible ? 100 - GetSystemMetrics(SM_CXVSCROLL) : 100);
  }
  wnd.SetScrollRange(SB_VERT, 2, 40);
  int min = -1, max = -1;
  wnd.GetScrollRange(SB_VERT, &min, &max);
  EXPECT_EQ(min, 2);
  EXPECT_EQ(max, 40);
  EXPECT_EQ(wnd.SetScrollPos(SB_VERT, 30), 2);
  EXPECT_EQ(wnd.SetScrollPos(SB_VERT, 7), 30);
  wnd.ShowScrollBar(SB_VERT, FALSE);
  wnd.GetClientRect(&client);
  EXPECT_EQ(client.Width(), 100);
}

// Paints one colour over whatever the update region lets through, or nothing
// (without BeginPaint) when told to return early.
class PaintingWnd : public CWnd {
 public:
  int paints = 0;
  int erases = 0;
  COLORREF colour = RGB(255, 0, 0);
  CRect fill{0, 0, 1000, 1000};  // what the painter covers; the rest keeps what it had
  bool returnEarly = false;
  CRect lastPaint;
  BOOL lastErase = FALSE;

 protected:
  void OnPaint() {
    ++paints;
    if (returnEarly) return;
    CPaintDC dc(this);
    lastPaint = dc.m_ps.rcPaint;
    lastErase = dc.m_ps.fErase;
    dc.FillSolidRect(fill, colour);
  }
  BOOL OnEraseBkgnd(CDC*) {
    ++erases;
    return TRUE;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(PaintingWnd, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

QRgb Pixel(HWND h, int x, int y) { return qv::WindowSnapshot(h).pixel(x, y) & 0xFFFFFF; }

TEST_F(WindowTest, PaintingFollowsTheUpdateRegionAndKeepsPixels) {
  PaintingWnd p;
  ASSERT_TRUE(p.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 60, 40), &top, 11));
  p.UpdateWindow();  // the first paint covers everything, with erase
  EXPECT_EQ(p.paints, 1);
  EXPECT_EQ(p.erases, 1);
  EXPECT_EQ(Pixel(p.m_hWnd, 59, 39), 0xFF0000u);

  // Two rectangles without erase grow one region; only it is painted.
  p.colour = RGB(0, 0, 255);
  p.InvalidateRect(CRect(0, 0, 10, 10), FALSE);
  p.InvalidateRect(CRect(20, 20, 30, 30), FALSE);
  p.UpdateWindow();
  EXPECT_EQ(p.paints, 2);
  EXPECT_EQ(p.erases, 1);
  EXPECT_EQ(p.lastPaint, CRect(0, 0, 30, 30));
  EXPECT_EQ(Pixel(p.m_hWnd, 5, 5), 0x0000FFu);
  EXPECT_EQ(Pixel(p.m_hWnd, 25, 25), 0x0000FFu);
  EXPECT_EQ(Pixel(p.m_hWnd, 15, 15), 0xFF0000u);  // inside the box, outside the region
  EXPECT_EQ(Pixel(p.m_hWnd, 50, 35), 0xFF0000u);  // kept from the first paint

  // With erase; RedrawWindow with RDW_UPDATENOW paints before it returns.
  p.InvalidateRect(nullptr, TRUE);
  p.RedrawWindow(nullptr, nullptr, RDW_UPDATENOW);
  EXPECT_EQ(p.paints, 3);
  EXPECT_EQ(p.erases, 2);
  p.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(p.paints, 4);
  EXPECT_EQ(p.erases, 2);
  qv::PumpMessages();
  EXPECT_EQ(p.paints, 4);  // nothing left to paint

  // A painter that returns early still completes the request.
  p.returnEarly = true;
  p.Invalidate(TRUE);
  p.UpdateWindow();
  EXPECT_EQ(p.paints, 5);
  EXPECT_FALSE(::GetUpdateRect(p.m_hWnd, nullptr, FALSE));
  qv::PumpMessages();
  EXPECT_EQ(p.paints, 5);
}

TEST_F(WindowTest, InvalidateFromAWorkerPaintsOnTheUiThread) {
  PaintingWnd p;
  ASSERT_TRUE(p.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 20, 20), &top, 12));
  p.UpdateWindow();
  std::thread worker([&] { ::InvalidateRect(p.m_hWnd, nullptr, FALSE); });
  worker.join();
  PumpUntil([&] { return p.paints == 2; });
  EXPECT_EQ(p.paints, 2);
}

TEST_F(WindowTest, ShowingAParentPaintsTheShownWindowsInside) {
  // A dialog is built hidden: its controls' first paint requests find nothing on screen.
  CWnd hidden;
  ASSERT_TRUE(hidden.CreateEx(0, nullptr, "dialog", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0));
  PaintingWnd shown, inner, notShown;
  ASSERT_TRUE(shown.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 40, 40), &hidden, 1));
  ASSERT_TRUE(inner.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &shown, 2));
  ASSERT_TRUE(notShown.Create(nullptr, "", WS_CHILD, CRect(50, 50, 60, 60), &hidden, 3));
  qv::PumpMessages();
  EXPECT_EQ(shown.paints + inner.paints + notShown.paints, 0);
  hidden.ShowWindow(SW_SHOW);
  PumpUntil([&] { return shown.paints > 0 && inner.paints > 0; });
  EXPECT_EQ(shown.paints, 1);
  EXPECT_EQ(inner.paints, 1);
  EXPECT_EQ(notShown.paints, 0);
  EXPECT_EQ(Pixel(inner.m_hWnd, 9, 9), 0xFF0000u);
}

TEST_F(WindowTest, AResizeKeepsOrDropsPixelsAsTheClassRedrawStylesSay) {
  // The child erases nothing and then paints only its top left corner: what
  // it kept from before shows elsewhere, and what it dropped shows its parent.
  struct Case {
    const char* className;
    UINT style;
    int width, height;  // from 40 x 30
    bool keepsOldPixels;
  } cases[] = {
      {"RedrawNone", 0, 60, 50, true},
      {"RedrawH", CS_HREDRAW, 60, 30, false},
      {"RedrawH", CS_HREDRAW, 40, 50, true},
      {"RedrawV", CS_VREDRAW, 60, 30, true},
      {"RedrawV", CS_VREDRAW, 30, 50, false},
      {nullptr, 0, 60, 30, false},  // the framework's default class redraws both ways
  };
  PaintingWnd under;
  under.colour = RGB(0, 0, 255);
  ASSERT_TRUE(under.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100), &top, 20));
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.className ? c.className : "AfxWnd") + " " + std::to_string(c.width) + "x" +
                 std::to_string(c.height));
    if (c.className) {
      const WNDCLASSA wc{c.style, ::DefWindowProc, 0, c.className};
      ::RegisterClassA(&wc);  // FALSE from the second case of a class on
    }
    PaintingWnd child;
    ASSERT_TRUE(child.CreateEx(0, c.className, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 50, 40), &under, 21));
    qv::PumpMessages();
    EXPECT_EQ(Pixel(child.m_hWnd, 35, 25), 0xFF0000u);
    child.fill = CRect(0, 0, 5, 5);
    child.colour = RGB(0, 255, 0);
    child.MoveWindow(10, 10, c.width, c.height);
    qv::PumpMessages();
    EXPECT_EQ(Pixel(child.m_hWnd, 2, 2), 0x00FF00u);
    EXPECT_EQ(Pixel(child.m_hWnd, 25, 25), c.keepsOldPixels ? 0xFF0000u : 0x0000FFu);
    // What the child never had is its parent's in every case.
    EXPECT_EQ(Pixel(child.m_hWnd, c.width - 1, c.height - 1), 0x0000FFu);
    child.DestroyWindow();
  }
}

// The painter's DC has no clip region of its own: taking one away cannot
// reach past the update region.
class ClipProbeWnd : public CWnd {
 public:
  int clipRegionResult = -1;
  COLORREF colour = RGB(255, 0, 0);

 protected:
  void OnPaint() {
    CPaintDC dc(this);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    clipRegionResult = GetClipRgn(dc.m_hDC, probe);
    DeleteObject(probe);
    SelectClipRgn(dc.m_hDC, nullptr);
    dc.FillSolidRect(CRect(0, 0, 1000, 1000), colour);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ClipProbeWnd, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

TEST_F(WindowTest, ThePaintDcIsClippedByItsVisibleRegionNotByAClipRegion) {
  ClipProbeWnd p;
  ASSERT_TRUE(p.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 60, 40), &top, 13));
  p.UpdateWindow();
  p.colour = RGB(0, 0, 255);
  p.InvalidateRect(CRect(0, 0, 10, 10), FALSE);
  p.UpdateWindow();
  EXPECT_EQ(p.clipRegionResult, 0) << "no application clip region";
  EXPECT_EQ(Pixel(p.m_hWnd, 5, 5), 0x0000FFu);
  EXPECT_EQ(Pixel(p.m_hWnd, 30, 30), 0xFF0000u) << "outside the update region";
}

// A parent that destroys one of its children in its own WM_DESTROY.
class DestroyingParent : public CWnd {
 public:
  std::vector<std::string>* log = nullptr;
  HWND child = nullptr;
  BOOL childAliveAfter = TRUE;

 protected:
  void OnDestroy() {
    log->push_back("parent destroy");
    ::DestroyWindow(child);
    childAliveAfter = ::IsWindow(child);
  }
  void OnNcDestroy() { log->push_back("parent ncdestroy"); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(DestroyingParent, CWnd)
  ON_WM_DESTROY()
  ON_WM_NCDESTROY()
END_MESSAGE_MAP()

class LoggingChild : public CWnd {
 public:
  std::vector<std::string>* log = nullptr;

 protected:
  void OnDestroy() { log->push_back("child destroy"); }
  void OnNcDestroy() { log->push_back("child ncdestroy"); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(LoggingChild, CWnd)
  ON_WM_DESTROY()
  ON_WM_NCDESTROY()
END_MESSAGE_MAP()

TEST_F(WindowTest, DestroyingAChildInsideTheParentsDestroyDoesItThenAndThere) {
  std::vector<std::string> log;
  DestroyingParent parent;
  LoggingChild child, other;
  parent.log = child.log = other.log = &log;
  ASSERT_TRUE(parent.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 80), &top, 20));
  ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 1));
  ASSERT_TRUE(other.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(20, 0, 30, 10), &parent, 2));
  parent.child = child.m_hWnd;
  parent.DestroyWindow();
  EXPECT_FALSE(parent.childAliveAfter);
  EXPECT_EQ(log, (std::vector<std::string>{"parent destroy", "child destroy", "child ncdestroy", "child destroy",
                                           "child ncdestroy", "parent ncdestroy"}));
}

}  // namespace
