#include "platform/win32/main_window.h"

namespace {
CWnd* g_main = nullptr;  // the UI thread's alone
}  // namespace

CWnd* AfxGetMainWnd() { return g_main && IsWindow(g_main->m_hWnd) ? g_main : nullptr; }

namespace qv {

void SetMainWindow(CWnd* wnd) { g_main = wnd; }

}  // namespace qv
