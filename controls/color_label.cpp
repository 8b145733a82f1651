#include "controls/color_label.h"

#include <cstring>

#include "platform/win32/input/mouse.h"
#include "platform/win32/system/system.h"
#include "platform/win32/window_state_messages.h"
#include "platform/win32/window_tree.h"

namespace {

constexpr UINT_PTR kFlashTimer = 1;
constexpr UINT kFlashMs = 500;

COLORREF BrushColour(HBRUSH brush) {
  LOGBRUSH lb{};
  ::GetObject(brush, sizeof(lb), &lb);
  return lb.lbColor;
}

}  // namespace

BEGIN_MESSAGE_MAP(CColorLabel, CStatic)
  ON_WM_TIMER()
  ON_WM_LBUTTONDOWN()
  ON_WM_SETCURSOR()
  ON_WM_SYSCOLORCHANGE()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CColorLabel::CColorLabel()
    : m_crText(::GetSysColor(COLOR_WINDOWTEXT)), m_hDefaultBrush(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE))) {
  ::GetObject(::GetStockObject(DEFAULT_GUI_FONT), sizeof(m_lf), &m_lf);
  m_font.CreateFontIndirect(&m_lf);
}

CColorLabel::~CColorLabel() {
  m_font.DeleteObject();
  ::DeleteObject(m_hDefaultBrush);
  if (m_hBackBrush) ::DeleteObject(m_hBackBrush);
  DestroyWindow();
}

void CColorLabel::RecreateFont() {
  m_font.DeleteObject();
  m_font.CreateFontIndirect(&m_lf);
}

void CColorLabel::Redraw() { RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

// ---------------------------------------------------------------- setters

CColorLabel& CColorLabel::SetBkColor(COLORREF colour) {
  if (m_hBackBrush) ::DeleteObject(m_hBackBrush);
  m_hBackBrush = ::CreateSolidBrush(colour);
  InvalidateRect(nullptr, FALSE);
  return *this;
}

CColorLabel& CColorLabel::SetTextColor(COLORREF colour) {
  m_crText = colour;
  Redraw();
  return *this;
}

CColorLabel& CColorLabel::SetText(const CString& text) {
  SetWindowText(text);
  return *this;
}

CColorLabel& CColorLabel::SetFontBold(BOOL bold) {
  m_lf.lfWeight = bold ? 956 : 400;
  RecreateFont();
  Redraw();
  return *this;
}

CColorLabel& CColorLabel::SetFontName(const CString& face) {
  // The face field holds 31 bytes and the terminator; a longer name is cut.
  const size_t n = std::min(static_cast<size_t>(face.GetLength()), sizeof(m_lf.lfFaceName) - 1);
  std::memcpy(m_lf.lfFaceName, face.GetString(), n);
  m_lf.lfFaceName[n] = '\0';
  RecreateFont();
  Redraw();
  return *this;
}

CColorLabel& CColorLabel::SetFontUnderline(BOOL underline) {
  m_lf.lfUnderline = static_cast<BYTE>(underline);
  RecreateFont();
  Redraw();
  return *this;
}

CColorLabel& CColorLabel::SetFontItalic(BOOL italic) {
  m_lf.lfItalic = static_cast<BYTE>(italic);
  RecreateFont();
  Redraw();
  return *this;
}

CColorLabel& CColorLabel::SetFontSize(int points) {
  CFont sized;
  sized.CreatePointFont(points * 10, m_lf.lfFaceName, nullptr);
  LOGFONTA lf{};
  sized.GetLogFont(&lf);
  m_lf.lfHeight = lf.lfHeight;
  m_lf.lfWidth = lf.lfWidth;
  RecreateFont();
  Redraw();
  return *this;
}

CColorLabel& CColorLabel::SetSunken(BOOL sunken) {
  if (sunken)
    ModifyStyleEx(0, WS_EX_STATICEDGE, SWP_FRAMECHANGED);
  else
    ModifyStyleEx(WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);
  return *this;
}

CColorLabel& CColorLabel::SetBorder(BOOL border) {
  if (border)
    ModifyStyle(0, WS_BORDER, SWP_FRAMECHANGED);
  else
    ModifyStyle(WS_BORDER, 0, SWP_FRAMECHANGED);
  return *this;
}

CColorLabel& CColorLabel::SetTransparent(BOOL transparent) {
  m_bTransparent = transparent;
  // The window style stays transparent whatever the flag.
  ModifyStyleEx(0, WS_EX_TRANSPARENT, 0);
  InvalidateRect(nullptr, FALSE);
  UpdateWindow();
  return *this;
}

void CColorLabel::StopFlashTimer() {
  if (m_bTimerStarted) KillTimer(kFlashTimer);
}

CColorLabel& CColorLabel::Flash(BOOL on, int mode) {
  StopFlashTimer();
  if (!on) {
    m_nFlashMode = 0;
    return *this;
  }
  m_bFlashPhase = FALSE;
  SetTimer(kFlashTimer, kFlashMs, nullptr);
  m_bTimerStarted = TRUE;
  m_nFlashMode = mode;
  return *this;
}

CColorLabel& CColorLabel::FlashText(BOOL flash) { return Flash(flash, 1); }

CColorLabel& CColorLabel::FlashBackground(BOOL flash) { return Flash(flash, 2); }

CColorLabel& CColorLabel::SetLink(BOOL link, BOOL openOnClick) {
  m_bOpenOnClick = openOnClick;
  if (link)
    ModifyStyle(0, SS_NOTIFY, 0);
  else
    ModifyStyle(SS_NOTIFY, 0, 0);
  return *this;
}

CColorLabel& CColorLabel::SetLinkCursor(HCURSOR cursor) {
  m_hLinkCursor = cursor;
  return *this;
}

CColorLabel& CColorLabel::SetText3D(BOOL on, BOOL direction) {
  m_bText3D = on;
  m_b3DDirection = direction;
  Redraw();
  return *this;
}

CColorLabel& CColorLabel::SetRotation(int degrees, BOOL rotate) {
  m_lf.lfEscapement = m_lf.lfOrientation = degrees * 10;
  m_bRotate = rotate;
  RecreateFont();
  Redraw();
  return *this;
}

CColorLabel& CColorLabel::SetText3DColor(COLORREF colour) {
  m_cr3DText = colour;
  Redraw();
  return *this;
}

// ---------------------------------------------------------------- messages

void CColorLabel::OnTimer(UINT_PTR) {
  m_bFlashPhase = !m_bFlashPhase;
  InvalidateRect(nullptr, TRUE);
  UpdateWindow();
  Default();
}

void CColorLabel::OnLButtonDown(UINT, CPoint) {
  if (m_bOpenOnClick) {
    CString text;
    GetWindowText(text);
    ::ShellExecuteA(nullptr, "open", text, nullptr, nullptr, SW_SHOWNORMAL);
  } else {
    NMHDR nm{m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), NM_LABELCLICK};
    ::SendMessage(::GetParent(m_hWnd), WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID()), reinterpret_cast<LPARAM>(&nm));
  }
  Default();
}

BOOL CColorLabel::OnSetCursor(CWnd*, UINT, UINT) {
  if (!m_hLinkCursor) return static_cast<BOOL>(Default());
  ::SetCursor(m_hLinkCursor);
  return TRUE;
}

void CColorLabel::OnSysColorChange() {
  ::DeleteObject(m_hDefaultBrush);
  m_hDefaultBrush = ::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
  Redraw();
}

BOOL CColorLabel::OnEraseBkgnd(CDC*) { return TRUE; }

void CColorLabel::OnPaint() {
  CPaintDC paintDC(this);
  CRect client;
  GetClientRect(&client);
  CString text;
  GetWindowText(text);
  if (!m_bKeepText) SetWindowText("");

  CDC memDC;
  CBitmap bitmap;
  CBitmap* oldBitmap = nullptr;
  CDC* dc = &paintDC;
  if (!m_bTransparent) {
    memDC.CreateCompatibleDC(&paintDC);
    bitmap.CreateCompatibleBitmap(&paintDC, client.Width(), client.Height());
    oldBitmap = memDC.SelectObject(&bitmap);
    dc = &memDC;
  }

  const int oldMode = dc->SetBkMode(TRANSPARENT);
  const COLORREF oldColour = dc->SetTextColor(m_crText);
  CFont* oldFont = dc->SelectObject(&m_font);

  HBRUSH background = m_hBackBrush ? m_hBackBrush : m_hDefaultBrush;
  if (!m_bTransparent) ::FillRect(*dc, &client, background);
  // Flashing text hides in the background's colour every other phase.
  if (m_nFlashMode == 1 && !m_bFlashPhase) dc->SetTextColor(BrushColour(background));

  const DWORD style = GetStyle();
  UINT format = 0;
  if ((style & 0x0C) == 0) format = DT_WORDBREAK;
  if (style & SS_RIGHT) format = DT_RIGHT;
  if (style & SS_CENTER) format = DT_CENTER;
  if (style & SS_CENTERIMAGE)
    format = text.Find("\r\n") >= 0 ? DT_CENTER : DT_CENTER | DT_VCENTER | DT_SINGLELINE;

  if (m_bRotate) {
    const UINT oldAlign = dc->SetTextAlign(TA_BASELINE);
    const CPoint oldOrigin = dc->SetViewportOrg(client.Width() / 2, client.Height() / 2);
    dc->TextOut(0, 0, text, text.GetLength());
    dc->SetViewportOrg(oldOrigin);
    dc->SetTextAlign(oldAlign);
  } else {
    CRect r = client;
    dc->DrawText(text, text.GetLength(), &r, format);
    if (m_bText3D) {
      dc->SetTextColor(m_cr3DText);
      r = client;
      if (m_b3DDirection)
        r.OffsetRect(1, 1);
      else
        r.OffsetRect(-1, -1);
      dc->DrawText(text, text.GetLength(), &r, format);
    }
  }

  dc->SetBkMode(oldMode);
  dc->SelectObject(oldFont);
  dc->SetTextColor(oldColour);

  if (!m_bTransparent) {
    paintDC.BitBlt(0, 0, client.Width(), client.Height(), &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(oldBitmap);
  }
}
