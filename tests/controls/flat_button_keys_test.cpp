// Flat buttons in a dialog under the keyboard, as the pages hold them: Tab
// takes the focus from button to button and each shows the colour scheme's
// state (white on 0x4F5554, white on black when focused, black on 0x99CC33
// while Space holds it down), the caption drawn centred in those colours and
// moved one pixel when pressed; Space clicks the focused button.

#include <QTest>
#include <string>
#include <vector>

#include "controls/flat_button.h"
#include "platform/win32/dialog/dialog.h"
#include "platform/win32/dialog/dialog_template.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/window_object.h"
#include "tests/controls/controls_fixture.h"
#include "tests/support/recording_dc/recording_dc.h"

namespace {

using qv::testing::DrawnText;
using qv::testing::TextRecorder;
using qv::testing::ToColorRef;

CRect OnePixelRightAndDown(CRect r) {
  r.OffsetRect(1, 1);
  return r;
}

constexpr int kDialog = 9311;
constexpr UINT kWrite = 1070, kRead = 1071, kExit = 1072;
constexpr COLORREF kNormalBack = 0x4F5554, kActiveBack = 0x99CC33, kFocusBack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF, kBlack = 0x000000;

class ButtonsDialog : public CDialogEx {
 public:
  ButtonsDialog() : CDialogEx(kDialog, nullptr) {}
  CFlatButton buttons[3];
  std::vector<UINT> clicks;

  BOOL OnInitDialog() override {
    CDialogEx::OnInitDialog();
    const UINT ids[3] = {kWrite, kRead, kExit};
    for (int i = 0; i < 3; ++i) {
      buttons[i].SubclassDlgItem(ids[i], this);
      buttons[i].SetColorScheme();
    }
    return TRUE;
  }
  BOOL OnWndMsg(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override {
    if (msg == WM_COMMAND && HIWORD(w) == BN_CLICKED) clicks.push_back(LOWORD(w));
    return CDialogEx::OnWndMsg(msg, w, l, result);
  }
};

class FlatButtonKeysTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    qv::win32::DialogTemplate t;
    t.id = kDialog;
    t.caption = "Buttons";
    t.style = WS_POPUP | WS_CAPTION | DS_SETFONT;
    t.fontFace = "MS Shell Dlg";
    t.pointSize = 8;
    t.cx = 200;
    t.cy = 40;
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    t.items = {{static_cast<int>(kWrite), "Button", "Write", style, 0, 5, 10, 50, 16},
               {static_cast<int>(kRead), "Button", "Read", style, 0, 70, 10, 50, 16},
               {static_cast<int>(kExit), "Button", "Exit", style, 0, 135, 10, 50, 16}};
    qv::win32::RegisterDialogTemplate(std::move(t));
  }
  void SetUp() override {
    qv::Application();
    ASSERT_TRUE(dialog.Create(kDialog));
    dialog.ShowWindow(SW_SHOW);
    qv::PumpMessages();
    dialog.buttons[0].SetFocus();
    qv::PumpMessages();
  }
  void TearDown() override { dialog.DestroyWindow(); }

  QWidget* FocusHost() { return qv::win32::Lookup(::GetFocus())->host; }
  // What the button shows now, and the captions drawn to show it.
  QImage Shown(int i, const std::string& name, std::vector<DrawnText>* captions = nullptr) {
    TextRecorder recorder;
    dialog.buttons[i].Invalidate();
    dialog.buttons[i].UpdateWindow();
    if (captions) *captions = recorder.Drawn();
    return qv::testing::SaveSnapshot(dialog.buttons[i].m_hWnd, name.c_str());
  }
  CRect Client(int i) {
    CRect r;
    dialog.buttons[i].GetClientRect(&r);
    return r;
  }

  ButtonsDialog dialog;
};

TEST_F(FlatButtonKeysTest, TabMovesTheFocusAndEachButtonShowsItsState) {
  // After each Tab: the focused button white on black, the others white on 0x4F5554.
  const int order[] = {1, 2, 0};
  for (int focused : order) {
    QTest::keyClick(FocusHost(), Qt::Key_Tab);
    qv::PumpMessages();
    ASSERT_EQ(::GetFocus(), dialog.buttons[focused].m_hWnd) << focused;
    for (int i = 0; i < 3; ++i) {
      std::vector<DrawnText> captions;
      const QImage img = Shown(i, "tab_" + std::to_string(focused) + "_" + std::to_string(i), &captions);
      const bool has = i == focused;
      EXPECT_EQ(ToColorRef(img.pixel(3, 3)), has ? kFocusBack : kNormalBack) << focused << " " << i;
      ASSERT_EQ(captions.size(), 1u);
      EXPECT_EQ(captions[0].colour, kWhite) << focused << " " << i;
      EXPECT_EQ(captions[0].format, static_cast<UINT>(DT_WORDBREAK | DT_CENTER));
      EXPECT_EQ(captions[0].bkMode, TRANSPARENT);
    }
  }
  EXPECT_TRUE(dialog.clicks.empty());
}

TEST_F(FlatButtonKeysTest, SpaceHoldsTheFocusedButtonDownAndClicksItOnRelease) {
  QTest::keyClick(FocusHost(), Qt::Key_Tab);  // to Read
  qv::PumpMessages();
  ASSERT_EQ(::GetFocus(), dialog.buttons[1].m_hWnd);
  std::vector<DrawnText> up;
  Shown(1, "up", &up);
  ASSERT_EQ(up.size(), 1u);

  QTest::keyPress(FocusHost(), Qt::Key_Space);
  qv::PumpMessages();
  std::vector<DrawnText> down;
  const QImage pressed = Shown(1, "space_down", &down);
  // Black on green with a sunken edge: shadow top left, highlight bottom right.
  EXPECT_EQ(ToColorRef(pressed.pixel(3, 3)), kActiveBack);
  const CRect r = Client(1);
  EXPECT_EQ(ToColorRef(pressed.pixel(0, 0)), ::GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(ToColorRef(pressed.pixel(r.right - 1, r.bottom - 1)), ::GetSysColor(COLOR_BTNHIGHLIGHT));
  ASSERT_EQ(down.size(), 1u);
  EXPECT_EQ(down[0].text, "Read");
  EXPECT_EQ(down[0].colour, kBlack);
  // The caption one pixel right and down of where it stands up.
  EXPECT_EQ(CRect(down[0].rect), OnePixelRightAndDown(up[0].rect));
  EXPECT_TRUE(dialog.clicks.empty());

  QTest::keyRelease(FocusHost(), Qt::Key_Space);
  qv::PumpMessages();
  EXPECT_EQ(dialog.clicks, (std::vector<UINT>{kRead}));
  EXPECT_EQ(::GetFocus(), dialog.buttons[1].m_hWnd);
  EXPECT_EQ(ToColorRef(Shown(1, "space_up").pixel(3, 3)), kFocusBack);
}

TEST_F(FlatButtonKeysTest, TheCaptionIsCentredInTheButton) {
  // Unpressed, the drawn rectangle is the measured one centred in the item:
  // equal room (up to one pixel) on each side.
  for (int i = 0; i < 3; ++i) {
    std::vector<DrawnText> captions;
    Shown(i, "centred_" + std::to_string(i), &captions);
    ASSERT_EQ(captions.size(), 1u);
    const CRect c = captions[0].rect, item = Client(i);
    EXPECT_LE(std::abs((c.left - item.left) - (item.right - c.right)), 1) << i;
    EXPECT_LE(std::abs((c.top - item.top) - (item.bottom - c.bottom)), 1) << i;
    EXPECT_LT(c.Width(), item.Width()) << i;
  }
}

TEST_F(FlatButtonKeysTest, ADisabledButtonIsEmbossedInTheSystemsEdgeColours) {
  std::vector<DrawnText> enabled;
  Shown(2, "enabled", &enabled);
  ASSERT_EQ(enabled.size(), 1u);
  dialog.buttons[2].EnableWindow(FALSE);
  std::vector<DrawnText> captions;
  const QImage img = Shown(2, "disabled", &captions);
  EXPECT_EQ(ToColorRef(img.pixel(3, 3)), kNormalBack);
  ASSERT_EQ(captions.size(), 2u);
  // The highlight copy one pixel right and down, then the shadow at the caption's own place.
  EXPECT_EQ(captions[0].colour, ::GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(captions[1].colour, ::GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(CRect(captions[0].rect), OnePixelRightAndDown(enabled[0].rect));
  EXPECT_EQ(CRect(captions[1].rect), CRect(enabled[0].rect));
  EXPECT_EQ(captions[0].format, static_cast<UINT>(DT_WORDBREAK | DT_CENTER));
  EXPECT_EQ(captions[1].format, static_cast<UINT>(DT_WORDBREAK | DT_CENTER));
}

}  // namespace
