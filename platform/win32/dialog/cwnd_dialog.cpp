// The members of CWnd that belong to dialogs and controls: reflection,
// focus, fonts, dialog items, message boxes.

#include <vector>

#include "platform/win32/cwnd.h"
#include "platform/win32/dialog/dialog.h"
#include "platform/win32/dialog/message_box.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/menu/menu.h"
#include "platform/win32/window_object.h"

namespace {

// The control that a notification message comes from, nullptr for none.
HWND SenderOf(UINT msg, WPARAM, LPARAM lParam) {
  if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) return reinterpret_cast<HWND>(lParam);
  if (msg == WM_HSCROLL || msg == WM_VSCROLL) return reinterpret_cast<HWND>(lParam);
  if (msg == WM_DRAWITEM && lParam) return reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
  return nullptr;
}

}  // namespace

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  LRESULT r = 0;
  if (msg == WM_COMMAND) {
    // ON_CONTROL_REFLECT answers TRUE; ON_CONTROL_REFLECT_EX what its handler says.
    if (!OnWndMsg(WM_REFLECT_BASE + WM_COMMAND, wParam, lParam, &r) || !r) return FALSE;
    if (result) *result = 0;
    return TRUE;
  }
  if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) {
    AFX_CTLCOLOR cc{m_hWnd, reinterpret_cast<HDC>(wParam), msg - WM_CTLCOLORMSGBOX};
    // A null brush leaves the colours to the parent.
    if (!OnWndMsg(WM_REFLECT_BASE + WM_CTLCOLOR, 0, reinterpret_cast<LPARAM>(&cc), &r) || !r) return FALSE;
    if (result) *result = r;
    return TRUE;
  }
  if (msg == WM_DRAWITEM || msg == WM_MEASUREITEM || msg == WM_HSCROLL || msg == WM_VSCROLL) {
    if (!OnWndMsg(WM_REFLECT_BASE + msg, wParam, lParam, &r)) return FALSE;
    if (result) *result = r;
    return TRUE;
  }
  return FALSE;
}

BOOL CWnd::ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  HWND sender = SenderOf(msg, wParam, lParam);
  CWnd* child = sender ? FromHandlePermanent(sender) : nullptr;
  return child && child != this ? child->OnChildNotify(msg, wParam, lParam, result) : FALSE;
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* control, UINT) {
  LRESULT r = 0;
  if (control && FromHandlePermanent(control->m_hWnd) == control && control != this &&
      control->OnChildNotify(m_current.message, m_current.wParam, m_current.lParam, &r))
    return reinterpret_cast<HBRUSH>(r);
  return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT dis) {
  // A menu entry goes to the CMenu attached to its menu.
  if (qv::win32::DispatchMenuOwnerDraw(WM_DRAWITEM, reinterpret_cast<LPARAM>(dis))) return;
  LRESULT r = 0;
  CWnd* child = dis ? FromHandlePermanent(dis->hwndItem) : nullptr;
  if (child && child != this && child->OnChildNotify(m_current.message, m_current.wParam, m_current.lParam, &r)) return;
  Default();
}

CWnd* CWnd::GetTopLevelParent() const {
  HWND top = ::GetAncestor(m_hWnd, GA_ROOT);
  return top ? FromHandle(top) : nullptr;
}

CWnd* CWnd::SetFocus() {
  HWND old = ::SetFocus(m_hWnd);
  return old ? FromHandle(old) : nullptr;
}

CWnd* CWnd::GetFocus() {
  HWND focus = ::GetFocus();
  return focus ? FromHandle(focus) : nullptr;
}

void CWnd::SetFont(CFont* font, BOOL redraw) {
  ::SendMessage(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font->m_hObject : nullptr), redraw);
}

CFont* CWnd::GetFont() const {
  HFONT font = reinterpret_cast<HFONT>(::SendMessage(m_hWnd, WM_GETFONT, 0, 0));
  return font ? CFont::FromHandle(font) : nullptr;
}

void CWnd::SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }

int CWnd::GetDlgItemText(int id, char* buffer, int size) const {
  return static_cast<int>(::GetDlgItemTextA(m_hWnd, id, buffer, size));
}

int CWnd::GetDlgItemText(int id, CString& text) const {
  HWND item = ::GetDlgItem(m_hWnd, id);
  if (!item) {
    text.Empty();
    return 0;
  }
  FromHandle(item)->GetWindowText(text);
  return text.GetLength();
}

void CWnd::SetDlgItemInt(int id, UINT value, BOOL isSigned) { ::SetDlgItemInt(m_hWnd, id, value, isSigned); }

UINT CWnd::GetDlgItemInt(int id, BOOL* translated, BOOL isSigned) const {
  return ::GetDlgItemInt(m_hWnd, id, translated, isSigned);
}

void CWnd::CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }

UINT CWnd::IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }

void CWnd::CheckRadioButton(int firstId, int lastId, int checkId) {
  ::CheckRadioButton(m_hWnd, firstId, lastId, checkId);
}

LRESULT CWnd::SendDlgItemMessage(int id, UINT msg, WPARAM wParam, LPARAM lParam) const {
  return ::SendDlgItemMessageA(m_hWnd, id, msg, wParam, lParam);
}

CWnd* CWnd::GetNextDlgTabItem(CWnd* control, BOOL previous) const {
  HWND next = ::GetNextDlgTabItem(m_hWnd, control ? control->m_hWnd : nullptr, previous);
  return next ? FromHandle(next) : nullptr;
}

CWnd* CWnd::GetNextDlgGroupItem(CWnd* control, BOOL previous) const {
  HWND next = ::GetNextDlgGroupItem(m_hWnd, control ? control->m_hWnd : nullptr, previous);
  return next ? FromHandle(next) : nullptr;
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
  return ::MessageBoxA(m_hWnd, text, caption ? caption : AfxGetAppName(), type);
}
