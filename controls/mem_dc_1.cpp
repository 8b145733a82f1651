#include "controls/mem_dc_1.h"

CMemDC_1::CMemDC_1(CDC* pDC) : m_pDC(pDC) {
  if (!m_pDC) return;
  m_pDC->GetClipBox(&m_rect);
  if (!CreateCompatibleDC(m_pDC)) return;
  if (m_bitmap.CreateCompatibleBitmap(m_pDC, m_rect.Width(), m_rect.Height()))
    m_pOldBitmap = SelectObject(&m_bitmap);
  // Callers draw in the target's coordinates.
  SetWindowOrg(m_rect.left, m_rect.top);
  FillSolidRect(&m_rect, ::GetBkColor(m_pDC->m_hAttribDC));
}

CMemDC_1::~CMemDC_1() {
  if (!m_pDC || !m_hDC) return;
  m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left,
                m_rect.top, SRCCOPY);
  if (m_pOldBitmap) SelectObject(m_pOldBitmap);
  m_bitmap.DeleteObject();
  DeleteDC();
}
