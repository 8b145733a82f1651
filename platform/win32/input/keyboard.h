#pragma once
// Focus and keyboard. The layer keeps the focus window of each UI thread
// itself and tells Qt; a focus change that Qt makes on its own (a click) comes
// back through the host. Key presses reach the focus window as WM_KEYDOWN /
// WM_SYSKEYDOWN (Alt held) and WM_CHAR, after the windows from the top-level
// one down had their PreTranslateMessage turn (a dialog's IsDialogMessage).

#include "platform/win32/winuser.h"

class QKeyEvent;

// WM_KILLFOCUS to the window losing the focus, WM_SETFOCUS to the one getting
// it (nullptr takes the focus away). The previous focus window, nullptr for a
// stale or disabled window.
HWND SetFocus(HWND hwnd);
HWND GetFocus();
// The top-level window that holds the focus window (or was last activated).
HWND GetActiveWindow();
// Bit 0x8000 while the key is held: Shift, Ctrl and Alt, from the key event
// being handled or Qt's modifier state.
short GetKeyState(int vk);

namespace qv::win32 {

// The key event of a host or a standard control's Qt widget: PreTranslate
// through the window chain, then WM_KEYDOWN and WM_CHAR to hwnd. Returns
// whether the event is done with (the Qt widget must not see it again).
bool HandleKeyPress(HWND hwnd, QKeyEvent* event);
void HandleKeyRelease(HWND hwnd, QKeyEvent* event);
// Qt gave the host's widget the focus (a click, window activation).
void FocusCameFromQt(HWND hwnd);

// The Qt key event whose messages are being handled, nullptr outside one:
// what a standard control's default WM_KEYDOWN/WM_CHAR hands to its widget.
QKeyEvent* CurrentKeyEvent();

// Virtual-key code of a Qt key (0 for none) and back.
UINT VirtualKeyOf(int qtKey);
int QtKeyOf(UINT vk);

}  // namespace qv::win32

namespace qv {

// Test input: the key as a person presses it on the focus window (modifiers
// Qt::KeyboardModifiers as int). `text` is what the key types, if anything.
void PressKey(UINT vk, int modifiers = 0, const char* text = nullptr);

}  // namespace qv
