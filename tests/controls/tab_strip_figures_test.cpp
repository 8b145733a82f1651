// The tab strip's colours, fonts and texts as they are drawn, and its tabs and
// arrows under real mouse clicks: every entry of the top strip's colour table
// in the frame and in its tab, the titles in the 12-pixel "宋体" font (bold for
// the active tab) in their two text colours, and the row moving 20 pixels a
// click on an arrow.

#include <QTest>
#include <string>
#include <vector>

#include "controls/tab_strip.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/window_object.h"
#include "platform/win32/gdi/gdi_qt.h"
#include "tests/controls/controls_fixture.h"
#include "tests/support/recording_dc/recording_dc.h"

namespace {

using qv::testing::DrawnText;
using qv::testing::TextRecorder;
using qv::testing::ToColorRef;

const char kSongTi[] = "\xCB\xCE\xCC\xE5";
constexpr COLORREF kActiveText = 0x602000;  // R 0, G 32, B 96
constexpr COLORREF kInactiveText = 0x000000;

class TabStripFiguresTest : public qv::testing::ControlFixture {
 protected:
  void TearDown() override {
    strip.DestroyWindow();
    pages.clear();
  }
  void Make(int mode, int width, int height) {
    strip.m_nPosition = mode;
    ASSERT_TRUE(strip.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, width, height), &top, 200));
  }
  void Add(const char* title) {
    pages.push_back(std::make_unique<CWnd>());
    ASSERT_TRUE(pages.back()->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &top,
                                     300 + static_cast<UINT>(pages.size())));
    strip.AddTab(pages.back().get(), title);
  }
  // A real click of the left button on the strip's host widget.
  void ClickAt(CPoint p) {
    QTest::mouseClick(qv::win32::Lookup(strip.m_hWnd)->host, Qt::LeftButton, {}, QPoint(p.x, p.y));
    qv::PumpMessages();
  }
  QImage Paint(const std::string& name) {
    strip.Invalidate(TRUE);
    strip.UpdateWindow();
    return Snapshot(strip.m_hWnd, name.c_str());
  }
  // The titles drawn by one paint, in the order they were drawn.
  std::vector<DrawnText> Titles(const std::string& name) {
    TextRecorder recorder;
    Paint(name);
    return recorder.Drawn();
  }
  CRect TabRect(int i) const { return strip.GetTab(i)->m_rect; }

  CTabStrip strip;
  std::vector<std::unique_ptr<CWnd>> pages;
};

TEST_F(TabStripFiguresTest, EachTabsColourFillsItAndFramesThePageWhileItIsActive) {
  Make(1, 600, 120);
  for (const char* t : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}) Add(t);
  // An 18-line gradient from white: its line 0 is band 14, its line 2 band 42.
  struct Entry {
    COLORREF colour, line0, line2;
  } table[] = {
      {RGB(147, 174, 230), RGB(249, 250, 253), RGB(237, 241, 250)},
      {RGB(255, 223, 133), RGB(255, 253, 248), RGB(255, 249, 234)},
      {RGB(210, 221, 189), RGB(252, 253, 251), RGB(247, 249, 244)},
      {RGB(244, 189, 189), RGB(254, 251, 251), RGB(253, 244, 244)},
      {RGB(210, 198, 235), RGB(252, 251, 253), RGB(247, 245, 251)},
      {RGB(186, 211, 204), RGB(251, 252, 252), RGB(243, 247, 246)},
      {RGB(247, 202, 165), RGB(254, 252, 250), RGB(253, 246, 240)},
      {RGB(219, 177, 197), RGB(253, 250, 251), RGB(249, 242, 245)},
      {RGB(180, 199, 237), RGB(250, 251, 254), RGB(242, 245, 252)},
      {RGB(244, 189, 189), RGB(254, 251, 251), RGB(253, 244, 244)},
  };
  for (int active = 0; active < 10; ++active) {
    SCOPED_TRACE(active);
    ClickAt(TabRect(active).CenterPoint());
    ASSERT_EQ(strip.GetActivePage(), pages[static_cast<size_t>(active)].get());
    const QImage img = Paint("active_" + std::to_string(active));
    // The four 4-pixel frame bands around the page area (0, 20, 600, 120) in the
    // active tab's colour, up to their inner edges.
    for (const QPoint p : {QPoint(300, 21), QPoint(300, 23), QPoint(1, 70), QPoint(3, 70), QPoint(596, 70),
                           QPoint(598, 70), QPoint(300, 116), QPoint(300, 118)})
      EXPECT_EQ(ToColorRef(img.pixel(p)), table[active].colour) << p.x() << "," << p.y();
    // The active tab's last copy, full size at (L + 4, T + 3): its bottom line at B + 2.
    const CRect a = TabRect(active);
    EXPECT_EQ(ToColorRef(img.pixel(a.left + 5, a.bottom + 2)), table[active].colour);
    // The other tabs from index 1 on: their last copy at (L + 6, T + 3), so
    // that up to L + 5 the tab before still shows its own fill.
    for (int i = 1; i < 10; ++i) {
      if (i == active || i == active + 1) continue;  // the tab after the active one lies under its edge
      const CRect r = TabRect(i);
      EXPECT_EQ(ToColorRef(img.pixel(r.left + 8, r.top + 3)), table[i].line0) << "tab " << i;
      if (i >= 2 && i - 1 != active) {
        EXPECT_EQ(ToColorRef(img.pixel(r.left + 5, r.top + 5)), table[i - 1].line2) << "tab " << i;
      }
    }
  }
}

TEST_F(TabStripFiguresTest, TheFixedColoursOfBothModes) {
  struct Case {
    int mode;
    bool tabs;
    COLORREF frame, outline;
  } cases[] = {
      {1, false, RGB(175, 191, 208), RGB(59, 116, 207)},  // 0xD0BFAF with no tab active; pen 0xCF743B
      {0, false, RGB(175, 191, 208), RGB(0, 32, 96)},     // pen 0x602000
      {0, true, RGB(175, 191, 208), RGB(0, 32, 96)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Make(c.mode, 200, 120);
    if (c.tabs) Add("App Bin File");
    const QImage img = Paint(std::string("fixed_") + std::to_string(c.mode) + (c.tabs ? "_tabs" : ""));
    const CRect a = strip.m_rcPageArea;
    EXPECT_EQ(ToColorRef(img.pixel(a.left + 2, a.top + 2)), c.frame);
    EXPECT_EQ(ToColorRef(img.pixel(a.right - 3, a.CenterPoint().y)), c.frame);
    EXPECT_EQ(ToColorRef(img.pixel(a.left, a.CenterPoint().y)), c.outline);
    EXPECT_EQ(ToColorRef(img.pixel(a.right - 1, a.CenterPoint().y)), c.outline);
    if (!c.tabs) {
      EXPECT_EQ(ToColorRef(img.pixel(a.CenterPoint().x, a.CenterPoint().y)), RGB(95, 95, 93));  // 0x5D5F5F
    } else {
      // The active mode 0 tab is filled in 0xD0BFAF.
      const CRect t = TabRect(0);
      EXPECT_EQ(ToColorRef(img.pixel(t.CenterPoint().x, t.top + 2)), c.frame);
    }
    strip.DestroyWindow();
  }
}

TEST_F(TabStripFiguresTest, UnclippedTheRowIsFilledWhiteFirst) {
  strip.m_bClipToStrip = FALSE;
  Make(1, 300, 100);
  Add("App Bin File");
  const QImage img = Paint("unclipped");
  // Between the tab's right edge and the band, down to the line above the outline.
  for (const QPoint p : {QPoint(200, 1), QPoint(240, 10), QPoint(240, 19)})
    EXPECT_EQ(ToColorRef(img.pixel(p)), RGB(255, 255, 255)) << p.x() << "," << p.y();
}

TEST_F(TabStripFiguresTest, TheBottomModesActiveTabCastsItsShadowOverTheRow) {
  Make(0, 300, 100);
  Add("App Bin File");
  Add("From Chip");
  ClickAt(TabRect(1).CenterPoint());
  const QImage img = Paint("bottom_shadow");
  const CRect t = TabRect(1);
  // The trapezoid's top corners (L + 1, T) and (R - 1, T) in 0xD0BFAF.
  EXPECT_EQ(ToColorRef(img.pixel(t.left + 1, t.top)), RGB(175, 191, 208));
  EXPECT_EQ(ToColorRef(img.pixel(t.right - 1, t.top)), RGB(175, 191, 208));
  // Right of the last tab the frame's bottom line (0x602000, along T) lies
  // under the shadow's slanted edge: its outermost column R + 6 at 92 %, the
  // one before at 85 %, and R + 7 untouched.
  EXPECT_EQ(ToColorRef(img.pixel(t.right + 5, t.top)), RGB(0, 27, 81));
  EXPECT_EQ(ToColorRef(img.pixel(t.right + 6, t.top)), RGB(0, 29, 88));
  EXPECT_EQ(ToColorRef(img.pixel(t.right + 7, t.top)), RGB(0, 32, 96));
  // Where no tab is, the row shows the bar bitmap stretched over it.
  CBitmap bar;
  ASSERT_TRUE(bar.LoadBitmap(198));
  const QImage barImage = qv::ToQImage(bar);
  bool found = false;
  const QRgb shown = img.pixel(290, 90) & 0xFFFFFF;
  for (int y = 0; y < barImage.height() && !found; ++y)
    for (int x = 0; x < barImage.width() && !found; ++x) found = (barImage.pixel(x, y) & 0xFFFFFF) == shown;
  EXPECT_TRUE(found);
}

TEST_F(TabStripFiguresTest, TitlesInTheTabFontAndTheTwoTextColours) {
  for (int mode : {1, 0}) {
    SCOPED_TRACE(mode);
    Make(mode, 400, 120);
    Add("App Bin File");
    Add("From Chip");
    struct Step {
      int click;       // -1: none
      bool firstActive;
    } steps[] = {{-1, true}, {1, false}, {0, true}};
    for (const Step& s : steps) {
      if (s.click >= 0) ClickAt(TabRect(s.click).CenterPoint());
      const auto titles = Titles(std::string("titles_") + std::to_string(mode) + "_" + std::to_string(s.click));
      ASSERT_EQ(titles.size(), 2u);
      const char* names[] = {"App Bin File", "From Chip"};
      for (int i = 0; i < 2; ++i) {
        const DrawnText& t = titles[static_cast<size_t>(i)];
        const bool active = (i == 0) == s.firstActive;
        EXPECT_EQ(t.text, names[i]);
        EXPECT_TRUE(t.drawText);
        EXPECT_EQ(t.format, static_cast<UINT>(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
        CRect expected = TabRect(i);
        expected.OffsetRect(0, 2);
        EXPECT_EQ(CRect(t.rect), expected) << names[i];
        EXPECT_EQ(t.colour, active ? kActiveText : kInactiveText) << names[i];
        EXPECT_EQ(t.bkMode, TRANSPARENT);
        EXPECT_EQ(t.font.lfHeight, 12);
        EXPECT_EQ(t.font.lfWidth, 0);
        EXPECT_EQ(t.font.lfWeight, active ? 700 : 400) << names[i];
        EXPECT_EQ(t.font.lfItalic, 0);
        EXPECT_EQ(t.font.lfUnderline, 0);
        EXPECT_EQ(t.font.lfCharSet, ANSI_CHARSET);
        EXPECT_EQ(t.font.lfOutPrecision, OUT_TT_PRECIS);
        EXPECT_EQ(t.font.lfPitchAndFamily, 0x22);
        EXPECT_STREQ(t.font.lfFaceName, kSongTi);
      }
    }
    strip.DestroyWindow();
    pages.clear();
  }
}

TEST_F(TabStripFiguresTest, RealClicksOnTheArrowsMoveTheDrawnTitlesTwentyPixels) {
  for (int mode : {1, 0}) {
    SCOPED_TRACE(mode);
    Make(mode, 200, 100);
    for (const char* t : {"First tab", "Second tab", "Third tab", "Fourth tab"}) Add(t);
    // The band: top right (150..200, 0..20) in mode 1, bottom left (0..50, 80..100) in mode 0.
    const CPoint left = mode == 1 ? CPoint(155, 10) : CPoint(5, 90);
    const CPoint right = mode == 1 ? CPoint(195, 10) : CPoint(45, 90);
    const int start = Titles("start")[0].rect.left;
    EXPECT_EQ(start, mode == 1 ? 0 : 50);
    struct Step {
      CPoint at;
      int shift;  // of the first title from its start
    } steps[] = {{left, 0}, {right, -20}, {right, -40}, {left, -20}, {left, 0}, {left, 0}};
    for (const Step& s : steps) {
      ClickAt(s.at);
      EXPECT_EQ(Titles("arrows")[0].rect.left, start + s.shift) << s.at.x;
    }
    // A run that fits no longer moves: keep clicking right until the last title stops.
    int lastRight = -1;
    for (int i = 0; i < 40; ++i) {
      ClickAt(right);
      const auto titles = Titles("end");
      if (titles.back().rect.right == lastRight) break;
      lastRight = titles.back().rect.right;
    }
    // The last tab ends within the visible run (... 150 in mode 1, ... 200 in mode 0), less than a step inside.
    const int runEnd = mode == 1 ? 150 : 200;
    EXPECT_LE(lastRight, runEnd);
    EXPECT_GT(lastRight, runEnd - 20);
    strip.DestroyWindow();
    pages.clear();
  }
}

}  // namespace
