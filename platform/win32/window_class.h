#pragma once
// Window classes: a name with its window procedure, class styles and
// background. Names match without regard to case.

#include "platform/win32/winuser.h"

struct WNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  // A system colour index + 1 (COLOR_WINDOW + 1 ...) or 0: what the default
  // WM_ERASEBKGND fills with.
  int hbrBackground;
  const char* lpszClassName;
};

// FALSE when the name is taken. The classes "AfxWnd" (the framework's default
// class) and "msctls_progress32" exist from the start.
BOOL RegisterClassA(const WNDCLASSA* wc);
