#pragma once
// WM_DEVICECHANGE and the device event codes that travel in its wParam. The
// window layer's winuser.h gives them with the other messages; they live down
// here so that the bridge library, which knows no window layer, names its
// notifications with the same values.

#include "platform/core/wintypes.h"

inline constexpr UINT WM_DEVICECHANGE = 0x0219;
inline constexpr WPARAM DBT_DEVICEARRIVAL = 0x8000;
inline constexpr WPARAM DBT_DEVICEREMOVECOMPLETE = 0x8004;
