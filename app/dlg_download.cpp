#include "app/dlg_download.h"

#include "app/progress_text.h"
#include "isp/progress.h"
#include "platform/core/file.h"
#include "res/app_ids.h"

BEGIN_MESSAGE_MAP(CDlgDownload, CDialogEx)
  ON_WM_DESTROY()
  ON_MESSAGE(WM_ISP_PROGRESS, OnUpdateProgress)
  ON_BN_CLICKED(IDC_DOWNLOAD_CLOSE, OnCloseButton)
END_MESSAGE_MAP()

CDlgDownload::CDlgDownload(const CString& icType, const CString& imagePath, u32 startAddress,
                           u32 baudRate, u32 skip, u32 password, CWnd* parent)
    : CDialogEx(IDD, parent),
      m_strImagePath(imagePath),
      m_nBaudRate(baudRate),
      m_nStartAddress(startAddress),
      m_nSkip(skip),
      m_nPassword(password),
      m_strIcType(icType) {}

CDlgDownload::~CDlgDownload() = default;

void CDlgDownload::DoDataExchange(CDataExchange* pDX) {
  CDialogEx::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_DOWNLOAD_NAME, m_stcName);
  DDX_Control(pDX, IDC_DOWNLOAD_SIZE, m_stcSize);
  DDX_Control(pDX, IDC_DOWNLOAD_PROGRESS, m_progress);
  DDX_Control(pDX, IDC_DOWNLOAD_CLOSE, m_btnClose);
}

BOOL CDlgDownload::OnInitDialog() {
  CDialogEx::OnInitDialog();
  m_stcName.SetWindowText("Name: " + m_strImagePath);
  CFile file;
  if (file.Open(m_strImagePath, CFile::modeRead)) {
    CString size;
    size.Format("Size: %d", static_cast<int>(static_cast<u32>(file.GetLength())));
    m_stcSize.SetWindowText(size);
    file.Close();
  }
  m_pUpdateThread = new COnlineComUpdateThread(this);
  m_pUpdateThread->Start(0, 0);
  m_pUpdateThread->SetJob(m_strIcType, m_strImagePath, COnlineComUpdateThread::kModeWholeFile,
                          m_nStartAddress, 0, m_nBaudRate, m_nSkip, m_nPassword);
  return TRUE;
}

BOOL CDlgDownload::IsJobRunning() const {
  return m_pUpdateThread != nullptr && m_pUpdateThread->GetJobFlag() != 0;
}

void CDlgDownload::OnOK() {
  if (!IsJobRunning()) CDialogEx::OnOK();
}

void CDlgDownload::OnCancel() {
  if (!IsJobRunning()) CDialogEx::OnCancel();
}

void CDlgDownload::OnCloseButton() { CDialogEx::OnOK(); }

void CDlgDownload::OnDestroy() {
  if (m_pUpdateThread != nullptr) {
    // A running job stops at its next page; the worker is joined, never cut off.
    SetEvent(m_pUpdateThread->GetQuitEvent());
    m_pUpdateThread->Stop(true, 2000);
    delete m_pUpdateThread;
    m_pUpdateThread = nullptr;
  }
  CDialogEx::OnDestroy();
}

void CDlgDownload::PostProgress(WPARAM stage, LPARAM value) { PostMessage(WM_ISP_PROGRESS, stage, value); }

void CDlgDownload::EnableOwner() { ::EnableWindow(m_hWnd, TRUE); }

void CDlgDownload::ShowCloseButton() { ::ShowWindow(m_btnClose.m_hWnd, SW_SHOWNORMAL); }

LRESULT CDlgDownload::OnUpdateProgress(WPARAM wParam, LPARAM lParam) {
  CString text;
  int position = kPositionUnchanged;
  if (ProgramProgressText(wParam, lParam, &text, &position)) ShowProgressText(m_progress, text, position);
  return 0;
}
