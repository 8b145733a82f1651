// The text progress bar: its message table, the redraw rule of PBM_SETPOS,
// the text colours on each side of the bar's edge, and the result font.

#include "controls/text_progress_bar.h"

#include <cstdlib>

#include "tests/controls/controls_fixture.h"

namespace {

using qv::testing::CountPixels;
using qv::testing::RowsWith;

constexpr COLORREF kBar = 0x3A3A3A;
constexpr COLORREF kBk = 0xFF8080;

// The percentage's glyph edges are antialiased: a mix of the bar's two
// colours, never a third colour.
bool MixOfBarColours(COLORREF c) {
  const int channels[3][3] = {{GetRValue(c), GetRValue(kBar), GetRValue(kBk)},
                              {GetGValue(c), GetGValue(kBar), GetGValue(kBk)},
                              {GetBValue(c), GetBValue(kBar), GetBValue(kBk)}};
  // The share of kBk, from the channel where the two differ most (red).
  const double t = static_cast<double>(channels[0][0] - channels[0][1]) / (channels[0][2] - channels[0][1]);
  if (t < 0 || t > 1) return false;
  for (const auto& ch : channels)
    if (std::abs(ch[0] - (ch[1] + t * (ch[2] - ch[1]))) > 2) return false;
  return true;
}

// Counts the paints that reach the control.
class CountingBar : public CTextProgressBar {
 public:
  int paints = 0;
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_PAINT) ++paints;
    return CTextProgressBar::WindowProc(msg, wParam, lParam);
  }
};

class TextProgressBarTest : public qv::testing::ControlFixture {
 protected:
  // A template control taken over as the dialogs do it (DDX_Control).
  void Make(int width, int height, DWORD extraStyle = 0) {
    HWND h = ::CreateWindowExA(0, "msctls_progress32", "", WS_CHILD | WS_VISIBLE | extraStyle, 10, 10, width, height,
                               top.m_hWnd, 1001, nullptr);
    ASSERT_TRUE(bar.SubclassWindow(h));
    bar.UpdateWindow();
  }
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return bar.SendMessage(msg, w, l); }
  CountingBar bar;
};

TEST_F(TextProgressBarTest, MessageTable) {
  Make(100, 20);
  PBRANGE range{-1, -1};
  struct Case {
    UINT msg;
    WPARAM w;
    LPARAM l;
    LRESULT expected;
  } cases[] = {
      {PBM_SETRANGE, 0, MAKELPARAM(0, 100), MAKELONG(0, 100)},
      {PBM_GETRANGE, TRUE, 0, 0},
      {PBM_GETRANGE, FALSE, 0, 100},
      {PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range), 0},
      {PBM_SETSTEP, 10, 0, 1},
      {PBM_SETPOS, 95, 0, 0},
      {PBM_STEPIT, 0, 0, 95},
      {PBM_GETPOS, 0, 0, 105},  // no wrap-around at the upper bound
      {PBM_DELTAPOS, static_cast<WPARAM>(-5), 0, 105},
      {PBM_GETPOS, 0, 0, 100},
      {PBM_SETRANGE32, 0x10002, 0x30064, MAKELONG(2, 100)},  // the low 16 bits come back
      {PBM_SETRANGE32, 0, 100, MAKELONG(0, 100)},
      {PBM_SETBARCOLOR, 0, kBar, static_cast<LRESULT>(CLR_DEFAULT)},
      {PBM_SETBARCOLOR, 0, 0x123456, kBar},
      {PBM_SETBKCOLOR, 0, kBk, static_cast<LRESULT>(CLR_DEFAULT)},
      {PBM_SETTEXTCOLOR, 0, 0xFFFFFF, static_cast<LRESULT>(CLR_DEFAULT)},
      {PBM_SETTEXTCOLOR, 0, static_cast<LPARAM>(CLR_DEFAULT), 0xFFFFFF},
  };
  for (const Case& c : cases) EXPECT_EQ(Send(c.msg, c.w, c.l), c.expected) << std::hex << c.msg;
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 100);

  // The control keeps its own text copy; the window text follows too.
  bar.SetWindowText("Verify Fail!");
  char buffer[16] = "#";
  EXPECT_EQ(Send(WM_GETTEXT, 5, reinterpret_cast<LPARAM>(buffer)), 4);
  EXPECT_STREQ(buffer, "Veri");
  EXPECT_EQ(Send(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(Send(WM_GETTEXT, 5, 0), 0);
  EXPECT_EQ(Send(WM_GETTEXTLENGTH), 12);
  EXPECT_EQ(Send(WM_ERASEBKGND), TRUE);
}

TEST_F(TextProgressBarTest, RepaintsOnlyWhenTheBarLengthChanges) {
  Make(50, 20);
  struct Step {
    UINT msg;
    WPARAM w;
    int paints;  // paints this step adds, before it returns
  } steps[] = {
      {PBM_SETPOS, 0, 1},    // the first after creation always paints
      {PBM_SETPOS, 1, 0},    // 0.5 pixel: still 0
      {PBM_SETPOS, 2, 1},    // 1 pixel
      {PBM_SETPOS, 2, 0},    //
      {PBM_SETRANGE, 0, 0},  // ranges never repaint
      {WM_SIZE, 0, 0},       // forgets the cached length ...
      {PBM_SETPOS, 2, 1},    // ... so the same position paints again
      {PBM_DELTAPOS, 2, 1},  // 4: 2 pixels
  };
  int expected = bar.paints;
  for (const Step& s : steps) {
    if (s.msg == PBM_SETRANGE) {
      Send(PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    } else if (s.msg == WM_SIZE) {
      bar.MoveWindow(10, 10, 50, 21);
      bar.UpdateWindow();
      expected = bar.paints;
    } else {
      Send(s.msg, s.w);
    }
    expected += s.paints;
    EXPECT_EQ(bar.paints, expected) << std::hex << s.msg << " " << s.w;
  }
  Snapshot(bar.m_hWnd, "pos4");
}

TEST_F(TextProgressBarTest, EmptyRangePaintsNothingButCompletesThePaint) {
  Make(100, 20);
  Send(PBM_SETPOS, 50);
  const QImage before = Snapshot(bar.m_hWnd, "before");
  Send(PBM_SETRANGE, 0, MAKELPARAM(7, 7));
  const int paints = bar.paints;
  EXPECT_EQ(Send(PBM_SETPOS, 3), 50);
  EXPECT_EQ(bar.paints, paints);  // no bar length is computed, nothing repaints
  Send(PBM_SETBARCOLOR, 0, 0x00FF00);
  bar.UpdateWindow();
  EXPECT_EQ(bar.paints, paints + 1);
  EXPECT_FALSE(::GetUpdateRect(bar.m_hWnd, nullptr, FALSE));
  EXPECT_EQ(Snapshot(bar.m_hWnd, "after"), before);
}

TEST_F(TextProgressBarTest, TextTakesTheOtherColourOnEachSideOfTheEdge) {
  Make(200, 24);
  bar.SetBarColor(kBar);
  bar.SetBkColor(kBk);
  Send(PBM_SETPOS, 50);  // edge at x = 100, through the middle of "50%"
  bar.UpdateWindow();
  const QImage img = Snapshot(bar.m_hWnd, "default_text");
  const QRect left(0, 0, 100, 24), right(100, 0, 100, 24);
  auto other = [](COLORREF c) { return !MixOfBarColours(c); };
  EXPECT_EQ(CountPixels(img, left, other), 0);
  EXPECT_EQ(CountPixels(img, right, other), 0);
  EXPECT_GT(CountPixels(img, left, [](COLORREF c) { return c == kBk; }), 0);  // text over the bar
  EXPECT_GT(CountPixels(img, right, [](COLORREF c) { return c == kBar; }), 0);

  bar.SetTextColor(0xFFFFFF);
  bar.UpdateWindow();
  const QImage white = Snapshot(bar.m_hWnd, "white_text");
  EXPECT_GT(CountPixels(white, left, [](COLORREF c) { return c == 0xFFFFFF; }), 0);
  EXPECT_GT(CountPixels(white, right, [](COLORREF c) { return c == 0xFFFFFF; }), 0);
  EXPECT_EQ(CountPixels(white, right, [](COLORREF c) { return c == kBar; }), 0);
}

TEST_F(TextProgressBarTest, ShowsTheStoredTextOrElseThePercentage) {
  Make(200, 24);
  // The default colours are the system's, looked up at the paint.
  Send(PBM_SETPOS, 50);
  bar.UpdateWindow();
  const QImage plain = Snapshot(bar.m_hWnd, "default_colours");
  EXPECT_EQ(qv::testing::ToColorRef(plain.pixel(0, 0)), ::GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(qv::testing::ToColorRef(plain.pixel(199, 0)), ::GetSysColor(COLOR_WINDOW));

  bar.SetBarColor(kBar);
  bar.SetBkColor(kBk);
  struct Case {
    int lower, upper, pos;
    const char* percent;  // the same picture as this text set as the window text
    COLORREF left, right;
  } cases[] = {
      {0, 100, 0, "0%", kBk, kBk},
      {0, 100, 100, "100%", kBar, kBar},
      {0, 3, 2, "66%", kBar, kBk},
      {0, 100, 150, "150%", kBar, kBar},
  };
  for (const Case& c : cases) {
    Send(PBM_SETRANGE32, static_cast<WPARAM>(c.lower), c.upper);
    Send(PBM_SETPOS, static_cast<WPARAM>(c.pos));
    bar.Invalidate();
    bar.UpdateWindow();
    const QImage percent = Snapshot(bar.m_hWnd, c.percent);
    EXPECT_EQ(qv::testing::ToColorRef(percent.pixel(0, 0)), c.left) << c.percent;
    EXPECT_EQ(qv::testing::ToColorRef(percent.pixel(199, 0)), c.right) << c.percent;

    bar.SetWindowText(c.percent);
    bar.UpdateWindow();
    EXPECT_EQ(qv::WindowSnapshot(bar.m_hWnd), percent) << c.percent;
    bar.SetWindowText(c.percent);  // the same text again changes nothing
    EXPECT_FALSE(::GetUpdateRect(bar.m_hWnd, nullptr, FALSE)) << c.percent;

    Send(WM_SETTEXT, 0, 0);  // NULL is the empty text: the percentage comes back
    EXPECT_TRUE(::GetUpdateRect(bar.m_hWnd, nullptr, FALSE)) << c.percent;
    bar.UpdateWindow();
    EXPECT_EQ(qv::WindowSnapshot(bar.m_hWnd), percent) << c.percent;
    bar.SetWindowText("");
    EXPECT_FALSE(::GetUpdateRect(bar.m_hWnd, nullptr, FALSE)) << c.percent;
  }
}

TEST_F(TextProgressBarTest, ResultTextsUseTheLargeFont) {
  Make(200, 40);
  bar.SetBarColor(kBar);
  bar.SetBkColor(kBk);
  bar.SetTextColor(0xFFFFFF);
  struct Case {
    const char* text;
    bool large;
  } cases[] = {{"NG", true}, {"PASS", true}, {"ng", false}, {"Pass", false}, {"PASS!", false}, {"NG ", false}};
  for (const Case& c : cases) {
    bar.SetWindowText(c.text);
    bar.UpdateWindow();
    const auto [topRow, bottomRow] = RowsWith(Snapshot(bar.m_hWnd, c.text), 0xFFFFFF);
    ASSERT_GE(topRow, 0) << c.text;
    const int height = bottomRow - topRow + 1;
    if (c.large)
      EXPECT_GE(height, 16) << c.text;
    else
      EXPECT_LE(height, 14) << c.text;
  }
}

TEST_F(TextProgressBarTest, PositionOutsideTheRangeAndHiddenPercent) {
  Make(100, 20);
  bar.SetBarColor(kBar);
  bar.SetBkColor(kBk);
  const QRect all(0, 0, 100, 20);
  // Position 150 fills the whole bar; its text "150%" reads in the background colour.
  Send(PBM_SETPOS, 150);
  bar.UpdateWindow();
  const QImage over = Snapshot(bar.m_hWnd, "pos150");
  EXPECT_EQ(CountPixels(over, all, [](COLORREF c) { return !MixOfBarColours(c); }), 0);
  EXPECT_GT(CountPixels(over, all, [](COLORREF c) { return c == kBk; }), 0);
  EXPECT_EQ(CountPixels(over, QRect(0, 0, 100, 2), [](COLORREF c) { return c != kBar; }), 0);

  Send(PBM_SHOWPERCENT, FALSE);
  bar.UpdateWindow();
  EXPECT_EQ(CountPixels(Snapshot(bar.m_hWnd, "no_percent"), all, [](COLORREF c) { return c != kBar; }), 0);
}

TEST_F(TextProgressBarTest, VerticalBarFillsFromTheBottomWithoutText) {
  Make(20, 100, PBS_VERTICAL);
  bar.SetBarColor(kBar);
  bar.SetBkColor(kBk);
  Send(PBM_SETPOS, 30);
  bar.UpdateWindow();
  const QImage img = Snapshot(bar.m_hWnd, "vertical");
  EXPECT_EQ(CountPixels(img, QRect(0, 70, 20, 30), [](COLORREF c) { return c != kBar; }), 0);
  EXPECT_EQ(CountPixels(img, QRect(0, 0, 20, 70), [](COLORREF c) { return c != kBk; }), 0);
}

}  // namespace
