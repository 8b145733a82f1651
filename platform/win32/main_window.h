#pragma once
// The application's main window, as the framework keeps it: what code that
// needs "the main window's DC, or the desktop's" asks for.

#include "platform/win32/cwnd.h"

// Null while the program has no main window.
CWnd* AfxGetMainWnd();

namespace qv {

// The application sets its main window here once it exists (null at its end).
void SetMainWindow(CWnd* wnd);

}  // namespace qv
