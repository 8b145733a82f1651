#pragma once
// The scroll bars of a window (WS_VSCROLL, WS_HSCROLL): range, page and
// position, clamped as on Windows; a bar whose page covers its whole range
// goes away unless SIF_DISABLENOSCROLL keeps it.

#include "platform/win32/winuser.h"

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);  // the previous position
int GetScrollPos(HWND hwnd, int bar);
