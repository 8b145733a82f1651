#pragma once
// What the standard controls share: their per-window state, the
// WM_CTLCOLOR* round trip to the parent, notifications, and fonts.

#include <memory>

#include "platform/win32/window.h"
#include "platform/win32/window_object.h"

namespace qv::win32 {

// The class state of a window, made by its class's WM_CREATE.
template <typename T>
T* StateOf(HWND hwnd) {
  auto w = Lookup(hwnd);
  return w ? static_cast<T*>(w->classData.get()) : nullptr;
}
template <typename T>
T* MakeState(HWND hwnd) {
  auto w = Lookup(hwnd);
  if (!w) return nullptr;
  auto state = std::make_shared<T>();
  T* raw = state.get();
  w->classData = std::move(state);
  return raw;
}

// The colours of DefWindowProc for WM_CTLCOLOR*: window colours for edits and
// lists, the 3-D face for the rest. Sets the DC's text and back colours.
HBRUSH DefaultCtlColor(HDC dc, UINT msg);
// Asks the control's parent for its colours (msg one of WM_CTLCOLOR*) with
// the DC the control draws with; a null answer gets the defaults.
HBRUSH ControlColors(HWND control, HDC dc, UINT msg);

// The colours that a WM_CTLCOLOR* answer gives a control that Qt draws.
// (A Qt widget draws its text straight onto its field: the DC's back colour
// and mode have no part in it.)
struct ControlLook {
  COLORREF text = 0;
  COLORREF background = 0;  // the brush's colour
  bool hollowBrush = false;
};
ControlLook QueryControlLook(HWND control, UINT msg);

// WM_COMMAND (id, code) from the control to its parent.
void NotifyParent(HWND control, UINT code);

// The font a control draws with until WM_SETFONT gives it one.
HFONT DefaultControlFont();

}  // namespace qv::win32
