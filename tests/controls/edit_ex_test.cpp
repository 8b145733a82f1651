// The filtered edit: the character filter and its beep, the bold font that
// replaces the previous one, and the colours it answers its colour message with.

#include "controls/edit_ex.h"

#include <string>
#include <vector>

#include "platform/win32/system/system.h"
#include "tests/controls/controls_fixture.h"

namespace {

// What reached the window's own procedure (the edit's default processing).
std::vector<UINT> g_defaultChars;
LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CHAR) g_defaultChars.push_back(static_cast<UINT>(wParam));
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

class DigitsOnly : public CCharValidator {
 public:
  BOOL Accept(UINT ch) override { return ch >= '0' && ch <= '9'; }
};
class RejectAll : public CCharValidator {
 public:
  BOOL Accept(UINT) override { return FALSE; }
};

class EditExTest : public qv::testing::ControlFixture {
 protected:
  void SetUp() override {
    ControlFixture::SetUp();
    g_defaultChars.clear();
    HWND h = ::CreateWindowExA(0, nullptr, "", WS_CHILD | WS_VISIBLE, 10, 10, 120, 22, top.m_hWnd, 1002, nullptr);
    ASSERT_NE(h, nullptr);
    ::SetWindowProc(h, RecordingProc);
    ASSERT_TRUE(edit.SubclassWindow(h));
  }
  void Type(const std::string& keys) {
    for (char c : keys) edit.SendMessage(WM_CHAR, static_cast<WPARAM>(c), 1);
  }
  CEditEx edit;
};

TEST_F(EditExTest, WithoutAFilterEveryCharacterReachesTheEdit) {
  const unsigned beeps = qv::MessageBeepCount();
  Type("a1-");
  EXPECT_EQ(g_defaultChars, (std::vector<UINT>{'a', '1', '-'}));
  EXPECT_EQ(qv::MessageBeepCount(), beeps);
}

TEST_F(EditExTest, ARejectedCharacterBeepsOnceAndIsDropped) {
  DigitsOnly digits;
  edit.SetCharValidator(&digits);
  const unsigned beeps = qv::MessageBeepCount();
  Type("1x2y");
  EXPECT_EQ(g_defaultChars, (std::vector<UINT>{'1', '2'}));
  EXPECT_EQ(qv::MessageBeepCount(), beeps + 2);
}

TEST_F(EditExTest, AFilterThatRejectsEverythingKeepsTheEditEmpty) {
  RejectAll none;
  edit.SetCharValidator(&none);
  const unsigned beeps = qv::MessageBeepCount();
  Type("abc123");
  EXPECT_TRUE(g_defaultChars.empty());
  EXPECT_EQ(qv::MessageBeepCount(), beeps + 6);
}

TEST_F(EditExTest, SetBoldFontTwiceLeavesOneFont) {
  edit.SetBoldFont(15, 0, 0, 0);
  CFont* first = edit.GetBoldFont();
  ASSERT_NE(first, nullptr);
  const HGDIOBJ firstHandle = first->GetSafeHandle();
  LOGFONTA lf{};
  first->GetLogFont(&lf);
  EXPECT_EQ(lf.lfHeight, 15);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(lf.lfCharSet, ANSI_CHARSET);
  edit.SetBoldFont(12, 1, 2, 3);
  ASSERT_NE(edit.GetBoldFont(), nullptr);
  EXPECT_EQ(::GetObjectType(firstHandle), 0u);  // the first is gone
  edit.GetBoldFont()->GetLogFont(&lf);
  EXPECT_EQ(lf.lfHeight, 12);
}

TEST_F(EditExTest, ItsColourMessageSetsTheColoursAndGivesItsBrush) {
  edit.SetTextColor(0xFFFFFF);
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  AFX_CTLCOLOR cc{edit.m_hWnd, dc.GetSafeHdc(), CTLCOLOR_EDIT};
  const LRESULT brush = edit.SendMessage(WM_REFLECT_BASE + WM_CTLCOLOR, 0, reinterpret_cast<LPARAM>(&cc));
  ASSERT_NE(brush, 0);
  LOGBRUSH lb{};
  ::GetObject(reinterpret_cast<HBRUSH>(brush), sizeof(lb), &lb);
  EXPECT_EQ(lb.lbColor, ::GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(dc.GetTextColor(), 0xFFFFFFu);
  EXPECT_EQ(dc.GetBkColor(), ::GetSysColor(COLOR_WINDOW));
  edit.RecreateBkBrush();
  EXPECT_NE(edit.SendMessage(WM_REFLECT_BASE + WM_CTLCOLOR, 0, reinterpret_cast<LPARAM>(&cc)), 0);
  EXPECT_EQ(std::string(edit.GetRuntimeClass()->m_lpszClassName), "CEditEx");
  CEditEx* made = CEditEx::CreateObject();
  ASSERT_NE(made, nullptr);
  delete made;
}

}  // namespace

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "platform/win32/resource/resource.h"
#include "tests/support/menu_template_builder.h"

namespace {

using qv::testing::MenuTemplateBuilder;
constexpr UINT kEditMenu = 5401, kCopyHex = 5411, kPasteHex = 5412;

std::vector<UINT> g_commands;
LRESULT CommandRecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND) g_commands.push_back(LOWORD(wParam));
  return RecordingProc(hwnd, msg, wParam, lParam);
}

// The edit's own menu: "Copy as hex" and "Paste hex".
void RegisterEditMenu() {
  MenuTemplateBuilder t;
  t.Popup(MenuTemplateBuilder::kEnd, u"Edit")
      .Item(0, kCopyHex, u"&Copy as hex")
      .Item(MenuTemplateBuilder::kEnd, kPasteHex, u"&Paste hex");
  qv::RegisterResource(RT_MENU, MAKEINTRESOURCEA(kEditMenu), t.Bytes().data(), t.Size());
}

TEST_F(EditExTest, ItsOwnContextMenuSendsTheChoiceToTheEdit) {
  RegisterEditMenu();
  ::SetWindowProc(edit.m_hWnd, CommandRecordingProc);
  g_commands.clear();
  edit.SetContextMenuId(kEditMenu);
  QPoint popupAt;
  QTimer::singleShot(0, [&] {
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    popupAt = popup->geometry().topLeft();
    QTest::keyClick(popup, Qt::Key_C);  // the mnemonic
  });
  edit.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit.m_hWnd), MAKELPARAM(70, 60));
  EXPECT_EQ(popupAt, QPoint(70, 60));
  qv::PumpMessages();
  EXPECT_EQ(g_commands, (std::vector<UINT>{kCopyHex}));
}

TEST_F(EditExTest, AMenuIdThatDoesNotLoadFallsBackToTheDefault) {
  edit.SetContextMenuId(5499);  // no such resource
  edit.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit.m_hWnd), MAKELPARAM(70, 60));
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

}  // namespace

#include "platform/win32/input/keyboard.h"
#include "platform/win32/standard/edit.h"
#include "platform/win32/window_tree.h"

namespace {

// On the standard edit, with keys pressed as a person presses them.
class EditExOnAnEditTest : public qv::testing::ControlFixture {
 protected:
  void SetUp() override {
    ControlFixture::SetUp();
    HWND h = ::CreateWindowExA(0, WC_EDIT, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 160, 22, top.m_hWnd,
                               1221, nullptr);
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(edit.SubclassWindow(h));
    ::SetFocus(edit.m_hWnd);
    ASSERT_EQ(::GetFocus(), edit.m_hWnd);
  }
  void Type(const std::string& keys) {
    for (char c : keys) {
      const char text[2] = {c, 0};
      qv::PressKey(static_cast<UINT>(std::toupper(static_cast<unsigned char>(c))), 0, text);
    }
  }
  std::string Text() const {
    CString s;
    edit.GetWindowText(s);
    return s.str();
  }
  CEditEx edit;
};

TEST_F(EditExOnAnEditTest, RealKeysThroughTheFilter) {
  Type("a1");
  EXPECT_EQ(Text(), "a1");
  DigitsOnly digits;
  edit.SetCharValidator(&digits);
  const unsigned beeps = qv::MessageBeepCount();
  Type("b2c3");
  EXPECT_EQ(Text(), "a123");
  EXPECT_EQ(qv::MessageBeepCount(), beeps + 2);
  RejectAll none;
  edit.SetCharValidator(&none);
  Type("456x");
  EXPECT_EQ(Text(), "a123");
  EXPECT_EQ(qv::MessageBeepCount(), beeps + 6);
  edit.SetCharValidator(nullptr);
}

// A page that colours its controls as the Write page does: the control's own
// colours first, then the page's brush behind them.
class DarkPage : public CWnd {
 public:
  CBrush brush{0x4F5554};

 protected:
  HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT kind) {
    CWnd::OnCtlColor(dc, control, kind);
    dc->SetBkMode(TRANSPARENT);
    dc->SetBkColor(0x4F5554);
    return static_cast<HBRUSH>(brush.GetSafeHandle());
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(DarkPage, CWnd)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

TEST_F(EditExOnAnEditTest, WhiteBoldTextAsTheWritePageSetsIt) {
  DarkPage page;
  ASSERT_TRUE(page.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 100, 300, 160), &top, 90));
  ::SetParent(edit.m_hWnd, page.m_hWnd);
  edit.SetWindowText("D:\\fw\\app.bin");
  edit.SetTextColor(0xFFFFFF);
  edit.SetBoldFont(15, 0, 0, 0);
  EXPECT_EQ(reinterpret_cast<HFONT>(edit.SendMessage(WM_GETFONT)), edit.GetBoldFont()->GetSafeHandle());
  qv::PumpMessages();
  const QImage img = Composite(page.m_hWnd, "write_page_path");
  EXPECT_GT(qv::testing::CountPixels(img, QRect(10, 10, 160, 22), [](COLORREF c) { return c == 0xFFFFFF; }), 20);
  ::SetParent(edit.m_hWnd, top.m_hWnd);
}

}  // namespace

#include <QLineEdit>
#include <functional>

#include "platform/win32/host_widget.h"
#include "platform/win32/window_object.h"

namespace {

// Keeps the commands that reach the edit from its own menu.
class CommandRecordingEditEx : public CEditEx {
 public:
  std::vector<UINT> commands;
  BOOL OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    if (msg == WM_COMMAND) commands.push_back(LOWORD(static_cast<DWORD>(wParam)));
    return CEditEx::OnWndMsg(msg, wParam, lParam, result);
  }
};

// A person's right click, the context-menu key and Shift+F10 on the standard
// edit reach the map's WM_CONTEXTMENU: its own menu shows, not Qt's.
TEST_F(EditExOnAnEditTest, ARealRightClickOrMenuKeyShowsItsOwnMenu) {
  RegisterEditMenu();
  struct Case {
    const char* name;
    std::function<void(QLineEdit*)> ask;
  };
  const Case cases[] = {
      {"right click", [](QLineEdit* l) { QTest::mouseClick(l, Qt::RightButton, {}, QPoint(10, 8)); }},
      {"menu key", [](QLineEdit* l) { QTest::keyClick(l, Qt::Key_Menu); }},
      {"shift+F10", [](QLineEdit* l) { QTest::keyClick(l, Qt::Key_F10, Qt::ShiftModifier); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CommandRecordingEditEx own;
    ASSERT_TRUE(own.Create(WS_CHILD | WS_VISIBLE, CRect(10, 40, 170, 62), &top, 1222));
    own.SetContextMenuId(kEditMenu);
    own.SetFocus();
    QLineEdit* line = qv::win32::Lookup(own.m_hWnd)->host->findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    bool ownMenu = false;
    QTimer::singleShot(0, [&] {
      QWidget* popup = QApplication::activePopupWidget();
      ASSERT_NE(popup, nullptr);
      // Qt's edit menu has no "Copy as hex": its 'C' would copy instead.
      ownMenu = popup->objectName() != "qt_edit_menu";
      QTest::keyClick(popup, Qt::Key_C);
    });
    c.ask(line);
    qv::PumpMessages();
    EXPECT_TRUE(ownMenu);
    EXPECT_EQ(own.commands, (std::vector<UINT>{kCopyHex}));
    own.DestroyWindow();
  }
}

}  // namespace
