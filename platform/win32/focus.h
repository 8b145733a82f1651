#pragma once
// The keyboard focus of the calling thread's windows.

#include "platform/win32/window.h"

// WM_KILLFOCUS to the window that had the focus, then WM_SETFOCUS to the new
// one; the previous focus window. A stale handle changes nothing.
HWND SetFocus(HWND hwnd);
HWND GetFocus();
