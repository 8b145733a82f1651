#include "platform/win32/focus.h"

#include "platform/win32/host_widget.h"
#include "platform/win32/window_object.h"

namespace {

thread_local HWND t_focus = nullptr;

}  // namespace

HWND SetFocus(HWND hwnd) {
  if (hwnd && !IsWindow(hwnd)) return nullptr;
  const HWND previous = IsWindow(t_focus) ? t_focus : nullptr;
  if (previous == hwnd) return previous;
  t_focus = hwnd;
  if (previous) SendMessage(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd) {
    if (auto w = qv::win32::Lookup(hwnd); w && w->host) w->host->setFocus(Qt::OtherFocusReason);
    SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  }
  return previous;
}

HWND GetFocus() { return IsWindow(t_focus) ? t_focus : nullptr; }
