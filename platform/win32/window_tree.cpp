#include "platform/win32/window_tree.h"

#include <algorithm>

#include "platform/win32/host_widget.h"
#include "platform/win32/window_object.h"

using qv::win32::Lookup;

HWND SetParent(HWND hwnd, HWND parent) {
  auto w = Lookup(hwnd);
  if (!w || !w->thread->IsCurrent()) return nullptr;
  std::shared_ptr<qv::win32::WindowObject> next;
  if (parent) {
    next = Lookup(parent);
    if (!next) return nullptr;
    // A window cannot go inside itself.
    for (HWND up = parent; up; up = GetParent(up))
      if (up == hwnd) return nullptr;
  }
  const HWND previous = w->parent;
  if (previous == parent) return previous;
  if (auto old = Lookup(previous)) old->children.erase(std::remove(old->children.begin(), old->children.end(), hwnd), old->children.end());
  w->parent = parent;
  if (next) next->children.push_back(hwnd);
  if (w->host) {
    const bool shown = (w->style & WS_VISIBLE) != 0;
    w->host->setParent(next ? next->host.data() : nullptr);
    w->host->setGeometry(w->rect);
    w->host->setVisible(shown);
  }
  return previous;
}

BOOL BringWindowToTop(HWND hwnd) {
  auto w = Lookup(hwnd);
  if (!w || !w->thread->IsCurrent()) return FALSE;
  if (w->host) w->host->raise();
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
  if ((from && !IsWindow(from)) || (to && !IsWindow(to))) return 0;
  POINT origin{0, 0};
  if (from) ClientToScreen(from, &origin);
  if (to) ScreenToClient(to, &origin);
  for (UINT i = 0; points && i < count; ++i) {
    points[i].x += origin.x;
    points[i].y += origin.y;
  }
  return static_cast<int>(MAKELONG(static_cast<WORD>(origin.x), static_cast<WORD>(origin.y)));
}
