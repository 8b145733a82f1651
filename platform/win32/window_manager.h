#pragma once
// Whether the platform gives a window that Qt shows maximised its size: on
// X11 the window manager does, when one runs; the offscreen platform of the
// tests does it itself. On a bare X server the layer places the window.

namespace qv::win32 {

bool PlatformMaximises();

}  // namespace qv::win32
