// Compatible bitmaps, DIB sections and DIB transfers.

#include <cstring>

#include "platform/win32/gdi/gdi_internal.h"

using namespace qv::gdi;

namespace {

const RGBQUAD* ColourTable(const BITMAPINFO* info) {
  return reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(info) + info->bmiHeader.biSize);
}

bool SupportedInfo(const BITMAPINFO* info) {
  if (!info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return false;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  return h.biPlanes == 1 && (h.biBitCount == 1 || h.biBitCount == 32) && h.biCompression == BI_RGB &&
         h.biWidth >= 0;
}

}  // namespace

HBITMAP CreateCompatibleBitmap(HDC h, int width, int height) {
  if (width < 0 || height < 0) return nullptr;
  int depth = 32;
  if (h) {
    QvDc* dc = Dc(h);
    if (!dc) return nullptr;
    if (Pixels* s = dc->Surface(); s && dc->memory && s->bpp == 1) depth = 1;
  }
  return CreateBitmap(width, height, 1, static_cast<UINT>(depth), nullptr);
}

HBITMAP CreateDIBSection(HDC h, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD) {
  if (bits) *bits = nullptr;
  if ((h && !Dc(h)) || !SupportedInfo(info) || usage != DIB_RGB_COLORS || section) return nullptr;
  const BITMAPINFOHEADER& hd = info->bmiHeader;
  const int height = hd.biHeight < 0 ? -hd.biHeight : hd.biHeight;
  if (hd.biWidth == 0 || height == 0) return nullptr;
  QvGdiObject* o = NewObject(OBJ_BITMAP);
  o->bitmap = std::make_unique<Pixels>();
  Pixels& p = *o->bitmap;
  p.Allocate(hd.biWidth, height, hd.biBitCount);
  p.bottomUp = hd.biHeight > 0;
  p.dib = true;
  if (hd.biBitCount == 1) {
    const RGBQUAD* table = ColourTable(info);
    const DWORD used = hd.biClrUsed == 0 ? 2 : hd.biClrUsed;
    p.palette[0] = table[0];
    p.palette[1] = used > 1 ? table[1] : table[0];
  }
  if (bits) *bits = p.bits;
  return o->handle;
}

int GetDIBits(HDC h, HBITMAP bmp, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
  QvGdiObject* o = Object(bmp, OBJ_BITMAP);
  if (!Dc(h) || !o || !info || usage != DIB_RGB_COLORS) return 0;
  const Pixels& p = *o->bitmap;
  BITMAPINFOHEADER& hd = info->bmiHeader;
  if (hd.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  if (hd.biBitCount == 0) {
    // Asked for the format only.
    hd.biWidth = p.width;
    hd.biHeight = p.height;
    hd.biPlanes = 1;
    hd.biBitCount = static_cast<WORD>(p.bpp);
    hd.biCompression = BI_RGB;
    hd.biSizeImage = static_cast<DWORD>(Pixels::StrideFor(p.width, p.bpp) * p.height);
    return p.height;
  }
  if (!SupportedInfo(info) || !bits) return 0;
  Pixels out;
  out.width = p.width;
  out.height = hd.biHeight < 0 ? -hd.biHeight : hd.biHeight;
  out.bpp = hd.biBitCount;
  out.stride = Pixels::StrideFor(out.width, out.bpp);
  out.bits = static_cast<std::uint8_t*>(bits);
  out.bottomUp = hd.biHeight > 0;
  UINT done = 0;
  // Lines count from the bottom of the DIB, as Windows numbers them.
  for (UINT i = 0; i < lines && start + i < static_cast<UINT>(std::min(p.height, out.height)); ++i, ++done) {
    const int y = p.height - 1 - static_cast<int>(start + i);
    const int oy = out.height - 1 - static_cast<int>(start + i);
    for (int x = 0; x < p.width; ++x) {
      const std::uint32_t v = p.Get(x, y);
      if (out.bpp == p.bpp) {
        out.Set(x, oy, v);
      } else if (out.bpp == 32) {
        out.Set(x, oy, ToPixel(p.PaletteColour(v)));
      } else {
        out.Set(x, oy, out.MonoIndex(FromPixel(v)));
      }
    }
  }
  if (out.bpp == 1) {
    auto* table = reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(info) + hd.biSize);
    table[0] = p.bpp == 1 ? p.palette[0] : RGBQUAD{0, 0, 0, 0};
    table[1] = p.bpp == 1 ? p.palette[1] : RGBQUAD{255, 255, 255, 0};
  }
  return static_cast<int>(done);
}

int SetDIBits(HDC h, HBITMAP bmp, UINT start, UINT lines, const void* bits, const BITMAPINFO* info,
              UINT usage) {
  QvGdiObject* o = Object(bmp, OBJ_BITMAP);
  if ((h && !Dc(h)) || !o || !SupportedInfo(info) || !bits || usage != DIB_RGB_COLORS) return 0;
  Pixels& p = *o->bitmap;
  const BITMAPINFOHEADER& hd = info->bmiHeader;
  Pixels in;
  in.width = hd.biWidth;
  in.height = hd.biHeight < 0 ? -hd.biHeight : hd.biHeight;
  in.bpp = hd.biBitCount;
  in.stride = Pixels::StrideFor(in.width, in.bpp);
  in.bits = const_cast<std::uint8_t*>(static_cast<const std::uint8_t*>(bits));
  in.bottomUp = hd.biHeight > 0;
  if (in.bpp == 1) {
    in.palette[0] = ColourTable(info)[0];
    in.palette[1] = ColourTable(info)[1];
  }
  UINT done = 0;
  for (UINT i = 0; i < lines && start + i < static_cast<UINT>(std::min(p.height, in.height)); ++i, ++done) {
    const int y = p.height - 1 - static_cast<int>(start + i);
    const int iy = in.height - 1 - static_cast<int>(start + i);
    for (int x = 0; x < std::min(p.width, in.width); ++x) {
      const COLORREF c = in.bpp == 1 ? in.PaletteColour(in.Get(x, iy)) : FromPixel(in.Get(x, iy));
      p.Set(x, y, p.bpp == 1 ? p.MonoIndex(c) : ToPixel(c));
    }
  }
  return static_cast<int>(done);
}
