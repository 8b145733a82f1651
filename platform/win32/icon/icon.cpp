#include "platform/win32/icon/icon.h"

#include "platform/win32/icon/icon_object.h"
#include "platform/win32/system/system_metrics.h"

namespace qv::win32 {
namespace {

HandleTable<HICON, IconObject>& Icons() {
  static auto* table = new HandleTable<HICON, IconObject>(0x30000);
  return *table;
}

SIZE BitmapSize(HBITMAP bitmap, int* bitsPerPixel = nullptr) {
  BITMAP bm{};
  if (!bitmap || !GetObject(bitmap, sizeof(bm), &bm)) return SIZE{0, 0};
  if (bitsPerPixel) *bitsPerPixel = bm.bmBitsPixel;
  return SIZE{bm.bmWidth, bm.bmHeight};
}

// Copies a part of a bitmap into a new one of the given depth.
HBITMAP CopyPart(HBITMAP source, int x, int y, int w, int h, int bitsPerPixel) {
  HBITMAP out = CreateBitmap(w, h, 1, static_cast<UINT>(bitsPerPixel), nullptr);
  HDC src = CreateCompatibleDC(nullptr);
  HDC dst = CreateCompatibleDC(nullptr);
  HGDIOBJ oldSrc = SelectObject(src, source);
  HGDIOBJ oldDst = SelectObject(dst, out);
  BitBlt(dst, 0, 0, w, h, src, x, y, SRCCOPY);
  SelectObject(src, oldSrc);
  SelectObject(dst, oldDst);
  DeleteDC(src);
  DeleteDC(dst);
  return out;
}

// DrawState's DST_ICON: the icon over the white picture it is given.
BOOL DrawStateIcon(HDC dc, LPARAM icon, WPARAM, int cx, int cy) {
  return DrawIconEx(dc, 0, 0, reinterpret_cast<HICON>(icon), cx, cy, 0, nullptr, DI_NORMAL);
}

BOOL StateIconSize(LPARAM icon, int* cx, int* cy) {
  auto i = FindIcon(reinterpret_cast<HICON>(icon));
  if (!i) return FALSE;
  *cx = i->width;
  *cy = i->height;
  return TRUE;
}

const bool g_stateIcons = (SetDrawStateIconSupport(DrawStateIcon, StateIconSize), true);

}  // namespace

IconObject::~IconObject() {
  if (mask) DeleteObject(mask);
  if (color) DeleteObject(color);
}

std::shared_ptr<IconObject> FindIcon(HICON icon) { return icon ? Icons().Find(icon) : nullptr; }
HICON AddIcon(std::shared_ptr<IconObject> icon) {
  (void)g_stateIcons;
  return Icons().Add(std::move(icon));
}

HBITMAP CopyBitmap(HBITMAP bitmap) {
  int bpp = 0;
  const SIZE s = BitmapSize(bitmap, &bpp);
  if (s.cx <= 0 || s.cy <= 0) return nullptr;
  return CopyPart(bitmap, 0, 0, s.cx, s.cy, bpp == 1 ? 1 : 32);
}

void DrawMasked(HDC dc, int x, int y, int cx, int cy, HBITMAP mask, HBITMAP color, int w, int h, UINT flags) {
  HDC src = CreateCompatibleDC(nullptr);
  // A monochrome source turns into the destination's text (0) and background (1) colours.
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(src, mask);
  if ((flags & DI_NORMAL) == DI_MASK) {
    StretchBlt(dc, x, y, cx, cy, src, 0, 0, w, h, SRCCOPY);
  } else if ((flags & DI_NORMAL) == DI_IMAGE) {
    SelectObject(src, color);
    StretchBlt(dc, x, y, cx, cy, src, 0, 0, w, h, SRCCOPY);
  } else {
    StretchBlt(dc, x, y, cx, cy, src, 0, 0, w, h, SRCAND);
    SelectObject(src, color);
    StretchBlt(dc, x, y, cx, cy, src, 0, 0, w, h, SRCINVERT);
  }
  SelectObject(src, old);
  DeleteDC(src);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBk);
}

}  // namespace qv::win32

using namespace qv::win32;

HICON CreateIconIndirect(ICONINFO* info) {
  if (!info || !info->hbmMask) return nullptr;
  int maskBpp = 0;
  const SIZE m = BitmapSize(info->hbmMask, &maskBpp);
  if (m.cx <= 0 || m.cy <= 0) return nullptr;
  auto icon = std::make_shared<IconObject>();
  icon->isIcon = info->fIcon != FALSE;
  icon->hotSpot = POINT{static_cast<LONG>(info->xHotspot), static_cast<LONG>(info->yHotspot)};
  if (info->hbmColor) {
    const SIZE c = BitmapSize(info->hbmColor);
    if (c.cx != m.cx || c.cy != m.cy) return nullptr;
    icon->width = m.cx;
    icon->height = m.cy;
    icon->mask = CopyPart(info->hbmMask, 0, 0, m.cx, m.cy, 1);
    icon->color = CopyPart(info->hbmColor, 0, 0, m.cx, m.cy, 32);
  } else {
    // A monochrome icon: the AND mask above the XOR image in one bitmap.
    if (m.cy < 2) return nullptr;
    icon->width = m.cx;
    icon->height = m.cy / 2;
    icon->mask = CopyPart(info->hbmMask, 0, 0, m.cx, icon->height, 1);
    icon->color = CopyPart(info->hbmMask, 0, icon->height, m.cx, icon->height, 32);
  }
  return AddIcon(std::move(icon));
}

BOOL GetIconInfo(HICON icon, ICONINFO* info) {
  auto i = FindIcon(icon);
  if (!i || !info) return FALSE;
  info->fIcon = i->isIcon ? TRUE : FALSE;
  info->xHotspot = static_cast<DWORD>(i->hotSpot.x);
  info->yHotspot = static_cast<DWORD>(i->hotSpot.y);
  info->hbmMask = i->mask ? CopyBitmap(i->mask) : nullptr;
  info->hbmColor = i->color ? CopyBitmap(i->color) : nullptr;
  return TRUE;
}

BOOL DestroyIcon(HICON icon) {
  auto i = FindIcon(icon);
  if (!i) return FALSE;
  if (i->shared) return TRUE;
  Icons().Remove(icon);
  return TRUE;
}

BOOL DestroyCursor(HCURSOR cursor) { return DestroyIcon(cursor); }

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH flickerFree, UINT flags) {
  auto i = FindIcon(icon);
  if (!i || !i->mask || !i->color) return FALSE;
  if (cx == 0) cx = (flags & DI_DEFAULTSIZE) ? GetSystemMetrics(SM_CXICON) : i->width;
  if (cy == 0) cy = (flags & DI_DEFAULTSIZE) ? GetSystemMetrics(SM_CYICON) : i->height;
  if ((flags & DI_NORMAL) == 0) flags |= DI_NORMAL;
  if (!flickerFree) {
    DrawMasked(dc, x, y, cx, cy, i->mask, i->color, i->width, i->height, flags);
    return TRUE;
  }
  // Composed over the brush first, then copied in one piece.
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP picture = CreateCompatibleBitmap(dc, cx, cy);
  if (!mem || !picture) {
    if (picture) DeleteObject(picture);
    if (mem) DeleteDC(mem);
    return FALSE;
  }
  HGDIOBJ old = SelectObject(mem, picture);
  RECT all{0, 0, cx, cy};
  FillRect(mem, &all, flickerFree);
  DrawMasked(mem, 0, 0, cx, cy, i->mask, i->color, i->width, i->height, flags);
  BitBlt(dc, x, y, cx, cy, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteObject(picture);
  DeleteDC(mem);
  return TRUE;
}
