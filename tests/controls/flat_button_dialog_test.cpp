// The flat button on a real push button of the window layer: the owner-draw
// paint in each state a mouse and the keyboard bring it into, clicks and
// double clicks reaching the parent, and the focus leaving a disabled button.

#include <QApplication>
#include <QMouseEvent>
#include <vector>

#include "controls/flat_button.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/window_object.h"
#include "tests/controls/controls_fixture.h"

namespace {

using qv::testing::CountPixels;
using qv::testing::ToColorRef;

constexpr int kW = 80, kH = 26;
constexpr int kWriteId = 1070, kExitId = 1072;

class ButtonParent : public CWnd {
 public:
  std::vector<UINT> clicks;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_COMMAND && HIWORD(w) == BN_CLICKED) clicks.push_back(LOWORD(w));
    return CWnd::WindowProc(msg, w, l);
  }
};

class FlatButtonOnAButtonTest : public qv::testing::ControlFixture {
 protected:
  void SetUp() override {
    ControlFixture::SetUp();
    ASSERT_TRUE(parent.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 100), &top, 100));
    for (auto [b, id, text, x] : {std::tuple{&write, kWriteId, "Write", 10}, std::tuple{&exit, kExitId, "Exit", 110}}) {
      HWND h = ::CreateWindowExA(0, WC_BUTTON, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x, 10, kW,
                                 kH, parent.m_hWnd, id, nullptr);
      ASSERT_NE(h, nullptr);
      ASSERT_TRUE(b->SubclassWindow(h));
      b->SetColorScheme();
    }
    qv::PumpMessages();
  }
  void Mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
    QWidget* host = qv::win32::Lookup(write.m_hWnd)->host;
    const QPointF at(kW / 2, kH / 2);
    QMouseEvent e(type, at, host->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(host, &e);
    qv::PumpMessages();
  }
  // The Write button as the parent shows it.
  QImage Shot(const char* name) {
    qv::PumpMessages();
    return Composite(parent.m_hWnd, name).copy(10, 10, kW, kH);
  }
  ButtonParent parent;
  CFlatButton write, exit;
};

TEST_F(FlatButtonOnAButtonTest, EachStateThroughTheMouseAndTheKeyboard) {
  QImage img = Shot("normal");
  EXPECT_EQ(ToColorRef(img.pixel(2, 2)), 0x4F5554u);
  EXPECT_GT(CountPixels(img, img.rect(), [](COLORREF c) { return c == 0xFFFFFF; }), 10);

  Mouse(QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
  EXPECT_TRUE(write.IsHovered());
  img = Shot("hovered");
  EXPECT_EQ(ToColorRef(img.pixel(2, 2)), 0x99CC33u);
  EXPECT_EQ(ToColorRef(img.pixel(0, 0)), ::GetSysColor(COLOR_BTNHIGHLIGHT));

  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
  img = Shot("pressed");
  EXPECT_EQ(ToColorRef(img.pixel(0, 0)), ::GetSysColor(COLOR_BTNSHADOW));
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(parent.clicks, (std::vector<UINT>{kWriteId}));
  EXPECT_EQ(::GetFocus(), write.m_hWnd);

  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(qv::win32::Lookup(write.m_hWnd)->host, &leave);
  EXPECT_FALSE(write.IsHovered());
  img = Shot("focused");
  EXPECT_EQ(ToColorRef(img.pixel(2, 2)), 0x000000u);

  write.EnableWindow(FALSE);
  // The focus went on to the next tab item.
  EXPECT_EQ(::GetFocus(), exit.m_hWnd);
  img = Shot("disabled");
  EXPECT_EQ(ToColorRef(img.pixel(2, 2)), 0x4F5554u);
  EXPECT_GT(CountPixels(img, img.rect(), [](COLORREF c) { return c == ::GetSysColor(COLOR_BTNSHADOW); }), 10);
}

TEST_F(FlatButtonOnAButtonTest, ADoubleClickIsTwoClicks) {
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
  Mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(parent.clicks, (std::vector<UINT>{kWriteId, kWriteId}));
}

TEST_F(FlatButtonOnAButtonTest, TheDialogsDefaultButtonStaysOwnerDrawn) {
  write.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(write.GetStyle() & 0x1F, BS_OWNERDRAW);
  EXPECT_TRUE(write.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
}

}  // namespace

namespace {

TEST_F(FlatButtonOnAButtonTest, DisablingTakesTheFocusToTheNextItemWhereverItWas) {
  HWND read = ::CreateWindowExA(0, WC_BUTTON, "Read", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 210, 10, kW,
                                kH, parent.m_hWnd, 1071, nullptr);
  ASSERT_NE(read, nullptr);
  ::SetFocus(read);
  write.EnableWindow(FALSE);
  EXPECT_EQ(::GetFocus(), exit.m_hWnd);
}

}  // namespace

namespace {

TEST_F(FlatButtonOnAButtonTest, TheToolTipWindowComesWithTheFirstMessageAndHasNoTool) {
  // The layer's pump hands every mouse message to PreTranslateMessage first.
  Mouse(QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
  const HWND tip = write.GetToolTip().m_hWnd;
  ASSERT_NE(tip, nullptr);
  char cls[32] = {};
  ::GetClassNameA(tip, cls, sizeof(cls));
  EXPECT_STREQ(cls, TOOLTIPS_CLASS);
  EXPECT_EQ(write.GetToolTip().GetToolCount(), 0);
  // Later messages keep the same window.
  Mouse(QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(write.GetToolTip().m_hWnd, tip);
  EXPECT_FALSE(::IsWindowVisible(tip));
  // A tool-tip text adds the one tool.
  write.SetTooltipText("Write the image");
  EXPECT_EQ(write.GetToolTip().GetToolCount(), 1);
}

}  // namespace
