// The controls drawn by Qt widgets (list box, combo box, edit) under real Qt
// mouse and key input: each notification comes after the state that its
// handler reads, and mouse input passes through the message map first.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
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

}  // namespace
