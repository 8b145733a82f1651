#pragma once
// The first window of an interactive run: the IC type from config.ini's list,
// its sizes and part number, and the interface (USB bridge, or a serial port
// with its baud rate). OK checks a serial choice by opening the port once.

#include "app/ic_type_list.h"
#include "platform/win32/dialog/dialog.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/standard/combo_box.h"
#include "platform/win32/standard/edit.h"
#include "platform/win32/standard/list_box.h"
#include "platform/win32/standard/static.h"

class CDlgSelectICType : public CDialogEx {
 public:
  enum { IDD = 229 };

  CDlgSelectICType();
  ~CDlgSelectICType() override;

  // The results that start-up reads after IDOK.
  IcTypeChoice m_choice;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void FillIcTypeList();
  void ApplyIcTypeSelection();
  void OnOkButton();
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  void OnDestroy();
  void OnTimeoutEntryRadio();
  void OnCheckPinEntryRadio();

  DECLARE_MESSAGE_MAP()

 private:
  CListBox m_lstIcType;
  CEdit m_edtPartNo;
  CEdit m_edtRamSize;
  CEdit m_edtFlashSize;
  CStatic m_stcIcTypeName;
  CBrush m_brBack;
  CFont m_font;
  u32 m_nComPorts[128] = {};
  CStatic m_stcIcTypeList;
  CComboBox m_cmbComNum;
  CButton m_rdoUsb;
  CButton m_rdoCom;
  CComboBox m_cmbBaudrate;
  CButton m_rdoTimeoutEntry;
  CButton m_rdoCheckPinEntry;
};
