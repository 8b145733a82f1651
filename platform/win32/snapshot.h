#pragma once
// What a window shows: a copy of its backing bitmap (the client area).

#include <QImage>

#include "platform/win32/winuser.h"

namespace qv {

QImage WindowSnapshot(HWND hwnd);  // null image for a stale handle

}  // namespace qv
