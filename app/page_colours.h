#pragma once
// WM_CTLCOLOR of the pages and the status strip: the dialog's client area
// filled with its brush, every control on it transparent over that brush.

#include "platform/win32/cwnd.h"

HBRUSH PageCtlColor(CWnd& page, CDC* dc, UINT kind, CBrush& brush);
