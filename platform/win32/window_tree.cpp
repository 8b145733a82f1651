// Walks up the window tree.

#include "platform/win32/window.h"

HWND GetAncestor(HWND hwnd, UINT flags) {
  if (!IsWindow(hwnd)) return nullptr;
  if (flags == GA_PARENT) return GetParent(hwnd);
  HWND top = hwnd;
  while ((GetWindowStyle(top) & WS_CHILD) && GetParent(top)) top = GetParent(top);
  return top;
}
