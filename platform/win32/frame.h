#pragma once
// The non-client frame as Windows (classic scheme) lays it out and draws it:
// border, dialog or sizing frame, caption with icon, title and boxes, and the
// client and static edges inside.
//
// Who draws what: on a real display the window manager frames a top-level
// window that has a caption, and its host widget holds only what lies inside
// that frame (edges, scroll bars, client). Child windows and top-level windows
// without a caption (popups, drop-downs) get their whole frame drawn by us.
// A composite snapshot draws every frame, so that it shows the window as a
// Windows user sees it.

#include <QMargins>
#include <string>

#include "platform/win32/gdi/gdi_api.h"
#include "platform/win32/winuser.h"

namespace qv::win32 {

struct FrameLayout {
  int outer = 0;    // border, dialog or sizing frame, on every side
  int caption = 0;  // the caption bar with the line under it
  int edge = 0;     // client and static edges, on every side

  // From the window's outer edge to its client area (scroll bars aside).
  QMargins ToClient() const {
    const int side = outer + edge;
    return QMargins(side, outer + caption + edge, side, side);
  }
  // The part the window manager stands in for on a framed top-level window.
  QMargins Outer() const { return QMargins(outer, outer + caption, outer, outer); }
};

FrameLayout LayoutFrame(DWORD style, DWORD exStyle);

// A top-level window with a caption: the window manager frames it on screen.
bool FramedByWindowManager(DWORD style);

struct FrameLook {
  DWORD style = 0;
  DWORD exStyle = 0;
  std::string title;
  bool active = true;
};

// Draws the frame of a window of `width` x `height` with its outer corner at
// the DC's (0, 0); leaves the client area alone. Without `outer` only the
// edges are drawn, from (0, 0) inward (what a window manager leaves to us).
void DrawFrame(HDC dc, int width, int height, const FrameLook& look, bool outer);

}  // namespace qv::win32
