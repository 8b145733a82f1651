#pragma once
// Message-map entries for the window state messages: system colours changed,
// activation, and a cancelled mouse mode.

#include "platform/win32/cwnd.h"

// WM_ACTIVATE states (the low word of wParam).
inline constexpr UINT WA_INACTIVE = 0;
inline constexpr UINT WA_ACTIVE = 1;
inline constexpr UINT WA_CLICKACTIVE = 2;

#define ON_WM_SYSCOLORCHANGE() QV_MSG(WM_SYSCOLORCHANGE, self->OnSysColorChange())
#define ON_WM_ACTIVATE()                                                                       \
  QV_MSG(WM_ACTIVATE, self->OnActivate(LOWORD(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), \
                                       HIWORD(wParam) != 0))
#define ON_WM_CANCELMODE() QV_MSG(WM_CANCELMODE, self->OnCancelMode())
