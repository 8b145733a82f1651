#pragma once
// The Win32 window functions: creation and destruction, messages, text,
// visibility, geometry, timers and painting; the classes are in
// window_class.h, the scroll bars in standard/scroll_bar.h. A window belongs
// to the thread that created it; the calls a worker thread may make
// (SendMessage, PostMessage, EnableWindow, ShowWindow, InvalidateRect) are
// carried to that thread by the layer.

#include "platform/win32/gdi/gdi_api.h"
#include "platform/win32/gdi/geometry.h"
#include "platform/win32/winuser.h"

struct CREATESTRUCTA {
  void* lpCreateParams;
  HWND hwndParent;
  int id;
  int cy;
  int cx;
  int y;
  int x;
  DWORD style;
  const char* lpszName;
  const char* lpszClass;
  DWORD dwExStyle;
};
using LPCREATESTRUCT = CREATESTRUCTA*;

// hMenu carries the control id of a child window, as in Win32.
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, int idOrMenu, void* param);
// WM_DESTROY to the window and then its children, WM_NCDESTROY to the children
// and then the window. FALSE for a stale handle or from another thread.
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
WNDPROC GetWindowProc(HWND hwnd);
// Replaces the window's procedure; returns the previous one (nullptr for a stale handle).
WNDPROC SetWindowProc(HWND hwnd, WNDPROC proc);

// On the window's thread a direct call; from another thread carried there and
// waited for. 0 for a stale handle, and at once for a window being destroyed.
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Thread-safe; delivered in order. FALSE for a stale handle.
BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

BOOL SetWindowTextA(HWND hwnd, const char* text);
int GetWindowTextA(HWND hwnd, char* buffer, int size);
int GetWindowTextLengthA(HWND hwnd);

BOOL ShowWindow(HWND hwnd, int cmd);  // the previous visibility
BOOL IsWindowVisible(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);  // TRUE when it was disabled before
BOOL IsWindowEnabled(HWND hwnd);

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags);
BOOL GetClientRect(HWND hwnd, RECT* rect);
BOOL GetWindowRect(HWND hwnd, RECT* rect);  // screen coordinates
BOOL ScreenToClient(HWND hwnd, POINT* point);
BOOL ClientToScreen(HWND hwnd, POINT* point);

DWORD GetWindowStyle(HWND hwnd);
// Changes the style bits, with the scroll bars that WS_VSCROLL/WS_HSCROLL show;
// a change of the frame resizes the client area (WM_SIZE) and repaints.
void SetWindowStyle(HWND hwnd, DWORD style);
DWORD GetWindowExStyle(HWND hwnd);
void SetWindowExStyle(HWND hwnd, DWORD exStyle);
HWND GetParent(HWND hwnd);
inline constexpr UINT GA_PARENT = 1;
inline constexpr UINT GA_ROOT = 2;
// GA_ROOT: the top-level window that holds hwnd (hwnd itself for one).
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetDlgItem(HWND parent, int id);
int GetDlgCtrlID(HWND hwnd);
// The window's class name, cut to size - 1 characters; the length copied.
int GetClassNameA(HWND hwnd, char* buffer, int size);

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT ms, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// Painting.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
// RDW_UPDATENOW paints before it returns.
BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags);

struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;  // TRUE when WM_ERASEBKGND left the background to the painter
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT*;
// A DC on the window's pixels clipped to the update region, which is thereby
// validated; WM_ERASEBKGND is sent first when the region asked for it.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
// A DC on the whole client area; ReleaseDC shows what was drawn.
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);
