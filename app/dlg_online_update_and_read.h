#pragma once
// The main window: the button column with the chip's data, the Write and
// Read pages and the status strip. It refuses Read, Exit and Close (the
// close box, Alt+F4, Enter and Esc) while a write is pending, and in USB
// mode owns the bridge connection and follows the board's plugging.

#include "app/bridge_connection.h"
#include "app/dlg_online_read.h"
#include "app/dlg_online_update.h"
#include "app/dlg_status.h"
#include "controls/flat_button.h"
#include "platform/win32/dialog/dialog.h"
#include "platform/win32/standard/combo_box.h"
#include "platform/win32/standard/edit.h"
#include "platform/win32/standard/static.h"
#include "res/pages_ids.h"

// "TouchEvent" and "TouchEvent1", handed to the bridge library in USB mode.
extern HANDLE g_hTouchEvent;
extern HANDLE g_hTouchEvent1;

class CDlgOnlineUpdateAndRead : public CDialogEx {
  DECLARE_DYNAMIC(CDlgOnlineUpdateAndRead)

 public:
  enum { IDD = IDD_ONLINE_UPDATE_AND_READ };

  explicit CDlgOnlineUpdateAndRead(CWnd* parent = nullptr);
  ~CDlgOnlineUpdateAndRead() override;

  bool IsWritePending() const { return m_dlgWrite.IsWritePending(); }

  CDlgOnlineUpdate m_dlgWrite;
  CDlgOnlineRead m_dlgRead;
  CBrush m_brBack;
  CDlgStatus m_dlgStatus;
  CBridgeConnection m_bridge;
  CString m_strConnState;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  // Enter and Esc: refused like Exit and Close while a write is pending.
  void OnOK() override;
  void OnCancel() override;
  void OnSize(UINT type, int cx, int cy);
  void OnDestroy();
  HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT kind);
  LRESULT OnDeviceChange(WPARAM event, LPARAM data);
  void OnExit();
  void OnShowReadPage();
  void OnShowWritePage();
  LRESULT OnDeviceState(WPARAM wParam, LPARAM lParam);
  void OnSysCommand(UINT id, LPARAM lParam);
  void OnSelChangeChipCombo();

  DECLARE_MESSAGE_MAP()

 private:
  void LayoutControls();
  void ShowChipInfo();
  bool IsReadSupported() const;

  CFlatButton m_btnRead;
  CFlatButton m_btnWrite;
  CFlatButton m_btnExit;
  CFlatButton m_btnMerge;
  CEdit m_editPartNo;
  CEdit m_editRam;
  CEdit m_editApRom;
  CComboBox m_cbChip;
  CStatic m_stChipType;
};
