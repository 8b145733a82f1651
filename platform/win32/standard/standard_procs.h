#pragma once
// The window procedures of the standard classes, for their registration.

#include "platform/win32/winuser.h"

namespace qv::win32 {

WNDPROC ButtonClassProc();
WNDPROC StaticClassProc();
WNDPROC EditClassProc();
WNDPROC ListBoxClassProc();
WNDPROC ComboBoxClassProc();

}  // namespace qv::win32
