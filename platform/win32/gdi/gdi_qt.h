#pragma once
// What the window layer and the tests need beyond the Win32 interface: DCs
// over pixels the caller owns (a window's backing store), and pixels as
// QImages (snapshots, bitmaps from image files).

#include <cstdint>

#include <QFont>
#include <QImage>

#include "platform/win32/gdi/gdi_api.h"

class CBitmap;

namespace qv {

// A DC drawing into caller-owned 32-bit pixels (0x00RRGGBB, top-down rows of
// `strideBytes`), which must outlive the DC. SelectObject of a bitmap fails
// on it, like on a window DC. Delete it with DeleteDC.
HDC CreateSurfaceDC(std::uint32_t* pixels, int width, int height, int strideBytes);
HDC CreateSurfaceDC(QImage& image);  // Format_RGB32 or Format_ARGB32; stays in that image

// Where device (0, 0) lies on the surface, and the part of the surface the DC
// may touch (surface coordinates; null: all of it). Both are fixed under the
// clip region that the DC's user selects, as a window DC's visible region is.
// GetClipBox reports this area when no clip region is selected.
BOOL SetSurfaceOrigin(HDC dc, int x, int y);
BOOL SetSurfaceClip(HDC dc, HRGN visible);

// A copy of the pixels (Format_RGB32; a monochrome bitmap as black and white).
QImage ToQImage(HBITMAP bitmap);
QImage ToQImage(const CBitmap& bitmap);
QImage ToQImage(HDC dc);  // the DC's whole surface
// A new 32-bit bitmap with the image's pixels (alpha dropped).
HBITMAP CreateBitmapFromQImage(const QImage& image);

// The Qt font that draws as the GDI font does (DEFAULT_GUI_FONT for a stale handle).
QFont ToQFont(HFONT font);

}  // namespace qv
