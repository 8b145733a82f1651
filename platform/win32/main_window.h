#pragma once
// The application's main window, as the framework keeps it: what code that
// needs "the main window's DC, or the desktop's" asks for.

#include "platform/win32/cwnd.h"

// The application object's m_pMainWnd while its window exists; null without
// an application, a main window, or once that window is gone.
CWnd* AfxGetMainWnd();
