// The controls drawn by Qt widgets (list box, combo box, edit) under real Qt
// mouse and key input: each notification comes after the state that its
// handler reads, and mouse input passes through the message map first.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/host_widget.h"
#include "platform/win32/window_object.h"
#include "tests/dialog/dialog_support.h"

using namespace dialog_test;

namespace {

// What a handler reads when the notification arrives: "code:selection:text".
class StateRecorder : public CWnd {
 public:
  std::vector<std::string> seen;
  BOOL OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    if (msg == WM_COMMAND && lParam) {
      const HWND control = reinterpret_cast<HWND>(lParam);
      char cls[16] = {};
      ::GetClassNameA(control, cls, sizeof cls);
      const UINT getSel = std::string(cls) == "ListBox" ? LB_GETCURSEL : CB_GETCURSEL;
      const UINT code = HIWORD(static_cast<DWORD>(wParam));
      std::string entry = std::to_string(code) + ":";
      if (std::string(cls) != "Edit") entry += std::to_string(::SendMessage(control, getSel, 0, 0));
      char text[64] = {};
      ::GetWindowTextA(control, text, sizeof text);
      seen.push_back(entry + ":" + text);
    }
    return CWnd::OnWndMsg(msg, wParam, lParam, result);
  }
};

template <typename W>
W* WidgetOf(HWND hwnd) {
  auto w = qv::win32::Lookup(hwnd);
  return w && w->host ? w->host->findChild<W*>() : nullptr;
}

class QtControlsInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qv::Application();
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP | WS_VISIBLE, CRect(0, 0, 300, 200), nullptr, 0));
  }
  HWND Make(const char* cls, DWORD style, int id = 10) {
    return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 5, 5, 150, 120, parent.m_hWnd, id,
                           nullptr);
  }
  StateRecorder parent;
};

TEST_F(QtControlsInputTest, ListBoxNotifiesAfterItsSelectionMoved) {
  struct Case {
    const char* name;
    std::function<void(QListWidget*)> act;
    std::vector<std::string> seen;
  };
  auto rowCentre = [](QListWidget* l, int row) { return l->visualItemRect(l->item(row)).center(); };
  const Case cases[] = {
      {"click", [&](QListWidget* l) { QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, rowCentre(l, 2)); },
       {"1:2:"}},
      {"arrow", [](QListWidget* l) { QTest::keyClick(l, Qt::Key_Down); }, {"1:1:"}},
      {"click then arrows",
       [&](QListWidget* l) {
         QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, rowCentre(l, 3));
         QTest::keyClick(l, Qt::Key_Up);
         QTest::keyClick(l, Qt::Key_Up);
       },
       {"1:3:", "1:2:", "1:1:"}},
      // A click on the selected row, Ctrl+click on it, or one below the rows
      // keeps the selection: nothing changed, nothing to tell.
      {"same row", [&](QListWidget* l) { QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, rowCentre(l, 0)); }, {}},
      {"ctrl+click",
       [&](QListWidget* l) {
         QTest::mouseClick(l->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(l, 0));
       },
       {}},
      {"below the rows", [](QListWidget* l) { QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, {20, 110}); }, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND list = Make("ListBox", LBS_NOTIFY);
    for (const char* s : {"T0", "T1", "T2", "T3"}) ::SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    ::SendMessage(list, LB_SETCURSEL, 0, 0);
    QListWidget* widget = WidgetOf<QListWidget>(list);
    ASSERT_NE(widget, nullptr);
    ::SetFocus(list);
    parent.seen.clear();
    c.act(widget);
    EXPECT_EQ(parent.seen, c.seen);
    EXPECT_EQ(::SendMessage(list, LB_GETCURSEL, 0, 0), c.seen.empty() ? 0 : c.seen.back()[2] - '0');
    ::DestroyWindow(list);
  }
}

// The drop-down list under the mouse: open it with a click on the button,
// click an item; the field shows it and CB_GETCURSEL answers it when the
// parent hears CBN_SELCHANGE.
TEST_F(QtControlsInputTest, ComboBoxNotifiesAfterAMouseChoice) {
  for (DWORD kind : {CBS_DROPDOWNLIST, CBS_DROPDOWN}) {
    SCOPED_TRACE(kind);
    HWND combo = Make("ComboBox", kind | WS_VSCROLL);
    for (const char* s : {"9600", "14400", "19200"}) ::SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    QComboBox* widget = WidgetOf<QComboBox>(combo);
    ASSERT_NE(widget, nullptr);
    parent.seen.clear();
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(widget->width() - 5, widget->height() / 2));
    ASSERT_TRUE(widget->view()->isVisible());
    QAbstractItemView* view = widget->view();
    // The pointer moves from the button down to the item, as a hand does:
    // Qt takes a release without a move since the press for the end of the
    // click that opened the list.
    QTest::mouseMove(view->viewport(), view->visualRect(view->model()->index(0, 0)).center());
    const QPoint item = view->visualRect(view->model()->index(2, 0)).center();
    QTest::mouseMove(view->viewport(), item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item);
    EXPECT_FALSE(widget->view()->isVisible());
    EXPECT_EQ(parent.seen.front(), "7:-1:");  // CBN_DROPDOWN
    EXPECT_NE(std::find(parent.seen.begin(), parent.seen.end(), "1:2:19200"), parent.seen.end());
    ::DestroyWindow(combo);
  }
}

// Typing into an edit, and its own menu's Delete chosen with the mouse: the
// text has changed when EN_CHANGE comes.
TEST_F(QtControlsInputTest, EditNotifiesAfterItsTextChanged) {
  HWND edit = Make("Edit", ES_AUTOHSCROLL);
  ::SetWindowTextA(edit, "COM");
  QLineEdit* line = WidgetOf<QLineEdit>(edit);
  ASSERT_NE(line, nullptr);
  ::SetFocus(edit);
  line->end(false);
  parent.seen.clear();
  QTest::keyClick(line, '4');
  EXPECT_EQ(parent.seen, (std::vector<std::string>{"768::COM4"}));
  line->setSelection(0, 1);
  QTimer::singleShot(0, [] {
    QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction* a : menu->actions())
      if (a->text().remove('&').startsWith("Delete")) QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
  });
  QTest::mouseClick(line, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_EQ(parent.seen, (std::vector<std::string>{"768::COM4", "768::OM4"}));
  ::DestroyWindow(edit);
}

// A list box whose map takes the left button without default processing,
// and the context menus that reach its parent.
class GuardedList : public CListBox {
 public:
  std::vector<CPoint> clicks;
  bool passOn = false;
  void OnLButtonDown(UINT, CPoint at) {
    clicks.push_back(at);
    if (passOn) Default();
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(GuardedList, CListBox)
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

class MenuParent : public StateRecorder {
 public:
  std::vector<HWND> menusFrom;
  BOOL OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    if (msg == WM_CONTEXTMENU) menusFrom.push_back(reinterpret_cast<HWND>(wParam));
    return StateRecorder::OnWndMsg(msg, wParam, lParam, result);
  }
};

TEST_F(QtControlsInputTest, TheMapSeesAControlsMouseFirst) {
  MenuParent owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, CRect(0, 0, 300, 200), nullptr, 0));
  GuardedList list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY, CRect(5, 5, 155, 125), &owner, 12));
  for (const char* s : {"T0", "T1", "T2"}) list.AddString(s);
  QListWidget* widget = WidgetOf<QListWidget>(list.m_hWnd);
  ASSERT_NE(widget, nullptr);
  const QPoint row2 = widget->visualItemRect(widget->item(2)).center();
  QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, row2);
  ASSERT_EQ(list.clicks.size(), 1u);
  const QPoint client = widget->viewport()->mapTo(widget, row2);
  EXPECT_EQ(list.clicks[0], CPoint(client.x(), client.y()));
  EXPECT_EQ(list.GetCurSel(), LB_ERR) << "the map took the click";
  // The right button selects nothing: it asks for the context menu, which
  // the list's default processing hands to its parent.
  QTest::mouseClick(widget->viewport(), Qt::RightButton, {}, row2);
  EXPECT_EQ(list.GetCurSel(), LB_ERR);
  EXPECT_EQ(owner.menusFrom, (std::vector<HWND>{list.m_hWnd}));
  list.passOn = true;
  QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, row2);
  EXPECT_EQ(list.GetCurSel(), 2);
  EXPECT_EQ(owner.seen, (std::vector<std::string>{"1:2:"}));
}

constexpr int kComboDialog = 9301;
constexpr int kComboId = 310;

// In a dialog whose OK is the default button: Alt+Down opens the list, the
// arrows mark the item they reach, Enter takes it and Esc leaves the
// selection; neither ends the dialog while the list is open.
TEST_F(QtControlsInputTest, AnOpenDropDownListTakesEnterAndEscForItself) {
  for (DWORD kind : {CBS_DROPDOWNLIST, CBS_DROPDOWN}) {
    SCOPED_TRACE(kind);
    qv::win32::RegisterDialogTemplate(Template(
        kComboDialog, kPopup, 160, 100,
        {{kComboId, "ComboBox", "", kind | WS_VSCROLL | WS_TABSTOP | kShown, 0, 10, 10, 80, 60},
         {IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | kShown, 0, 100, 10, 45, 14},
         {IDCANCEL, "Button", "Cancel", BS_PUSHBUTTON | WS_TABSTOP | kShown, 0, 100, 30, 45, 14}}));
    RecordingDialog dlg(kComboDialog);
    ASSERT_TRUE(dlg.Create(kComboDialog));
    dlg.ShowWindow(SW_SHOW);
    const HWND combo = ::GetDlgItem(dlg.m_hWnd, kComboId);
    for (const char* s : {"9600", "14400", "19200", "38400"})
      ::SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    QComboBox* widget = WidgetOf<QComboBox>(combo);
    ASSERT_NE(widget, nullptr);
    ::SetFocus(combo);
    auto key = [](Qt::Key k) { QTest::keyClick(static_cast<QWidget*>(nullptr), k); };

    qv::PressKey(VK_DOWN, Qt::AltModifier);
    ASSERT_TRUE(widget->view()->isVisible());
    // Nothing was selected: the first Down marks the first item.
    for (Qt::Key k : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}) key(k);
    // The open list marks the item the arrows reached; nothing is taken yet.
    const QModelIndexList marked = widget->view()->selectionModel()->selectedIndexes();
    ASSERT_EQ(marked.size(), 1);
    EXPECT_EQ(marked.first().row(), 1);
    EXPECT_EQ(::SendMessage(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    key(Qt::Key_Return);
    EXPECT_FALSE(widget->view()->isVisible());
    EXPECT_TRUE(::IsWindowVisible(dlg.m_hWnd)) << "Enter in the open list ended the dialog";
    EXPECT_EQ(::SendMessage(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_NE(std::find(dlg.commands.begin(), dlg.commands.end(), "310:1"), dlg.commands.end());

    dlg.commands.clear();
    qv::PressKey(VK_DOWN, Qt::AltModifier);
    ASSERT_TRUE(widget->view()->isVisible());
    key(Qt::Key_Down);
    key(Qt::Key_Escape);
    EXPECT_FALSE(widget->view()->isVisible());
    EXPECT_TRUE(::IsWindowVisible(dlg.m_hWnd)) << "Esc in the open list ended the dialog";
    EXPECT_EQ(::SendMessage(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(std::find(dlg.commands.begin(), dlg.commands.end(), "310:1"), dlg.commands.end());

    // With the list closed, Enter is the dialog's again.
    qv::PressKey(VK_RETURN, 0, "\r");
    EXPECT_FALSE(::IsWindowVisible(dlg.m_hWnd));
    dlg.DestroyWindow();
  }
}

}  // namespace
