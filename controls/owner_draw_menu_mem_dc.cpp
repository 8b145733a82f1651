#include "controls/owner_draw_menu_mem_dc.h"

COwnerDrawMenuMemDC::COwnerDrawMenuMemDC(CDC* target, const RECT* rect) : m_targetDC(target), m_rect(*rect) {
  CreateCompatibleDC(target);
  m_bitmap.CreateCompatibleBitmap(target, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top);
  m_oldBitmap = SelectObject(&m_bitmap);
  SetWindowOrg(m_rect.left, m_rect.top);
}

COwnerDrawMenuMemDC::~COwnerDrawMenuMemDC() {
  m_targetDC->BitBlt(m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, this,
                     m_rect.left, m_rect.top, SRCCOPY);
  SelectObject(m_oldBitmap);
}
