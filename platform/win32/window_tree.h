#pragma once
// Moving windows within the window tree: a new parent, the top of the
// z-order, and points from one window's client coordinates to another's.

#include "platform/win32/window.h"

// The window keeps its coordinates, now in the new parent's client area; a
// null parent makes it top-level (screen coordinates). The previous parent,
// nullptr for a stale handle or a parent that is the window or inside it.
HWND SetParent(HWND hwnd, HWND parent);
// Raises the window above its siblings (a top-level window above the others).
BOOL BringWindowToTop(HWND hwnd);
// A null window stands for the screen. The horizontal and vertical offsets
// packed as MAKELONG(dx, dy); 0 with nothing changed for a stale handle.
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
