// The framework's dialogs over the dialog manager, and data exchange.

#include "platform/win32/dialog/dialog_internal.h"
#include "platform/win32/standard/button.h"

using namespace qv::win32;

IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CDialogEx, CDialog)

CDialog::~CDialog() {
  // The window must not outlive the object its messages go to.
  if (m_hWnd) DestroyWindow();
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  if (m_hWnd) return FALSE;
  auto t = FindDialogTemplate(static_cast<int>(templateId));
  if (!t) return FALSE;
  m_nIDTemplate = templateId;
  if (parent) m_pParentWnd = parent;
  HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
  return CreateDialogFromTemplate(*t, owner, nullptr, 0, this) ? TRUE : FALSE;
}

INT_PTR CDialog::DoModal() {
  auto t = FindDialogTemplate(static_cast<int>(m_nIDTemplate));
  if (!t || m_hWnd) return -1;
  DialogTemplate popup = *t;
  // A modal dialog is shown by its loop, after its initialisation.
  popup.style &= ~(WS_CHILD | WS_VISIBLE);
  HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
  HWND dialog = CreateDialogFromTemplate(popup, owner, nullptr, 0, this);
  if (!dialog) return -1;
  const INT_PTR result = RunModalLoop(dialog);
  if (::IsWindow(dialog)) ::DestroyWindow(dialog);
  return result;
}

void CDialog::EndDialog(int result) { ::EndDialog(m_hWnd, result); }

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return dx.m_bFailed ? FALSE : TRUE;
}

void CDialog::NextDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
void CDialog::PrevDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
void CDialog::GotoDlgCtrl(CWnd* control) {
  if (control) ::SendMessage(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control->m_hWnd), TRUE);
}
void CDialog::SetDefID(UINT id) { ::SendMessage(m_hWnd, DM_SETDEFID, id, 0); }
DWORD CDialog::GetDefID() const { return static_cast<DWORD>(::SendMessage(m_hWnd, DM_GETDEFID, 0, 0)); }

BOOL CDialog::PreTranslateMessage(MSG* msg) {
  if (CWnd::PreTranslateMessage(msg)) return TRUE;
  if (!msg || msg->message < WM_KEYDOWN || msg->message > 0x0109 /* WM_KEYLAST */) return FALSE;
  return ::IsDialogMessage(m_hWnd, msg);
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) return OnInitDialog();
  if (msg == WM_COMMAND) {
    LRESULT result = 0;
    if (OnWndMsg(msg, wParam, lParam, &result)) return result;
    // Commands that the map does not take: OK and Cancel by the framework.
    const UINT code = HIWORD(static_cast<DWORD>(wParam));
    if (code == BN_CLICKED) {
      if (LOWORD(static_cast<DWORD>(wParam)) == IDOK) {
        OnOK();
        return 0;
      }
      if (LOWORD(static_cast<DWORD>(wParam)) == IDCANCEL) {
        OnCancel();
        return 0;
      }
    }
    return DefWindowProc(msg, wParam, lParam);
  }
  return CWnd::WindowProc(msg, wParam, lParam);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (!dx || !dx->m_pDlgWnd) return;
  if (control.m_hWnd) return;  // bound already
  HWND item = ::GetDlgItem(dx->m_pDlgWnd->m_hWnd, id);
  if (!item || !control.SubclassWindow(item)) dx->m_bFailed = TRUE;
}
