// The flat button: the colour scheme in each state, the classic look, the
// caption's press offset and embossing, hover tracking through mouse moves,
// the check-box mode, the default-button style, and images beside the caption.

#include "controls/flat_button.h"

#include <QApplication>
#include <QMouseEvent>
#include <vector>

#include "platform/win32/gdi/gdi_qt.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/input/mouse.h"
#include "platform/win32/window_object.h"
#include "tests/controls/controls_fixture.h"
#include "tests/support/snapshot_file.h"

namespace {

using qv::testing::CountPixels;
using qv::testing::ToColorRef;

constexpr int kW = 80, kH = 26;
constexpr COLORREF kNormalBack = 0x4F5554, kActiveBack = 0x99CC33;
const COLORREF kHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
const COLORREF kShadow = ::GetSysColor(COLOR_BTNSHADOW);

// The bounding box of the pixels of a colour.
QRect BoxOf(const QImage& img, COLORREF c) {
  QRect box;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (ToColorRef(img.pixel(x, y)) == c) box |= QRect(x, y, 1, 1);
  return box;
}

class FlatButtonTest : public qv::testing::ControlFixture {
 protected:
  void Make(DWORD type = 0, const char* caption = "Write") {
    HWND h = ::CreateWindowExA(0, nullptr, caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | type, 20, 20, kW, kH,
                               top.m_hWnd, 1001, nullptr);
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(button.SubclassWindow(h));
  }
  // DrawItem on an image of the button's size, as the owner-draw paint does.
  QImage Draw(UINT state, const char* name) {
    QImage img(kW, kH, QImage::Format_RGB32);
    img.fill(QColor(255, 0, 255));
    HDC dc = qv::CreateSurfaceDC(img);
    DRAWITEMSTRUCT dis{ODT_BUTTON, 1001, 0, ODA_DRAWENTIRE, state, button.m_hWnd, dc, RECT{0, 0, kW, kH}, 0};
    button.DrawItem(&dis);
    ::DeleteDC(dc);
    qv::testing::SavePicture(img.scaled(kW * 2, kH * 2), QString("FlatButton_%1").arg(name));
    return img;
  }
  void Hover() {
    POINT p{kW / 2, kH / 2};
    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
  }
  CFlatButton button;
};

TEST_F(FlatButtonTest, ConstructorDefaultsAndTheScheme) {
  Make();
  EXPECT_EQ(button.GetColor(CFlatButton::kBackNormal), ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(button.GetColor(CFlatButton::kTextNormal), ::GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(button.GetAlign(), 0);
  button.SetColorScheme();
  const COLORREF scheme[6] = {0x99CC33, 0x000000, 0x4F5554, 0xFFFFFF, 0x000000, 0xFFFFFF};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(button.GetColor(i), scheme[i]) << i;
  EXPECT_EQ(button.GetAlign(), 1);
  // The button became owner-drawn.
  EXPECT_EQ(button.GetStyle() & 0x1F, BS_OWNERDRAW);
}

TEST_F(FlatButtonTest, NormalButtonShowsWhiteTextOnGreyGreen) {
  Make();
  button.SetColorScheme();
  const QImage img = Draw(0, "normal");
  EXPECT_EQ(ToColorRef(img.pixel(0, 0)), kNormalBack);
  EXPECT_EQ(ToColorRef(img.pixel(kW - 1, kH - 1)), kNormalBack);
  const int white = CountPixels(img, img.rect(), [](COLORREF c) { return c == 0xFFFFFF; });
  const int back = CountPixels(img, img.rect(), [](COLORREF c) { return c == kNormalBack; });
  EXPECT_GT(white, 10);
  EXPECT_EQ(white + back, kW * kH);
  // The caption is centred. DrawText centres the glyphs' advances, as GDI
  // does: the ink may lie two pixels off, by the glyphs' side bearings.
  const QRect text = BoxOf(img, 0xFFFFFF);
  EXPECT_LE(std::abs(text.center().x() - kW / 2), 2);
  EXPECT_LE(std::abs(text.center().y() - kH / 2), 1);
}

TEST_F(FlatButtonTest, HoveredAndPressedShowBlackOnGreenWithRaisedAndSunkenEdges) {
  Make();
  button.SetColorScheme();
  const QRect normalText = BoxOf(Draw(0, "before_hover"), 0xFFFFFF);
  Hover();
  ASSERT_TRUE(button.IsHovered());
  const QImage hovered = Draw(0, "hovered");
  EXPECT_EQ(ToColorRef(hovered.pixel(0, 0)), kHighlight);
  EXPECT_EQ(ToColorRef(hovered.pixel(kW - 1, kH - 1)), kShadow);
  EXPECT_EQ(ToColorRef(hovered.pixel(3, 3)), kActiveBack);
  const QRect hoverText = BoxOf(hovered, 0x000000);
  EXPECT_EQ(hoverText, normalText);

  const QImage pressed = Draw(ODS_SELECTED, "pressed");
  EXPECT_EQ(ToColorRef(pressed.pixel(0, 0)), kShadow);
  EXPECT_EQ(ToColorRef(pressed.pixel(kW - 1, kH - 1)), kHighlight);
  EXPECT_EQ(ToColorRef(pressed.pixel(3, 3)), kActiveBack);
  // Pressing moves the caption one pixel right and down.
  EXPECT_EQ(BoxOf(pressed, 0x000000), hoverText.translated(1, 1));
}

TEST_F(FlatButtonTest, PressedWithoutHoverStillUsesTheActiveColours) {
  Make();
  button.SetColorScheme();
  const QImage img = Draw(ODS_SELECTED | ODS_FOCUS, "pressed_not_hovered");
  EXPECT_EQ(ToColorRef(img.pixel(3, 3)), kActiveBack);
  EXPECT_GT(CountPixels(img, img.rect(), [](COLORREF c) { return c == 0x000000; }), 10);
}

TEST_F(FlatButtonTest, FocusedButtonShowsWhiteOnBlackWithoutAFocusRectangle) {
  Make();
  button.SetColorScheme();
  const QImage img = Draw(ODS_FOCUS, "focused");
  const int black = CountPixels(img, img.rect(), [](COLORREF c) { return c == 0x000000; });
  const int white = CountPixels(img, img.rect(), [](COLORREF c) { return c == 0xFFFFFF; });
  EXPECT_GT(white, 10);
  EXPECT_EQ(black + white, kW * kH);  // no focus rectangle, no border
}

TEST_F(FlatButtonTest, DisabledCaptionIsEmbossed) {
  Make();
  button.SetColorScheme();
  const QImage img = Draw(ODS_DISABLED, "disabled");
  EXPECT_EQ(ToColorRef(img.pixel(0, 0)), kNormalBack);
  const QRect highlight = BoxOf(img, kHighlight);
  const QRect shadow = BoxOf(img, kShadow);
  ASSERT_FALSE(shadow.isEmpty());
  ASSERT_FALSE(highlight.isEmpty());
  // The highlight copy lies one pixel right and down of the shadow on top.
  EXPECT_EQ(highlight.bottomRight(), shadow.bottomRight() + QPoint(1, 1));
  EXPECT_EQ(CountPixels(img, img.rect(),
                        [](COLORREF c) { return c != kNormalBack && c != kHighlight && c != kShadow; }),
            0);
}

TEST_F(FlatButtonTest, ClassicButtonHasABlackFrameAndAFocusRectangleWhenFocused) {
  Make();
  button.SetFlat(FALSE);
  const QImage plain = Draw(0, "classic");
  EXPECT_EQ(ToColorRef(plain.pixel(0, 0)), kHighlight);
  EXPECT_EQ(ToColorRef(plain.pixel(kW - 1, kH - 1)), ::GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(ToColorRef(plain.pixel(kW - 2, kH - 2)), kShadow);
  const QImage focused = Draw(ODS_FOCUS, "classic_focused");
  EXPECT_EQ(ToColorRef(focused.pixel(0, 0)), 0x000000u);
  EXPECT_EQ(ToColorRef(focused.pixel(kW - 1, kH - 1)), 0x000000u);
  // The focus rectangle: dotted, 4 pixels inside the edge.
  int changed = 0;
  for (int x = 4; x < kW - 4; ++x)
    if (focused.pixel(x, 4) != plain.pixel(x, 3)) ++changed;
  EXPECT_GT(changed, (kW - 8) / 3);
  // A sunken classic button: the shadow frame.
  const QImage pressed = Draw(ODS_SELECTED, "classic_pressed");
  EXPECT_EQ(ToColorRef(pressed.pixel(0, 0)), kShadow);
}

TEST_F(FlatButtonTest, ADragOntoTheButtonDoesNotHighlightIt) {
  Make();
  button.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(kW / 2, kH / 2));
  EXPECT_FALSE(button.IsHovered());
  Hover();
  EXPECT_TRUE(button.IsHovered());
  // Leaving ends the hover state; so do losing the focus and cancel mode.
  button.SendMessage(WM_MOUSELEAVE);
  EXPECT_FALSE(button.IsHovered());
  for (UINT msg : {WM_KILLFOCUS, WM_CANCELMODE}) {
    Hover();
    ASSERT_TRUE(button.IsHovered());
    button.SendMessage(msg);
    EXPECT_FALSE(button.IsHovered()) << msg;
  }
  Hover();
  button.SendMessage(WM_ACTIVATE, 0 /* WA_INACTIVE */, 0);
  EXPECT_FALSE(button.IsHovered());
}

TEST_F(FlatButtonTest, ARealMouseMoveHoversAndLeavingEndsIt) {
  Make();
  button.SetColorScheme();
  QWidget* host = qv::win32::Lookup(button.m_hWnd)->host;
  const QPointF at(kW / 2, kH / 2);
  QMouseEvent move(QEvent::MouseMove, at, host->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(host, &move);
  EXPECT_TRUE(button.IsHovered());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(host, &leave);
  EXPECT_FALSE(button.IsHovered());
}

TEST_F(FlatButtonTest, CheckBoxButtonsToggleOnClickAndLookPressedWhenChecked) {
  Make(BS_AUTOCHECKBOX, "Erase");
  ASSERT_TRUE(button.IsCheckBox());
  button.SetColorScheme();
  const QRect normal = BoxOf(Draw(0, "check_off"), 0xFFFFFF);
  auto click = [&] { button.SendMessage(WM_REFLECT_BASE + WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), 0); };
  click();
  EXPECT_EQ(button.GetCheck(), 1);
  const QImage checked = Draw(0, "check_on");
  EXPECT_EQ(ToColorRef(checked.pixel(0, 0)), kShadow);  // sunken
  EXPECT_EQ(BoxOf(checked, 0x000000), normal);  // a check box's caption does not move
  click();
  EXPECT_EQ(button.GetCheck(), 0);
  button.SetCheck(BST_INDETERMINATE);
  EXPECT_EQ(button.GetCheck(), 1);
  button.SetCheck(7);
  EXPECT_EQ(button.GetCheck(), 0);
}

TEST_F(FlatButtonTest, PushButtonsIgnoreSetCheck) {
  Make();
  button.SetCheck(BST_CHECKED);
  EXPECT_EQ(button.GetCheck(), 0);
}

TEST_F(FlatButtonTest, DefaultButtonStyleAndDialogCode) {
  Make(BS_DEFPUSHBUTTON);
  EXPECT_TRUE(button.IsDefaultButton());
  EXPECT_EQ(button.SendMessage(WM_GETDLGCODE) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON), DLGC_DEFPUSHBUTTON);
  button.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  EXPECT_FALSE(button.IsDefaultButton());
  EXPECT_EQ(button.SendMessage(WM_GETDLGCODE) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON), DLGC_UNDEFPUSHBUTTON);
  button.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_TRUE(button.IsDefaultButton());
  // A style that is no push button leaves the flag alone.
  button.SendMessage(BM_SETSTYLE, BS_AUTOCHECKBOX, TRUE);
  EXPECT_TRUE(button.IsDefaultButton());
}

TEST_F(FlatButtonTest, ImagesTakeTheirPlaceBesideOrAboveTheCaption) {
  Make();
  button.SetColorScheme();  // image above the caption
  CBitmap in, out;
  ASSERT_TRUE(in.CreateBitmap(8, 8, 1, 32, nullptr));
  ASSERT_TRUE(out.CreateBitmap(8, 8, 1, 32, nullptr));
  {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&in);
    dc.FillSolidRect(0, 0, 8, 8, 0x0000FF);
    dc.FillSolidRect(0, 0, 2, 2, 0x00FF00);  // the transparent corner
    dc.SelectObject(&out);
    dc.FillSolidRect(0, 0, 8, 8, 0xFF0000);
    dc.SelectObject(old);
  }
  button.SetBitmaps(static_cast<HBITMAP>(in.Detach()), 0x00FF00, static_cast<HBITMAP>(out.Detach()), 0x000000);
  // Normal state: the second image, centred horizontally at top 3.
  QImage img = Draw(0, "image_normal");
  EXPECT_EQ(BoxOf(img, 0xFF0000), QRect((kW - 8) / 2, 3, 8, 8));
  Hover();
  img = Draw(0, "image_hovered");
  EXPECT_EQ(BoxOf(img, 0x0000FF), QRect((kW - 8) / 2, 3, 8, 8));
  // The masked corner shows the background.
  EXPECT_EQ(ToColorRef(img.pixel((kW - 8) / 2, 3)), kActiveBack);
  // Pressed: the image moves by (1, 1).
  img = Draw(ODS_SELECTED, "image_pressed");
  EXPECT_EQ(BoxOf(img, 0x0000FF), QRect((kW - 8) / 2 + 1, 4, 8, 8));
  // Disabled and greyed: embossed, none of its own colours left.
  const QImage disabled = Draw(ODS_DISABLED, "image_disabled");
  EXPECT_EQ(CountPixels(disabled, QRect((kW - 8) / 2, 3, 8, 8), [](COLORREF c) { return c == 0xFF0000 || c == 0x0000FF; }), 0);
  EXPECT_GT(CountPixels(disabled, QRect((kW - 8) / 2, 3, 8, 8), [](COLORREF c) { return c == kShadow; }), 0);
  // Aligned left of the caption: 3 pixels in, centred vertically.
  button.SetAlign(0);
  button.SendMessage(WM_MOUSELEAVE);
  img = Draw(0, "image_left");
  EXPECT_EQ(BoxOf(img, 0xFF0000), QRect(3, (kH - 8) / 2, 8, 8));
  EXPECT_GE(BoxOf(img, 0xFFFFFF).left(), 3 + 8);
}

}  // namespace

namespace {

TEST_F(FlatButtonTest, TransparentButtonShowsTheParentsPixels) {
  Make();
  button.SetColorScheme();
  button.SetTransparent();
  // What the parent shows under the button.
  {
    CClientDC dc(&top);
    dc.FillSolidRect(CRect(0, 0, 640, 480), 0x2040A0);
  }
  const QImage img = Draw(0, "transparent");
  EXPECT_EQ(ToColorRef(img.pixel(1, 1)), 0x2040A0u);
  EXPECT_EQ(ToColorRef(img.pixel(kW - 2, kH - 2)), 0x2040A0u);
  EXPECT_GT(CountPixels(img, img.rect(), [](COLORREF c) { return c == 0xFFFFFF; }), 10);
  // The capture is kept: the parent's later pixels do not show until the
  // system colours change.
  {
    CClientDC dc(&top);
    dc.FillSolidRect(CRect(0, 0, 640, 480), 0x000080);
  }
  EXPECT_EQ(ToColorRef(Draw(0, "transparent_kept").pixel(1, 1)), 0x2040A0u);
  button.SendMessage(WM_SYSCOLORCHANGE);
  EXPECT_EQ(ToColorRef(Draw(0, "transparent_again").pixel(1, 1)), 0x000080u);
}

TEST_F(FlatButtonTest, ItsCursorShowsOverIt) {
  Make();
  const HCURSOR hand = ::LoadCursor(nullptr, IDC_HAND);
  ASSERT_NE(hand, nullptr);
  button.SetButtonCursor(hand);
  EXPECT_EQ(button.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(button.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(::GetCursor(), hand);
}

}  // namespace

#include <QTest>
#include <QTimer>

#include "platform/win32/resource/resource.h"
#include "tests/support/menu_template_builder.h"

namespace {

using qv::testing::MenuTemplateBuilder;
constexpr UINT kMenuId = 5301, kMerge = 5311, kConvert = 5312;

// A window that records the commands posted to it.
class CommandTarget : public CWnd {
 public:
  std::vector<UINT> commands;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_COMMAND) commands.push_back(LOWORD(w));
    return CWnd::WindowProc(msg, w, l);
  }
};

void RegisterButtonMenu() {
  MenuTemplateBuilder t;
  t.Popup(MenuTemplateBuilder::kEnd, u"Tools")
      .Item(0, kMerge, u"&Merge")
      .Item(MenuTemplateBuilder::kEnd, kConvert, u"&Convert");
  qv::RegisterResource(RT_MENU, MAKEINTRESOURCEA(kMenuId), t.Bytes().data(), t.Size());
}

// Runs `script` inside the modal loop of the menu the click opens.
void ClickWithMenuOpen(CFlatButton& b, const std::function<void()>& script) {
  QTimer::singleShot(0, script);
  QTimer guard;  // only keeps a broken build from hanging
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] {
    while (QWidget* p = QApplication::activePopupWidget()) p->hide();
  });
  guard.start(5000);
  b.SendMessage(WM_REFLECT_BASE + WM_COMMAND, MAKEWPARAM(b.GetDlgCtrlID(), BN_CLICKED), 0);
}

TEST_F(FlatButtonTest, AClickShowsTheMenuBelowTheButtonAndPostsTheChoice) {
  RegisterButtonMenu();
  Make();
  button.SetColorScheme();
  CommandTarget target;
  ASSERT_TRUE(target.CreateEx(0, nullptr, "target", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
  button.SetMenu(kMenuId, target.m_hWnd);
  CRect window;
  button.GetWindowRect(&window);
  QPoint popupAt;
  QImage whileOpen;
  ClickWithMenuOpen(button, [&] {
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    popupAt = popup->geometry().topLeft();
    whileOpen = Draw(0, "menu_open");
    QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Return);
  });
  EXPECT_EQ(popupAt, QPoint(window.left, window.bottom));
  // While the menu is shown the button looks pressed.
  EXPECT_EQ(ToColorRef(whileOpen.pixel(0, 0)), kShadow);
  EXPECT_EQ(ToColorRef(whileOpen.pixel(3, 3)), kActiveBack);
  EXPECT_EQ(ToColorRef(Draw(0, "menu_closed").pixel(0, 0)), kNormalBack);
  EXPECT_TRUE(target.commands.empty());  // posted, not sent
  qv::PumpMessages();
  EXPECT_EQ(target.commands, (std::vector<UINT>{kConvert}));
  // A mnemonic of the owner-drawn entries, matched through the button's WM_MENUCHAR.
  ClickWithMenuOpen(button, [] { QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_M); });
  qv::PumpMessages();
  EXPECT_EQ(target.commands, (std::vector<UINT>{kConvert, kMerge}));
  // Esc chooses nothing and posts nothing.
  ClickWithMenuOpen(button, [] { QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape); });
  qv::PumpMessages();
  EXPECT_EQ(target.commands.size(), 2u);
  target.DestroyWindow();
}

}  // namespace

namespace {

// A square icon of one colour; the caller's button destroys it.
HICON SolidIcon(int size, COLORREF colour) {
  CBitmap colourBits, mask;
  colourBits.CreateBitmap(size, size, 1, 32, nullptr);
  mask.CreateBitmap(size, size, 1, 1, nullptr);  // all 0: opaque everywhere
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap* old = dc.SelectObject(&colourBits);
  dc.FillSolidRect(0, 0, size, size, colour);
  dc.SelectObject(old);
  ICONINFO info{TRUE, 0, 0, static_cast<HBITMAP>(mask.GetSafeHandle()), static_cast<HBITMAP>(colourBits.GetSafeHandle())};
  return ::CreateIconIndirect(&info);
}

TEST_F(FlatButtonTest, IconsForTheNormalAndTheHoveredState) {
  Make();
  button.SetColorScheme();
  const HICON in = SolidIcon(10, 0x0000FF), out = SolidIcon(10, 0xFF0000);
  ASSERT_NE(in, nullptr);
  ASSERT_NE(out, nullptr);
  button.SetIcon(in, out);
  EXPECT_EQ(BoxOf(Draw(0, "icon_normal"), 0xFF0000), QRect((kW - 10) / 2, 3, 10, 10));
  Hover();
  EXPECT_EQ(BoxOf(Draw(0, "icon_hovered"), 0x0000FF), QRect((kW - 10) / 2, 3, 10, 10));
  // Disabled: embossed, none of its own colours left.
  const QImage disabled = Draw(ODS_DISABLED, "icon_disabled");
  const QRect place((kW - 10) / 2, 3, 10, 10);
  EXPECT_EQ(CountPixels(disabled, place, [](COLORREF c) { return c == 0x0000FF || c == 0xFF0000; }), 0);
  EXPECT_GT(CountPixels(disabled, place, [](COLORREF c) { return c == kShadow; }), 0);
  // Without a caption the icon is centred both ways.
  button.SetWindowText("");
  EXPECT_EQ(BoxOf(Draw(0, "icon_alone"), 0x0000FF), QRect((kW - 10) / 2, (kH - 10) / 2, 10, 10));
}

}  // namespace
