// Bodies still to come; they compile so that the interface can be built on.

#include "platform/win32/dialog/dialog.h"
#include "platform/win32/dialog/message_box.h"
#include "platform/win32/keyboard.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/standard/combo_box.h"
#include "platform/win32/standard/edit.h"
#include "platform/win32/standard/list_box.h"
#include "platform/win32/standard/static.h"

HWND CreateDialogParamA(int, HWND, DLGPROC, LPARAM) { return nullptr; }
INT_PTR DialogBoxParamA(int, HWND, DLGPROC, LPARAM) { return -1; }
BOOL EndDialog(HWND, INT_PTR) { return FALSE; }
LRESULT DefDlgProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProc(h, m, w, l); }
BOOL IsDialogMessage(HWND, MSG*) { return FALSE; }
BOOL MapDialogRect(HWND, RECT*) { return FALSE; }
SIZE GetDialogBaseUnitsOf(HFONT) { return SIZE{6, 13}; }
HWND GetNextDlgTabItem(HWND, HWND, BOOL) { return nullptr; }
HWND GetNextDlgGroupItem(HWND, HWND, BOOL) { return nullptr; }
BOOL SetDlgItemTextA(HWND d, int id, const char* t) { return SetWindowTextA(GetDlgItem(d, id), t); }
UINT GetDlgItemTextA(HWND d, int id, char* b, int n) { return static_cast<UINT>(GetWindowTextA(GetDlgItem(d, id), b, n)); }
BOOL SetDlgItemInt(HWND, int, UINT, BOOL) { return FALSE; }
UINT GetDlgItemInt(HWND, int, BOOL*, BOOL) { return 0; }
LRESULT SendDlgItemMessageA(HWND d, int id, UINT m, WPARAM w, LPARAM l) { return SendMessage(GetDlgItem(d, id), m, w, l); }
BOOL CheckDlgButton(HWND, int, UINT) { return FALSE; }
UINT IsDlgButtonChecked(HWND, int) { return 0; }
BOOL CheckRadioButton(HWND, int, int, int) { return FALSE; }

void DDX_Control(CDataExchange*, int, CWnd&) {}
void DDX_Text(CDataExchange*, int, CString&) {}
void DDX_Check(CDataExchange*, int, int&) {}
void DDX_Radio(CDataExchange*, int, int&) {}
void DDX_CBIndex(CDataExchange*, int, int&) {}
void DDX_LBIndex(CDataExchange*, int, int&) {}

IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CDialogEx, CDialog)
CDialog::~CDialog() = default;
BOOL CDialog::Create(UINT, CWnd*) { return FALSE; }
INT_PTR CDialog::DoModal() { return -1; }
void CDialog::EndDialog(int) {}
BOOL CDialog::OnInitDialog() { return TRUE; }
void CDialog::OnOK() {}
void CDialog::OnCancel() {}
BOOL CDialog::UpdateData(BOOL) { return TRUE; }
void CDialog::NextDlgCtrl() const {}
void CDialog::PrevDlgCtrl() const {}
void CDialog::GotoDlgCtrl(CWnd*) {}
void CDialog::SetDefID(UINT) {}
DWORD CDialog::GetDefID() const { return 0; }
BOOL CDialog::PreTranslateMessage(MSG*) { return FALSE; }
LRESULT CDialog::WindowProc(UINT m, WPARAM w, LPARAM l) { return CWnd::WindowProc(m, w, l); }

int MessageBoxA(HWND, const char*, const char*, UINT) { return IDOK; }
int AfxMessageBox(const char*, UINT, UINT) { return IDOK; }
int AfxMessageBox(UINT, UINT, UINT) { return IDOK; }
void AfxSetAppName(const char*) {}
void qv::SetMessageBoxHook(MessageBoxHook) {}

HWND SetFocus(HWND) { return nullptr; }
HWND GetFocus() { return nullptr; }
HWND GetActiveWindow() { return nullptr; }
short GetKeyState(int) { return 0; }
void qv::PressKey(UINT, int, const char*) {}

IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
BOOL CButton::Create(const char*, DWORD, const RECT&, CWnd*, UINT) { return FALSE; }
BOOL CButton::OnChildNotify(UINT m, WPARAM w, LPARAM l, LRESULT* r) { return CWnd::OnChildNotify(m, w, l, r); }
BOOL CStatic::Create(const char*, DWORD, const RECT&, CWnd*, UINT) { return FALSE; }
BOOL CEdit::Create(DWORD, const RECT&, CWnd*, UINT) { return FALSE; }
BOOL CListBox::Create(DWORD, const RECT&, CWnd*, UINT) { return FALSE; }
void CListBox::GetText(int, CString&) const {}
BOOL CComboBox::Create(DWORD, const RECT&, CWnd*, UINT) { return FALSE; }
void CComboBox::GetLBText(int, CString&) const {}

CWnd* CWnd::GetTopLevelParent() const { return nullptr; }
CWnd* CWnd::SetFocus() { return nullptr; }
CWnd* CWnd::GetFocus() { return nullptr; }
void CWnd::SetFont(CFont*, BOOL) {}
CFont* CWnd::GetFont() const { return nullptr; }
void CWnd::SetDlgItemText(int, const char*) {}
int CWnd::GetDlgItemText(int, char*, int) const { return 0; }
int CWnd::GetDlgItemText(int, CString&) const { return 0; }
void CWnd::SetDlgItemInt(int, UINT, BOOL) {}
UINT CWnd::GetDlgItemInt(int, BOOL*, BOOL) const { return 0; }
void CWnd::CheckDlgButton(int, UINT) {}
UINT CWnd::IsDlgButtonChecked(int) const { return 0; }
void CWnd::CheckRadioButton(int, int, int) {}
LRESULT CWnd::SendDlgItemMessage(int, UINT, WPARAM, LPARAM) const { return 0; }
CWnd* CWnd::GetNextDlgTabItem(CWnd*, BOOL) const { return nullptr; }
CWnd* CWnd::GetNextDlgGroupItem(CWnd*, BOOL) const { return nullptr; }
int CWnd::MessageBox(const char*, const char*, UINT) { return IDOK; }
BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }
BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }
BOOL CWnd::SendChildNotifyLastMsg(LRESULT*) { return FALSE; }
BOOL CWnd::ReflectLastMsg(HWND, LRESULT*) { return FALSE; }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
