// The text progress bar as it appears, pixel for pixel: the bar's and the
// rest's colours split at the bar's length, and the text centred on the whole
// control in the bar's font (heavy 956, "宋体", 27 pixels for the two result
// texts, else 14), compared with the same drawing made by the GDI itself.

#include <string>

#include "controls/text_progress_bar.h"
#include "tests/controls/controls_fixture.h"
#include "tests/support/recording_dc/recording_dc.h"
#include "tests/support/reference_picture.h"

namespace {

using qv::testing::FontSpec;
using qv::testing::PixelsDiffering;
using qv::testing::ReferencePicture;

constexpr COLORREF kBar = 0x3A3A3A;   // the Write and Read pages' bar,
constexpr COLORREF kBk = 0xFF8080;    // background
constexpr COLORREF kText = 0xFFFFFF;  // and text colours
const char kSongTi[] = "\xCB\xCE\xCC\xE5";
constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

class TextProgressBarPictureTest : public qv::testing::ControlFixture {
 protected:
  void Make(int width, int height) {
    HWND h = ::CreateWindowExA(0, "msctls_progress32", "", WS_CHILD | WS_VISIBLE, 10, 10, width, height, top.m_hWnd,
                               1001, nullptr);
    ASSERT_TRUE(bar.SubclassWindow(h));
  }
  QImage Shown(const std::string& name) {
    bar.Invalidate();
    bar.UpdateWindow();
    return Snapshot(bar.m_hWnd, name.c_str());
  }
  CTextProgressBar bar;
};

TEST_F(TextProgressBarPictureTest, TextInTheResultOrTheStageFontOverBothColours) {
  Make(200, 40);
  bar.SetBarColor(kBar);
  bar.SetBkColor(kBk);
  bar.SetTextColor(kText);
  bar.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  struct Case {
    int pos;
    const char* windowText;  // nullptr: the percentage
    int barRight;
    const char* drawn;
    int fontHeight;
  } cases[] = {
      {50, "NG", 100, "NG", 27},
      {50, "PASS", 100, "PASS", 27},
      {100, "PASS", 200, "PASS", 27},
      {30, "ng", 60, "ng", 14},
      {30, "Pass", 60, "Pass", 14},
      {30, "PASS!", 60, "PASS!", 14},
      {30, "NG ", 60, "NG ", 14},
      {70, "Verify Fail!", 140, "Verify Fail!", 14},
      {0, nullptr, 0, "0%", 14},
      {37, nullptr, 74, "37%", 14},
      {100, nullptr, 200, "100%", 14},
      {150, nullptr, 200, "150%", 14},
  };
  for (const Case& c : cases) {
    bar.SendMessage(PBM_SETPOS, static_cast<WPARAM>(c.pos));
    bar.SetWindowText(c.windowText ? c.windowText : "");
    const QImage shown = Shown(c.drawn);
    ReferencePicture ref(200, 40, kBk);
    ref.Fill(RECT{0, 0, c.barRight, 40}, kBar);
    ref.TextIn(RECT{0, 0, 200, 40}, kCentred, FontSpec{c.fontHeight, 956, kSongTi}, c.drawn, kText);
    EXPECT_EQ(PixelsDiffering(shown, ref.image()), 0) << c.drawn << " at " << c.pos;
  }
}

TEST_F(TextProgressBarPictureTest, ADefaultTextColourInvertsTheTextAtTheBarsEdge) {
  Make(160, 24);
  bar.SetBarColor(kBar);
  bar.SetBkColor(kBk);
  struct Case {
    int lower, upper, pos;
    int barRight;
    const char* drawn;
  } cases[] = {
      {0, 100, 50, 80, "50%"},
      {0, 3, 2, 106, "66%"},
      {10, 20, 15, 80, "50%"},
      {0, 100, 47, 75, "47%"},
  };
  for (const Case& c : cases) {
    bar.SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(c.lower), c.upper);
    bar.SendMessage(PBM_SETPOS, static_cast<WPARAM>(c.pos));
    const QImage shown = Shown(std::string("edge_") + std::to_string(c.barRight));
    const RECT whole{0, 0, 160, 24}, over{0, 0, c.barRight, 24}, rest{c.barRight, 0, 160, 24};
    const FontSpec font{14, 956, kSongTi};
    ReferencePicture ref(160, 24, kBk);
    ref.Fill(over, kBar);
    ref.TextIn(whole, kCentred, font, c.drawn, kBk, over);
    ref.TextIn(whole, kCentred, font, c.drawn, kBar, rest);
    EXPECT_EQ(PixelsDiffering(shown, ref.image()), 0) << c.drawn << " at " << c.barRight;
  }
}

TEST_F(TextProgressBarPictureTest, DefaultColoursAreTheSystemsHighlightAndWindow) {
  Make(120, 20);
  bar.SendMessage(PBM_SETPOS, 25);
  const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT), window = ::GetSysColor(COLOR_WINDOW);
  ReferencePicture ref(120, 20, window);
  const RECT whole{0, 0, 120, 20}, over{0, 0, 30, 20}, rest{30, 0, 120, 20};
  ref.Fill(over, highlight);
  ref.TextIn(whole, kCentred, FontSpec{14, 956, kSongTi}, "25%", window, over);
  ref.TextIn(whole, kCentred, FontSpec{14, 956, kSongTi}, "25%", highlight, rest);
  EXPECT_EQ(PixelsDiffering(Shown("system"), ref.image()), 0);
}

TEST_F(TextProgressBarPictureTest, TheTextIsDrawnTwiceInTheBarsFontOverTheWholeControl) {
  Make(200, 40);
  bar.SetBarColor(kBar);
  bar.SetBkColor(kBk);
  bar.SendMessage(PBM_SETPOS, 50);
  struct Case {
    const char* windowText;
    const char* drawn;
    int height;
  } cases[] = {{"", "50%", 14}, {"NG", "NG", 27}, {"PASS", "PASS", 27}, {"Verify OK!", "Verify OK!", 14}};
  for (const Case& c : cases) {
    bar.SetWindowText(c.windowText);
    qv::testing::TextRecorder recorder;
    Shown(c.drawn);
    const auto texts = recorder.Drawn();
    ASSERT_EQ(texts.size(), 2u) << c.drawn;
    // Over the bar in the background colour, then over the rest in the bar colour.
    const COLORREF colours[2] = {kBk, kBar};
    for (size_t i = 0; i < 2; ++i) {
      const auto& t = texts[i];
      EXPECT_EQ(t.text, c.drawn);
      EXPECT_TRUE(t.drawText);
      EXPECT_EQ(t.format, 0x25u);
      EXPECT_EQ(CRect(t.rect), CRect(0, 0, 200, 40));
      EXPECT_EQ(t.colour, colours[i]) << c.drawn << " " << i;
      EXPECT_EQ(t.bkMode, TRANSPARENT);
      EXPECT_EQ(t.font.lfHeight, c.height) << c.drawn;
      EXPECT_EQ(t.font.lfWidth, 0);
      EXPECT_EQ(t.font.lfEscapement, 0);
      EXPECT_EQ(t.font.lfWeight, 956);
      EXPECT_EQ(t.font.lfItalic, 0);
      EXPECT_EQ(t.font.lfUnderline, 0);
      EXPECT_EQ(t.font.lfStrikeOut, 0);
      EXPECT_EQ(t.font.lfCharSet, ANSI_CHARSET);
      EXPECT_EQ(t.font.lfOutPrecision, OUT_TT_PRECIS);
      EXPECT_EQ(t.font.lfPitchAndFamily, 0x22);
      EXPECT_STREQ(t.font.lfFaceName, kSongTi);
    }
  }
}

}  // namespace
