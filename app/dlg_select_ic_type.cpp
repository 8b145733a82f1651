#include "app/dlg_select_ic_type.h"

#include "isp/com_base.h"
#include "isp/engine.h"
#include "platform/serial/serial_port.h"
#include "platform/win32/dialog/message_box.h"
#include "res/app_ids.h"

namespace {

constexpr COLORREF kBackColour = 0xA1A1A1;

// In the order of the baud combo's items.
constexpr u32 kBaudRates[] = {9600, 14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
constexpr const char* kBaudTexts[] = {"9600",  "14400",  "19200",  "38400", "56000",
                                      "57600", "115200", "128000", "256000"};

}  // namespace

BEGIN_MESSAGE_MAP(CDlgSelectICType, CDialogEx)
  ON_BN_CLICKED(IDOK, OnOkButton)
  ON_WM_CTLCOLOR()
  ON_WM_DESTROY()
  ON_LBN_SELCHANGE(IDC_ICTYPE_LIST, ApplyIcTypeSelection)
  ON_BN_CLICKED(IDC_ICTYPE_TIMEOUT_ENTRY, OnTimeoutEntryRadio)
  ON_BN_CLICKED(IDC_ICTYPE_CHECKPIN_ENTRY, OnCheckPinEntryRadio)
END_MESSAGE_MAP()

CDlgSelectICType::CDlgSelectICType() : CDialogEx(IDD, nullptr) { m_brBack.CreateSolidBrush(kBackColour); }

CDlgSelectICType::~CDlgSelectICType() {
  m_brBack.DeleteObject();
  m_font.DeleteObject();
}

void CDlgSelectICType::DoDataExchange(CDataExchange* pDX) {
  CDialogEx::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_ICTYPE_LIST, m_lstIcType);
  DDX_Control(pDX, IDC_ICTYPE_PARTNO, m_edtPartNo);
  DDX_Control(pDX, IDC_ICTYPE_RAM, m_edtRamSize);
  DDX_Control(pDX, IDC_ICTYPE_FLASH, m_edtFlashSize);
  DDX_Control(pDX, IDC_ICTYPE_NAME, m_stcIcTypeName);
  DDX_Control(pDX, IDC_ICTYPE_LIST_TITLE, m_stcIcTypeList);
  DDX_Control(pDX, IDC_ICTYPE_COM_NUM, m_cmbComNum);
  DDX_Control(pDX, IDC_ICTYPE_USB, m_rdoUsb);
  DDX_Control(pDX, IDC_ICTYPE_COM, m_rdoCom);
  DDX_Control(pDX, IDC_ICTYPE_BAUDRATE, m_cmbBaudrate);
  DDX_Control(pDX, IDC_ICTYPE_TIMEOUT_ENTRY, m_rdoTimeoutEntry);
  DDX_Control(pDX, IDC_ICTYPE_CHECKPIN_ENTRY, m_rdoCheckPinEntry);
}

BOOL CDlgSelectICType::OnInitDialog() {
  CDialogEx::OnInitDialog();
  FillIcTypeList();
  m_lstIcType.SetCurSel(0);
  ApplyIcTypeSelection();
  m_font.CreateFont(18, 0, 0, 0, 100, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, "Arial");
  m_stcIcTypeName.SetFont(&m_font, FALSE);
  m_stcIcTypeList.SetFont(&m_font, FALSE);
  ProbeComPorts(m_nComPorts, 0);
  for (u32 i = 0; i < 128; ++i) {
    if (m_nComPorts[i] == 0) continue;
    CString name;
    name.Format("COM%d", static_cast<int>(i + 1));
    m_cmbComNum.SetItemData(m_cmbComNum.AddString(name), i);
  }
  for (const char* text : kBaudTexts) m_cmbBaudrate.AddString(text);
  // USB, whatever the first type's section presets: only a selection change presets.
  m_rdoUsb.SetCheck(BST_CHECKED);
  m_rdoCom.SetCheck(BST_UNCHECKED);
  m_rdoTimeoutEntry.SetCheck(BST_CHECKED);
  m_rdoCheckPinEntry.SetCheck(BST_UNCHECKED);
  return TRUE;
}

void CDlgSelectICType::FillIcTypeList() {
  m_lstIcType.ResetContent();
  for (const CString& item : ReadIcTypeList()) m_lstIcType.AddString(item);
}

void CDlgSelectICType::ApplyIcTypeSelection() {
  const int index = m_lstIcType.GetCurSel();
  if (index == LB_ERR) return;
  CString name;
  m_lstIcType.GetText(index, name);
  name.Trim();
  m_stcIcTypeName.SetWindowText(name + ">>");
  ApplyIcTypePreset(name, &m_choice);
  m_edtPartNo.SetWindowText(m_choice.partNo);
  CString size;
  size.Format("%dK", m_choice.ramSizeK);
  m_edtRamSize.SetWindowText(size);
  size.Format("%dK", m_choice.flashSizeK);
  m_edtFlashSize.SetWindowText(size);
  const int end = m_edtPartNo.GetWindowTextLength();
  m_edtPartNo.SetSel(end, end);
  m_edtPartNo.SendMessage(EM_SCROLLCARET);
  m_edtPartNo.SetFocus();
  m_rdoUsb.SetCheck(m_choice.interface == 1 ? BST_CHECKED : BST_UNCHECKED);
  m_rdoCom.SetCheck(m_choice.interface == 1 ? BST_UNCHECKED : BST_CHECKED);
}

void CDlgSelectICType::OnOkButton() {
  if (m_rdoUsb.GetCheck() == BST_CHECKED) {
    m_choice.interface = 1;
  } else {
    m_choice.interface = 0;
    const int port = m_cmbComNum.GetCurSel();
    if (port == CB_ERR) {
      MessageBox("Please select COM Number", "Error", MB_ICONSTOP);
      return;
    }
    m_choice.port = static_cast<u32>(m_cmbComNum.GetItemData(port)) + 1;
    const int baud = m_cmbBaudrate.GetCurSel();
    if (baud == CB_ERR) {
      MessageBox("Please select Baudrate", "Error", MB_ICONSTOP);
      return;
    }
    m_choice.baudRate = kBaudRates[baud];
    CCOMBase probe;
    if (probe.Init(m_choice.port, m_choice.baudRate, m_choice.port, FALSE) == 0) {
      MessageBox("Please select a valid COM Port!", "Error", MB_ICONSTOP);
      return;
    }
  }
  if (m_rdoTimeoutEntry.GetCheck() == BST_CHECKED) {
    m_choice.entryMethod = 1;
  } else if (m_rdoCheckPinEntry.GetCheck() == BST_CHECKED) {
    m_choice.entryMethod = 2;
  }
  EndDialog(IDOK);
}

HBRUSH CDlgSelectICType::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  HBRUSH brush = CDialogEx::OnCtlColor(pDC, pWnd, nCtlColor);
  if (nCtlColor == CTLCOLOR_DLG) {
    CRect client;
    GetClientRect(&client);
    pDC->FillRect(&client, &m_brBack);
    return static_cast<HBRUSH>(m_brBack.GetSafeHandle());
  }
  const int id = pWnd->GetDlgCtrlID();
  if (nCtlColor == CTLCOLOR_STATIC && id == IDC_STATIC) {
    pDC->SetTextColor(RGB(0, 0, 0));
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(m_brBack.GetSafeHandle());
  }
  if (id == IDC_ICTYPE_LIST || id == IDC_ICTYPE_PARTNO) return brush;
  pDC->SetBkMode(TRANSPARENT);
  return static_cast<HBRUSH>(m_brBack.GetSafeHandle());
}

void CDlgSelectICType::OnDestroy() { CDialogEx::OnDestroy(); }

void CDlgSelectICType::OnTimeoutEntryRadio() { m_rdoCheckPinEntry.SetCheck(BST_UNCHECKED); }

void CDlgSelectICType::OnCheckPinEntryRadio() { m_rdoTimeoutEntry.SetCheck(BST_UNCHECKED); }
