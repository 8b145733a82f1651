#include "platform/win32/window_manager.h"

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

namespace qv::win32 {
namespace {

#if QT_CONFIG(xcb)
xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

// The window that a window's _NET_SUPPORTING_WM_CHECK names; none without it.
xcb_window_t CheckWindow(xcb_connection_t* c, xcb_window_t of, xcb_atom_t check) {
  xcb_get_property_reply_t* reply =
      xcb_get_property_reply(c, xcb_get_property(c, 0, of, check, XCB_ATOM_WINDOW, 0, 1), nullptr);
  xcb_window_t named = XCB_WINDOW_NONE;
  if (reply && reply->type == XCB_ATOM_WINDOW && xcb_get_property_value_length(reply) >= 4)
    named = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
  std::free(reply);
  return named;
}

// The EWMH check: the root names a window that names itself. A window manager
// that ended leaves the root's property behind, naming a window that is gone.
bool X11WindowManagerRunning(xcb_connection_t* c) {
  const xcb_atom_t check = Atom(c, "_NET_SUPPORTING_WM_CHECK");
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  if (check == XCB_ATOM_NONE || !screen) return false;
  const xcb_window_t wm = CheckWindow(c, screen->root, check);
  return wm != XCB_WINDOW_NONE && CheckWindow(c, wm, check) == wm;
}
#endif

}  // namespace

bool PlatformMaximises() {
#if QT_CONFIG(xcb)
  auto* app = qGuiApp;
  if (auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
    if (xcb_connection_t* c = x11->connection()) return X11WindowManagerRunning(c);
#endif
  return true;
}

}  // namespace qv::win32
