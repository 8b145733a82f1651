#include <gtest/gtest.h>

#include "platform/win32/application.h"
#include "platform/win32/dialog/dialog.h"
#include "platform/win32/dialog/message_box.h"
#include "platform/win32/keyboard.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/standard/combo_box.h"
#include "platform/win32/standard/edit.h"
#include "platform/win32/standard/list_box.h"
#include "platform/win32/standard/static.h"
#include "platform/win32/gdi/bitmap_resources.h"
#include "platform/core/string_table.h"
class CDlgT : public CDialogEx {
 public:
  CDlgT() : CDialogEx(9999) {}
  CListBox m_list; CComboBox m_combo; CButton m_b; CEdit m_e; CStatic m_s;
  void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 1501, m_list); }
  HBRUSH OnCtlColor(CDC* dc, CWnd* w, UINT k) { return CDialogEx::OnCtlColor(dc, w, k); }
  void OnSel() {}
  void OnSysCommand(UINT, LPARAM) {}
  void OnKeyDown(UINT, UINT, UINT) {}
  void OnSetFocus(CWnd*) {}
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDlgT, CDialogEx)
  ON_WM_CTLCOLOR()
  ON_LBN_SELCHANGE(1501, OnSel)
  ON_CBN_SELCHANGE(1023, OnSel)
  ON_EN_CHANGE(1503, OnSel)
  ON_WM_SYSCOMMAND()
  ON_WM_KEYDOWN()
  ON_WM_SETFOCUS()
END_MESSAGE_MAP()
class CE : public CEdit { public: HBRUSH CtlColor(CDC*, UINT) { return nullptr; } void OnCh() {} DECLARE_MESSAGE_MAP() };
BEGIN_MESSAGE_MAP(CE, CEdit)
  ON_WM_CTLCOLOR_REFLECT()
  ON_CONTROL_REFLECT(EN_CHANGE, OnCh)
END_MESSAGE_MAP()
TEST(DialogApi, DoModalOfAMissingTemplateFails) {
  qv::Application();
  CDlgT d;
  EXPECT_EQ(-1, d.DoModal());
}
