#pragma once
// What a window shows. WindowSnapshot: a copy of its backing bitmap (the client
// area). CompositeSnapshot: the whole window as a person sees it, non-client
// frame drawn as Windows draws it (also where a window manager frames the
// window on screen), with every shown child and its frame on top; the image
// is the window rectangle's size.

#include <QImage>

#include "platform/win32/winuser.h"

namespace qv {

QImage WindowSnapshot(HWND hwnd);     // null image for a stale handle
QImage CompositeSnapshot(HWND hwnd);  // null image for a stale handle

}  // namespace qv
