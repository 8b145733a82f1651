#pragma once
// The layer's own state of an icon or cursor.

#include <memory>

#include "platform/core/handle_table.h"
#include "platform/win32/icon/icon.h"

namespace qv::win32 {

struct IconObject {
  ~IconObject();
  int width = 0;
  int height = 0;
  HBITMAP mask = nullptr;   // monochrome, white where transparent
  HBITMAP color = nullptr;  // 32-bit, black where transparent
  bool isIcon = true;
  POINT hotSpot{0, 0};
  bool shared = false;      // a predefined cursor: never destroyed
  int cursorShape = -1;     // its Qt::CursorShape, -1 for a drawn cursor
};

std::shared_ptr<IconObject> FindIcon(HICON icon);
HICON AddIcon(std::shared_ptr<IconObject> icon);

// A new bitmap of the same size and depth with the same pixels.
HBITMAP CopyBitmap(HBITMAP bitmap);

// Draws the pair through the mask (AND mask, then XOR colour), stretched to
// cx x cy; the DC's colours are kept.
void DrawMasked(HDC dc, int x, int y, int cx, int cy, HBITMAP mask, HBITMAP color, int w, int h, UINT flags);

}  // namespace qv::win32
