#include "controls/edit_ex.h"

#include <cstring>
#include <new>

#include "platform/win32/menu/menu.h"
#include "platform/win32/system/system.h"

IMPLEMENT_DYNAMIC(CEditEx, CEdit)

BEGIN_MESSAGE_MAP(CEditEx, CEdit)
  ON_WM_CHAR()
  ON_WM_CONTEXTMENU()
  ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

CEditEx::CEditEx() : m_crBk(::GetSysColor(COLOR_WINDOW)), m_crText(::GetSysColor(COLOR_WINDOWTEXT)) {
  m_brBk.CreateSolidBrush(m_crBk);
}

CEditEx::~CEditEx() {
  delete m_pBoldFont;
  m_brBk.DeleteObject();
  DestroyWindow();
}

CEditEx* CEditEx::CreateObject() { return new (std::nothrow) CEditEx; }

void CEditEx::RecreateBkBrush() {
  m_brBk.DeleteObject();
  m_brBk.CreateSolidBrush(m_crBk);
}

void CEditEx::SetBoldFont(int height, int, int, int) {
  delete m_pBoldFont;
  m_pBoldFont = new CFont;
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = FW_BOLD;
  std::strcpy(lf.lfFaceName, "MS Sans Serif");
  m_pBoldFont->CreateFontIndirect(&lf);
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_pBoldFont->GetSafeHandle()), TRUE);
}

void CEditEx::OnChar(UINT ch, UINT, UINT) {
  if (m_pValidator && !m_pValidator->Accept(ch)) {
    ::MessageBeep(0);
    return;
  }
  Default();
}

void CEditEx::OnContextMenu(CWnd*, CPoint point) {
  if (m_nContextMenuId == 0) {
    Default();
    return;
  }
  CMenu menu;
  if (!menu.LoadMenu(m_nContextMenuId)) {
    Default();
    return;
  }
  if (CMenu* popup = menu.GetSubMenu(0)) popup->TrackPopupMenu(TPM_RIGHTBUTTON, point.x, point.y, this);
  menu.DestroyMenu();
}

HBRUSH CEditEx::CtlColor(CDC* dc, UINT) {
  dc->SetTextColor(m_crText);
  dc->SetBkColor(m_crBk);
  return static_cast<HBRUSH>(m_brBk.GetSafeHandle());
}
