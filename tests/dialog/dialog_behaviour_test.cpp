// Dialogs as a program uses them: the modal loop and its endings, the
// notifications of the standard controls in order, the colours that
// WM_CTLCOLOR* answers, reflection, owner draw, child pages, message boxes.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "platform/core/string_table.h"
#include "platform/win32/gdi/bitmap_resources.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/window_object.h"
#include "tests/dialog/dialog_support.h"

using namespace dialog_test;
using qv::win32::RegisterDialogTemplate;

namespace {

constexpr UINT kEndWith = WM_APP + 1;  // wParam: the result
constexpr UINT kPressKeys = WM_APP + 2;
constexpr UINT kLook = WM_APP + 3;

constexpr int kSmall = 9201;
constexpr int kControls = 9202;
constexpr int kPage = 9203;
constexpr int kHost = 9204;

void RegisterTemplates() {
  RegisterDialogTemplate(Template(kSmall, kPopup, 120, 50,
                                  {{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | kShown, 0, 10, 30, 45, 14},
                                   {IDCANCEL, "Button", "Cancel", BS_PUSHBUTTON | WS_TABSTOP | kShown, 0, 65, 30, 45, 14}}));
  RegisterDialogTemplate(Template(
      kControls, kPopup, 180, 110,
      {
          {IDC_STATIC, "Static", "Label", SS_LEFT | kShown, 0, 5, 5, 40, 10},
          {301, "Edit", "", WS_BORDER | WS_TABSTOP | kShown, 0, 50, 5, 60, 12},
          {302, "ListBox", "", LBS_NOTIFY | WS_BORDER | WS_TABSTOP | kShown, 0, 5, 20, 60, 40},
          {303, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | kShown, 0, 75, 20, 60, 60},
          {304, "Button", "Check", BS_AUTOCHECKBOX | WS_TABSTOP | kShown, 0, 75, 40, 60, 10},
          {305, "Static", "Named", SS_LEFT | kShown, 0, 5, 65, 40, 10},
          {306, "Edit", "ro", ES_READONLY | WS_BORDER | kShown, 0, 50, 65, 60, 12},
          {307, "Button", "", BS_OWNERDRAW | WS_TABSTOP | kShown, 0, 120, 65, 40, 14},
          {IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | kShown, 0, 75, 90, 45, 14},
      }));
  RegisterDialogTemplate(Template(kPage, WS_CHILD | kShown, 100, 40,
                                  {{401, "Edit", "", WS_BORDER | WS_TABSTOP | kShown, 0, 5, 5, 60, 12},
                                   {402, "Button", "Go", BS_PUSHBUTTON | WS_TABSTOP | kShown, 0, 5, 20, 40, 14}}));
  RegisterDialogTemplate(Template(kHost, kPopup, 200, 100,
                                  {{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | kShown, 0, 140, 80, 45, 14}}));
}

// Ends itself when a posted message asks it to.
class EndingDialog : public RecordingDialog {
 public:
  using RecordingDialog::RecordingDialog;
  bool ownerWasDisabled = false;
  HWND owner = nullptr;
  LRESULT OnEndWith(WPARAM result, LPARAM) {
    ownerWasDisabled = owner && !::IsWindowEnabled(owner);
    EndDialog(static_cast<int>(result));
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(EndingDialog, RecordingDialog)
  ON_MESSAGE(kEndWith, OnEndWith)
END_MESSAGE_MAP()

// Presses a key on itself when a posted message asks it to, as a person at
// the keyboard would while the modal loop runs.
class KeyDialog : public RecordingDialog {
 public:
  using RecordingDialog::RecordingDialog;
  UINT key = 0;
  const char* text = nullptr;
  LRESULT OnPress(WPARAM, LPARAM) {
    qv::PressKey(key, 0, text);
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(KeyDialog, RecordingDialog)
  ON_MESSAGE(kPressKeys, OnPress)
END_MESSAGE_MAP()

class DialogBehaviourTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qv::Application();
    RegisterTemplates();
  }
  void TearDown() override {
    qv::SetMessageBoxHook(nullptr);
    Pump();
  }
};

TEST_F(DialogBehaviourTest, AModalLoopEndsWithAPostedEndDialogAndFreesItsOwner) {
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0));
  EndingDialog d(kSmall, &owner);
  d.owner = owner.m_hWnd;
  d.onInit = [](RecordingDialog& self) { self.PostMessage(kEndWith, 42); };
  EXPECT_EQ(d.DoModal(), 42);
  EXPECT_TRUE(d.ownerWasDisabled);
  EXPECT_TRUE(owner.IsWindowEnabled());
  EXPECT_EQ(d.m_hWnd, nullptr);  // destroyed by DoModal
}

TEST_F(DialogBehaviourTest, AWorkerThreadsSendEndsTheModalLoop) {
  EndingDialog d(kSmall);
  std::thread worker;
  std::atomic<HWND> target{nullptr};
  d.onInit = [&](RecordingDialog& self) {
    target = self.m_hWnd;
    // The worker's send waits for the UI thread, which sits in the modal loop.
    worker = std::thread([&] { ::SendMessage(target.load(), kEndWith, 7, 0); });
  };
  EXPECT_EQ(d.DoModal(), 7);
  worker.join();
}

TEST_F(DialogBehaviourTest, EndDialogFromAWorkerThreadIsCarriedToTheDialogsThread) {
  RecordingDialog d(kSmall);
  std::thread worker;
  d.onInit = [&](RecordingDialog& self) {
    HWND h = self.m_hWnd;
    worker = std::thread([h] { ::EndDialog(h, 5); });
  };
  EXPECT_EQ(d.DoModal(), 5);
  worker.join();
}

TEST_F(DialogBehaviourTest, EnterAndEscapeEndAModalDialogWithOkAndCancel) {
  struct Case {
    UINT key;
    const char* text;
    INT_PTR result;
  } cases[] = {{VK_RETURN, "\r", IDOK}, {VK_ESCAPE, "\x1b", IDCANCEL}};
  for (const Case& c : cases) {
    KeyDialog d(kSmall);
    d.key = c.key;
    d.text = c.text;
    d.onInit = [](RecordingDialog& self) { self.PostMessage(kPressKeys); };
    EXPECT_EQ(d.DoModal(), c.result) << c.key;
  }
}

// What a person sees of a dialog once its modal loop has shown it: the host's
// state and place on the screen, and the last WM_SIZE it got.
class ShownStateDialog : public RecordingDialog {
 public:
  using RecordingDialog::RecordingDialog;
  UINT lastSizeType = ~0u;
  CSize lastSize;
  bool maximised = false;
  QRect onScreen;  // the host with the window manager's frame
  CRect client;

  BOOL OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    if (msg == WM_SIZE) {
      lastSizeType = static_cast<UINT>(wParam);
      lastSize = CSize(LOWORD(lParam), HIWORD(lParam));
    }
    return RecordingDialog::OnWndMsg(msg, wParam, lParam, result);
  }
  LRESULT OnLook(WPARAM, LPARAM) {
    QWidget* host = qv::win32::Lookup(m_hWnd)->host.data();
    PumpUntil([&] { return host->isMaximized() && lastSizeType == SIZE_MAXIMIZED; });
    maximised = host->isMaximized();
    onScreen = host->frameGeometry();
    GetClientRect(&client);
    EndDialog(IDOK);
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ShownStateDialog, RecordingDialog)
  ON_MESSAGE(kLook, OnLook)
END_MESSAGE_MAP()

// The main window's start: its initialisation maximises it (without a window
// manager here), and the modal loop's first show must not make it small again.
TEST_F(DialogBehaviourTest, ADialogMaximisedByItsInitialisationStaysMaximisedThroughTheModalLoop) {
  constexpr int kMainLike = 9207;
  RegisterDialogTemplate(Template(kMainLike, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                                  200, 100, {{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | kShown, 0, 140, 80, 45, 14}}));
  ShownStateDialog d(kMainLike);
  d.onInit = [](RecordingDialog& self) {
    self.ShowWindow(SW_MAXIMIZE);
    self.PostMessage(kLook);
  };
  EXPECT_EQ(d.DoModal(), IDOK);
  const QRect available = QApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(d.maximised);
  EXPECT_EQ(d.onScreen, available) << "the window covers the screen's available area";
  EXPECT_EQ(d.lastSizeType, static_cast<UINT>(SIZE_MAXIMIZED));
  EXPECT_EQ(d.lastSize, d.client.Size());
  EXPECT_GT(d.client.Width(), available.width() - 20);
  EXPECT_GT(d.client.Height(), available.height() - 60);
}

TEST_F(DialogBehaviourTest, EndDialogDuringInitialisationNeverShowsTheDialog) {
  RecordingDialog d(kSmall);
  d.onInit = [&](RecordingDialog& self) { self.EndDialog(IDCANCEL); };
  EXPECT_EQ(d.DoModal(), IDCANCEL);
  EXPECT_FALSE(d.everShown);
}

TEST_F(DialogBehaviourTest, AMissingTemplateFailsAsWindowsDoes) {
  RecordingDialog d(1);
  EXPECT_EQ(d.DoModal(), -1);
  EXPECT_FALSE(d.Create(1));
  EXPECT_EQ(CreateDialogParamA(1, nullptr, nullptr, 0), nullptr);
}


// The controls dialog, modeless and shown.
class ControlsTest : public DialogBehaviourTest {
 protected:
  void SetUp() override {
    DialogBehaviourTest::SetUp();
    ASSERT_TRUE(dlg.Create(kControls));
    dlg.ShowWindow(SW_SHOW);
    Pump();
    dlg.commands.clear();
  }
  // The test's handlers and brushes go with its body.
  void TearDown() override {
    dlg.DestroyWindow();
    DialogBehaviourTest::TearDown();
  }
  HWND Item(int id) const { return ::GetDlgItem(dlg.m_hWnd, id); }
  RecordingDialog dlg{kControls};
};

TEST_F(ControlsTest, NotificationsComeForTheUsersChangesInOrder) {
  CListBox list;
  ASSERT_TRUE(list.Attach(Item(302)));
  for (const char* s : {"T01", "T02", "T03"}) ::SendMessage(Item(302), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  for (const char* s : {"COM1", "COM3"}) ::SendMessage(Item(303), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  // The program's own changes notify nothing but an edit's text.
  ::SendMessage(Item(302), LB_SETCURSEL, 0, 0);
  ::SendMessage(Item(303), CB_SETCURSEL, 0, 0);
  ::SetWindowTextA(Item(301), "x");
  EXPECT_EQ(dlg.commands, (std::vector<std::string>{"301:768"}));
  dlg.commands.clear();
  ::SetFocus(Item(302));
  qv::PressKey(VK_DOWN);
  ::SetFocus(Item(303));
  qv::PressKey(VK_DOWN);
  ::SetFocus(Item(301));
  qv::PressKey('Q', 0, "q");
  ::SetFocus(Item(304));
  qv::PressKey(VK_SPACE, 0, " ");
  EXPECT_EQ(dlg.commands, (std::vector<std::string>{"302:1", "303:1", "301:768", "304:0"}));
  EXPECT_EQ(list.GetCurSel(), 1);
  EXPECT_EQ(::SendMessage(Item(303), CB_GETCURSEL, 0, 0), 1);
  CString text;
  CWnd::FromHandle(Item(301))->GetWindowText(text);
  EXPECT_EQ(text, "qx");  // WM_SETTEXT leaves the caret at the start, as on Windows
  EXPECT_EQ(::SendMessage(Item(304), BM_GETCHECK, 0, 0), BST_CHECKED);
  list.Detach();
  dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  qv::testing::SaveSnapshot(dlg.m_hWnd, "after_input");
}

TEST_F(ControlsTest, CtlColorAnswersColourEveryKindOfControl) {
  CBrush dialogBrush, staticBrush, editBrush;
  dialogBrush.CreateSolidBrush(RGB(0xA1, 0xA1, 0xA1));
  staticBrush.CreateSolidBrush(RGB(0, 128, 0));
  editBrush.CreateSolidBrush(RGB(0, 0, 200));
  std::vector<UINT> kinds;
  dlg.onCtlColor = [&](CDC* dc, CWnd* control, UINT kind) -> HBRUSH {
    kinds.push_back(kind);
    if (kind == CTLCOLOR_DLG) return static_cast<HBRUSH>(dialogBrush.m_hObject);
    if (control->GetDlgCtrlID() == 301) {
      dc->SetTextColor(RGB(255, 255, 0));
      return static_cast<HBRUSH>(editBrush.m_hObject);
    }
    dc->SetTextColor(RGB(255, 0, 0));
    dc->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(staticBrush.m_hObject);
  };
  ::SetWindowTextA(Item(301), "MMMM");
  dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  const QImage shot = qv::testing::SaveSnapshot(dlg.m_hWnd, "coloured");
  auto at = [&](int id, int dx, int dy) {
    RECT r{};
    ::GetWindowRect(id ? Item(id) : dlg.m_hWnd, &r);
    RECT top{};
    dlg.GetWindowRect(&top);
    return PixelOf(shot, r.left - top.left + dx, r.top - top.top + dy);
  };
  RECT client{};
  dlg.GetClientRect(&client);
  POINT origin{0, 0};
  dlg.ClientToScreen(&origin);
  RECT top{};
  dlg.GetWindowRect(&top);
  EXPECT_EQ(PixelOf(shot, origin.x - top.left + client.right - 3, origin.y - top.top + client.bottom - 3),
            RGB(0xA1, 0xA1, 0xA1));                      // the dialog
  EXPECT_EQ(at(305, 38, 1), RGB(0, 128, 0));             // a static's background
  EXPECT_EQ(at(304, 80, 1), RGB(0, 128, 0));             // a check box's background
  EXPECT_EQ(at(301, 80, 6), RGB(0, 0, 200));             // the edit's field
  EXPECT_EQ(at(302, 50, 30), RGB(0, 128, 0));            // the list's field
  // The statics' text is red: some pixel of the label is.
  bool red = false;
  for (int x = 0; x < 30 && !red; ++x)
    for (int y = 0; y < 12 && !red; ++y) red = at(305, x, y) == RGB(255, 0, 0);
  EXPECT_TRUE(red);
  // Read-only edits colour as statics.
  EXPECT_NE(std::find(kinds.begin(), kinds.end(), CTLCOLOR_STATIC), kinds.end());
  EXPECT_NE(std::find(kinds.begin(), kinds.end(), CTLCOLOR_EDIT), kinds.end());
  EXPECT_NE(std::find(kinds.begin(), kinds.end(), CTLCOLOR_LISTBOX), kinds.end());
}

TEST_F(ControlsTest, OwnerDrawnButtonsGetDrawItemWithTheirState) {
  struct Draw {
    UINT type, id, state;
    HWND item;
  };
  std::vector<Draw> draws;
  class Owner : public CButton {
   public:
    std::vector<Draw>* out = nullptr;
    void DrawItem(LPDRAWITEMSTRUCT dis) override { out->push_back({dis->CtlType, dis->CtlID, dis->itemState, dis->hwndItem}); }
  };
  Owner button;
  button.out = &draws;
  ASSERT_TRUE(button.SubclassWindow(Item(307)));
  ::SetFocus(Item(307));
  ::SendMessage(Item(307), BM_SETSTATE, TRUE, 0);
  ::UpdateWindow(Item(307));
  ASSERT_FALSE(draws.empty());
  EXPECT_EQ(draws.back().type, ODT_BUTTON);
  EXPECT_EQ(draws.back().id, 307u);
  EXPECT_EQ(draws.back().item, Item(307));
  EXPECT_EQ(draws.back().state & (ODS_SELECTED | ODS_FOCUS), ODS_SELECTED | ODS_FOCUS);
  ::SendMessage(Item(307), BM_SETSTATE, FALSE, 0);
  ::SetFocus(Item(301));
  ::EnableWindow(Item(307), FALSE);
  ::UpdateWindow(Item(307));
  EXPECT_EQ(draws.back().state, ODS_DISABLED);
  EXPECT_EQ(::SendMessage(Item(307), WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
  button.UnsubclassWindow();
}

// An edit that takes its own EN_CHANGE, and colours itself.
class SelfEdit : public CEdit {
 public:
  int changes = 0;
  BOOL passOn = FALSE;
  HBRUSH brush = nullptr;
  BOOL OnChange() {
    ++changes;
    return passOn ? FALSE : TRUE;
  }
  HBRUSH CtlColor(CDC* dc, UINT) {
    dc->SetTextColor(RGB(255, 255, 255));
    return brush;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(SelfEdit, CEdit)
  ON_CONTROL_REFLECT_EX(EN_CHANGE, OnChange)
  ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

TEST_F(ControlsTest, AControlTakesItsReflectedNotificationsFirst) {
  SelfEdit edit;
  CBrush black;
  black.CreateSolidBrush(RGB(0, 0, 0));
  edit.brush = static_cast<HBRUSH>(black.m_hObject);
  struct Bind : RecordingDialog {
    using RecordingDialog::RecordingDialog;
  };
  CDataExchange dx(&dlg, FALSE);
  DDX_Control(&dx, 301, edit);
  ASSERT_FALSE(dx.m_bFailed);
  ASSERT_EQ(CWnd::FromHandlePermanent(Item(301)), &edit);
  edit.SetWindowText("a");
  EXPECT_EQ(edit.changes, 1);
  EXPECT_TRUE(dlg.commands.empty());  // taken by the edit
  edit.passOn = TRUE;
  edit.SetWindowText("b");
  EXPECT_EQ(edit.changes, 2);
  EXPECT_EQ(dlg.commands, (std::vector<std::string>{"301:768"}));
  // The parent's WM_CTLCOLOREDIT is answered by the edit's own CtlColor.
  HDC dc = CreateCompatibleDC(nullptr);
  const LRESULT brush = dlg.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Item(301)));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), edit.brush);
  EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
  DeleteDC(dc);
  // A second exchange finds the binding made.
  CDataExchange again(&dlg, TRUE);
  DDX_Control(&again, 301, edit);
  EXPECT_FALSE(again.m_bFailed);
  CDataExchange missing(&dlg, FALSE);
  CEdit nowhere;
  DDX_Control(&missing, 999, nowhere);
  EXPECT_TRUE(missing.m_bFailed);
  edit.UnsubclassWindow();
}

TEST_F(DialogBehaviourTest, APageIsAChildDialogWithAKeyboardOfItsOwn) {
  RecordingDialog host(kHost);
  ASSERT_TRUE(host.Create(kHost));
  host.ShowWindow(SW_SHOW);
  RecordingDialog page(kPage);
  ASSERT_TRUE(page.Create(kPage, &host));
  EXPECT_EQ(::GetParent(page.m_hWnd), host.m_hWnd);
  EXPECT_TRUE(page.IsWindowVisible());
  EXPECT_EQ(GetFocus(), ::GetDlgItem(page.m_hWnd, 401));
  // Tab stays within the page; Esc goes to the page's Cancel.
  qv::PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), ::GetDlgItem(page.m_hWnd, 402));
  qv::PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), ::GetDlgItem(page.m_hWnd, 401));
  qv::PressKey(VK_ESCAPE, 0, "\x1b");
  EXPECT_EQ(page.commands, (std::vector<std::string>{"2:0"}));
  EXPECT_TRUE(host.commands.empty());
  EXPECT_FALSE(page.IsWindowVisible());  // the framework's OnCancel ended it
}

TEST_F(DialogBehaviourTest, ADsControlPageJoinsItsParentsTabOrder) {
  constexpr int kJoining = 9207;
  qv::win32::DialogTemplate t = Template(kJoining, WS_CHILD | kShown | DS_CONTROL, 100, 40,
                                         {{411, "Edit", "", WS_BORDER | WS_TABSTOP | kShown, 0, 5, 5, 60, 12}});
  RegisterDialogTemplate(t);
  RecordingDialog host(kHost);
  ASSERT_TRUE(host.Create(kHost));
  host.ShowWindow(SW_SHOW);
  RecordingDialog page(kJoining);
  ASSERT_TRUE(page.Create(kJoining, &host));
  ::SetFocus(::GetDlgItem(host.m_hWnd, IDOK));
  qv::PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), ::GetDlgItem(page.m_hWnd, 411));
  qv::PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), ::GetDlgItem(host.m_hWnd, IDOK));
}

TEST_F(DialogBehaviourTest, EnterAndEscInADsControlPageGoToTheDialogItSitsIn) {
  constexpr int kPage = 9208;
  RegisterDialogTemplate(Template(kPage, WS_CHILD | kShown | DS_CONTROL, 100, 40,
                                  {{412, "Edit", "", WS_BORDER | WS_TABSTOP | kShown, 0, 5, 5, 60, 12}}));
  for (const int key : {VK_RETURN, VK_ESCAPE}) {
    SCOPED_TRACE(key);
    RecordingDialog host(kHost);
    ASSERT_TRUE(host.Create(kHost));
    host.ShowWindow(SW_SHOW);
    RecordingDialog page(kPage);
    ASSERT_TRUE(page.Create(kPage, &host));
    ::SetFocus(::GetDlgItem(page.m_hWnd, 412));
    qv::PressKey(key);
    // The host's own OK or Cancel ended it; the page was never ended itself.
    EXPECT_TRUE(GetWindowStyle(page.m_hWnd) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowStyle(host.m_hWnd) & WS_VISIBLE);
    page.DestroyWindow();
    host.DestroyWindow();
  }
}

TEST_F(DialogBehaviourTest, MessageBoxesGoToTheHookWithTheirCaptions) {
  std::vector<qv::MessageBoxCall> calls;
  qv::SetMessageBoxHook([&](const qv::MessageBoxCall& c) {
    calls.push_back(c);
    return IDNO;
  });
  AfxSetAppName("Taravik Tool");
  RecordingDialog d(kSmall);
  ASSERT_TRUE(d.Create(kSmall));
  EXPECT_EQ(::MessageBoxA(d.m_hWnd, "Please select COM Number", "Error", MB_OK | MB_ICONERROR), IDNO);
  EXPECT_EQ(d.MessageBox("Can not read such a big size!"), IDNO);
  EXPECT_EQ(AfxMessageBox("Input Password is invalid!"), IDNO);
  EXPECT_EQ(::MessageBoxA(nullptr, "x", nullptr, MB_YESNO), IDNO);
  qv::RegisterStrings({{9901, "ID Error!"}});
  AfxMessageBox(9901, MB_ICONWARNING);
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0].owner, d.m_hWnd);
  EXPECT_EQ(calls[0].caption, "Error");
  EXPECT_EQ(calls[0].type, MB_OK | MB_ICONERROR);
  EXPECT_EQ(calls[1].caption, "Taravik Tool");
  EXPECT_EQ(calls[1].owner, d.m_hWnd);
  EXPECT_EQ(calls[2].caption, "Taravik Tool");
  EXPECT_EQ(calls[3].caption, "Error");  // Windows' caption without one
  EXPECT_EQ(calls[4].text, "ID Error!");
  EXPECT_EQ(calls[4].type, MB_ICONWARNING);
  AfxSetAppName(nullptr);
}

TEST_F(DialogBehaviourTest, OnScreenAMessageBoxAnswersTheButtonPressed) {
  struct Case {
    UINT type;
    QMessageBox::StandardButton press;  // NoButton: Esc
    int answer;
    QMessageBox::Icon icon;
  } cases[] = {
      {MB_OK | MB_ICONERROR, QMessageBox::Ok, IDOK, QMessageBox::Critical},
      {MB_OK | MB_ICONWARNING, QMessageBox::NoButton, IDOK, QMessageBox::Warning},
      {MB_YESNO | MB_ICONQUESTION, QMessageBox::No, IDNO, QMessageBox::Question},
      {MB_OKCANCEL | MB_ICONINFORMATION, QMessageBox::NoButton, IDCANCEL, QMessageBox::Information},
  };
  for (const Case& c : cases) {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    // A person answers once the box is up.
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      title = box->windowTitle();
      text = box->text();
      icon = box->icon();
      if (c.press == QMessageBox::NoButton)
        box->reject();
      else
        box->button(c.press)->click();
    });
    EXPECT_EQ(::MessageBoxA(nullptr, "Please select Baudrate", "Error", c.type), c.answer) << c.type;
    EXPECT_EQ(title, "Error");
    EXPECT_EQ(text, "Please select Baudrate");
    EXPECT_EQ(icon, c.icon);
  }
}

// A box comes up over an active window and takes the keyboard: Enter, typed
// where the keyboard goes, presses its default button.
TEST_F(DialogBehaviourTest, OnScreenAMessageBoxTakesTheKeyboardAndEnterPressesItsDefaultButton) {
  struct Case {
    UINT type;
    int answer;
  } cases[] = {{MB_OK, IDOK}, {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL}, {MB_YESNO, IDYES}};
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "busy", WS_POPUP | WS_CAPTION | WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0));
  for (const Case& c : cases) {
    QWidget* ownerHost = qv::win32::Lookup(owner.m_hWnd)->host.data();
    ownerHost->activateWindow();
    PumpUntil([&] { return QApplication::activeWindow() == ownerHost; });
    bool boxActive = false;
    QTimer::singleShot(0, [&] {
      QWidget* box = QApplication::activeModalWidget();
      PumpUntil([&] { return box && QApplication::activeWindow() == box; });
      boxActive = box && QApplication::activeWindow() == box;
      QWidget* keyboard = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
      if (keyboard) QTest::keyClick(keyboard, Qt::Key_Return);
      if (box && box->isVisible()) box->close();  // Enter missed: leave the loop
    });
    EXPECT_EQ(::MessageBoxA(owner.m_hWnd, "Auto Detect Baudrate Fail!", "taravik", c.type), c.answer) << c.type;
    EXPECT_TRUE(boxActive) << c.type;
  }
  owner.DestroyWindow();
}

TEST(StringTable, LoadStringFindsRegisteredEntriesOnly) {
  qv::RegisterStrings({{9902, "Verify Error!"}});
  CString s("kept");
  EXPECT_FALSE(s.LoadString(9903));
  EXPECT_EQ(s, "kept");
  EXPECT_TRUE(s.LoadString(9902));
  EXPECT_EQ(s, "Verify Error!");
}

TEST_F(DialogBehaviourTest, PictureStaticsShowRegisteredBitmaps) {
  std::vector<std::uint32_t> pixels(8 * 6, 0x00FF8000);  // orange, RGB order
  qv::RegisterBitmapPixels(9904, 8, 6, pixels.data());
  CBitmap bitmap;
  EXPECT_FALSE(bitmap.LoadBitmap(9905));
  ASSERT_TRUE(bitmap.LoadBitmap(9904));
  BITMAP bm{};
  bitmap.GetBitmap(&bm);
  EXPECT_EQ(bm.bmWidth, 8);
  EXPECT_EQ(bm.bmHeight, 6);
  constexpr int kPicture = 9206;
  RegisterDialogTemplate(Template(kPicture, kPopup, 60, 40, {{501, "Static", "#9904", SS_BITMAP | kShown, 0, 5, 5, 30, 20}}));
  RecordingDialog d(kPicture);
  ASSERT_TRUE(d.Create(kPicture));
  d.ShowWindow(SW_SHOW);
  HWND picture = ::GetDlgItem(d.m_hWnd, 501);
  RECT r{};
  ::GetClientRect(picture, &r);
  EXPECT_EQ(r.right, 8);  // a picture static takes its bitmap's size
  EXPECT_EQ(r.bottom, 6);
  ::UpdateWindow(picture);
  EXPECT_EQ(PixelOf(qv::WindowSnapshot(picture), 3, 3), RGB(0xFF, 0x80, 0x00));
  // STM_SETIMAGE hands back the bitmap the program set before.
  CStatic s;
  ASSERT_TRUE(s.Attach(picture));
  EXPECT_EQ(s.SetBitmap(static_cast<HBITMAP>(bitmap.m_hObject)), nullptr);
  EXPECT_EQ(s.SetBitmap(nullptr), static_cast<HBITMAP>(bitmap.m_hObject));
  s.Detach();
}

TEST_F(ControlsTest, TheDropDownListOpensAndClosesWithItsNotifications) {
  for (const char* s : {"COM1", "COM3"}) ::SendMessage(Item(303), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  CComboBox combo;
  ASSERT_TRUE(combo.Attach(Item(303)));
  combo.ShowDropDown(TRUE);
  EXPECT_TRUE(combo.GetDroppedState());
  combo.ShowDropDown(FALSE);
  EXPECT_FALSE(combo.GetDroppedState());
  EXPECT_EQ(dlg.commands, (std::vector<std::string>{"303:7", "303:8"}));
  combo.Detach();
}

// A dialog of the plain Win32 kind: a dialog procedure, no framework object.
INT_PTR PlainProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    ::SetWindowTextA(::GetDlgItem(dialog, IDOK), reinterpret_cast<const char*>(lParam));
    ::PostMessage(dialog, WM_COMMAND, IDOK, 0);
    return TRUE;
  }
  if (msg == WM_COMMAND && LOWORD(static_cast<DWORD>(wParam)) == IDOK) {
    char text[16];
    ::GetWindowTextA(::GetDlgItem(dialog, IDOK), text, sizeof text);
    EndDialog(dialog, text[0]);
    return TRUE;
  }
  return FALSE;
}

TEST_F(DialogBehaviourTest, APlainDialogProcedureRunsModally) {
  EXPECT_EQ(DialogBoxParamA(kSmall, nullptr, PlainProc, reinterpret_cast<LPARAM>("Z")), 'Z');
  EXPECT_EQ(DialogBoxParamA(12345, nullptr, PlainProc, 0), -1);
}

}  // namespace
