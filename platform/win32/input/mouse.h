#pragma once
// The mouse: capture, the cursor position, the window under a point, and
// cursors with WM_SETCURSOR. Every mouse move over a window first sends it
// WM_SETCURSOR (HTCLIENT, WM_MOUSEMOVE); its default processing asks the
// parent first and then shows the arrow.

#include <QPoint>

#include "platform/win32/icon/icon.h"
#include "platform/win32/window.h"

// The window that gets every mouse message, wherever the mouse is, until
// ReleaseCapture; the previous capture window (which gets WM_CAPTURECHANGED).
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();

BOOL GetCursorPos(POINT* point);  // screen coordinates
// The innermost shown window at a screen point, null where there is none.
HWND WindowFromPoint(POINT point);
// The parent itself or its direct child at a point of the parent's client
// area; null outside the parent.
HWND ChildWindowFromPoint(HWND parent, POINT point);

// Predefined cursors (LoadCursor with a null instance).
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#define IDC_CROSS MAKEINTRESOURCEA(32515)
#define IDC_UPARROW MAKEINTRESOURCEA(32516)
#define IDC_SIZENWSE MAKEINTRESOURCEA(32642)
#define IDC_SIZENESW MAKEINTRESOURCEA(32643)
#define IDC_SIZEWE MAKEINTRESOURCEA(32644)
#define IDC_SIZENS MAKEINTRESOURCEA(32645)
#define IDC_SIZEALL MAKEINTRESOURCEA(32646)
#define IDC_NO MAKEINTRESOURCEA(32648)
#define IDC_HAND MAKEINTRESOURCEA(32649)
#define IDC_APPSTARTING MAKEINTRESOURCEA(32650)
#define IDC_HELP MAKEINTRESOURCEA(32651)

// A predefined cursor; null for a name that is none (no cursor resources exist).
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
inline HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name) { return LoadCursorA(instance, name); }
// Shows the cursor over the window under the mouse (or the capture window)
// until the next WM_SETCURSOR changes it; the previous cursor.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();

// TME_LEAVE: one WM_MOUSELEAVE when the mouse next leaves the window.
BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme);
BOOL _TrackMouseEvent(TRACKMOUSEEVENT* tme);

class QMouseEvent;

namespace qv::win32 {

// The default processing of the mouse and context-menu messages: WM_SETCURSOR
// asks the parent, then shows the arrow; WM_RBUTTONUP and Shift+F10 (or the
// menu key) send WM_CONTEXTMENU, which a child hands on to its parent. FALSE
// for the other messages.
BOOL DefaultInputMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
// The message pump's step before dispatching an input message: the window's
// CWnd and then its parents' get PreTranslateMessage; TRUE when one ate it.
BOOL PreTranslateInput(MSG* msg);
// Shift+F10 or the context-menu key: what asks for WM_CONTEXTMENU.
bool IsContextMenuKey(WPARAM vk);
// The message of a Qt mouse event for hwnd (by its class's CS_DBLCLKS for a
// second click); 0 for a button that has none.
UINT MouseMessage(HWND hwnd, const QMouseEvent* e);
// One mouse message as a person's input sends it: WM_SETCURSOR first (no
// capture), PreTranslateMessage of the window and its parents, then the
// message with client coordinates `client`.
void SendMouseMessage(HWND hwnd, UINT msg, const QMouseEvent* e, QPoint client);
// The host tells where the mouse is (screen) and over which window.
void NoteMouse(HWND over, int screenX, int screenY);

}  // namespace qv::win32
