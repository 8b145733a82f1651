#include "app/dlg_online_read.h"

#include "app/flash_limit.h"
#include "app/main_layout.h"
#include "app/page_colours.h"
#include "app/progress_text.h"
#include "app/request_checks.h"
#include "app/user_record.h"
#include "isp/engine.h"
#include "isp/progress.h"
#include "platform/win32/common_dialog/file_dialog.h"
#include "platform/win32/dialog/message_box.h"

namespace {

constexpr COLORREF kPageBack = 0xC3C3C3;
constexpr int kHexViewLeft = 640;
constexpr int kHexViewRight = 1190;

}  // namespace

IMPLEMENT_DYNAMIC(CDlgOnlineRead, CDialogEx)

BEGIN_MESSAGE_MAP(CDlgOnlineRead, CDialogEx)
  ON_WM_SIZE()
  ON_WM_DESTROY()
  ON_WM_CTLCOLOR()
  ON_BN_CLICKED(IDC_READ_READ, OnRead)
  ON_BN_CLICKED(IDC_READ_SAVE, OnSave)
  ON_MESSAGE(WM_ISP_PROGRESS, OnReadProgress)
  ON_BN_CLICKED(IDC_READ_CUSTOM_AREA, OnReadAreaChanged)
  ON_BN_CLICKED(IDC_READ_ALL_AREA, OnReadAreaChanged)
END_MESSAGE_MAP()

CDlgOnlineRead::CDlgOnlineRead() : CDialogEx(IDD) {}

CDlgOnlineRead::~CDlgOnlineRead() {
  // Normally gone with the window; joined before the members it uses go.
  m_reader.Stop(true, 5000);
  delete m_pHexView;
}

void CDlgOnlineRead::DoDataExchange(CDataExchange* pDX) {
  CDialogEx::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_READ_PROGRESS, m_progress);
  DDX_Control(pDX, IDC_READ_CUSTOM_AREA, m_rbCustomArea);
  DDX_Control(pDX, IDC_READ_ALL_AREA, m_rbAllArea);
  DDX_Control(pDX, IDC_READ_READ, m_btnRead);
  DDX_Control(pDX, IDC_READ_SAVE, m_btnSave);
  DDX_Control(pDX, IDC_READ_FROM, m_editFrom);
  DDX_Control(pDX, IDC_READ_TO, m_editTo);
  DDX_Control(pDX, IDC_PASSWORD, m_editPassword);
}

BOOL CDlgOnlineRead::OnInitDialog() {
  CDialogEx::OnInitDialog();
  m_brBack.CreateSolidBrush(kPageBack);
  m_btnRead.SetColorScheme();
  m_btnSave.SetColorScheme();
  m_progress.SetBarColor(0x3A3A3A);
  m_progress.SetBkColor(0xFF8080);
  m_progress.SetRange(0, 100);
  m_progress.SetTextColor(0xFFFFFF);
  if (m_pHexView == nullptr) {
    CRect client;
    GetClientRect(&client);
    m_pHexView = new CHexFileView();
    m_pHexView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE,
                       CRect(kHexViewLeft, 0, kHexViewRight, client.bottom - 5), this, IDC_READ_HEX_VIEW);
    m_pHexView->m_bDrawFrame = TRUE;
  }
  LoadReadOperateArea();
  CCommonInterface* backEnd = Engine().m_pInterface;
  const int show = backEnd != nullptr && backEnd->IsPasswordRequired() ? SW_SHOW : SW_HIDE;
  m_editPassword.ShowWindow(show);
  if (CWnd* group = GetDlgItem(IDC_PASSWORD_GROUP)) group->ShowWindow(show);
  if (show == SW_SHOW) m_editPassword.SetWindowText(kDefaultPasswordText);
  m_reader.Start(0, 0);
  return TRUE;
}

void CDlgOnlineRead::LoadReadOperateArea() {
  switch (CUserRecord().ReadOperateArea()) {
    case ReadArea::kCustom:
      m_rbAllArea.SetCheck(BST_UNCHECKED);
      m_rbCustomArea.SetCheck(BST_CHECKED);
      break;
    case ReadArea::kAll:
      m_rbAllArea.SetCheck(BST_CHECKED);
      m_rbCustomArea.SetCheck(BST_UNCHECKED);
      break;
    case ReadArea::kNone:
      break;
  }
}

void CDlgOnlineRead::OnReadAreaChanged() {
  if (m_rbAllArea.GetCheck() == BST_CHECKED) {
    CUserRecord().SetReadOperateArea(ReadArea::kAll);
  } else if (m_rbCustomArea.GetCheck() == BST_CHECKED) {
    CUserRecord().SetReadOperateArea(ReadArea::kCustom);
  }
}

void CDlgOnlineRead::OnRead() {
  // The reader's buffer and request stay its own until it has finished.
  if (m_reader.IsReading()) return;
  m_progress.SetWindowText("");
  m_progress.SetPos(0);
  CCommonInterface* backEnd = Engine().m_pInterface;
  if (backEnd == nullptr) return;
  const ReadArea area = m_rbAllArea.GetCheck() == BST_CHECKED      ? ReadArea::kAll
                        : m_rbCustomArea.GetCheck() == BST_CHECKED ? ReadArea::kCustom
                                                                   : ReadArea::kNone;
  CString from;
  CString to;
  CString password;
  m_editFrom.GetWindowText(from);
  m_editTo.GetWindowText(to);
  if (backEnd->IsPasswordRequired()) m_editPassword.GetWindowText(password);
  CReadRequest request;
  const ReadCheck check = CheckReadRequest(area, from, to, password, 1024LL * UsableFlashKB(*backEnd),
                                           ReadAddressLimit(), *backEnd, &request);
  if (check != ReadCheck::kOk) {
    AfxMessageBox(ReadCheckText(check), MB_OK);
    return;
  }
  m_reader.SetRequest(request);
}

void CDlgOnlineRead::SendProgress(WPARAM stage, LPARAM value) {
  ::SendMessage(m_hWnd, WM_ISP_PROGRESS, stage, value);
}

LRESULT CDlgOnlineRead::OnReadProgress(WPARAM code, LPARAM value) {
  if ((code & kProgressReadDataMask) == kProgressReadData) {
    // The code has room for 16 bits of length only: the whole read is the reader's.
    if (m_pHexView != nullptr) {
      m_pHexView->SetData(m_reader.Data(), m_reader.Size());
      m_bHasReadData = TRUE;
    }
    return 0;
  }
  CString text;
  int position = kPositionUnchanged;
  if (ReadProgressText(code, value, &text, &position)) ShowProgressText(m_progress, text, position);
  return 0;
}

void CDlgOnlineRead::OnSave() {
  CFileDialog dialog(FALSE, "bin", nullptr, OFN_OVERWRITEPROMPT, "BIN files (*.bin)|*.bin|", this);
  if (dialog.DoModal() != IDOK || m_pHexView == nullptr) return;
  // An empty view saves nothing and says nothing; a save that fails says so.
  if (!m_pHexView->SaveIfData(dialog.GetPathName()) && m_bHasReadData) MessageBox(" Fail to Save!", "Warn", MB_OK);
}

void CDlgOnlineRead::OnDestroy() {
  // A read stops at its next page; the reader is joined, never cut off.
  m_reader.Stop(true, 5000);
  if (m_brBack.GetSafeHandle() != nullptr) m_brBack.DeleteObject();
  delete m_pHexView;
  m_pHexView = nullptr;
  CDialogEx::OnDestroy();
}

HBRUSH CDlgOnlineRead::OnCtlColor(CDC* dc, CWnd* control, UINT kind) {
  CDialogEx::OnCtlColor(dc, control, kind);
  return PageCtlColor(*this, dc, kind, m_brBack);
}

void CDlgOnlineRead::OnSize(UINT type, int cx, int cy) {
  CDialogEx::OnSize(type, cx, cy);
  LayoutHexView();
}

void CDlgOnlineRead::LayoutHexView() {
  if (m_pHexView == nullptr || !m_progress.IsWindow()) return;
  CRect bar;
  m_progress.GetWindowRect(&bar);
  ScreenToClient(&bar);
  CRect client;
  GetClientRect(&client);
  const CRect r = ReadPageHexViewRect(bar.right, client.right, client.bottom);
  m_pHexView->MoveWindow(r.left, r.top, r.Width(), r.Height());
}
