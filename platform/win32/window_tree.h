#pragma once
// Moving windows within the tree and between coordinate spaces: SetParent,
// BringWindowToTop and MapWindowPoints.

#include "platform/win32/window.h"

// The previous parent; null on failure. A null parent makes a top-level window.
HWND SetParent(HWND hwnd, HWND parent);
BOOL BringWindowToTop(HWND hwnd);
// From one window's client coordinates to another's; a null window stands for
// the screen. Returns the horizontal offset in the low word, the vertical one
// in the high word.
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);

inline constexpr UINT SWP_FRAMECHANGED = 0x0020;
