// The dialog manager through small templates: creation, dialog units, the
// keyboard (Tab, arrows, Enter, Esc, mnemonics), the default push button,
// notifications, colours and the modal loop.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <QCoreApplication>
#include <QMouseEvent>

#include "platform/win32/host_widget.h"
#include "platform/win32/window_object.h"
#include "tests/dialog/dialog_support.h"

using namespace dialog_test;
using qv::win32::DialogTemplate;
using qv::win32::RegisterDialogTemplate;

namespace {

constexpr UINT kEndWith = WM_APP + 1;  // wParam: the result

// A data entry dialog: a label and edit, a list, a radio group, a check box,
// a group box, and OK (default), Cancel and Apply.
constexpr int kForm = 9101;
void RegisterForm() {
  RegisterDialogTemplate(Template(
      kForm, kPopup, 200, 120,
      {
          {IDC_STATIC, "Static", "&Name:", SS_LEFT | kShown, 0, 7, 9, 30, 8},
          {101, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | kShown, 0, 40, 7, 80, 12},
          {102, "ListBox", "", LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP | kShown, 0, 7, 24, 60, 40},
          {IDC_STATIC, "Button", "Mode", BS_GROUPBOX | kShown, 0, 75, 22, 60, 50},
          {103, "Button", "&Fast", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP | kShown, 0, 80, 32, 50, 10},
          {104, "Button", "&Safe", BS_AUTORADIOBUTTON | kShown, 0, 80, 44, 50, 10},
          {105, "Button", "S&low", BS_AUTORADIOBUTTON | kShown, 0, 80, 56, 50, 10},
          {106, "Button", "&Verify", BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP | kShown, 0, 140, 32, 50, 10},
          {107, "Button", "Hidden", BS_PUSHBUTTON | WS_TABSTOP, 0, 140, 44, 50, 14},
          {108, "Button", "Off", BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED | kShown, 0, 140, 60, 50, 14},
          {IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | kShown, 0, 30, 100, 50, 14},
          {IDCANCEL, "Button", "Cancel", BS_PUSHBUTTON | WS_TABSTOP | kShown, 0, 85, 100, 50, 14},
          {109, "Button", "&Apply", BS_PUSHBUTTON | WS_TABSTOP | kShown, 0, 140, 100, 50, 14},
      }));
}

class DialogManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qv::Application();
    RegisterForm();
  }
  void TearDown() override {
    qv::SetMessageBoxHook(nullptr);
    Pump();
  }
  // A modeless copy of the form, shown, for the keyboard tests.
  void Open() {
    ASSERT_TRUE(dlg.Create(kForm));
    dlg.ShowWindow(SW_SHOW);
    Pump();
  }
  HWND Item(int id) const { return ::GetDlgItem(dlg.m_hWnd, id); }
  RecordingDialog dlg{kForm};
};

TEST(DialogUnits, TheDialogFontGivesWindowsBaseUnits) {
  qv::Application();
  LOGFONTA lf{};
  lf.lfHeight = -11;  // 8 points at 96 dpi
  std::strcpy(lf.lfFaceName, "MS Shell Dlg");
  HFONT font = CreateFontIndirectA(&lf);
  const SIZE base = GetDialogBaseUnitsOf(font);
  DeleteObject(font);
  EXPECT_EQ(base.cx, 6);
  EXPECT_EQ(base.cy, 13);
}

TEST_F(DialogManagerTest, ControlsLandWhereWindowsPutsThem) {
  Open();
  // Windows at 96 dpi with "MS Shell Dlg" 8: a 50 x 14 button is 75 x 23.
  struct Case {
    int id;
    RECT expected;  // in the dialog's client area
  } cases[] = {
      {IDOK, {45, 163, 120, 186}},
      {101, {60, 11, 180, 31}},
      {105, {120, 91, 195, 107}},
  };
  RECT client{};
  dlg.GetClientRect(&client);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 195);
  for (const Case& c : cases) {
    RECT r{};
    ::GetWindowRect(Item(c.id), &r);
    dlg.ScreenToClient(&r);
    EXPECT_EQ(r.left, c.expected.left) << c.id;
    EXPECT_EQ(r.top, c.expected.top) << c.id;
    EXPECT_EQ(r.right, c.expected.right) << c.id;
    EXPECT_EQ(r.bottom, c.expected.bottom) << c.id;
  }
  RECT du{7, 9, 37, 17};
  EXPECT_TRUE(MapDialogRect(dlg.m_hWnd, &du));
  EXPECT_EQ(du.left, 11);
  EXPECT_EQ(du.top, 15);
  EXPECT_EQ(du.right, 56);
  EXPECT_EQ(du.bottom, 28);
}

TEST_F(DialogManagerTest, EveryControlGetsTheDialogFontBeforeInitDialog) {
  HFONT seen = nullptr;
  dlg.onInit = [&](RecordingDialog& d) { seen = reinterpret_cast<HFONT>(::SendMessage(d.GetDlgItem(IDOK)->m_hWnd, WM_GETFONT, 0, 0)); };
  Open();
  HFONT font = reinterpret_cast<HFONT>(dlg.SendMessage(WM_GETFONT));
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(seen, font);
  for (int id : {101, 102, 103, 106, IDOK, IDCANCEL})
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessage(Item(id), WM_GETFONT, 0, 0)), font) << id;
  EXPECT_EQ(dlg.initCount, 1);
}

TEST_F(DialogManagerTest, TabWalksTheTabStopsInTemplateOrder) {
  Open();
  // The first tab stop has the focus after WM_INITDIALOG answered TRUE.
  EXPECT_EQ(GetFocus(), Item(101));
  // Hidden 107 and disabled 108 are skipped; the walk wraps round.
  const int forward[] = {102, 103, 106, IDOK, IDCANCEL, 109, 101};
  for (int id : forward) {
    qv::PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), Item(id)) << id;
  }
  const int backward[] = {109, IDCANCEL, IDOK, 106, 103, 102, 101};
  for (int id : backward) {
    qv::PressKey(VK_TAB, Qt::ShiftModifier);
    EXPECT_EQ(GetFocus(), Item(id)) << id;
  }
}

TEST_F(DialogManagerTest, TabIntoARadioGroupLandsOnItsCheckedButton) {
  Open();
  ::SendMessage(Item(105), BM_SETCHECK, BST_CHECKED, 0);
  ::SetFocus(Item(102));
  qv::PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), Item(105));
}

TEST_F(DialogManagerTest, ArrowsMoveWithinTheGroupAndCheckAutoRadios) {
  Open();
  ::SetFocus(Item(103));
  dlg.commands.clear();
  qv::PressKey(VK_DOWN);
  EXPECT_EQ(GetFocus(), Item(104));
  qv::PressKey(VK_DOWN);
  EXPECT_EQ(GetFocus(), Item(105));
  qv::PressKey(VK_DOWN);  // wraps to the group's first
  EXPECT_EQ(GetFocus(), Item(103));
  qv::PressKey(VK_UP);
  EXPECT_EQ(GetFocus(), Item(105));
  EXPECT_EQ(::SendMessage(Item(105), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(::SendMessage(Item(103), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(::SendMessage(Item(104), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(dlg.commands, (std::vector<std::string>{"104:0", "105:0", "103:0", "105:0"}));
}

TEST_F(DialogManagerTest, TheDefaultButtonFollowsTheFocusAmongPushButtons) {
  Open();
  auto type = [&](int id) { return ::GetWindowStyle(Item(id)) & BS_TYPEMASK; };
  EXPECT_EQ(type(IDOK), BS_DEFPUSHBUTTON);
  ::SetFocus(Item(IDCANCEL));
  EXPECT_EQ(type(IDOK), BS_PUSHBUTTON);
  EXPECT_EQ(type(IDCANCEL), BS_DEFPUSHBUTTON);
  ::SetFocus(Item(109));
  EXPECT_EQ(type(IDCANCEL), BS_PUSHBUTTON);
  EXPECT_EQ(type(109), BS_DEFPUSHBUTTON);
  // Off the push buttons the template's default comes back.
  ::SetFocus(Item(101));
  EXPECT_EQ(type(109), BS_PUSHBUTTON);
  EXPECT_EQ(type(IDOK), BS_DEFPUSHBUTTON);
  EXPECT_EQ(LOWORD(dlg.GetDefID()), IDOK);
}

TEST_F(DialogManagerTest, EnterGoesToTheFocusedPushButtonElseTheDefault) {
  struct Case {
    int focus;
    const char* command;
  } cases[] = {{101, "1:0"}, {IDCANCEL, "2:0"}, {109, "109:0"}, {106, "1:0"}};
  for (const Case& c : cases) {
    RecordingDialog d(kForm);
    ASSERT_TRUE(d.Create(kForm));
    d.ShowWindow(SW_SHOW);
    ::SetFocus(::GetDlgItem(d.m_hWnd, c.focus));
    d.commands.clear();
    // OK and Cancel would end the dialog: only the commands count here.
    qv::PressKey(VK_RETURN, 0, "\r");
    ASSERT_FALSE(d.commands.empty()) << c.focus;
    EXPECT_EQ(d.commands.front(), c.command) << c.focus;
  }
}

TEST_F(DialogManagerTest, EscapeSendsCancelAndEnterWithoutDefaultSendsOk) {
  constexpr int kBare = 9102;
  RegisterDialogTemplate(Template(kBare, kPopup, 100, 40,
                                  {{201, "Edit", "", WS_TABSTOP | WS_BORDER | kShown, 0, 5, 5, 60, 12},
                                   {202, "Button", "Go", BS_PUSHBUTTON | WS_TABSTOP | kShown, 0, 5, 20, 40, 14}}));
  RecordingDialog d(kBare);
  ASSERT_TRUE(d.Create(kBare));
  d.ShowWindow(SW_SHOW);
  EXPECT_EQ(GetFocus(), ::GetDlgItem(d.m_hWnd, 201));
  qv::PressKey(VK_RETURN, 0, "\r");
  qv::PressKey(VK_ESCAPE, 0, "\x1b");
  EXPECT_EQ(d.commands, (std::vector<std::string>{"1:0", "2:0"}));
  // Neither key typed anything into the edit.
  EXPECT_EQ(::GetWindowTextLengthA(::GetDlgItem(d.m_hWnd, 201)), 0);
}

TEST_F(DialogManagerTest, MnemonicsFocusClickAndCheck) {
  Open();
  ::SetFocus(Item(106));
  dlg.commands.clear();
  qv::PressKey('N', Qt::AltModifier, "n");  // the label's: focus to the edit after it
  EXPECT_EQ(GetFocus(), Item(101));
  qv::PressKey('S', Qt::AltModifier, "s");  // a radio: focus and check
  EXPECT_EQ(GetFocus(), Item(104));
  EXPECT_EQ(::SendMessage(Item(104), BM_GETCHECK, 0, 0), BST_CHECKED);
  qv::PressKey('L', 0, "l");  // no Alt: on a button a plain letter is a mnemonic too
  EXPECT_EQ(GetFocus(), Item(105));
  qv::PressKey('V', Qt::AltModifier, "v");
  EXPECT_EQ(::SendMessage(Item(106), BM_GETCHECK, 0, 0), BST_CHECKED);
  qv::PressKey('A', Qt::AltModifier, "a");
  EXPECT_EQ(dlg.commands, (std::vector<std::string>{"104:0", "105:0", "106:0", "109:0"}));
  // In the edit a plain letter is typed, not taken as a mnemonic.
  ::SetFocus(Item(101));
  qv::PressKey('A', 0, "a");
  CString text;
  CWnd::FromHandle(Item(101))->GetWindowText(text);
  EXPECT_EQ(text, "a");
  EXPECT_EQ(GetFocus(), Item(101));
}

TEST_F(DialogManagerTest, SnapshotsOfTheFormInItsStates) {
  Open();
  ::SendMessage(Item(102), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("T01"));
  ::SendMessage(Item(102), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("T02"));
  ::SendMessage(Item(102), LB_SETCURSEL, 1, 0);
  ::SetWindowTextA(Item(101), "fw.bin");
  dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  qv::testing::SaveSnapshot(dlg.m_hWnd, "opened");
  // A control without WS_VISIBLE stays off the screen when its dialog shows.
  auto hidden = qv::win32::Lookup(Item(107));
  ASSERT_TRUE(hidden && hidden->host);
  EXPECT_FALSE(hidden->host->isVisible());
  EXPECT_TRUE(qv::win32::Lookup(Item(108))->host->isVisible());
  ::SetFocus(Item(104));
  ::SendMessage(Item(104), BM_CLICK, 0, 0);
  ::SendMessage(Item(106), BM_SETCHECK, BST_CHECKED, 0);
  ::EnableWindow(Item(106), FALSE);
  ::SetFocus(Item(IDCANCEL));
  dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  const QImage shot = qv::testing::SaveSnapshot(dlg.m_hWnd, "cancel_focused");
  // The default frame moved to Cancel: its black outline is at its edge.
  RECT r{}, top{};
  ::GetWindowRect(Item(IDCANCEL), &r);
  dlg.GetWindowRect(&top);
  EXPECT_EQ(PixelOf(shot, r.left - top.left + 10, r.top - top.top), RGB(0, 0, 0));
  ::GetWindowRect(Item(IDOK), &r);
  EXPECT_EQ(PixelOf(shot, r.left - top.left + 10, r.top - top.top), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST_F(DialogManagerTest, SetDefIdMovesTheDefaultThatEnterPresses) {
  Open();
  dlg.SetDefID(109);
  EXPECT_EQ(dlg.GetDefID(), static_cast<DWORD>(MAKELONG(109, DC_HASDEFID)));
  EXPECT_EQ(::GetWindowStyle(Item(109)) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(::GetWindowStyle(Item(IDOK)) & BS_TYPEMASK, BS_PUSHBUTTON);
  dlg.commands.clear();
  qv::PressKey(VK_RETURN, 0, "\r");  // from the edit
  EXPECT_EQ(dlg.commands, (std::vector<std::string>{"109:0"}));
}

// 0x401 is the tool's own progress message: the dialog manager must never
// send DM_SETDEFID (or DM_REPOSITION, 0x402) by itself.
class ProgressDialog : public RecordingDialog {
 public:
  using RecordingDialog::RecordingDialog;
  int progress = 0;
  LRESULT OnProgress(WPARAM, LPARAM) {
    ++progress;
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ProgressDialog, RecordingDialog)
  ON_MESSAGE(WM_USER + 1, OnProgress)
  ON_MESSAGE(WM_USER + 2, OnProgress)
END_MESSAGE_MAP()

TEST_F(DialogManagerTest, TheManagerNeverSendsWhatWmUserPlusOneMeans) {
  ProgressDialog d(kForm);
  ASSERT_TRUE(d.Create(kForm));
  d.ShowWindow(SW_SHOW);
  for (int i = 0; i < 14; ++i) qv::PressKey(VK_TAB);
  ::SetFocus(::GetDlgItem(d.m_hWnd, IDCANCEL));
  ::SetFocus(::GetDlgItem(d.m_hWnd, 101));
  qv::PressKey(VK_RETURN, 0, "\r");
  Pump();
  EXPECT_EQ(d.progress, 0);
}

TEST_F(DialogManagerTest, TheCloseBoxIsCancelUnlessCancelIsDisabled) {
  Open();
  dlg.commands.clear();
  dlg.SendMessage(WM_CLOSE);
  Pump();
  EXPECT_EQ(dlg.commands, (std::vector<std::string>{"2:0"}));
  ::EnableWindow(Item(IDCANCEL), FALSE);
  dlg.commands.clear();
  dlg.SendMessage(WM_CLOSE);
  Pump();
  EXPECT_TRUE(dlg.commands.empty());
}

TEST_F(DialogManagerTest, AMouseClickFocusesAndClicksAButton) {
  Open();
  dlg.commands.clear();
  auto w = qv::win32::Lookup(Item(109));
  ASSERT_TRUE(w && w->host);
  const QPointF at(10, 10);
  QMouseEvent press(QEvent::MouseButtonPress, at, w->host->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w->host, &press);
  EXPECT_EQ(GetFocus(), Item(109));
  EXPECT_EQ(::SendMessage(Item(109), BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
  QMouseEvent release(QEvent::MouseButtonRelease, at, w->host->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w->host, &release);
  EXPECT_EQ(dlg.commands, (std::vector<std::string>{"109:0"}));
  EXPECT_EQ(::GetWindowStyle(Item(109)) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

}  // namespace
