#include "platform/win32/gdi/bitmap_resources.h"

#include <QImage>
#include <map>
#include <mutex>

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/gdi/gdi_qt.h"

namespace qv {
namespace {

std::mutex g_mutex;

std::map<int, QImage>& Table() {
  static auto* table = new std::map<int, QImage>;
  return *table;
}

}  // namespace

void RegisterBitmapPixels(int id, int width, int height, const std::uint32_t* pixels) {
  if (width <= 0 || height <= 0 || !pixels) return;
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) row[x] = 0xFF000000u | pixels[static_cast<std::size_t>(y) * width + x];
  }
  std::lock_guard<std::mutex> lock(g_mutex);
  Table()[id] = image;
}

BOOL RegisterBitmapFile(int id, const unsigned char* data, std::size_t size) {
  QImage image;
  if (!data || !image.loadFromData(data, static_cast<int>(size))) return FALSE;
  std::lock_guard<std::mutex> lock(g_mutex);
  Table()[id] = image.convertToFormat(QImage::Format_RGB32);
  return TRUE;
}

HBITMAP LoadBitmapResource(int id) {
  QImage image;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = Table().find(id);
    if (it == Table().end()) return nullptr;
    image = it->second;
  }
  return CreateBitmapFromQImage(image);
}

}  // namespace qv

BOOL CBitmap::LoadBitmap(UINT id) {
  HBITMAP bitmap = qv::LoadBitmapResource(static_cast<int>(id));
  return bitmap ? Attach(bitmap) : FALSE;
}
