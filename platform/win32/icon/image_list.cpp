#include <vector>

#include "platform/win32/gdi/gdi_qt.h"
#include "platform/win32/icon/icon.h"
#include "platform/win32/icon/icon_object.h"

namespace qv::win32 {
namespace {

struct Image {
  HBITMAP mask = nullptr;  // monochrome, white where transparent
  HBITMAP color = nullptr;
};

struct ImageListObject {
  ~ImageListObject() {
    for (Image& i : images) {
      DeleteObject(i.mask);
      DeleteObject(i.color);
    }
  }
  int cx = 0;
  int cy = 0;
  std::vector<Image> images;
};

HandleTable<HIMAGELIST, ImageListObject>& Lists() {
  static auto* table = new HandleTable<HIMAGELIST, ImageListObject>(0x40000);
  return *table;
}

// A monochrome bitmap from a predicate: true gives white (a transparent pixel).
template <typename F>
HBITMAP MonoBitmap(int w, int h, F white) {
  const int stride = ((w + 15) / 16) * 2;
  std::vector<unsigned char> bits(static_cast<size_t>(stride) * static_cast<size_t>(h), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (white(x, y)) bits[static_cast<size_t>(y * stride + x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
  return CreateBitmap(w, h, 1, 1, bits.data());
}

// Cuts the strip into images of the list's size; the mask decides per pixel.
template <typename F>
int AddStrip(ImageListObject& list, const QImage& strip, F transparent) {
  if (list.cx <= 0 || strip.height() < list.cy || strip.width() < list.cx) return -1;
  const int first = static_cast<int>(list.images.size());
  for (int left = 0; left + list.cx <= strip.width(); left += list.cx) {
    QImage part = strip.copy(left, 0, list.cx, list.cy).convertToFormat(QImage::Format_RGB32);
    HBITMAP mask = MonoBitmap(list.cx, list.cy, [&](int x, int y) { return transparent(left + x, y); });
    for (int y = 0; y < list.cy; ++y)
      for (int x = 0; x < list.cx; ++x)
        if (transparent(left + x, y)) part.setPixel(x, y, 0xFF000000u);
    list.images.push_back(Image{mask, CreateBitmapFromQImage(part)});
  }
  return first;
}

}  // namespace
}  // namespace qv::win32

using namespace qv::win32;

HIMAGELIST ImageList_Create(int cx, int cy, UINT, int, int) {
  if (cx <= 0 || cy <= 0) return nullptr;
  auto list = std::make_shared<ImageListObject>();
  list->cx = cx;
  list->cy = cy;
  return Lists().Add(std::move(list));
}

BOOL ImageList_Destroy(HIMAGELIST list) { return Lists().Remove(list) ? TRUE : FALSE; }

int ImageList_Add(HIMAGELIST handle, HBITMAP image, HBITMAP mask) {
  auto list = Lists().Find(handle);
  if (!list || !image) return -1;
  const QImage strip = qv::ToQImage(image);
  const QImage maskImage = mask ? qv::ToQImage(mask) : QImage();
  if (strip.isNull() || (mask && maskImage.size() != strip.size())) return -1;
  return AddStrip(*list, strip, [&](int x, int y) {
    return !maskImage.isNull() && (maskImage.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
  });
}

int ImageList_AddMasked(HIMAGELIST handle, HBITMAP image, COLORREF maskColor) {
  auto list = Lists().Find(handle);
  if (!list || !image) return -1;
  const QImage strip = qv::ToQImage(image);
  if (strip.isNull()) return -1;
  const QRgb key = qRgb(GetRValue(maskColor), GetGValue(maskColor), GetBValue(maskColor));
  return AddStrip(*list, strip, [&](int x, int y) { return (strip.pixel(x, y) & 0xFFFFFF) == (key & 0xFFFFFF); });
}

int ImageList_ReplaceIcon(HIMAGELIST handle, int index, HICON icon) {
  auto list = Lists().Find(handle);
  auto i = FindIcon(icon);
  if (!list || !i || index < -1 || index >= static_cast<int>(list->images.size())) return -1;
  // The icon scaled to the list's size, through the same masked drawing.
  HBITMAP color = CreateBitmap(list->cx, list->cy, 1, 32, nullptr);
  HBITMAP mask = CreateBitmap(list->cx, list->cy, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, color);
  PatBlt(dc, 0, 0, list->cx, list->cy, BLACKNESS);
  DrawMasked(dc, 0, 0, list->cx, list->cy, i->mask, i->color, i->width, i->height, DI_IMAGE);
  SelectObject(dc, mask);
  DrawMasked(dc, 0, 0, list->cx, list->cy, i->mask, i->color, i->width, i->height, DI_MASK);
  SelectObject(dc, old);
  DeleteDC(dc);
  if (index == -1) {
    list->images.push_back(Image{mask, color});
    return static_cast<int>(list->images.size()) - 1;
  }
  Image& slot = list->images[static_cast<size_t>(index)];
  DeleteObject(slot.mask);
  DeleteObject(slot.color);
  slot = Image{mask, color};
  return index;
}

int ImageList_GetImageCount(HIMAGELIST handle) {
  auto list = Lists().Find(handle);
  return list ? static_cast<int>(list->images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST handle, int* cx, int* cy) {
  auto list = Lists().Find(handle);
  if (!list || !cx || !cy) return FALSE;
  *cx = list->cx;
  *cy = list->cy;
  return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST handle, int index, HDC dc, int x, int y, UINT style) {
  auto list = Lists().Find(handle);
  if (!list || index < 0 || index >= static_cast<int>(list->images.size())) return FALSE;
  const Image& image = list->images[static_cast<size_t>(index)];
  DrawMasked(dc, x, y, list->cx, list->cy, image.mask, image.color, list->cx, list->cy,
             (style & ILD_MASK) ? DI_MASK : DI_NORMAL);
  return TRUE;
}

HICON ImageList_GetIcon(HIMAGELIST handle, int index, UINT) {
  auto list = Lists().Find(handle);
  if (!list || index < 0 || index >= static_cast<int>(list->images.size())) return nullptr;
  const Image& image = list->images[static_cast<size_t>(index)];
  ICONINFO info{TRUE, 0, 0, image.mask, image.color};
  return CreateIconIndirect(&info);
}

CImageList::~CImageList() { DeleteImageList(); }

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
  if (m_hImageList) return FALSE;
  m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
  return m_hImageList ? TRUE : FALSE;
}

BOOL CImageList::DeleteImageList() {
  if (!m_hImageList) return FALSE;
  return ImageList_Destroy(std::exchange(m_hImageList, nullptr));
}

int CImageList::Add(CBitmap* image, CBitmap* mask) {
  return ImageList_Add(m_hImageList, image ? static_cast<HBITMAP>(image->m_hObject) : nullptr,
                       mask ? static_cast<HBITMAP>(mask->m_hObject) : nullptr);
}

int CImageList::Add(CBitmap* image, COLORREF mask) {
  return ImageList_AddMasked(m_hImageList, image ? static_cast<HBITMAP>(image->m_hObject) : nullptr, mask);
}
