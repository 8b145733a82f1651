// Each standard control's messages at their edges.

#include <gtest/gtest.h>

#include "tests/dialog/dialog_support.h"

using namespace dialog_test;

namespace {

class StandardControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qv::Application();
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP | WS_VISIBLE, CRect(0, 0, 300, 200), nullptr, 0));
  }
  HWND Make(const char* cls, DWORD style, const char* text = "", int id = 10) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 5, 5, 150, 80, parent.m_hWnd, id, nullptr);
  }
  static LRESULT Send(HWND h, UINT msg, WPARAM w = 0, LPARAM l = 0) { return ::SendMessage(h, msg, w, l); }
  static LPARAM Text(const char* s) { return reinterpret_cast<LPARAM>(s); }
  CWnd parent;
};

TEST_F(StandardControlsTest, ClassNamesMatchWithoutRegardToCase) {
  for (const char* name : {"BUTTON", "button", "Static", "EDIT", "listbox", "ComboBox"}) EXPECT_NE(Make(name, 0), nullptr) << name;
}

TEST_F(StandardControlsTest, ListBoxMessages) {
  HWND list = Make("ListBox", LBS_NOTIFY);
  EXPECT_EQ(Send(list, LB_GETCURSEL), LB_ERR);
  EXPECT_EQ(Send(list, LB_ADDSTRING, 0, Text("T02")), 0);
  EXPECT_EQ(Send(list, LB_ADDSTRING, 0, Text("T01")), 1);  // not sorted
  EXPECT_EQ(Send(list, LB_INSERTSTRING, 0, Text("X 1")), 0);
  EXPECT_EQ(Send(list, LB_INSERTSTRING, 9, Text("bad")), LB_ERR);
  EXPECT_EQ(Send(list, LB_GETCOUNT), 3);
  char buffer[16] = {};
  EXPECT_EQ(Send(list, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(buffer)), 3);
  EXPECT_STREQ(buffer, "T01");
  EXPECT_EQ(Send(list, LB_GETTEXTLEN, 0), 3);
  struct Case {
    WPARAM index;
    LRESULT set, get;
  } cases[] = {{1, 1, 1}, {5, LB_ERR, LB_ERR}, {static_cast<WPARAM>(-1), 0, LB_ERR}, {2, 2, 2}};
  for (const Case& c : cases) {
    EXPECT_EQ(Send(list, LB_SETCURSEL, c.index), c.set) << c.index;
    EXPECT_EQ(Send(list, LB_GETCURSEL), c.get) << c.index;
  }
  EXPECT_EQ(Send(list, LB_GETTEXT, 7, reinterpret_cast<LPARAM>(buffer)), LB_ERR);
  EXPECT_EQ(Send(list, LB_GETTEXTLEN, 7), LB_ERR);
  EXPECT_EQ(Send(list, LB_SETITEMDATA, 1, 0x1234), LB_OKAY);
  EXPECT_EQ(Send(list, LB_GETITEMDATA, 1), 0x1234);
  EXPECT_EQ(Send(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), Text("t01")), 2);
  EXPECT_EQ(Send(list, LB_DELETESTRING, 0), 2);
  Send(list, LB_RESETCONTENT);
  EXPECT_EQ(Send(list, LB_GETCOUNT), 0);
  EXPECT_EQ(Send(list, LB_GETCURSEL), LB_ERR);
  CListBox wrapper;
  ASSERT_TRUE(wrapper.Attach(list));
  wrapper.AddString("COM4");
  CString text;
  wrapper.GetText(0, text);
  EXPECT_EQ(text, "COM4");
  wrapper.GetText(3, text);
  EXPECT_EQ(text, "");
  wrapper.Detach();
}

TEST_F(StandardControlsTest, SortedListsInsertWithoutRegardToCase) {
  HWND list = Make("ListBox", LBS_SORT);
  for (const char* s : {"b", "C", "a"}) Send(list, LB_ADDSTRING, 0, Text(s));
  char buffer[4];
  std::string order;
  for (int i = 0; i < 3; ++i) {
    Send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
    order += buffer;
  }
  EXPECT_EQ(order, "abC");
}

TEST_F(StandardControlsTest, ComboBoxMessagesAndNoSelectionOfItsOwn) {
  for (DWORD kind : {CBS_DROPDOWNLIST, CBS_DROPDOWN}) {
    HWND combo = Make("ComboBox", kind | WS_VSCROLL);
    RECT r{};
    ::GetWindowRect(combo, &r);
    EXPECT_LT(r.bottom - r.top, 40) << kind;  // closed: the field's height only
    EXPECT_EQ(Send(combo, CB_GETCURSEL), CB_ERR) << kind;
    for (const char* s : {"9600", "14400", "19200"}) Send(combo, CB_ADDSTRING, 0, Text(s));
    // Adding items selects none of them, unlike a plain QComboBox.
    EXPECT_EQ(Send(combo, CB_GETCURSEL), CB_ERR) << kind;
    EXPECT_EQ(::GetWindowTextLengthA(combo), 0) << kind;
    EXPECT_EQ(Send(combo, CB_GETCOUNT), 3);
    EXPECT_EQ(Send(combo, CB_SETITEMDATA, 2, 31), CB_OKAY);
    EXPECT_EQ(Send(combo, CB_GETITEMDATA, 2), 31);
    EXPECT_EQ(Send(combo, CB_GETITEMDATA, 3), CB_ERR);
    EXPECT_EQ(Send(combo, CB_SETCURSEL, 1), 1);
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 1);
    char buffer[16] = {};
    ::GetWindowTextA(combo, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "14400") << kind;
    EXPECT_EQ(Send(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 4);
    EXPECT_STREQ(buffer, "9600");
    EXPECT_EQ(Send(combo, CB_GETLBTEXTLEN, 2), 5);
    EXPECT_EQ(Send(combo, CB_GETLBTEXT, 5, reinterpret_cast<LPARAM>(buffer)), CB_ERR);
    EXPECT_EQ(Send(combo, CB_SETCURSEL, 9), CB_ERR);
    EXPECT_EQ(Send(combo, CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(Send(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), Text("19200")), 2);
    Send(combo, CB_RESETCONTENT);
    EXPECT_EQ(Send(combo, CB_GETCOUNT), 0);
    EXPECT_EQ(Send(combo, CB_GETCURSEL), CB_ERR);
  }
}

TEST_F(StandardControlsTest, EditTextSelectionAndLimit) {
  HWND edit = Make("Edit", ES_AUTOHSCROLL | WS_BORDER, "3B8E61C4");
  char buffer[32];
  EXPECT_EQ(::GetWindowTextA(edit, buffer, sizeof buffer), 8);
  EXPECT_STREQ(buffer, "3B8E61C4");
  EXPECT_EQ(::GetWindowTextA(edit, buffer, 4), 3);  // cut to the buffer
  EXPECT_STREQ(buffer, "3B8");
  struct Case {
    WPARAM start;
    LPARAM end;
    DWORD sel;
  } cases[] = {{0, -1, MAKELONG(0, 8)}, {2, 5, MAKELONG(2, 5)}, {8, 8, MAKELONG(8, 8)}, {3, 99, MAKELONG(3, 8)}};
  for (const Case& c : cases) {
    Send(edit, EM_SETSEL, c.start, c.end);
    Send(edit, EM_SCROLLCARET);
    EXPECT_EQ(static_cast<DWORD>(Send(edit, EM_GETSEL)), c.sel) << c.start << "," << c.end;
  }
  Send(edit, EM_LIMITTEXT, 4);
  EXPECT_EQ(Send(edit, EM_GETLIMITTEXT), 4);
  ::SetFocus(edit);
  Send(edit, EM_SETSEL, 0, -1);
  qv::PressKey('1', 0, "1");
  for (const char* key : {"2", "3", "4", "5"}) qv::PressKey(static_cast<UINT>(key[0]), 0, key);
  ::GetWindowTextA(edit, buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "1234");  // the limit holds for typing
  Send(edit, EM_SETREADONLY, TRUE);
  EXPECT_TRUE(::GetWindowStyle(edit) & ES_READONLY);
  qv::PressKey(VK_BACK, 0, "\b");
  ::GetWindowTextA(edit, buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "1234");
  EXPECT_EQ(Send(edit, WM_GETDLGCODE) & (DLGC_WANTCHARS | DLGC_HASSETSEL), DLGC_WANTCHARS | DLGC_HASSETSEL);
}

// A control's own map sees a key before its Qt widget does.
class DigitsOnly : public CEdit {
 public:
  void OnChar(UINT ch, UINT, UINT) {
    if (ch >= '0' && ch <= '9') Default();
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(DigitsOnly, CEdit)
  ON_WM_CHAR()
END_MESSAGE_MAP()

TEST_F(StandardControlsTest, AKeyEatenByTheMapNeverReachesTheWidget) {
  DigitsOnly edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(5, 5, 100, 25), &parent, 11));
  edit.SetFocus();
  for (const char* key : {"1", "x", "2"}) qv::PressKey(static_cast<UINT>(std::toupper(key[0])), 0, key);
  CString text;
  edit.GetWindowText(text);
  EXPECT_EQ(text, "12");
}

TEST_F(StandardControlsTest, ButtonChecksStylesAndClicks) {
  struct Case {
    DWORD style;
    LRESULT afterClick;
    UINT code;
  } cases[] = {
      {BS_AUTOCHECKBOX, BST_CHECKED, DLGC_BUTTON},
      {BS_CHECKBOX, BST_UNCHECKED, DLGC_BUTTON},  // a plain box leaves the check to its owner
      {BS_AUTORADIOBUTTON, BST_CHECKED, DLGC_BUTTON | DLGC_RADIOBUTTON},
      {BS_PUSHBUTTON, BST_UNCHECKED, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
      {BS_DEFPUSHBUTTON, BST_UNCHECKED, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
  };
  for (const Case& c : cases) {
    HWND b = Make("Button", c.style, "x");
    EXPECT_EQ(Send(b, WM_GETDLGCODE), static_cast<LRESULT>(c.code)) << c.style;
    Send(b, BM_CLICK);
    EXPECT_EQ(Send(b, BM_GETCHECK), c.afterClick) << c.style;
    ::DestroyWindow(b);
  }
  HWND box = Make("Button", BS_CHECKBOX, "x");
  Send(box, BM_SETCHECK, BST_CHECKED);
  EXPECT_EQ(Send(box, BM_GETCHECK), BST_CHECKED);
  EXPECT_EQ(Send(box, BM_GETSTATE) & BST_CHECKED, BST_CHECKED);
  Send(box, BM_SETCHECK, BST_INDETERMINATE);  // not a 3-state box
  EXPECT_EQ(Send(box, BM_GETCHECK), BST_CHECKED);
  HWND push = Make("Button", BS_PUSHBUTTON | BS_CENTER, "x");
  Send(push, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(::GetWindowStyle(push) & 0xFFFF, BS_DEFPUSHBUTTON);
  EXPECT_TRUE(::GetWindowStyle(push) & WS_VISIBLE);
  // A disabled button takes no click.
  ::EnableWindow(box, FALSE);
  Send(box, BM_SETCHECK, BST_UNCHECKED);
  HWND autoBox = Make("Button", BS_AUTOCHECKBOX | WS_DISABLED, "x");
  Send(autoBox, BM_CLICK);
  EXPECT_EQ(Send(autoBox, BM_GETCHECK), BST_UNCHECKED);
}

TEST_F(StandardControlsTest, StaticTextFollowsItsAlignment) {
  // The text's leftmost ink for left, centred and right statics.
  int left[3] = {};
  const DWORD styles[3] = {SS_LEFT, SS_CENTER, SS_RIGHT};
  for (int i = 0; i < 3; ++i) {
    HWND s = Make("Static", styles[i], "Size:");
    ::UpdateWindow(s);
    const QImage image = qv::WindowSnapshot(s);
    left[i] = image.width();
    for (int x = 0; x < image.width() && left[i] == image.width(); ++x)
      for (int y = 0; y < image.height(); ++y)
        if (PixelOf(image, x, y) == GetSysColor(COLOR_WINDOWTEXT)) {
          left[i] = x;
          break;
        }
    ::DestroyWindow(s);
  }
  EXPECT_LT(left[0], 3);
  EXPECT_GT(left[1], left[0] + 40);
  EXPECT_GT(left[2], left[1] + 40);
  EXPECT_LT(left[2], 150);
}

// A parent that keeps the WM_COMMAND codes its controls send.
class CommandRecorder : public CWnd {
 public:
  std::vector<UINT> codes;
  BOOL OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    if (msg == WM_COMMAND) codes.push_back(HIWORD(static_cast<DWORD>(wParam)));
    return CWnd::OnWndMsg(msg, wParam, lParam, result);
  }
};

TEST_F(StandardControlsTest, OnlyANotifyingStaticReportsClicks) {
  CommandRecorder owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0));
  HWND plain = CreateWindowExA(0, "Static", "a", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, owner.m_hWnd, 1, nullptr);
  HWND notify = CreateWindowExA(0, "Static", "b", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0, 30, 50, 20, owner.m_hWnd, 2, nullptr);
  Send(plain, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  Send(notify, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  Send(notify, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
  EXPECT_EQ(owner.codes, (std::vector<UINT>{STN_CLICKED, STN_DBLCLK}));
  EXPECT_EQ(Send(plain, WM_GETDLGCODE), DLGC_STATIC);
}

}  // namespace
