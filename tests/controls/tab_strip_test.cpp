// The tab strip: geometry of both modes, the tab row and its scrolling,
// selection and forwarding of clicks, the pages, both painters, and a strip
// with no tabs, with more than ten, or too small for its pages.

#include "controls/tab_strip.h"

#include <QApplication>
#include <QMouseEvent>
#include <string>
#include <vector>

#include "controls/gradient.h"
#include "platform/win32/gdi/gdi_qt.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/window_tree.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/window_object.h"
#include "tests/controls/controls_fixture.h"

inline void PrintTo(const CRect& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

using qv::testing::CountPixels;
using qv::testing::ToColorRef;

// The strip's parent: records what the strip sends it.
class Recorder : public CWnd {
 public:
  std::vector<std::pair<WPARAM, LPARAM>> selChanges;
  std::vector<CPoint> clicks;

 protected:
  LRESULT OnSelChange(WPARAM w, LPARAM l) {
    selChanges.emplace_back(w, l);
    return 0;
  }
  void OnLButtonDown(UINT, CPoint p) { clicks.push_back(p); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Recorder, CWnd)
  ON_MESSAGE(WM_TABSTRIP_SELCHANGE, OnSelChange)
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

// The strip's colours as COLORREF literals.
constexpr COLORREF kFrame = 0xD0BFAF, kNoTab = 0x5D5F5F, kTopPen = 0xCF743B, kBottomPen = 0x602000;
constexpr COLORREF kEntry[10] = {0xE6AE93, 0x85DFFF, 0xBDDDD2, 0xBDBDF4, 0xEBC6D2,
                                 0xCCD3BA, 0xA5CAF7, 0xC5B1DB, 0xEDC7B4, 0xBDBDF4};

COLORREF Pixel(const QImage& img, int x, int y) { return ToColorRef(img.pixel(x, y)); }

// A pixel of the white-to-colour gradient a mode 1 tab of w x h is filled from.
COLORREF GradientAt(int w, int h, COLORREF c, int x, int y) {
  CGradient g(w, h);
  g.PrepareVertical(nullptr, 255, 255, 255, GetRValue(c), GetGValue(c), GetBValue(c));
  return g.GetMemDC()->GetPixel(x, y);
}

class TabStripTest : public qv::testing::ControlFixture {
 protected:
  void SetUp() override {
    ControlFixture::SetUp();
    ASSERT_TRUE(parent.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(10, 10, 610, 410), &top, 100));
  }
  void TearDown() override {
    strip.DestroyWindow();
    pages.clear();
  }
  void Make(int mode, int width = 400, int height = 200, int x = 20, int y = 30) {
    strip.m_nPosition = mode;
    ASSERT_TRUE(strip.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(x, y, x + width, y + height), &parent, 200));
  }
  CWnd* NewPage() {
    pages.push_back(std::make_unique<CWnd>());
    CWnd* page = pages.back().get();
    EXPECT_TRUE(page->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &parent,
                             300 + static_cast<UINT>(pages.size())));
    return page;
  }
  void Add(const char* title) { strip.AddTab(NewPage(), title); }
  static int TitleWidth(CWnd* wnd, const char* title) {
    CClientDC dc(wnd);
    SIZE s{};
    ::GetTextExtentPoint32A(dc, title, static_cast<int>(std::strlen(title)), &s);
    return s.cx;
  }
  void Click(CPoint p, UINT msg = WM_LBUTTONDOWN) { strip.SendMessage(msg, MK_LBUTTON, MAKELPARAM(p.x, p.y)); }
  QImage Paint(const char* name) {
    strip.Invalidate(TRUE);
    strip.UpdateWindow();
    return Snapshot(strip.m_hWnd, name);
  }
  CRect TabRect(int i) const { return strip.GetTab(i)->m_rect; }

  Recorder parent;
  CTabStrip strip;
  std::vector<std::unique_ptr<CWnd>> pages;
};

struct GeometryCase {
  int mode;
  CRect page, strip, band;
};

TEST_F(TabStripTest, GeometryOfEachPositionMode) {
  const GeometryCase cases[] = {
      {0, CRect(0, 0, 400, 180), CRect(50, 180, 400, 200), CRect(0, 180, 50, 200)},
      {1, CRect(0, 20, 400, 200), CRect(0, 0, 350, 20), CRect(350, 0, 400, 20)},
      {2, CRect(0, 0, 400, 200), CRect(0, 0, 0, 0), CRect(0, 0, 0, 0)},
  };
  for (const GeometryCase& c : cases) {
    CTabStrip s;
    s.m_nPosition = c.mode;
    ASSERT_TRUE(s.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(5, 7, 405, 207), &parent, 201));
    EXPECT_EQ(s.m_rcPageArea, c.page) << c.mode;
    EXPECT_EQ(s.m_rcStrip, c.strip) << c.mode;
    EXPECT_EQ(s.m_rcScrollBand, c.band) << c.mode;
    // A resize lays the strip out again from the new size.
    s.MoveWindow(5, 7, 300, 100);
    if (c.mode == 1) {
      EXPECT_EQ(s.m_rcPageArea, CRect(0, 20, 300, 100));
      EXPECT_EQ(s.m_rcScrollBand, CRect(250, 0, 300, 20));
    }
  }
}

TEST_F(TabStripTest, TabsAreMeasuredWithTheDefaultFontAndOverlapInTheBottomMode) {
  for (int mode : {0, 1}) {
    CTabStrip s;
    s.m_nPosition = mode;
    ASSERT_TRUE(s.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 200), &parent, 201));
    s.AddTab(NewPage(), "App Bin File");
    s.AddTab(NewPage(), "From Chip");
    const int w0 = TitleWidth(&s, "App Bin File") + 16, w1 = TitleWidth(&s, "From Chip") + 16;
    const int top = mode == 0 ? 180 : 0;
    const int left = mode == 0 ? 50 : 0;
    EXPECT_EQ(s.GetTab(0)->m_rect, CRect(left, top, left + w0, top + 18)) << mode;
    // Mode 0 tabs advance by their width less half their height (18 / 2).
    const int x1 = left + (mode == 0 ? w0 - 9 : w0);
    EXPECT_EQ(s.GetTab(1)->m_rect, CRect(x1, top, x1 + w1, top + 18)) << mode;
    EXPECT_EQ(s.m_nTotalWidth, mode == 0 ? w0 + w1 - 18 : w0 + w1) << mode;
    EXPECT_EQ(s.GetTab(0)->m_nId, 1);
    EXPECT_EQ(s.GetTab(1)->m_nId, 2);
    s.DestroyWindow();
  }
}

TEST_F(TabStripTest, FirstTabBecomesActiveAndLaterPagesStayHidden) {
  Make(1);
  CWnd* first = NewPage();
  CWnd* second = NewPage();
  strip.AddTab(first, "App Bin File");
  EXPECT_EQ(strip.GetActivePage(), first);
  EXPECT_TRUE(first->IsWindowVisible());
  strip.AddTab(second, "From Chip");
  EXPECT_EQ(strip.GetActivePage(), first);
  EXPECT_FALSE(second->IsWindowVisible());
  EXPECT_TRUE(parent.selChanges.empty());
  // Both pages are the strip's children, laid into the page area less 4 pixels.
  for (CWnd* page : {first, second}) {
    EXPECT_EQ(::GetParent(page->m_hWnd), strip.m_hWnd);
    CRect r;
    page->GetWindowRect(&r);
    strip.ScreenToClient(&r);
    EXPECT_EQ(r, CRect(4, 24, 396, 196));
  }
}

TEST_F(TabStripTest, ClickingAnotherTabActivatesItThenTellsTheParent) {
  Make(1);
  Add("App Bin File");
  Add("From Chip");
  const CPoint onSecond = TabRect(1).CenterPoint();
  Click(onSecond);
  EXPECT_EQ(strip.GetActivePage(), pages[1].get());
  EXPECT_FALSE(pages[0]->IsWindowVisible());
  EXPECT_TRUE(pages[1]->IsWindowVisible());
  ASSERT_EQ(parent.selChanges.size(), 1u);
  EXPECT_EQ(parent.selChanges[0], (std::pair<WPARAM, LPARAM>(1, 0)));
  // The active tab again: nothing.
  Click(onSecond);
  EXPECT_EQ(parent.selChanges.size(), 1u);
  // A double click acts as one click.
  Click(TabRect(0).CenterPoint(), WM_LBUTTONDBLCLK);
  EXPECT_EQ(strip.GetActivePage(), pages[0].get());
  ASSERT_EQ(parent.selChanges.size(), 2u);
  EXPECT_EQ(parent.selChanges[1].first, 0u);
}

TEST_F(TabStripTest, PagesStayVisibleWhenInactivePagesAreNotHidden) {
  strip.m_bHideInactivePages = FALSE;
  Make(1);
  Add("App Bin File");
  Add("From Chip");
  EXPECT_TRUE(pages[0]->IsWindowVisible());
  EXPECT_TRUE(pages[1]->IsWindowVisible());
  Click(TabRect(1).CenterPoint());
  EXPECT_TRUE(pages[0]->IsWindowVisible());
  EXPECT_EQ(strip.GetActivePage(), pages[1].get());
}

TEST_F(TabStripTest, SetActiveTabOutOfRangeOrMinusOne) {
  Make(1);
  Add("A");
  Add("B");
  EXPECT_FALSE(strip.SetActiveTab(2));
  EXPECT_EQ(strip.GetActivePage(), pages[0].get());
  EXPECT_TRUE(strip.SetActiveTab(0));
  EXPECT_FALSE(strip.SetActiveTab(-1));
  EXPECT_EQ(strip.GetActivePage(), nullptr);
  EXPECT_FALSE(pages[0]->IsWindowVisible());
  strip.AddTab(nullptr, "no page");
  EXPECT_FALSE(strip.SetActiveTab(2));  // that tab has no page
  EXPECT_EQ(strip.GetActivePage(), nullptr);
}

TEST_F(TabStripTest, ClicksBelowTheRowReachTheParentAndOthersAreDropped) {
  Make(1);
  Add("App Bin File");
  // On the page frame: the parent gets it in its own coordinates.
  Click(CPoint(2, 100));
  ASSERT_EQ(parent.clicks.size(), 1u);
  EXPECT_EQ(parent.clicks[0], CPoint(22, 130));
  // In the row, outside every tab and outside the band: dropped.
  Click(CPoint(300, 10));
  EXPECT_EQ(parent.clicks.size(), 1u);
  EXPECT_TRUE(parent.selChanges.empty());
}

TEST_F(TabStripTest, ArrowsScrollTheRowTwentyPixelsWhileItOverflows) {
  for (int mode : {1, 0}) {
    SCOPED_TRACE(mode);
    CTabStrip s;
    s.m_nPosition = mode;
    ASSERT_TRUE(s.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100), &parent, 201));
    for (const char* t : {"First tab", "Second tab", "Third tab", "Fourth tab"}) s.AddTab(NewPage(), t);
    const int runStart = mode == 0 ? 50 : 0;
    const int runEnd = mode == 0 ? 200 : 150;
    const CRect band = s.m_rcScrollBand;
    const CPoint right(band.right - 2, band.top + 5), left(band.left + 2, band.top + 5);
    const int start = s.GetTab(0)->m_rect.left;
    ASSERT_GT(s.GetLastVisibleTabRect().right, runEnd);
    int clicks = 0;
    while (s.GetLastVisibleTabRect().right > runEnd) {
      const int before = s.GetTab(0)->m_rect.left;
      s.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(right.x, right.y));
      ASSERT_EQ(s.GetTab(0)->m_rect.left, before - 20);
      ASSERT_LT(++clicks, 50);
    }
    s.UpdateWindow();
    Snapshot(s.m_hWnd, mode == 0 ? "scrolled_bottom" : "scrolled_top");
    // At the end of the run the right arrow does nothing more.
    const CRect last = s.GetLastVisibleTabRect();
    s.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(right.x, right.y));
    EXPECT_EQ(s.GetLastVisibleTabRect(), last);
    EXPECT_EQ(s.GetTab(0)->m_rect.left, start - 20 * clicks);
    while (s.GetFirstVisibleTabRect().left < runStart) s.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(left.x, left.y));
    EXPECT_EQ(s.GetTab(0)->m_rect.left, start);
    s.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(left.x, left.y));
    EXPECT_EQ(s.GetTab(0)->m_rect.left, start);
    // A resize puts a scrolled run back to its start.
    s.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(right.x, right.y));
    s.MoveWindow(0, 0, 200, 120);
    EXPECT_EQ(s.GetTab(0)->m_rect.left, start);
    s.DestroyWindow();
  }
}

// Pixels of `image` at `at` that show one of the arrow button bitmap's own
// (not white) pixels at the same offset.
int ArrowPixelsAt(const QImage& image, QPoint at, UINT bitmapId) {
  CBitmap bitmap;
  if (!bitmap.LoadBitmap(bitmapId)) return -1;
  const QImage arrow = qv::ToQImage(bitmap);
  int n = 0;
  for (int y = 0; y < arrow.height(); ++y)
    for (int x = 0; x < arrow.width(); ++x) {
      const QRgb p = arrow.pixel(x, y);
      if (qRgb(qRed(p), qGreen(p), qBlue(p)) != qRgb(255, 255, 255) && image.valid(at.x() + x, at.y() + y) &&
          image.pixel(at.x() + x, at.y() + y) == p)
        ++n;
    }
  return n;
}

struct ResizeCase {
  const char* name;
  int mode;
  QSize before, after;
};

TEST_F(TabStripTest, AResizedStripShowsItsArrowsOnlyAtTheirNewPlace) {
  // The Write page's two tabs leave the row between the tabs and the band
  // unpainted: whatever the window kept there from before would show.
  const ResizeCase cases[] = {
      {"top_wider", 1, QSize(300, 120), QSize(420, 120)},
      {"top_narrower", 1, QSize(420, 120), QSize(300, 120)},
      {"bottom_taller", 0, QSize(300, 100), QSize(300, 160)},
  };
  const QPoint origin(20, 30);  // the strip in its parent
  auto arrows = [&](const QImage& img, const CRect& band) {
    const int mid = band.left + band.Width() / 2;
    return std::pair(ArrowPixelsAt(img, origin + QPoint(band.left, band.top), IDB_TABSTRIP_LEFT),
                     ArrowPixelsAt(img, origin + QPoint(mid, band.top), IDB_TABSTRIP_RIGHT));
  };
  for (const ResizeCase& c : cases) {
    SCOPED_TRACE(c.name);
    Make(c.mode, c.before.width(), c.before.height(), origin.x(), origin.y());
    Add("App Bin File");
    Add("From Chip");
    qv::PumpMessages();
    const CRect oldBand = strip.m_rcScrollBand;
    const auto shown = arrows(Composite(parent.m_hWnd, (std::string(c.name) + "_before").c_str()), oldBand);
    ASSERT_GT(shown.first, 0);
    ASSERT_GT(shown.second, 0);

    strip.MoveWindow(origin.x(), origin.y(), c.after.width(), c.after.height(), TRUE);
    qv::PumpMessages();
    const QImage after = Composite(parent.m_hWnd, (std::string(c.name) + "_after").c_str());
    ASSERT_NE(strip.m_rcScrollBand, oldBand);
    EXPECT_EQ(arrows(after, oldBand), std::pair(0, 0));
    const auto moved = arrows(after, strip.m_rcScrollBand);
    EXPECT_EQ(moved, shown);
    strip.DestroyWindow();
  }
}

TEST_F(TabStripTest, ThePartOfATabUnderTheScrollBandScrollsInsteadOfSelecting) {
  Make(1, 200, 100);
  for (const char* t : {"First tab", "Second tab", "Third tab", "Fourth tab"}) Add(t);
  const CRect band = strip.m_rcScrollBand;
  int under = -1;
  for (int i = 0; i < strip.GetTabCount(); ++i)
    if (TabRect(i).left < band.left && TabRect(i).right > band.left + 2) under = i;
  ASSERT_GE(under, 1);
  // In the band's left half with the run at its start: nothing at all.
  Click(CPoint(band.left + 2, 10));
  EXPECT_EQ(strip.GetActivePage(), pages[0].get());
  EXPECT_TRUE(parent.selChanges.empty());
  // The same tab left of the band is selected.
  Click(CPoint(band.left - 2, 10));
  EXPECT_EQ(strip.GetActivePage(), pages[static_cast<size_t>(under)].get());
  EXPECT_EQ(parent.selChanges.size(), 1u);
}

TEST_F(TabStripTest, StripWithoutTabsPaintsThePageAreaAndFrame) {
  for (int mode : {1, 0}) {
    SCOPED_TRACE(mode);
    Make(mode, 200, 120);
    const QImage img = Paint(mode == 1 ? "empty_top" : "empty_bottom");
    const CRect a = strip.m_rcPageArea;
    EXPECT_EQ(Pixel(img, a.left + 2, a.top + 2), kFrame);
    EXPECT_EQ(Pixel(img, a.right - 3, a.bottom - 3), kFrame);
    EXPECT_EQ(Pixel(img, a.CenterPoint().x, a.CenterPoint().y), kNoTab);
    EXPECT_EQ(Pixel(img, a.left, a.top + 30), mode == 1 ? kTopPen : kBottomPen);
    EXPECT_EQ(strip.GetActivePage(), nullptr);
    strip.DestroyWindow();
  }
}

TEST_F(TabStripTest, TopModePaintsGradientTabsWithTheActiveTabsFrame) {
  Make(1, 300, 120);
  Add("App Bin File");
  Add("From Chip");
  QImage img = Paint("top_first_active");
  const CRect a = strip.m_rcPageArea;
  // The frame takes the active tab's colour.
  EXPECT_EQ(Pixel(img, a.left + 1, a.top + 50), kEntry[0]);
  EXPECT_EQ(Pixel(img, a.right - 2, a.top + 50), kEntry[0]);
  // The outline runs along T + 2 from L + 6 to R, and the gradient ends in the tab colour.
  const CRect t0 = TabRect(0), t1 = TabRect(1);
  EXPECT_EQ(Pixel(img, t0.left + 20, t0.top + 2), kTopPen);
  EXPECT_EQ(Pixel(img, t1.left + 20, t1.top + 2), kTopPen);
  // An inactive tab's last copy starts at T + 3, 6 pixels in.
  EXPECT_EQ(Pixel(img, t1.left + 20, t1.top + 14),
            GradientAt(t1.Width(), t1.Height(), kEntry[1], 14, 11));
  // The scroll buttons sit in the band as they are, without stretching.
  EXPECT_EQ(Pixel(img, 250, 0), RGB(255, 255, 255));
  EXPECT_EQ(Pixel(img, 250 + 23, 17), RGB(0, 0, 0));
  EXPECT_EQ(Pixel(img, 250 + 12, 8), RGB(0, 0, 0));  // the left arrow

  Click(t1.CenterPoint());
  img = Paint("top_second_active");
  EXPECT_EQ(Pixel(img, a.left + 1, a.top + 50), kEntry[1]);
  // The active second tab reaches with its slant into the first one.
  // The active second tab reaches with its slant into the first one: the
  // copy at (L - 5, B - 7) is the last that covers (L - 5, B).
  EXPECT_EQ(Pixel(img, t1.left - 5, t1.bottom),
            GradientAt(t1.Width(), t1.Height(), kEntry[1], 0, 7));
}

TEST_F(TabStripTest, TabsFromIndexTenUseTheFrameColour) {
  Make(1, 600, 120);
  for (int i = 0; i < 12; ++i) Add(std::to_string(i).c_str());
  EXPECT_EQ(strip.GetTabCount(), 12);
  Click(TabRect(10).CenterPoint());
  ASSERT_EQ(parent.selChanges.size(), 1u);
  EXPECT_EQ(parent.selChanges[0].first, 10u);
  const QImage img = Paint("twelve_tabs");
  EXPECT_EQ(Pixel(img, strip.m_rcPageArea.left + 1, 60), kFrame);
  const CRect t11 = TabRect(11);
  // Above the title: the first line of the last copy, at T + 3.
  EXPECT_EQ(Pixel(img, t11.left + 10, t11.top + 3),
            GradientAt(t11.Width(), t11.Height(), kFrame, 4, 0));
}

TEST_F(TabStripTest, BottomModePaintsTrapezoidsOverTheBar) {
  Make(0, 300, 120);
  Add("App Bin File");
  Add("From Chip");
  const QImage img = Paint("bottom");
  const CRect t0 = TabRect(0), t1 = TabRect(1);
  // The active tab is filled in the frame colour; the inactive one shows the bar.
  EXPECT_EQ(Pixel(img, t0.CenterPoint().x, t0.top + 3), kFrame);
  EXPECT_NE(Pixel(img, t1.CenterPoint().x + 10, t1.top + 3), kFrame);
  // The inactive tab's top edge and its slanted sides use the outline pen.
  EXPECT_EQ(Pixel(img, t1.CenterPoint().x + 10, t1.top), kBottomPen);
  EXPECT_EQ(Pixel(img, t1.right - 9, t1.bottom - 1), kBottomPen);
  // The arrows at the left of the strip row.
  EXPECT_EQ(Pixel(img, 0, 100), RGB(255, 255, 255));
  EXPECT_EQ(Pixel(img, 25 + 10, 100 + 5), RGB(0, 0, 0));  // the right arrow's base
  // The frame's bottom line is open where the tabs are.
  EXPECT_EQ(Pixel(img, 295, strip.m_rcPageArea.bottom), kBottomPen);
  EXPECT_EQ(Pixel(img, t0.CenterPoint().x, strip.m_rcPageArea.bottom), kFrame);
}

TEST_F(TabStripTest, PagesOfZeroSizeAndAStripSmallerThanItsRow) {
  for (int mode : {0, 1, 3}) {
    SCOPED_TRACE(mode);
    Make(mode, 6, 10);
    Add("App Bin File");
    Add("From Chip");
    CRect r;
    pages[pages.size() - 2]->GetClientRect(&r);
    EXPECT_EQ(r.Width(), 0);
    EXPECT_EQ(r.Height(), mode == 3 ? 2 : 0);
    Paint("tiny");
    Click(CPoint(1, 1));
    strip.DestroyWindow();
  }
}

TEST_F(TabStripTest, OtherModesGivePagesTheWholeClientAndPaintNothing) {
  Make(7, 200, 100);
  Add("App Bin File");
  CRect r;
  pages[0]->GetWindowRect(&r);
  strip.ScreenToClient(&r);
  EXPECT_EQ(r, CRect(4, 4, 196, 96));
  const QImage img = Paint("no_strip");
  EXPECT_EQ(CountPixels(img, QRect(0, 0, 200, 100), [](COLORREF c) { return c == kFrame; }), 0);
}

TEST_F(TabStripTest, DestroyingTheStripForgetsItsTabsAndKeepsThePages) {
  Make(1);
  Add("App Bin File");
  Add("From Chip");
  const HWND page = pages[0]->m_hWnd;
  ::SetParent(page, parent.m_hWnd);  // as a page destroyed elsewhere would be
  ::SetParent(pages[1]->m_hWnd, parent.m_hWnd);
  strip.DestroyWindow();
  EXPECT_TRUE(::IsWindow(page));
  EXPECT_EQ(strip.GetTabCount(), 0);
  EXPECT_EQ(strip.GetActivePage(), nullptr);
  EXPECT_EQ(strip.GetVisibleTabCount(), 0);
  EXPECT_EQ(strip.GetLastVisibleTabRect(), CRect(0, 0, 0, 0));
}

TEST_F(TabStripTest, AStripGoingOutOfScopeWithItsWindowDeletesEachTabOnce) {
  // The object goes before its window: the destructor destroys the window,
  // whose WM_DESTROY deletes the records; nothing may delete them again.
  for (int tabs : {1, 2}) {
    SCOPED_TRACE(tabs);
    HWND page = nullptr;
    {
      CTabStrip s;
      s.m_nPosition = 1;
      ASSERT_TRUE(s.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 100), &parent, 201));
      for (int i = 0; i < tabs; ++i) s.AddTab(NewPage(), "App Bin File");
      page = pages.back()->m_hWnd;
      ::SetParent(page, parent.m_hWnd);  // a page the strip does not own
    }
    EXPECT_TRUE(::IsWindow(page));
  }
}

TEST_F(TabStripTest, SizeParentQueriesTheParentsFreeArea) {
  Make(1, 100, 50);
  Add("App Bin File");
  // While its own query runs, the strip posts nothing more.
  strip.m_bBusy = TRUE;
  EXPECT_EQ(strip.SendMessage(WM_SIZEPARENT), 0);
  qv::PumpMessages();
  EXPECT_EQ(strip.m_rcPageArea, CRect(0, 20, 100, 50));
  strip.m_bBusy = FALSE;
  EXPECT_EQ(strip.SendMessage(WM_SIZEPARENT), 0);
  qv::PumpMessages();
  CRect r;
  strip.GetWindowRect(&r);
  parent.ScreenToClient(&r);
  EXPECT_EQ(r, CRect(0, 0, 600, 400));
  EXPECT_EQ(strip.m_rcPageArea, CRect(0, 20, 600, 400));
  EXPECT_FALSE(strip.m_bBusy);
}

TEST_F(TabStripTest, ARealMouseClickSelectsATab) {
  Make(1);
  Add("App Bin File");
  Add("From Chip");
  QWidget* host = qv::win32::Lookup(strip.m_hWnd)->host;
  const CPoint p = TabRect(1).CenterPoint();
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(p.x, p.y), host->mapToGlobal(QPointF(p.x, p.y)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(host, &press);
  EXPECT_EQ(strip.GetActivePage(), pages[1].get());
  ASSERT_EQ(parent.selChanges.size(), 1u);
  Paint("clicked");
}

TEST(TabStripShadow, ScaleColorPercentPerChannelCappedAt255) {
  EXPECT_EQ(ScaleColorPercent(RGB(200, 100, 50), 50), RGB(100, 50, 25));
  EXPECT_EQ(ScaleColorPercent(RGB(201, 99, 3), 99), RGB(198, 98, 2));
  EXPECT_EQ(ScaleColorPercent(RGB(200, 100, 255), 150), RGB(255, 150, 255));
}

TEST(TabStripShadow, DropShadowDarkensBelowAndRightOfTheTab) {
  qv::Application();
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateCompatibleBitmap(nullptr, 80, 40));
  CBitmap* old = dc.SelectObject(&bitmap);
  dc.FillSolidRect(CRect(0, 0, 80, 40), RGB(200, 200, 200));
  const CRect tab(10, 5, 50, 23);  // w 40, h 18
  EXPECT_TRUE(DrawDropShadow(&dc, 7, &tab));
  // Row d - k = 7 (k = 0) is screen line top + Hh - 1 - 7 = 5 + 24 - 7 = 22: 50 %.
  EXPECT_EQ(dc.GetPixel(tab.left + 20, 22), RGB(100, 100, 100));
  // The outermost bottom line (k = 6, row 1) is lighter: 50 - 6 x (-7) = 92 %.
  EXPECT_EQ(dc.GetPixel(tab.left + 20, 28), RGB(184, 184, 184));
  // Above the shadow nothing changed; an empty rectangle draws nothing.
  EXPECT_EQ(dc.GetPixel(tab.left + 20, 10), RGB(200, 200, 200));
  const CRect empty(0, 0, 0, 0);
  EXPECT_TRUE(DrawDropShadow(&dc, 7, &empty));
  dc.SelectObject(old);
}

TEST(TabStripBitmaps, ButtonsAndBarHaveTheirSizes) {
  struct Case {
    UINT id;
    int width, height;
  } cases[] = {{195, 24, 18}, {196, 24, 18}, {198, 275, 14}};
  for (const Case& c : cases) {
    CBitmap b;
    ASSERT_TRUE(b.LoadBitmap(c.id)) << c.id;
    BITMAP bm{};
    b.GetBitmap(&bm);
    EXPECT_EQ(bm.bmWidth, c.width);
    EXPECT_EQ(bm.bmHeight, c.height);
  }
  CBitmap none;
  EXPECT_FALSE(none.LoadBitmap(197));
}

}  // namespace

#include "controls/hex_file_view.h"

namespace {

TEST_F(TabStripTest, HexViewPagesAsTheWritePageAddsThem) {
  Make(1, 400, 220);
  CHexFileView appBin, fromChip;
  ASSERT_TRUE(appBin.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(640, 20, 660, 40), &parent, 1500));
  ASSERT_TRUE(fromChip.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(640, 20, 660, 40), &parent, 1501));
  std::vector<BYTE> data(64);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<BYTE>(i);
  appBin.SetData(data.data(), 64);
  strip.AddTab(&appBin, "App Bin File");
  strip.AddTab(&fromChip, "From Chip");
  // The page moves the strip when it is resized; the views follow.
  strip.MoveWindow(100, 0, 480, 300);
  CRect r;
  appBin.GetWindowRect(&r);
  strip.ScreenToClient(&r);
  EXPECT_EQ(r, CRect(4, 24, 476, 296));
  EXPECT_TRUE(appBin.IsWindowVisible());
  EXPECT_FALSE(fromChip.IsWindowVisible());
  Paint("write_page");
  qv::PumpMessages();
  const QImage composite = Composite(strip.m_hWnd, "write_page_composite");
  // The view's own white and its red offsets show inside the frame.
  EXPECT_EQ(ToColorRef(composite.pixel(200, 150)), 0xFFFFFFu);
  EXPECT_GT(CountPixels(composite, QRect(4, 24, 60, 40), [](COLORREF c) { return c == 0x0000CE; }), 0);
  Click(TabRect(1).CenterPoint());
  qv::PumpMessages();
  Composite(strip.m_hWnd, "write_page_second_tab");
  EXPECT_TRUE(fromChip.IsWindowVisible());
  EXPECT_FALSE(appBin.IsWindowVisible());
  // As the Write page does: the views go before the strip.
  appBin.DestroyWindow();
  fromChip.DestroyWindow();
  strip.DestroyWindow();
}

}  // namespace

