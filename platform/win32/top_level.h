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

// The window manager's hints from the styles (window_manager.h): Motif
// functions and decorations, and min = max size hints only for a window with
// neither WS_THICKFRAME nor WS_MAXIMIZEBOX in the normal state.
void ApplySizeHints(WindowObject& w);

// The host of a top-level window took a size (the window manager, a
// maximise): the window takes it where its styles allow it; a window without
// WS_THICKFRAME in the normal state is put back to the size it keeps.
void TopLevelResized(WindowObject& w);
// The host's state changed (maximised, restored, minimised): the hints follow
// and the size is taken or put back as above.
void TopLevelStateChanged(WindowObject& w, Qt::WindowStates before);
// The host's size becomes the window's (WM_SIZE where it changed).
void TakeHostSize(WindowObject& w);

// ShowWindow on a shown top-level window. SW_MAXIMIZE takes the window
// manager's maximised state, and without a window manager the screen's
// available area; SW_RESTORE and SW_SHOWNORMAL bring back the size before.
void ShowTopLevel(WindowObject& w, int cmd);

// The window becomes the active one each time it is shown: a modal window
// takes the keyboard, so that its default button answers Enter.
void ActivateOnShow(QWidget* window);

// A Qt dialog (message box, file dialog) as Windows shows its own: the
// dialog font, push buttons without icons, the window manager's hints from
// `style` (a message box: a caption with only a close box), activated when
// shown.
void StyleAsWindowsDialog(QWidget* dialog, DWORD style);

}  // namespace qv::win32
