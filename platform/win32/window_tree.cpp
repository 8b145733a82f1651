// Walks up and moves within the window tree.

#include "platform/win32/window_tree.h"

#include <algorithm>

#include "platform/win32/cwnd.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/window_object.h"

using namespace qv::win32;

HWND SetParent(HWND hwnd, HWND parent) {
  auto w = Lookup(hwnd);
  if (!w || !w->thread->IsCurrent() || parent == hwnd) return nullptr;
  std::shared_ptr<WindowObject> p;
  if (parent) {
    p = Lookup(parent);
    if (!p) return nullptr;
    // A window cannot move inside itself.
    for (HWND up = parent; up; up = GetParent(up))
      if (up == hwnd) return nullptr;
  }
  const HWND previous = w->parent;
  if (previous)
    if (auto old = Lookup(previous)) std::erase(old->children, hwnd);
  w->parent = parent;
  if (p) p->children.push_back(hwnd);
  if (w->host) {
    w->host->setParent(p ? p->host.data() : nullptr);
    w->host->setGeometry(w->rect);
    if (w->style & WS_VISIBLE) w->host->show();
  }
  return previous;
}

BOOL BringWindowToTop(HWND hwnd) {
  auto w = Lookup(hwnd);
  if (!w) return FALSE;
  if (w->host) w->host->raise();
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
  POINT origin{0, 0};
  if (from && !ClientToScreen(from, &origin)) return 0;
  if (to && !ScreenToClient(to, &origin)) return 0;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].x += origin.x;
    points[i].y += origin.y;
  }
  return MAKELONG(static_cast<WORD>(origin.x), static_cast<WORD>(origin.y));
}

CWnd* CWnd::SetParent(CWnd* parent) { return FromHandle(::SetParent(m_hWnd, parent ? parent->m_hWnd : nullptr)); }

void CWnd::BringWindowToTop() { ::BringWindowToTop(m_hWnd); }

void CWnd::MapWindowPoints(CWnd* to, POINT* points, UINT count) const {
  ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, points, count);
}

void CWnd::MapWindowPoints(CWnd* to, RECT* rect) const {
  ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, reinterpret_cast<POINT*>(rect), 2);
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  if (!IsWindow(hwnd)) return nullptr;
  if (flags == GA_PARENT) return GetParent(hwnd);
  HWND top = hwnd;
  while ((GetWindowStyle(top) & WS_CHILD) && GetParent(top)) top = GetParent(top);
  return top;
}
