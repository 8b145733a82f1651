#include "controls/text_progress_bar.h"

#include <cstring>
#include <string_view>

#include "controls/mem_dc_1.h"
#include "platform/core/bounded_text.h"

namespace {

// "宋体" in the code page the face name was written in.
const char kSongTiFace[] = "\xCB\xCE\xCC\xE5";

// The fraction of the range the position has reached; neither is clamped.
double Fraction(int pos, int lower, int upper) {
  return static_cast<double>(pos - lower) / static_cast<double>(upper - lower);
}

}  // namespace

BEGIN_MESSAGE_MAP(CTextProgressBar, CProgressCtrl)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_SIZE()
  ON_MESSAGE(WM_SETTEXT, OnSetText)
  ON_MESSAGE(WM_GETTEXT, OnGetText)
  ON_MESSAGE(PBM_SETRANGE, OnSetRange)
  ON_MESSAGE(PBM_SETPOS, OnSetPos)
  ON_MESSAGE(PBM_DELTAPOS, OnOffsetPos)
  ON_MESSAGE(PBM_SETSTEP, OnSetStep)
  ON_MESSAGE(PBM_STEPIT, OnStepIt)
  ON_MESSAGE(PBM_SETRANGE32, OnSetRange32)
  ON_MESSAGE(PBM_GETRANGE, OnGetRange)
  ON_MESSAGE(PBM_GETPOS, OnGetPos)
  ON_MESSAGE(PBM_SETBARCOLOR, OnSetBarColor)
  ON_MESSAGE(PBM_SETBKCOLOR, OnSetBkColor)
  ON_MESSAGE(PBM_SETTEXTCOLOR, OnSetTextColor)
  ON_MESSAGE(PBM_SHOWPERCENT, OnShowPercent)
END_MESSAGE_MAP()

BOOL CTextProgressBar::OnEraseBkgnd(CDC*) { return TRUE; }

void CTextProgressBar::OnPaint() {
  // The paint is begun in every case, so that a request on an empty range is
  // completed too and not delivered again.
  CPaintDC paintDC(this);
  if (m_nMin >= m_nMax) return;

  const COLORREF barColour = m_crBarClr == CLR_DEFAULT ? ::GetSysColor(COLOR_HIGHLIGHT) : m_crBarClr;
  const COLORREF bkColour = m_crBkClr == CLR_DEFAULT ? ::GetSysColor(COLOR_WINDOW) : m_crBkClr;
  CRect client;
  GetClientRect(&client);
  const double fraction = Fraction(m_nPos, m_nMin, m_nMax);

  CMemDC_1 dc(&paintDC);
  CRect bar = client;
  CRect rest = client;
  const bool vertical = IsVertical();
  if (vertical) {
    bar.top = client.bottom - static_cast<int>(client.Height() * fraction);
    rest.bottom = bar.top;
  } else {
    bar.right = client.left + static_cast<int>(client.Width() * fraction);
    rest.left = bar.right;
  }
  dc.FillSolidRect(&bar, barColour);
  dc.FillSolidRect(&rest, bkColour);

  if (!m_bShowPercent || vertical) return;
  CString text = m_strText;
  if (text.IsEmpty()) text.Format("%d%%", static_cast<int>(fraction * 100.0));
  dc.SetBkMode(TRANSPARENT);
  const bool result = text == "NG" || text == "PASS";
  CFont font;
  font.CreateFont(result ? 27 : 14, 0, 0, 0, 956, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, kSongTiFace);
  CFont* oldFont = dc.SelectObject(&font);

  CRgn barRegion;
  barRegion.CreateRectRgnIndirect(&bar);
  dc.SelectClipRgn(&barRegion);
  dc.SetTextColor(m_crTextClr == CLR_DEFAULT ? bkColour : m_crTextClr);
  dc.DrawText(text, &client, m_dwTextStyle);
  barRegion.DeleteObject();

  CRgn restRegion;
  restRegion.CreateRectRgnIndirect(&rest);
  dc.SelectClipRgn(&restRegion);
  dc.SetTextColor(m_crTextClr == CLR_DEFAULT ? barColour : m_crTextClr);
  dc.DrawText(text, &client, m_dwTextStyle);

  dc.SelectObject(oldFont);
  font.DeleteObject();
}

void CTextProgressBar::OnSize(UINT type, int cx, int cy) {
  CProgressCtrl::OnSize(type, cx, cy);
  m_nBarWidth = -1;
}

LRESULT CTextProgressBar::OnSetText(WPARAM, LPARAM lParam) {
  const LRESULT result = Default();
  const char* text = lParam ? reinterpret_cast<const char*>(lParam) : "";
  if (std::strcmp(text, m_strText) != 0) {
    m_strText = text;
    Invalidate(TRUE);
  }
  return result;
}

LRESULT CTextProgressBar::OnGetText(WPARAM size, LPARAM buffer) {
  const std::string_view text(m_strText.GetString(), static_cast<size_t>(m_strText.GetLength()));
  return static_cast<LRESULT>(qv::CopyBoundedText(text, reinterpret_cast<char*>(buffer), size));
}

LRESULT CTextProgressBar::StoreRange(int lower, int upper) {
  m_nMin = lower;
  m_nMax = upper;
  return MAKELONG(static_cast<WORD>(m_nMin), static_cast<WORD>(m_nMax));
}

LRESULT CTextProgressBar::OnSetRange(WPARAM, LPARAM range) {
  return StoreRange(LOWORD(static_cast<std::uintptr_t>(range)), HIWORD(static_cast<std::uintptr_t>(range)));
}

LRESULT CTextProgressBar::OnSetRange32(WPARAM lower, LPARAM upper) {
  return StoreRange(static_cast<int>(lower), static_cast<int>(upper));
}

LRESULT CTextProgressBar::OnSetPos(WPARAM pos, LPARAM) {
  const int previous = m_nPos;
  m_nPos = static_cast<int>(pos);
  if (m_nMin >= m_nMax) return previous;  // nothing would be drawn
  CRect client;
  GetClientRect(&client);
  const int extent = IsVertical() ? client.Height() : client.Width();
  const int length = static_cast<int>(Fraction(m_nPos, m_nMin, m_nMax) * extent);
  if (length != m_nBarWidth) {
    m_nBarWidth = length;
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  return previous;
}

LRESULT CTextProgressBar::OnOffsetPos(WPARAM delta, LPARAM) {
  return SendMessage(PBM_SETPOS, static_cast<WPARAM>(m_nPos + static_cast<int>(delta)));
}

LRESULT CTextProgressBar::OnSetStep(WPARAM step, LPARAM) {
  const int previous = m_nStepSize;
  m_nStepSize = static_cast<int>(step);
  return previous;
}

LRESULT CTextProgressBar::OnStepIt(WPARAM, LPARAM) {
  return SendMessage(PBM_SETPOS, static_cast<WPARAM>(m_nPos + m_nStepSize));
}

LRESULT CTextProgressBar::OnGetRange(WPARAM wantLower, LPARAM range) {
  if (auto* r = reinterpret_cast<PBRANGE*>(range)) {
    r->iLow = m_nMin;
    r->iHigh = m_nMax;
  }
  return wantLower ? m_nMin : m_nMax;
}

LRESULT CTextProgressBar::OnGetPos(WPARAM, LPARAM) { return m_nPos; }

COLORREF CTextProgressBar::SwapColor(COLORREF& member, LPARAM c) {
  const COLORREF previous = member;
  Invalidate(TRUE);
  member = static_cast<COLORREF>(c);
  return previous;
}

LRESULT CTextProgressBar::OnSetBarColor(WPARAM, LPARAM c) { return SwapColor(m_crBarClr, c); }
LRESULT CTextProgressBar::OnSetBkColor(WPARAM, LPARAM c) { return SwapColor(m_crBkClr, c); }
LRESULT CTextProgressBar::OnSetTextColor(WPARAM, LPARAM c) { return SwapColor(m_crTextClr, c); }

LRESULT CTextProgressBar::OnShowPercent(WPARAM show, LPARAM) {
  const LRESULT result = Default();
  const BOOL flag = static_cast<BOOL>(show);
  if (flag != m_bShowPercent) {
    m_bShowPercent = flag;
    Invalidate(TRUE);
  }
  return result;
}

void CTextProgressBar::SetColor(COLORREF& member, COLORREF c) {
  if (IsWindow()) Invalidate(TRUE);
  member = c;
}
