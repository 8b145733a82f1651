#include "app/dlg_online_update.h"

#include "app/main_layout.h"
#include "app/page_colours.h"
#include "app/progress_text.h"
#include "app/request_checks.h"
#include "app/user_record.h"
#include "app/write_image.h"
#include "isp/com_base.h"
#include "isp/engine.h"
#include "isp/job_image.h"
#include "isp/progress.h"
#include "platform/win32/common_dialog/file_dialog.h"
#include "platform/win32/dialog/message_box.h"

namespace {

constexpr COLORREF kPageBack = 0xC3C3C3;
constexpr int kTabStripId = 1999;
constexpr int kAppBinViewId = 2001;
constexpr int kFromChipViewId = 2002;
constexpr int kViewLeft = 640;
constexpr int kViewTop = 20;

}  // namespace

IMPLEMENT_DYNAMIC(CDlgOnlineUpdate, CDialog)

BEGIN_MESSAGE_MAP(CDlgOnlineUpdate, CDialog)
  ON_BN_CLICKED(IDC_WRITE_BROWSE, OnBrowse)
  ON_WM_CTLCOLOR()
  ON_BN_CLICKED(IDC_WRITE_WRITE, OnWrite)
  ON_WM_SIZE()
  ON_MESSAGE(WM_ISP_PROGRESS, OnUpdateProgress)
  ON_BN_CLICKED(IDC_WRITE_ERASE, OnEraseCheck)
  ON_BN_CLICKED(IDC_WRITE_SAVE, OnSave)
  ON_BN_CLICKED(IDC_WRITE_VERIFY, OnVerifyCheck)
  ON_BN_CLICKED(IDC_WRITE_CLEAR, OnClear)
  ON_BN_CLICKED(IDC_WRITE_RTS_HIGH, OnRtsHigh)
END_MESSAGE_MAP()

CDlgOnlineUpdate::CDlgOnlineUpdate() : CDialog(IDD) {}

CDlgOnlineUpdate::~CDlgOnlineUpdate() {
  // Normally gone in DestroyWindow; a page that never had a window still stops its worker.
  delete m_pUpdateThread;
  delete m_pAppBinView;
  delete m_pFromChipView;
}

void CDlgOnlineUpdate::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_WRITE_BROWSE, m_btnBrowse);
  DDX_Control(pDX, IDC_WRITE_WRITE, m_btnWrite);
  DDX_Control(pDX, IDC_WRITE_CLEAR, m_btnClear);
  DDX_Control(pDX, IDC_WRITE_BYTE_SUM, m_editByteSum);
  DDX_Control(pDX, IDC_WRITE_PATH, m_editPath);
  DDX_Control(pDX, IDC_WRITE_LENGTH, m_editLength);
  DDX_Control(pDX, IDC_WRITE_PROGRESS, m_progress);
  DDX_Control(pDX, IDC_WRITE_ERASE, m_chkErase);
  DDX_Control(pDX, IDC_WRITE_VERIFY, m_chkVerify);
  DDX_Control(pDX, IDC_WRITE_WRITE_BOX, m_chkWrite);
  DDX_Control(pDX, IDC_WRITE_SAVE, m_btnSave);
  DDX_Control(pDX, IDC_WRITE_ADDRESS, m_editAddress);
  DDX_Control(pDX, IDC_WRITE_UPDATE_PART, m_chkUpdatePart);
  DDX_Control(pDX, IDC_PASSWORD, m_editPassword);
}

BOOL CDlgOnlineUpdate::OnInitDialog() {
  CDialog::OnInitDialog();
  m_brBack.CreateSolidBrush(kPageBack);
  m_btnBrowse.SetColorScheme();
  m_btnWrite.SetColorScheme();
  m_btnSave.SetColorScheme();
  m_btnClear.SetColorScheme();
  m_editByteSum.SetTextColor(0xFFFFFF);
  m_editByteSum.SetBoldFont(15);
  m_editPath.SetTextColor(0xFFFFFF);
  m_editPath.SetBoldFont(15);
  m_editLength.SetTextColor(0xFFFFFF);
  m_editLength.SetBoldFont(12);
  m_progress.SetBarColor(0x3A3A3A);
  m_progress.SetBkColor(0xFF8080);
  m_progress.SetTextColor(0xFFFFFF);
  m_progress.SetRange(0, 100);
  m_chkWrite.SetCheck(BST_CHECKED);
  m_editAddress.SetWindowText("0");
  CreateHexViews();
  LoadUserRecord();
  UpdateOptionalControls();
  m_pUpdateThread = new COnlineUpdateThread(this);
  m_pUpdateThread->Start(0, 0);
  return TRUE;
}

void CDlgOnlineUpdate::CreateHexViews() {
  CRect client;
  GetClientRect(&client);
  m_tabStrip.m_nPosition = 1;
  if (!m_tabStrip.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE,
                         CRect(client.left, client.top + 40, client.right, client.bottom - 30), this, kTabStripId)) {
    return;
  }
  const CRect viewRect(kViewLeft, kViewTop, client.right, client.bottom - 5);
  if (m_pAppBinView == nullptr) {
    m_pAppBinView = new CHexFileView();
    m_pAppBinView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, viewRect, this, kAppBinViewId);
    m_tabStrip.AddTab(m_pAppBinView, "App Bin File");
  }
  if (Engine().m_nInterface == 1 && m_pFromChipView == nullptr) {
    m_pFromChipView = new CHexFileView();
    m_pFromChipView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, viewRect, this, kFromChipViewId);
    m_tabStrip.AddTab(m_pFromChipView, "From Chip");
  }
}

void CDlgOnlineUpdate::LoadUserRecord() {
  const CUserRecord record;
  if (const std::optional<BOOL> erase = record.Erase()) m_chkErase.SetCheck(*erase ? BST_CHECKED : BST_UNCHECKED);
  if (const std::optional<BOOL> verify = record.VerifyBin()) {
    m_chkVerify.SetCheck(*verify ? BST_CHECKED : BST_UNCHECKED);
  }
  const CString path = record.BinPath();
  if (!path.IsEmpty()) LoadImageFile(path);
}

void CDlgOnlineUpdate::ShowControl(int id, int show) {
  if (CWnd* control = GetDlgItem(id)) control->ShowWindow(show);
}

void CDlgOnlineUpdate::UpdateOptionalControls() {
  CCommonInterface* backEnd = Engine().m_pInterface;
  const bool password = backEnd != nullptr && backEnd->IsPasswordRequired();
  ShowControl(IDC_PASSWORD, password ? SW_SHOW : SW_HIDE);
  ShowControl(IDC_PASSWORD_GROUP, password ? SW_SHOW : SW_HIDE);
  if (password) m_editPassword.SetWindowText(kDefaultPasswordText);
  const int address = backEnd != nullptr && backEnd->IsWriteAddressSupported() ? SW_SHOW : SW_HIDE;
  for (int id : {IDC_WRITE_ADDRESS, IDC_WRITE_UPDATE_PART, IDC_WRITE_ADDRESS_GROUP, IDC_WRITE_ADDRESS_LABEL}) {
    ShowControl(id, address);
  }
}

BOOL CDlgOnlineUpdate::LoadImageFile(const CString& path) {
  CCommonInterface* backEnd = Engine().m_pInterface;
  if (backEnd == nullptr) return FALSE;
  CImageFile file = ::LoadImageFile(path, *backEnd);
  if (file.result == CImageFile::kTooLarge) {
    MessageBox(FileTooLargeText(file.limitKB), "Warning", MB_OK);
    return FALSE;
  }
  if (file.result != CImageFile::kLoaded) return FALSE;
  CString text;
  text.Format("%d", static_cast<int>(file.fileLength));
  m_editLength.SetWindowText(text);
  if (m_pAppBinView != nullptr) m_pAppBinView->SetData(file.image.data(), static_cast<int>(file.image.size()));
  m_editPath.SetWindowText(path);
  text.Format("%02X", file.byteSum);
  m_editByteSum.SetWindowText(text);
  m_strLoadedPath = path;
  m_bImageLoaded.store(TRUE, std::memory_order_release);
  return TRUE;
}

void CDlgOnlineUpdate::OnBrowse() {
  CFileDialog dialog(TRUE, "bin&&hex", nullptr, OFN_OVERWRITEPROMPT,
                     "Bin&&Hex (*.bin;*.hex)|*.bin;*.hex|BIN files (*.bin)|*.bin|Hex files (*.hex)|*.hex|", this);
  if (dialog.DoModal() != IDOK) return;
  if (LoadImageFile(dialog.GetPathName())) CUserRecord().SetBinPath(dialog.GetPathName());
}

void CDlgOnlineUpdate::OnWrite() {
  // A write and a read never share the back end.
  if (m_readerBusy && m_readerBusy()) return;
  CString path;
  m_editPath.GetWindowText(path);
  m_progress.SetWindowText("");
  m_progress.SetPos(0);
  if (!IsImageLoaded()) return;
  // The job writes the file that was checked: an edited path is loaded (and checked) first.
  if (path != m_strLoadedPath && !LoadImageFile(path)) return;
  CCommonInterface* backEnd = Engine().m_pInterface;
  if (backEnd == nullptr || m_pUpdateThread == nullptr) return;
  const BOOL erase = m_chkErase.GetCheck() == BST_CHECKED ? TRUE : FALSE;
  CString address;
  CString password;
  m_editAddress.GetWindowText(address);
  m_editPassword.GetWindowText(password);
  CWriteRequest request;
  WriteCheck check = CheckWriteRequest(m_chkUpdatePart.GetCheck() == BST_CHECKED ? TRUE : FALSE, address, password,
                                       *backEnd, &request);
  // Pages beyond the back end's addresses would wrap onto the start of the
  // flash; the job would refuse them, but only into the run log. (A file
  // gone meanwhile is the job setter's to refuse.)
  const long long length = ImageFileLength(path);
  const long long imageSize = length - backEnd->GetFileHeaderSize() - backEnd->GetFileTrailerSize();
  if (check == WriteCheck::kOk && length >= 0 &&
      !ImageFitsAddressSpace(request.start, imageSize, backEnd->GetPageSize(), WriteJobAddressLimit())) {
    check = WriteCheck::kImageDoesNotFit;
  }
  if (check == WriteCheck::kBadPassword) {
    AfxMessageBox(WriteCheckText(check, backEnd->GetPageSize()), MB_OK);
    return;
  }
  if (check != WriteCheck::kOk) {
    MessageBox(WriteCheckText(check, backEnd->GetPageSize()), WriteCheckCaption(check), MB_OK);
    return;
  }
  EnableWindow(FALSE);
  if (!m_pUpdateThread->SetJob(path, request.start, erase, request.password)) EnableWindow(TRUE);
}

LRESULT CDlgOnlineUpdate::OnUpdateProgress(WPARAM wParam, LPARAM lParam) {
  if ((wParam & kProgressReadDataMask) == kProgressReadData) {
    if (m_pFromChipView != nullptr) {
      m_pFromChipView->SetData(reinterpret_cast<const BYTE*>(lParam), static_cast<int>(wParam & 0xFFFF));
    }
    return 0;
  }
  CString text;
  int position = kPositionUnchanged;
  if (ProgramProgressText(wParam, lParam, &text, &position)) ShowProgressText(m_progress, text, position);
  return 0;
}

void CDlgOnlineUpdate::OnClear() {
  m_editPath.SetWindowText("");
  m_editByteSum.SetWindowText("");
  m_editLength.SetWindowText("");
  if (m_pAppBinView != nullptr) m_pAppBinView->ClearData();
  if (m_pFromChipView != nullptr) m_pFromChipView->ClearData();
  m_strLoadedPath.Empty();
  m_bImageLoaded.store(FALSE, std::memory_order_release);
}

void CDlgOnlineUpdate::OnSave() {
  if (m_pFromChipView == nullptr) return;
  CFileDialog dialog(FALSE, "bin", nullptr, OFN_OVERWRITEPROMPT, "BIN files (*.bin)|*.bin||", this);
  if (dialog.DoModal() != IDOK) return;
  if (!m_pFromChipView->SaveToFile(dialog.GetPathName())) MessageBox(" Fail to Save!", "Warn", MB_OK);
}

void CDlgOnlineUpdate::OnEraseCheck() { CUserRecord().SetErase(m_chkErase.GetCheck() == BST_CHECKED); }

void CDlgOnlineUpdate::OnVerifyCheck() { CUserRecord().SetVerifyBin(m_chkVerify.GetCheck() == BST_CHECKED); }

void CDlgOnlineUpdate::OnRtsHigh() {
  CEngineContext& engine = Engine();
  if (engine.m_nInterface != 0 || engine.m_pCOMBase == nullptr) return;
  engine.m_pCOMBase->Init(engine.m_nComPort, engine.m_nBaudRate, engine.m_nComPort, TRUE);
  engine.m_pCOMBase->SetRts(TRUE);
}

void CDlgOnlineUpdate::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  if (!m_btnWrite.IsWindow() || !m_tabStrip.IsWindow()) return;
  CRect button;
  m_btnWrite.GetWindowRect(&button);
  ScreenToClient(&button);
  CRect client;
  GetClientRect(&client);
  const CRect r = WritePageTabStripRect(button.right, client.Width(), client.Height());
  m_tabStrip.MoveWindow(r.left, r.top, r.Width(), r.Height(), TRUE);
}

HBRUSH CDlgOnlineUpdate::OnCtlColor(CDC* dc, CWnd* control, UINT kind) {
  CDialog::OnCtlColor(dc, control, kind);
  return PageCtlColor(*this, dc, kind, m_brBack);
}

void CDlgOnlineUpdate::PostProgress(WPARAM stage, LPARAM value) { ::PostMessage(m_hWnd, WM_ISP_PROGRESS, stage, value); }

void CDlgOnlineUpdate::EnableOwner() { ::EnableWindow(m_hWnd, TRUE); }

void CDlgOnlineUpdate::RepaintViews() {
  if (m_pFromChipView != nullptr) ::InvalidateRect(m_pFromChipView->m_hWnd, nullptr, TRUE);
  if (m_pAppBinView != nullptr) ::InvalidateRect(m_pAppBinView->m_hWnd, nullptr, TRUE);
}

BOOL CDlgOnlineUpdate::DestroyWindow() {
  if (m_pUpdateThread != nullptr) {
    // A running job stops at its next page; the worker is joined, never cut off.
    SetEvent(m_pUpdateThread->GetQuitEvent());
    m_pUpdateThread->Stop(true, 2000);
    delete m_pUpdateThread;
    m_pUpdateThread = nullptr;
  }
  if (m_brBack.GetSafeHandle() != nullptr) m_brBack.DeleteObject();
  delete m_pAppBinView;
  m_pAppBinView = nullptr;
  delete m_pFromChipView;
  m_pFromChipView = nullptr;
  if (m_tabStrip.IsWindow()) m_tabStrip.DestroyWindow();
  return CDialog::DestroyWindow();
}
