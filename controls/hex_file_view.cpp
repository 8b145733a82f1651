#include "controls/hex_file_view.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "controls/mem_dc_1.h"
#include "platform/core/replace_file.h"

IMPLEMENT_DYNAMIC(CHexFileView, CWnd)

BEGIN_MESSAGE_MAP(CHexFileView, CWnd)
  ON_WM_VSCROLL()
  ON_WM_PAINT()
  ON_WM_SIZE()
  ON_WM_HSCROLL()
END_MESSAGE_MAP()

CHexFileView::~CHexFileView() {
  // The bytes go first, then the window.
  m_pData.reset();
  DestroyWindow();
}

void CHexFileView::SetData(const BYTE* data, int length) {
  m_pData.reset();
  m_nLength = std::max(length, 0);
  if (m_nLength > 0) {
    m_pData = std::make_unique<BYTE[]>(static_cast<size_t>(m_nLength));
    std::memcpy(m_pData.get(), data, static_cast<size_t>(m_nLength));
  }
  m_nRows = m_nLength / kBytesPerRow + (m_nLength % kBytesPerRow ? 1 : 0);
  UpdateScrollBars();
  Invalidate(TRUE);
}

void CHexFileView::ClearData() {
  m_pData.reset();
  m_nLength = 0;
  m_nRows = 0;
  Invalidate(TRUE);
}

BOOL CHexFileView::SaveToFile(CString path) {
  const std::string_view bytes(reinterpret_cast<const char*>(m_pData.get()), m_pData ? static_cast<size_t>(m_nLength) : 0);
  return qv::ReplaceFileContents(path.str(), bytes) ? TRUE : FALSE;
}

BOOL CHexFileView::SaveIfData(const CString& path) { return m_pData ? SaveToFile(path) : FALSE; }

void CHexFileView::UpdateScrollBars() {
  // Showing or hiding the bar below resizes the client area, which sends
  // WM_SIZE and brings us back here. A content that overflows by less than one
  // scroll unit gets the range 0..0, which hides the bar again, and the two
  // would call each other without end; the nested call has nothing to add.
  if (m_bUpdatingBars) return;
  m_bUpdatingBars = true;
  ApplyScrollBars();
  m_bUpdatingBars = false;
}

void CHexFileView::ApplyScrollBars() {
  m_nVOffset = 0;
  const int contentHeight = m_nRows * kRowHeight + kTop;
  GetClientRect(&m_rcClient);
  if (contentHeight <= m_rcClient.Height()) {
    SetScrollPos(SB_VERT, 0, FALSE);
    ShowScrollBar(SB_VERT, FALSE);
    return;
  }
  ShowScrollBar(SB_VERT, TRUE);
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0,
                  (contentHeight - m_rcClient.Height()) / kScrollUnit, 1, 0, 0};
  SetScrollInfo(SB_VERT, &info, TRUE);
}

int CHexFileView::Scroll(int bar, UINT code, UINT thumb) {
  GetClientRect(&m_rcClient);
  int min = 0;
  int max = 0;
  GetScrollRange(bar, &min, &max);
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_PAGE, 0, 0, 0, 0, 0};
  ::GetScrollInfo(m_hWnd, bar, &info);
  const int page = static_cast<int>(info.nPage);
  const int limit = max - (page - 1);
  const int current = GetScrollPos(bar);
  int next = current;
  switch (code) {
    case SB_LINEUP: if (current > min) next = current - 1; break;
    case SB_LINEDOWN: if (current < limit) next = current + 1; break;
    case SB_PAGEUP: if (current > min) next = std::max(current - page, min); break;
    case SB_PAGEDOWN: if (current < limit) next = std::min(current + page, limit); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: next = static_cast<int>(thumb); break;
    case SB_TOP: next = min; break;
    case SB_BOTTOM: next = limit; break;
    case SB_ENDSCROLL: return -1;
    default: break;
  }
  SetScrollPos(bar, next, TRUE);
  Invalidate(TRUE);
  return next * kScrollUnit;
}

void CHexFileView::OnVScroll(UINT code, UINT pos, CScrollBar* bar) {
  CWnd::OnVScroll(code, pos, bar);
  if (const int offset = Scroll(SB_VERT, code, pos); offset >= 0) m_nVOffset = offset;
}

void CHexFileView::OnHScroll(UINT code, UINT pos, CScrollBar* bar) {
  CWnd::OnHScroll(code, pos, bar);
  if (const int offset = Scroll(SB_HORZ, code, pos); offset >= 0) m_nHOffset = offset;
}

void CHexFileView::OnSize(UINT, int, int) { UpdateScrollBars(); }

void CHexFileView::DrawFrame(CDC& dc) const {
  const CRect& r = m_rcClient;
  const int w = kFrameWidth;
  dc.FillSolidRect(CRect(r.left, r.top, r.right, r.top + w), kFrameColour);
  dc.FillSolidRect(CRect(r.left, r.top + w, r.left + w, r.bottom), kFrameColour);
  dc.FillSolidRect(CRect(r.right - w, r.top + w, r.right, r.bottom), kFrameColour);
  dc.FillSolidRect(CRect(r.left + w, r.bottom - w, r.right - w, r.bottom), kFrameColour);
}

void CHexFileView::OnPaint() {
  CPaintDC paintDC(this);
  CMemDC_1 dc(&paintDC);
  GetClientRect(&m_rcClient);
  if (m_bDrawFrame) DrawFrame(dc);
  dc.SetBkMode(TRANSPARENT);
  const int height = m_rcClient.Height();
  CString text;
  if (m_nRows == 0) {
    const COLORREF old = dc.SetTextColor(kOffsetColour);
    for (int i = 0; i < height / kRowHeight - 1; ++i) {
      text.Format("%05X", i * kBytesPerRow);
      dc.TextOut(kOffsetX, kTop + kRowHeight * i, text);
    }
    dc.SetTextColor(old);
    return;
  }
  for (int r = 0; r < m_nRows; ++r) {
    const int y = kTop + kRowHeight * r;
    if (y < m_nVOffset) continue;
    if (y > height + m_nVOffset) break;
    const int x0 = kOffsetX - m_nHOffset;
    const int drawY = y - m_nVOffset;
    const COLORREF old = dc.SetTextColor(kOffsetColour);
    text.Format("%05X", kBytesPerRow * r);
    dc.TextOut(x0, drawY, text);
    dc.SetTextColor(old);
    const int rest = m_nLength % kBytesPerRow;
    const int count = (r == m_nRows - 1 && rest != 0) ? rest : kBytesPerRow;
    for (int b = 0; b < count; ++b) {
      text.Format("%02X ", m_pData[static_cast<size_t>(r * kBytesPerRow + b)]);
      dc.TextOut(x0 + (kFirstByteX - kOffsetX) + kByteWidth * b, drawY, text);
    }
  }
}
