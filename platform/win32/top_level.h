#pragma once
// How a top-level window's host meets the window manager: Qt's window flags
// and size hints from the window styles, and the show states.

#include <Qt>

#include "platform/win32/winuser.h"

class QWidget;

namespace qv::win32 {

struct WindowObject;

// The frame for a caption, none for a popup; an owned window stays above its
// owner; the minimise and maximise boxes only with their styles.
Qt::WindowFlags TopLevelFlags(DWORD style, bool owned);

// Without WS_THICKFRAME a window keeps its size in the normal state: the
// window manager offers no resizing and no maximising of its own. A
// maximised or minimised window is left free.
void ApplySizeHints(WindowObject& w);

// ShowWindow on a shown top-level window. SW_MAXIMIZE takes the window
// manager's maximised state, and without a window manager the screen's
// available area; SW_RESTORE and SW_SHOWNORMAL bring back the size before.
void ShowTopLevel(WindowObject& w, int cmd);

// The window becomes the active one each time it is shown: a modal window
// takes the keyboard, so that its default button answers Enter.
void ActivateOnShow(QWidget* window);

}  // namespace qv::win32
