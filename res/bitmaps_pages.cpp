// The main window's logo and the status strip's picture, drawn here: a chip
// with its pins under a download arrow, and a cable between a plug and a
// board with its lamp.

#include <cstdint>
#include <vector>

#include "platform/win32/gdi/bitmap_resources.h"
#include "res/pages_ids.h"

namespace {

// Pixels 0x00RRGGBB, top-down.
class Canvas {
 public:
  Canvas(int width, int height) : m_nWidth(width), m_nHeight(height), m_pixels(static_cast<size_t>(width * height)) {}

  void Fill(int x, int y, int w, int h, std::uint32_t colour) {
    for (int j = y; j < y + h; ++j) {
      for (int i = x; i < x + w; ++i) Put(i, j, colour);
    }
  }
  // A top-to-bottom blend from one colour to the other.
  void Gradient(std::uint32_t top, std::uint32_t bottom) {
    for (int j = 0; j < m_nHeight; ++j) {
      const int t = m_nHeight > 1 ? j * 255 / (m_nHeight - 1) : 0;
      std::uint32_t c = 0;
      for (int shift = 0; shift <= 16; shift += 8) {
        const int a = static_cast<int>((top >> shift) & 0xFF);
        const int b = static_cast<int>((bottom >> shift) & 0xFF);
        c |= static_cast<std::uint32_t>(a + (b - a) * t / 255) << shift;
      }
      Fill(0, j, m_nWidth, 1, c);
    }
  }
  void Disc(int cx, int cy, int r, std::uint32_t colour) {
    for (int j = -r; j <= r; ++j) {
      for (int i = -r; i <= r; ++i) {
        if (i * i + j * j <= r * r) Put(cx + i, cy + j, colour);
      }
    }
  }
  // A downward arrow: a shaft and a head that narrows to its tip.
  void ArrowDown(int cx, int top, int shaftWidth, int shaftHeight, int headHalf, std::uint32_t colour) {
    Fill(cx - shaftWidth / 2, top, shaftWidth, shaftHeight, colour);
    for (int k = 0; k <= headHalf; ++k) Fill(cx - headHalf + k, top + shaftHeight + k, 2 * (headHalf - k) + 1, 1, colour);
  }
  int Width() const { return m_nWidth; }
  int Height() const { return m_nHeight; }
  const std::uint32_t* Pixels() const { return m_pixels.data(); }

 private:
  void Put(int x, int y, std::uint32_t colour) {
    if (x >= 0 && y >= 0 && x < m_nWidth && y < m_nHeight) m_pixels[static_cast<size_t>(y * m_nWidth + x)] = colour;
  }

  int m_nWidth;
  int m_nHeight;
  std::vector<std::uint32_t> m_pixels;
};

Canvas DrawLogo() {
  Canvas c(158, 120);
  c.Gradient(0x5C7186, 0x2B3640);
  // The chip, its pins on all four sides, and its pin-1 mark.
  const int x = 49, y = 40, size = 60;
  for (int k = 0; k < 6; ++k) {
    const int at = 6 + k * 9;
    c.Fill(x + at, y - 7, 4, 7, 0xC9CED3);
    c.Fill(x + at, y + size, 4, 7, 0xC9CED3);
    c.Fill(x - 7, y + at, 7, 4, 0xC9CED3);
    c.Fill(x + size, y + at, 7, 4, 0xC9CED3);
  }
  c.Fill(x, y, size, size, 0x1E2227);
  c.Fill(x + 3, y + 3, size - 6, size - 6, 0x30363D);
  c.Disc(x + 10, y + 10, 3, 0x8A939C);
  // The image going into the flash.
  c.ArrowDown(x + size / 2, 8, 10, 40, 14, 0x3FCB5E);
  c.ArrowDown(x + size / 2, 10, 6, 38, 10, 0x6CE586);
  return c;
}

Canvas DrawStripPicture() {
  Canvas c(158, 49);
  c.Gradient(0x5C6060, 0x3E4242);
  // The plug, its cable and the board with its lamp.
  c.Fill(14, 17, 22, 15, 0xC9CED3);
  c.Fill(6, 20, 8, 9, 0x9AA1A8);
  c.Fill(36, 23, 70, 3, 0x1E2227);
  c.Fill(106, 11, 40, 27, 0x24603A);
  c.Fill(110, 15, 14, 10, 0x1E2227);
  c.Disc(136, 20, 4, 0x5CF07A);
  for (int k = 0; k < 5; ++k) c.Fill(110 + k * 7, 31, 3, 4, 0xD9B44A);
  return c;
}

const Canvas kLogo = DrawLogo();
const qv::BitmapRegistrar kLogoBitmap{IDB_LOGO, kLogo.Width(), kLogo.Height(), kLogo.Pixels()};
const Canvas kStripPicture = DrawStripPicture();
const qv::BitmapRegistrar kStripBitmap{IDB_STATUS_PICTURE, kStripPicture.Width(), kStripPicture.Height(),
                                       kStripPicture.Pixels()};

}  // namespace
