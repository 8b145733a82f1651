#include "platform/win32/tooltip/tooltip.h"

namespace qv::win32 {
void RegisterToolTipClass() {}
}  // namespace qv::win32

BOOL CToolTipCtrl::Create(CWnd*, DWORD) { return FALSE; }
BOOL CToolTipCtrl::AddTool(CWnd*, LPCSTR, const RECT*, UINT_PTR) { return FALSE; }
void CToolTipCtrl::DelTool(CWnd*, UINT_PTR) {}
void CToolTipCtrl::UpdateTipText(LPCSTR, CWnd*, UINT_PTR) {}
void CToolTipCtrl::GetText(CString& text, CWnd*, UINT_PTR) const { text.Empty(); }
