#include "controls/tab_strip.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "controls/gradient.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/window_tree.h"

namespace {

// "宋体" in the code page the face name was written in.
const char kSongTiFace[] = "\xCB\xCE\xCC\xE5";

void Segment(CDC* dc, int x0, int y0, int x1, int y1) {
  dc->MoveTo(x0, y0);
  dc->LineTo(x1, y1);
}

}  // namespace

IMPLEMENT_DYNAMIC(CTabStrip, CWnd)

BEGIN_MESSAGE_MAP(CTabStrip, CWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_DESTROY()
  ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
  ON_MESSAGE(WM_TABSTRIP_RECALC, OnTabStripRecalc)
END_MESSAGE_MAP()

CTabStrip::~CTabStrip() {
  // The window goes first: its WM_DESTROY deletes the records and empties the
  // array. Only a strip whose window never existed has any left here.
  DestroyWindow();
  for (CTabStripInfo* tab : m_tabs) delete tab;
}

CTabStrip* CTabStrip::CreateObject() { return new (std::nothrow) CTabStrip; }

COLORREF CTabStrip::TabColour(int index) {
  return index >= 0 && index < 10 ? kTabColours[index] : kFrameColour;
}

// ---------------------------------------------------------------- geometry

void CTabStrip::LayOutStrip() {
  const CRect r = m_rcPageArea;
  const int h = m_nStripHeight;
  if (m_nPosition == 0) {
    m_rcScrollBand.SetRect(r.left, r.bottom - h, r.left + kBandWidth, r.bottom);
    m_rcStrip.SetRect(r.left + kBandWidth, r.bottom - h, r.right, r.bottom);
    m_rcPageArea.SetRect(r.left, r.top, r.right, r.bottom - h);
  } else if (m_nPosition == 1) {
    m_rcScrollBand.SetRect(r.right - kBandWidth, r.top, r.right, r.top + h);
    m_rcStrip.SetRect(r.left, r.top, r.right - kBandWidth, r.top + h);
    m_rcPageArea.SetRect(r.left, r.top + h, r.right, r.bottom);
  }
}

void CTabStrip::GeometryFromWindow() {
  CRect window;
  GetWindowRect(&window);
  window.OffsetRect(-window.left, -window.top);
  m_rcPageArea = window;
  LayOutStrip();
}

int CTabStrip::OnCreate(LPCREATESTRUCT cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  GeometryFromWindow();
  return 0;
}

void CTabStrip::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  GeometryFromWindow();
  RecalcLayout();
}

void CTabStrip::CalcTabRects() {
  m_nTotalWidth = 0;
  if (m_nPosition != 0 && m_nPosition != 1) return;
  // Measured with the DC's own font, not the one the tabs are drawn with.
  CClientDC dc(this);
  int x = m_rcStrip.left;
  for (int i = 0; i < m_nTabCount; ++i) {
    CTabStripInfo* tab = m_tabs[static_cast<size_t>(i)];
    SIZE extent{0, 0};
    if (tab->m_bVisible) ::GetTextExtentPoint32A(dc, tab->m_strTitle, tab->m_strTitle.GetLength(), &extent);
    tab->m_nWidth = tab->m_bVisible ? extent.cx + 16 : 0;
    tab->m_rect.SetRect(x, m_rcStrip.top, x + tab->m_nWidth, m_rcStrip.bottom - 2);
    if (!tab->m_bVisible) continue;
    const int advance = m_nPosition == 1 ? tab->m_nWidth : tab->m_nWidth - tab->m_rect.Height() / 2;
    x += advance;
    m_nTotalWidth += advance;
  }
}

void CTabStrip::RecalcLayout() {
  CalcTabRects();
  const CRect& a = m_rcPageArea;
  // A strip smaller than its inset gives its pages no room rather than a
  // negative size.
  const int width = std::max(a.Width() - 2 * kPageInset, 0);
  const int height = std::max(a.Height() - 2 * kPageInset, 0);
  for (int i = 0; i < m_nTabCount; ++i) {
    CTabStripInfo* tab = m_tabs[static_cast<size_t>(i)];
    if (!tab->m_pPage) continue;
    if (::GetParent(tab->m_pPage->m_hWnd) != m_hWnd) ::SetParent(tab->m_pPage->m_hWnd, m_hWnd);
    if (tab->m_bVisible)
      tab->m_pPage->SetWindowPos(nullptr, a.left + kPageInset, a.top + kPageInset, width, height,
                                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

int CTabStrip::GetVisibleTabCount() const {
  int n = 0;
  for (int i = 0; i < m_nTabCount; ++i)
    if (m_tabs[static_cast<size_t>(i)]->m_bVisible) ++n;
  return n;
}

CRect CTabStrip::GetFirstVisibleTabRect() const {
  for (int i = 0; i < m_nTabCount; ++i)
    if (m_tabs[static_cast<size_t>(i)]->m_bVisible) return m_tabs[static_cast<size_t>(i)]->m_rect;
  return CRect(0, 0, 0, 0);
}

CRect CTabStrip::GetLastVisibleTabRect() const {
  for (int i = m_nTabCount - 1; i >= 0; --i)
    if (m_tabs[static_cast<size_t>(i)]->m_bVisible) return m_tabs[static_cast<size_t>(i)]->m_rect;
  return CRect(0, 0, 0, 0);
}

CWnd* CTabStrip::GetClickForwardWnd(CPoint point) const {
  if (point.y < m_nStripHeight) return nullptr;
  for (int i = 0; i < m_nTabCount; ++i) {
    const CTabStripInfo* tab = m_tabs[static_cast<size_t>(i)];
    if (tab->m_bVisible && tab->m_rect.PtInRect(point)) return nullptr;
  }
  return GetParent();
}

// ---------------------------------------------------------------- tabs

void CTabStrip::AddTab(CWnd* page, const char* title) {
  const int previousActive = m_nActiveTab;
  m_tabs.insert(m_tabs.begin() + m_nTabCount, new CTabStripInfo(title, page, m_nNextId));
  ++m_nTabCount;
  ++m_nNextId;
  RecalcLayout();
  if (m_nTabCount == 1) {
    SetActiveTab(0);
  } else if (m_bHideInactivePages) {
    if (page) page->ShowWindow(SW_HIDE);
  } else if (CWnd* active = GetActivePage()) {
    ::BringWindowToTop(active->m_hWnd);
  }
  if (previousActive >= 0) SetActiveTab(previousActive);
}

BOOL CTabStrip::SetActiveTab(int index) {
  if (index >= m_nTabCount || index >= static_cast<int>(m_tabs.size()) || index < -1) return FALSE;
  if (index == m_nActiveTab) return TRUE;
  if (m_nActiveTab >= 0 && m_bHideInactivePages)
    if (CWnd* old = m_tabs[static_cast<size_t>(m_nActiveTab)]->m_pPage) old->ShowWindow(SW_HIDE);
  m_nActiveTab = index;
  if (index == -1) return FALSE;
  CWnd* page = m_tabs[static_cast<size_t>(index)]->m_pPage;
  if (!page) return FALSE;
  page->ShowWindow(SW_SHOW);
  ::SetFocus(page->m_hWnd);
  if (!m_bHideInactivePages) ::BringWindowToTop(page->m_hWnd);
  InvalidateRect(nullptr, TRUE);
  UpdateWindow();
  return TRUE;
}

CWnd* CTabStrip::GetActivePage() const {
  if (m_nActiveTab < 0 || m_nActiveTab >= static_cast<int>(m_tabs.size())) return nullptr;
  return m_tabs[static_cast<size_t>(m_nActiveTab)]->m_pPage;
}

// ---------------------------------------------------------------- input

void CTabStrip::OnLButtonDown(UINT flags, CPoint point) {
  Default();
  if (m_rcScrollBand.PtInRect(point)) {
    const int mid = m_rcScrollBand.left + m_rcScrollBand.Width() / 2;
    const int band = m_rcScrollBand.Width();
    const int runStart = m_nPosition == 0 ? m_rcPageArea.left + band : m_rcPageArea.left;
    const int runEnd = m_nPosition == 0 ? m_rcPageArea.right : m_rcPageArea.right - band;
    int shift = 0;
    if (point.x >= mid && GetLastVisibleTabRect().right > runEnd) shift = -kScrollStep;
    if (point.x < mid && GetFirstVisibleTabRect().left < runStart) shift = kScrollStep;
    if (shift == 0) return;
    for (int i = 0; i < m_nTabCount; ++i) {
      CTabStripInfo* tab = m_tabs[static_cast<size_t>(i)];
      if (tab->m_bVisible) tab->m_rect.OffsetRect(shift, 0);
    }
    InvalidateRect(&m_rcStrip, TRUE);
    return;
  }
  for (int i = 0; i < m_nTabCount; ++i) {
    const CTabStripInfo* tab = m_tabs[static_cast<size_t>(i)];
    if (!tab->m_bVisible || !tab->m_rect.PtInRect(point)) continue;
    if (i == m_nActiveTab || !m_rcStrip.PtInRect(point)) return;
    SetActiveTab(i);
    ::SendMessage(::GetParent(m_hWnd), WM_TABSTRIP_SELCHANGE, static_cast<WPARAM>(i), 0);
    return;
  }
  CWnd* forward = GetClickForwardWnd(point);
  if (!forward) return;
  POINT p = point;
  ::MapWindowPoints(m_hWnd, forward->m_hWnd, &p, 1);
  forward->SendMessage(WM_LBUTTONDOWN, flags, MAKELPARAM(p.x, p.y));
}

void CTabStrip::OnLButtonDblClk(UINT flags, CPoint point) {
  OnLButtonDown(flags, point);
  Default();
}

void CTabStrip::OnDestroy() {
  for (CTabStripInfo* tab : m_tabs) {
    tab->m_pPage = nullptr;
    delete tab;
  }
  m_tabs.clear();
  // The count and the active index go with the records, so that nothing
  // later walks an array that is no longer there.
  m_nTabCount = 0;
  m_nActiveTab = -1;
  CWnd::OnDestroy();
}

LRESULT CTabStrip::OnSizeParent(WPARAM, LPARAM) {
  if (!m_bBusy) PostMessage(WM_TABSTRIP_RECALC, 0, 0);
  return 0;
}

LRESULT CTabStrip::OnTabStripRecalc(WPARAM, LPARAM) {
  m_bBusy = TRUE;
  // The parent's free client area: no bar of a dialog claims any of it.
  CRect rect(0, 0, 32000, 32000);
  if (CWnd* parent = GetParent()) parent->GetClientRect(&rect);
  m_rcPageArea = rect;
  MoveWindow(&rect, TRUE);
  // From the window's own rectangle: when the move resized the strip, OnSize
  // has laid it out already, and laying the page area out once more would
  // push the row down by its own height.
  GeometryFromWindow();
  RecalcLayout();
  m_bBusy = FALSE;
  return 0;
}

// ---------------------------------------------------------------- painting

void CTabStrip::OnPaint() {
  CPaintDC dc(this);
  if (m_nPosition == 0) PaintBottomStrip(&dc);
  if (m_nPosition == 1) PaintTopStrip(&dc);
}

BOOL CTabStrip::OnEraseBkgnd(CDC*) { return TRUE; }

void CTabStrip::FillFrame(CDC* pDC, COLORREF c) const {
  const CRect& a = m_rcPageArea;
  pDC->FillSolidRect(CRect(a.left, a.top, a.right, a.top + 4), c);
  pDC->FillSolidRect(CRect(a.left, a.top + 4, a.left + 4, a.bottom), c);
  pDC->FillSolidRect(CRect(a.right - 4, a.top + 4, a.right, a.bottom), c);
  pDC->FillSolidRect(CRect(a.left + 4, a.bottom - 4, a.right - 4, a.bottom), c);
}

void CTabStrip::DrawTabText(CDC* pDC, const CTabStripInfo* tab, BOOL active) {
  pDC->SetBkMode(TRANSPARENT);
  CFont font;
  if (!font.CreateFont(12, 0, 0, 0, active ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, kSongTiFace))
    return;
  CFont* old = pDC->SelectObject(&font);
  CRect r = tab->m_rect;
  r.OffsetRect(0, 2);
  pDC->DrawText(tab->m_strTitle, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  pDC->SelectObject(old);
  font.DeleteObject();
}

void CTabStrip::PaintTopStrip(CDC* pDC) {
  const CRect& a = m_rcPageArea;
  CPen pen(PS_SOLID, 1, kTopOutline);
  CPen* oldPen = pDC->SelectObject(&pen);
  if (m_nTabCount == 0) pDC->FillSolidRect(&a, kNoTabColour);
  FillFrame(pDC, TabColour(m_nActiveTab));
  pDC->MoveTo(a.left, a.top);
  pDC->LineTo(a.left, a.bottom - 1);
  pDC->LineTo(a.right - 1, a.bottom - 1);
  pDC->LineTo(a.right - 1, a.top);
  pDC->SelectObject(oldPen);

  const CRect clip(m_rcStrip.left, m_rcStrip.top, a.right, m_rcStrip.bottom + 1);
  CRgn region;
  if (m_bClipToStrip) {
    region.CreateRectRgnIndirect(&clip);
    pDC->SelectClipRgn(&region);
  } else {
    pDC->FillSolidRect(&clip, 0xFFFFFF);
  }

  const int left = m_rcStrip.left;
  const int pr = a.right;
  for (int i = 0; i < m_nTabCount; ++i) {
    CTabStripInfo* tab = m_tabs[static_cast<size_t>(i)];
    if (!tab->m_bVisible) continue;
    const int L = tab->m_rect.left, T = tab->m_rect.top, R = tab->m_rect.right, B = tab->m_rect.bottom;
    const int w = R - L, h = B - T;
    const COLORREF c = TabColour(i);
    CGradient gradient(w, h);
    gradient.PrepareVertical(pDC, 255, 255, 255, GetRValue(c), GetGValue(c), GetBValue(c));
    CDC* src = gradient.GetMemDC();
    auto blit = [&](int x, int y, int bw, int bh) {
      if (src) pDC->BitBlt(x, y, bw, bh, src, 0, 0, SRCCOPY);
    };
    const BOOL active = i == m_nActiveTab;
    oldPen = pDC->SelectObject(&pen);
    if (active) {
      for (int k = 0; k <= 12; ++k) blit(L - 14 + k, B + 2 - k, w, h);
      for (int k = 1; k <= 4; ++k) blit(L + k, T + 7 - k, w, h);
      if (i == 0) {
        Segment(pDC, L + 1, B + 3, L + 1, T + 6);
      } else {
        Segment(pDC, L - 15, B + 1, L - 13, B + 1);
        Segment(pDC, L - 16, B + 2, left, B + 2);
        Segment(pDC, L - 13, B + 1, L + 1, T + 6);
      }
      Segment(pDC, L + 1, T + 6, L + 6, T + 2);
      Segment(pDC, L + 6, T + 2, R + 1, T + 2);
      Segment(pDC, R + 1, T + 2, R + 4, T + 5);
      Segment(pDC, R + 4, T + 5, R + 4, B + 3);
      Segment(pDC, R + 4, B + 2, pr, B + 2);
    } else {
      if (i == 0) {
        blit(L + 1, T + 6, w, h - 4);
        blit(L + 2, T + 5, w, h - 4);
        blit(L + 3, T + 4, w, h - 2);
        blit(L + 4, T + 3, w, h - 1);
        Segment(pDC, L + 1, B + 3, L + 1, T + 6);
        Segment(pDC, L + 1, T + 6, L + 6, T + 2);
      } else {
        for (int y = 6; y >= 3; --y) blit(L + 6, T + y, w, h - 4);
        Segment(pDC, L + 3, T + 4, L + 6, T + 2);
      }
      Segment(pDC, L + 6, T + 2, R + 1, T + 2);
      Segment(pDC, R + 1, T + 2, R + 4, T + 5);
      Segment(pDC, R + 4, T + 5, R + 4, B + 3);
    }
    pDC->SelectObject(oldPen);
    pDC->SetTextColor(active ? m_crActiveText : m_crInactiveText);
    DrawTabText(pDC, tab, active);
  }

  DrawScrollButtons(pDC);
  if (m_bClipToStrip) pDC->SelectClipRgn(nullptr);
}

void CTabStrip::PaintBottomStrip(CDC* pDC) {
  CPen pen;
  if (!pen.CreatePen(PS_SOLID, 1, kBottomOutline)) return;
  CPen* oldPen = pDC->SelectObject(&pen);
  const CRect& a = m_rcPageArea;
  if (m_nTabCount == 0) pDC->FillSolidRect(&a, kNoTabColour);
  FillFrame(pDC, kFrameColour);

  CDC mem;
  CBitmap back;
  if (mem.CreateCompatibleDC(pDC) && back.LoadBitmap(IDB_TABSTRIP_BACK)) {
    BITMAP bm{};
    back.GetBitmap(&bm);
    CBitmap* old = mem.SelectObject(&back);
    pDC->StretchBlt(m_rcScrollBand.left, m_rcScrollBand.top, a.Width(), m_nStripHeight, &mem, 0, 0, bm.bmWidth,
                    bm.bmHeight, SRCCOPY);
    mem.SelectObject(old);
  }

  const int band = m_rcScrollBand.Width();
  pDC->MoveTo(a.left + band, a.bottom);
  pDC->LineTo(a.left, a.bottom);
  pDC->LineTo(a.left, a.top);
  pDC->LineTo(a.right - 1, a.top);
  pDC->LineTo(a.right - 1, a.bottom);
  pDC->LineTo(m_rcStrip.left + m_nTotalWidth, a.bottom);

  BOOL previousActive = FALSE;
  BOOL first = TRUE;
  for (int i = 0; i < m_nTabCount; ++i) {
    CTabStripInfo* tab = m_tabs[static_cast<size_t>(i)];
    if (!tab->m_bVisible) continue;
    const BOOL active = i == m_nActiveTab;
    pDC->SetTextColor(active ? m_crActiveText : m_crInactiveText);
    DrawTab(pDC, tab, active, previousActive, first);
    previousActive = active;
    first = FALSE;
  }

  DrawScrollButtons(pDC);
  pDC->SelectObject(oldPen);
}

void CTabStrip::DrawTab(CDC* pDC, CTabStripInfo* tab, BOOL active, BOOL previousActive, BOOL first) {
  if (!tab->m_bVisible) return;
  const int L = tab->m_rect.left, T = tab->m_rect.top, R = tab->m_rect.right, B = tab->m_rect.bottom;
  const int h2 = (B - T) / 2;
  if (m_nPosition == 0) {
    if (!active) {
      Segment(pDC, first ? L : L + h2, T, R, T);
    } else {
      CBrush brush;
      CPen pen;
      if (brush.CreateSolidBrush(kFrameColour) && pen.CreatePen(PS_SOLID, 1, kFrameColour)) {
        CBrush* oldBrush = pDC->SelectObject(&brush);
        CPen* oldPen = pDC->SelectObject(&pen);
        const POINT shape[4] = {{L + 1, T}, {L + 1 + h2, B - 1}, {R - 1 - h2, B - 1}, {R - 1, T}};
        pDC->Polygon(shape, 4);
        pDC->SelectObject(oldBrush);
        pDC->SelectObject(oldPen);
      }
      DrawDropShadow(pDC, 7, &tab->m_rect);
    }
    if (previousActive)
      pDC->MoveTo(L + h2 / 2, (T + B) / 2);
    else
      pDC->MoveTo(L, T);
    pDC->LineTo(L + h2, B - 1);
    pDC->LineTo(R - h2, B - 1);
    if (active || tab->m_nId == GetVisibleTabCount())
      pDC->LineTo(R, T);
    else
      pDC->LineTo(R - h2 / 2, (T + B) / 2);
  }
  DrawTabText(pDC, tab, active);
}

void CTabStrip::DrawScrollButtons(CDC* pDC) {
  if (m_nPosition != 0 && m_nPosition != 1) return;
  const CRect& b = m_rcScrollBand;
  const int mid = b.left + b.Width() / 2;
  DrawScrollButton(pDC, TRUE, CRect(b.left, b.top, mid, b.bottom));
  DrawScrollButton(pDC, FALSE, CRect(mid, b.top, b.right, b.bottom));
}

void CTabStrip::DrawScrollButton(CDC* pDC, BOOL left, CRect rect) {
  CDC mem;
  if (!mem.CreateCompatibleDC(pDC)) return;
  CBitmap bitmap;
  if (!bitmap.LoadBitmap(left ? IDB_TABSTRIP_LEFT : IDB_TABSTRIP_RIGHT)) return;
  CBitmap* old = mem.SelectObject(&bitmap);
  pDC->BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &mem, 0, 0, SRCCOPY);
  mem.SelectObject(old);
}

// ---------------------------------------------------------------- shadow

COLORREF ScaleColorPercent(COLORREF c, int percent) {
  auto scale = [percent](DWORD channel) {
    return static_cast<DWORD>(std::min(static_cast<int>(channel) * percent / 100, 255));
  };
  return scale(c & 0xFF) | scale((c >> 8) & 0xFF) << 8 | scale((c >> 16) & 0xFF) << 16;
}

BOOL DrawDropShadow(CDC* pDC, int d, const RECT* rect) {
  if (::IsRectEmpty(rect)) return TRUE;
  const int w = rect->right - rect->left, h = rect->bottom - rect->top;
  const int W = w + d, Hh = h + d;
  CDC mem;
  CBitmap compatible;
  if (!mem.CreateCompatibleDC(pDC) || !compatible.CreateCompatibleBitmap(pDC, W, Hh)) return FALSE;
  CBitmap* oldBitmap = mem.SelectObject(&compatible);
  BITMAPINFO info{};
  info.bmiHeader.biSize = 40;
  info.bmiHeader.biWidth = W;
  info.bmiHeader.biHeight = Hh;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(W * Hh);
  void* bits = nullptr;
  HBITMAP dib = ::CreateDIBSection(pDC->GetSafeHdc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib || !bits) {
    if (dib) ::DeleteObject(dib);
    mem.SelectObject(oldBitmap);
    return FALSE;
  }
  ::SelectObject(mem, dib);
  mem.BitBlt(0, 0, W, Hh, pDC, rect->left, rect->top, SRCCOPY);

  auto* pixels = static_cast<DWORD*>(bits);
  auto darken = [&](int x, int row, int percent) {
    if (x < 0 || x >= W || row < 0 || row >= Hh) return;
    DWORD& p = pixels[row * W + x];
    p = ScaleColorPercent(p, percent);
  };
  const int step = -50 / d;
  int pA = 50 - step * d;
  int pB = 50;
  const double s = std::sin(0.5235987755833333);
  for (int k = 0; k < d; ++k) {
    for (int j = h; j <= h + d - k - 1; ++j) darken(k + d, h - j + d, pA);
    for (int x = d - 1 + h / 2 - k; x <= w - h / 2 + k - 1; ++x) darken(x, d - k, pB);
    for (int m = 1; m <= h + k; ++m) darken(k + w - static_cast<int>(m * s), h - m + d, pB);
    pA += step;
    pB -= step;
  }

  pDC->BitBlt(rect->left, rect->top, W, Hh, &mem, 0, 0, SRCCOPY);
  mem.SelectObject(oldBitmap);
  ::DeleteObject(dib);
  return TRUE;
}
