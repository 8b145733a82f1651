// What the label writes, read back through the recording seam: the status
// strip's labels in the 16-point heavy "宋体" font in their colours, the
// rotated text from the centre on its baseline, the flash timer's 500 ms, and
// the click notification's code.

#include <QAbstractEventDispatcher>
#include <QTest>
#include <vector>

#include "controls/color_label.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/window_object.h"
#include "tests/controls/controls_fixture.h"
#include "tests/support/recording_dc/recording_dc.h"

namespace {

using qv::testing::DrawnText;
using qv::testing::TextRecorder;

const char kSongTi[] = "\xCB\xCE\xCC\xE5";

class ColorLabelTextTest : public qv::testing::ControlFixture {
 protected:
  void Make(const char* text, DWORD style, CRect place) {
    HWND h = ::CreateWindowExA(0, WC_STATIC, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                               place.Width(), place.Height(), top.m_hWnd, 200, nullptr);
    ASSERT_TRUE(label.SubclassWindow(h));
    label.m_bKeepText = 1;
  }
  std::vector<DrawnText> Drawn() {
    TextRecorder recorder;
    label.Invalidate();
    label.UpdateWindow();
    return recorder.Drawn();
  }
  CColorLabel label;
};

TEST_F(ColorLabelTextTest, TheStatusStripsLabelsWriteInTheirFontAndColours) {
  // lfHeight of a 16-point face on the screen, as the GDI gives it.
  LOGFONTA sized{};
  {
    CFont probe;
    ASSERT_TRUE(probe.CreatePointFont(160, kSongTi, nullptr));
    probe.GetLogFont(&sized);
  }
  struct Case {
    const char* text;
    COLORREF colour;
  } cases[] = {{"Device Connected", 0x00FF00}, {"Device DisConnected", 0x0000FF}, {"USB Interface", 0xFFFFFF}};
  Make("", 0, CRect(10, 10, 250, 42));
  label.SetFontSize(16).SetFontBold(TRUE);
  label.SetTransparent(TRUE).SetFontName(kSongTi);
  for (const Case& c : cases) {
    label.SetTextColor(c.colour);
    label.SetWindowText(c.text);
    const auto drawn = Drawn();
    ASSERT_EQ(drawn.size(), 1u) << c.text;
    const DrawnText& t = drawn[0];
    EXPECT_EQ(t.text, c.text);
    EXPECT_EQ(t.colour, c.colour);
    EXPECT_EQ(t.bkMode, TRANSPARENT);
    EXPECT_EQ(t.format, static_cast<UINT>(DT_WORDBREAK));  // a left-aligned label wraps words
    EXPECT_EQ(CRect(t.rect), CRect(0, 0, 240, 32));
    EXPECT_EQ(t.font.lfHeight, sized.lfHeight);
    EXPECT_EQ(t.font.lfWeight, 956);
    EXPECT_STREQ(t.font.lfFaceName, kSongTi);
  }
  label.SetFontBold(FALSE);
  EXPECT_EQ(Drawn()[0].font.lfWeight, 400);
}

TEST_F(ColorLabelTextTest, RotatedTextStartsAtTheCentreOnItsBaseline) {
  struct Case {
    CRect place;
    int degrees;
    POINT centre;
  } cases[] = {{CRect(10, 10, 110, 110), 90, {50, 50}}, {CRect(10, 10, 131, 51), 45, {60, 20}}};
  for (const Case& c : cases) {
    Make("Rotated", 0, c.place);
    label.SetRotation(c.degrees, TRUE);
    const auto drawn = Drawn();
    ASSERT_EQ(drawn.size(), 1u);
    const DrawnText& t = drawn[0];
    EXPECT_FALSE(t.drawText);
    EXPECT_EQ(t.text, "Rotated");
    EXPECT_EQ(CPoint(t.at), CPoint(0, 0));
    EXPECT_EQ(CPoint(t.viewport), CPoint(c.centre)) << c.degrees;
    EXPECT_EQ(t.align, static_cast<UINT>(TA_BASELINE));
    EXPECT_EQ(t.font.lfEscapement, c.degrees * 10);
    EXPECT_EQ(t.font.lfOrientation, c.degrees * 10);
    label.DestroyWindow();
  }
}

TEST_F(ColorLabelTextTest, TheThreeDCopyComesSecondInItsOwnColour) {
  Make("Shadow", 0, CRect(10, 10, 110, 40));
  struct Case {
    BOOL direction;
    CRect copy;
  } cases[] = {{TRUE, CRect(1, 1, 101, 31)}, {FALSE, CRect(-1, -1, 99, 29)}};
  label.SetTextColor(0x000000);
  for (const Case& c : cases) {
    label.SetText3D(TRUE, c.direction);
    const auto drawn = Drawn();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(CRect(drawn[0].rect), CRect(0, 0, 100, 30));
    EXPECT_EQ(drawn[0].colour, 0x000000u);
    EXPECT_EQ(CRect(drawn[1].rect), c.copy);
    EXPECT_EQ(drawn[1].colour, 0xFFFFFFu);  // the 3-D copy's colour until one is set
  }
}

TEST_F(ColorLabelTextTest, FlashingRunsOnA500MillisecondTimer) {
  Make("Flash", 0, CRect(10, 10, 110, 40));
  QObject* host = qv::win32::Lookup(label.m_hWnd)->host;
  auto intervals = [&] {
    std::vector<int> out;
    for (const auto& t : QAbstractEventDispatcher::instance()->registeredTimers(host)) out.push_back(t.interval);
    return out;
  };
  EXPECT_TRUE(intervals().empty());
  label.FlashText(TRUE);
  EXPECT_EQ(intervals(), std::vector<int>{500});
  label.FlashBackground(TRUE);
  EXPECT_EQ(intervals(), std::vector<int>{500});
  label.FlashText(FALSE);
  EXPECT_TRUE(intervals().empty());
}

class NotifyRecorder : public CWnd {
 public:
  std::vector<NMHDR> notes;
  std::vector<WPARAM> ids;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_NOTIFY) {
      notes.push_back(*reinterpret_cast<NMHDR*>(l));
      ids.push_back(w);
    }
    return CWnd::WindowProc(msg, w, l);
  }
};

TEST_F(ColorLabelTextTest, ALinkClickNotifiesWithCode0x8200) {
  NotifyRecorder parent;
  ASSERT_TRUE(parent.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 100), &top, 100));
  HWND h = ::CreateWindowExA(0, WC_STATIC, "Link", WS_CHILD | WS_VISIBLE, 10, 10, 100, 20, parent.m_hWnd, 1129,
                             nullptr);
  ASSERT_TRUE(label.SubclassWindow(h));
  label.SetLink(TRUE, FALSE);
  QTest::mouseClick(qv::win32::Lookup(label.m_hWnd)->host, Qt::LeftButton, {}, QPoint(5, 5));
  qv::PumpMessages();
  ASSERT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.notes[0].code, 0x8200u);
  EXPECT_EQ(parent.notes[0].idFrom, 1129u);
  EXPECT_EQ(parent.notes[0].hwndFrom, label.m_hWnd);
  EXPECT_EQ(parent.ids[0], 1129u);
}

}  // namespace
