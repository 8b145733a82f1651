#include "platform/win32/main_window.h"

#include "platform/win32/win_app.h"

CWnd* AfxGetMainWnd() {
  CWinApp* app = AfxGetApp();
  CWnd* main = app != nullptr ? app->m_pMainWnd : nullptr;
  return main != nullptr && IsWindow(main->m_hWnd) ? main : nullptr;
}
