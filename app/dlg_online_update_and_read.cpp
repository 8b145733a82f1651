#include "app/dlg_online_update_and_read.h"

#include "app/device_events.h"
#include "app/main_layout.h"
#include "app/taravik_app.h"
#include "isp/app_config.h"
#include "isp/com_base.h"
#include "isp/engine.h"
#include "platform/ostrelusb/OstrelUsb.h"

HANDLE g_hTouchEvent = nullptr;
HANDLE g_hTouchEvent1 = nullptr;

namespace {

constexpr COLORREF kMainBack = 0xA1A1A1;
constexpr COLORREF kFieldBack = 0x979797;
constexpr COLORREF kLabelText = 0xFFFFFF;

// The pair of event handles the bridge library is given.
QvKernelObject* g_touchEvents[2] = {};

}  // namespace

IMPLEMENT_DYNAMIC(CDlgOnlineUpdateAndRead, CDialogEx)

BEGIN_MESSAGE_MAP(CDlgOnlineUpdateAndRead, CDialogEx)
  ON_WM_SIZE()
  ON_WM_DESTROY()
  ON_WM_CTLCOLOR()
  ON_MESSAGE(WM_DEVICECHANGE, OnDeviceChange)
  ON_BN_CLICKED(IDC_MAIN_EXIT, OnExit)
  ON_BN_CLICKED(IDC_MAIN_READ, OnShowReadPage)
  ON_BN_CLICKED(IDC_MAIN_WRITE, OnShowWritePage)
  ON_MESSAGE(WM_DEVICE_STATE, OnDeviceState)
  ON_WM_SYSCOMMAND()
  ON_CBN_SELCHANGE(IDC_MAIN_CHIP_COMBO, OnSelChangeChipCombo)
END_MESSAGE_MAP()

CDlgOnlineUpdateAndRead::CDlgOnlineUpdateAndRead(CWnd* parent)
    : CDialogEx(IDD, parent),
      m_brBack(kMainBack),
      m_bridge([this](const CString& text) { m_dlgStatus.SetStatusText(1, text); },
               [this](WPARAM connected) { SendMessage(WM_DEVICE_STATE, connected, 0); }) {}

CDlgOnlineUpdateAndRead::~CDlgOnlineUpdateAndRead() = default;

void CDlgOnlineUpdateAndRead::DoDataExchange(CDataExchange* pDX) {
  CDialogEx::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_MAIN_READ, m_btnRead);
  DDX_Control(pDX, IDC_MAIN_WRITE, m_btnWrite);
  DDX_Control(pDX, IDC_MAIN_EXIT, m_btnExit);
  DDX_Control(pDX, IDC_MAIN_MERGE, m_btnMerge);
  DDX_Control(pDX, IDC_MAIN_CHIP_COMBO, m_cbChip);
  DDX_Control(pDX, IDC_MAIN_CHIP_TYPE, m_stChipType);
  DDX_Control(pDX, IDC_MAIN_PART_NO, m_editPartNo);
  DDX_Control(pDX, IDC_MAIN_RAM, m_editRam);
  DDX_Control(pDX, IDC_MAIN_APROM, m_editApRom);
}

BOOL CDlgOnlineUpdateAndRead::OnInitDialog() {
  CDialogEx::OnInitDialog();
  m_dlgWrite.Create(IDD_ONLINE_UPDATE, this);
  m_dlgWrite.ShowWindow(SW_SHOW);
  m_dlgRead.Create(IDD_ONLINE_READ, this);
  m_dlgRead.ShowWindow(SW_HIDE);
  m_dlgWrite.SetReaderBusy([this] { return m_dlgRead.IsReading(); });
  m_dlgStatus.Create(IDD_STATUS, this);
  m_dlgStatus.ShowWindow(SW_SHOW);

  CEngineContext& engine = Engine();
  if (engine.m_nInterface == 0) {
    const bool open = engine.m_pCOMBase != nullptr && engine.m_pCOMBase->IsOpen();
    m_strConnState = open ? kDeviceConnectedText : kDeviceDisConnectedText;
  }
  m_dlgStatus.SetStatusText(1, m_strConnState);
  m_dlgStatus.SetStatusText(3, engine.m_nInterface == 1 ? "USB Interface" : "COM Interface");

  m_btnRead.SetColorScheme();
  m_btnWrite.SetColorScheme();
  m_btnExit.SetColorScheme();
  m_btnMerge.SetColorScheme();
  ShowWindow(SW_MAXIMIZE);
  LayoutControls();

  if (engine.m_nInterface != 0) {
    g_hTouchEvent = CreateEventA(nullptr, TRUE, TRUE, "TouchEvent");
    ResetEvent(g_hTouchEvent);
    g_hTouchEvent1 = CreateEventA(nullptr, TRUE, TRUE, "TouchEvent1");
    g_touchEvents[0] = g_hTouchEvent;
    g_touchEvents[1] = g_hTouchEvent1;
    DeliverDeviceChanges();
    RegisterNotification(m_hWnd, g_touchEvents);
    m_bridge.OpenBridgeDevice();
  }
  ShowChipInfo();
  SetWindowText(FormatMainTitle(theApp.m_strIdeTitle, theApp.m_wVersion));
  return TRUE;
}

bool CDlgOnlineUpdateAndRead::IsReadSupported() const {
  CCommonInterface* backEnd = Engine().m_pInterface;
  return backEnd != nullptr && backEnd->IsReadSupported();
}

void CDlgOnlineUpdateAndRead::ShowChipInfo() {
  CString text;
  text.Format("%s", g_szIcType);
  m_editPartNo.SetWindowText(text);
  text.Format("%dK", g_nRamSizeK);
  m_editRam.SetWindowText(text);
  text.Format("%dK", g_nFlashSizeK);
  m_editApRom.SetWindowText(text);
  m_btnWrite.ShowWindow(SW_SHOW);
  m_btnRead.ShowWindow(IsReadSupported() ? SW_SHOW : SW_HIDE);
}

void CDlgOnlineUpdateAndRead::LayoutControls() {
  if (!m_btnWrite.IsWindow()) return;
  CRect client;
  GetClientRect(&client);
  const CMainLayout l = LayoutMainWindow(client.Width(), client.Height());
  ::SetWindowPos(m_dlgStatus.m_hWnd, HWND_TOP, l.strip.left, l.strip.top, l.strip.Width(), l.strip.Height(),
                 SWP_SHOWWINDOW);
  m_dlgStatus.Invalidate();
  m_btnExit.MoveWindow(l.exit.left, l.exit.top, l.exit.Width(), l.exit.Height());
  m_btnRead.MoveWindow(l.read.left, l.read.top, l.read.Width(), l.read.Height());
  m_btnWrite.MoveWindow(l.write.left, l.write.top, l.write.Width(), l.write.Height());
  m_dlgWrite.MoveWindow(l.page.left, l.page.top, l.page.Width(), l.page.Height());
  m_dlgRead.MoveWindow(l.page.left, l.page.top, l.page.Width(), l.page.Height());
  m_btnWrite.ShowWindow(SW_SHOW);
  m_btnRead.ShowWindow(IsReadSupported() ? SW_SHOW : SW_HIDE);
}

LRESULT CDlgOnlineUpdateAndRead::OnDeviceChange(WPARAM event, LPARAM data) {
  return m_bridge.OnDeviceChange(static_cast<UINT>(event), static_cast<UINT_PTR>(data));
}

LRESULT CDlgOnlineUpdateAndRead::OnDeviceState(WPARAM wParam, LPARAM) {
  m_strConnState = DeviceStateText(wParam);
  m_dlgStatus.SetStatusText(1, m_strConnState);
  return 0;
}

void CDlgOnlineUpdateAndRead::OnShowReadPage() {
  if (IsWritePending()) return;
  m_dlgRead.ShowWindow(SW_SHOW);
  m_dlgWrite.ShowWindow(SW_HIDE);
}

void CDlgOnlineUpdateAndRead::OnShowWritePage() {
  m_dlgRead.ShowWindow(SW_HIDE);
  m_dlgWrite.ShowWindow(SW_SHOW);
}

void CDlgOnlineUpdateAndRead::OnExit() {
  if (!IsWritePending()) CDialogEx::OnOK();
}

void CDlgOnlineUpdateAndRead::OnOK() {
  if (!IsWritePending()) CDialogEx::OnOK();
}

void CDlgOnlineUpdateAndRead::OnCancel() {
  if (!IsWritePending()) CDialogEx::OnCancel();
}

void CDlgOnlineUpdateAndRead::OnSysCommand(UINT id, LPARAM lParam) {
  // The close box and Alt+F4 would cut a write off half-programmed.
  if ((id & 0xFFF0) == SC_CLOSE && IsWritePending()) return;
  CDialogEx::OnSysCommand(id, lParam);
}

void CDlgOnlineUpdateAndRead::OnSelChangeChipCombo() {
  const int selection = m_cbChip.GetCurSel();
  if (selection != CB_ERR) g_AppConfig.byChipSel = static_cast<u8>(selection & 0xFF);
}

HBRUSH CDlgOnlineUpdateAndRead::OnCtlColor(CDC* dc, CWnd* control, UINT kind) {
  CDialogEx::OnCtlColor(dc, control, kind);
  const int id = control != nullptr ? control->GetDlgCtrlID() : 0;
  if (kind == CTLCOLOR_DLG) {
    CRect client;
    GetClientRect(&client);
    dc->FillRect(&client, &m_brBack);
  } else if (kind == CTLCOLOR_EDIT) {
    dc->SetTextColor(kLabelText);
    dc->SetBkMode(TRANSPARENT);
  } else if (kind == CTLCOLOR_STATIC && (id == IDC_MAIN_CHIP_TYPE || id == IDC_STATIC)) {
    dc->SelectObject(&m_brBack);
    dc->SetTextColor(kLabelText);
    dc->SetBkMode(TRANSPARENT);
  } else {
    dc->SelectObject(&m_brBack);
    dc->SetBkColor(kFieldBack);
  }
  return static_cast<HBRUSH>(m_brBack.GetSafeHandle());
}

void CDlgOnlineUpdateAndRead::OnSize(UINT type, int cx, int cy) {
  CDialogEx::OnSize(type, cx, cy);
  LayoutControls();
}

void CDlgOnlineUpdateAndRead::OnDestroy() {
  if (m_dlgWrite.IsWindow()) m_dlgWrite.DestroyWindow();
  if (m_dlgRead.IsWindow()) m_dlgRead.DestroyWindow();
  CDialogEx::OnDestroy();
}
