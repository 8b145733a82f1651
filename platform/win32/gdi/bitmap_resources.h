#pragma once
// Bitmap resources: pictures by id, registered by the resource folder when
// the program starts; LoadBitmap makes a new bitmap of one.

#include <cstddef>
#include <cstdint>

#include "platform/win32/gdi/gdi_api.h"

namespace qv {

// Pixels 0x00RRGGBB, top-down rows of `width`; copied. Replaces an entry of the same id.
void RegisterBitmapPixels(int id, int width, int height, const std::uint32_t* pixels);
// An image file's bytes (PNG or BMP), decoded on registration; FALSE when they do not decode.
BOOL RegisterBitmapFile(int id, const unsigned char* data, std::size_t size);

// A new 32-bit bitmap of the resource (the caller deletes it); nullptr when none has that id.
HBITMAP LoadBitmapResource(int id);

struct BitmapRegistrar {
  BitmapRegistrar(int id, int width, int height, const std::uint32_t* pixels) {
    RegisterBitmapPixels(id, width, height, pixels);
  }
  BitmapRegistrar(int id, const unsigned char* data, std::size_t size) { RegisterBitmapFile(id, data, size); }
};

}  // namespace qv
