#pragma once
// The window manager as a person meets it: whether one runs (on X11 it gives
// a window that Qt shows maximised its size; the offscreen platform of the
// tests does that itself, and on a bare X server the layer places the
// window), and the hints that the window styles give it.
//
// The rule, as on Windows:
//   no WS_THICKFRAME   no resize function (Qt always adds MWM_FUNC_RESIZE to
//                      the _MOTIF_WM_HINTS it writes: the layer writes them
//                      itself over xcb, after Qt and whenever Qt rewrites them)
//   WS_MAXIMIZEBOX     the maximise function and never min = max size hints,
//                      so that the window can be maximised again and again
//   neither            min = max size hints in the normal state
//   WS_MINIMIZEBOX     the minimise function; without it none
//   WS_SYSMENU         the close function
// A window manager that maximises only windows that it may resize (it then
// leaves the maximise action out of _NET_WM_ALLOWED_ACTIONS) gets the resize
// function for windows with WS_MAXIMIZEBOX: the person's maximise wins, and
// a resize against the styles is put back (top_level.h).

#include <cstdint>

#include <Qt>

#include "platform/win32/winuser.h"

class QWidget;

namespace qv::win32 {

bool PlatformMaximises();

// _MOTIF_WM_HINTS as the X server holds them: flags, functions, decorations.
struct MotifHints {
  std::uint32_t flags = 0;
  std::uint32_t functions = 0;
  std::uint32_t decorations = 0;
  bool operator==(const MotifHints&) const = default;
};
constexpr std::uint32_t kMwmHintsFunctions = 1u << 0;
constexpr std::uint32_t kMwmHintsDecorations = 1u << 1;
constexpr std::uint32_t kMwmFuncResize = 1u << 1;
constexpr std::uint32_t kMwmFuncMove = 1u << 2;
constexpr std::uint32_t kMwmFuncMinimize = 1u << 3;
constexpr std::uint32_t kMwmFuncMaximize = 1u << 4;
constexpr std::uint32_t kMwmFuncClose = 1u << 5;
constexpr std::uint32_t kMwmDecorBorder = 1u << 1;
constexpr std::uint32_t kMwmDecorResizeHandle = 1u << 2;
constexpr std::uint32_t kMwmDecorTitle = 1u << 3;
constexpr std::uint32_t kMwmDecorMenu = 1u << 4;
constexpr std::uint32_t kMwmDecorMinimize = 1u << 5;
constexpr std::uint32_t kMwmDecorMaximize = 1u << 6;

// The hints of a top-level window of these styles. `maximised`: the window
// is maximised now (it then gets the resize function where it has the
// maximise box, so that no window manager takes the maximised state away).
MotifHints MotifHintsFor(DWORD style, bool maximised);
// min = max size hints for a window of these styles in the normal state.
bool FixedSizeFor(DWORD style);

// Tells the rule whether the window manager in use maximises only windows
// that it may resize, as it otherwise learns from the window manager; for
// tests, which start each case afresh.
void SetMaximiseNeedsResize(bool needs);

// The window follows the rule for `style` from now on: its Motif hints are
// written at once (when it has its native window), when it is shown and
// whenever Qt rewrites them; a window manager's maximise, full screen or
// minimise that the styles forbid is undone. A window whose minimum and
// maximum size are equal keeps that size (a host keeps its own, top_level.h).
void FollowStyles(QWidget* window, DWORD style);
DWORD FollowedStyle(const QWidget* window);
// The states the program itself asks for (ShowWindow): never undone.
void SetAskedStates(QWidget* window, Qt::WindowStates states);
Qt::WindowStates AskedStates(const QWidget* window);

// The Motif hints that the X server holds for a window: false without the
// property or an X server.
bool ReadMotifHints(const QWidget* window, MotifHints* out);

}  // namespace qv::win32
