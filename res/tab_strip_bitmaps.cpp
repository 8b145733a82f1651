// The tab strip's bitmaps: 195 and 196 are its scroll buttons, 198 the bar
// behind the strip along the bottom edge.

#include <cstdint>
#include <vector>

#include "platform/win32/gdi/bitmap_resources.h"

namespace {

// The scroll buttons: a raised classic frame round a black arrow.
// W highlight, L light, F face, S shadow, K black.
constexpr int kButtonWidth = 24;
constexpr int kButtonHeight = 18;
const char* const kLeftButton[kButtonHeight] = {
    "WWWWWWWWWWWWWWWWWWWWWWWK",
    "WLLLLLLLLLLLLLLLLLLLLLSK",
    "WLFFFFFFFFFFFFFFFFFFFFSK",
    "WLFFFFFFFFFFFFFFFFFFFFSK",
    "WLFFFFFFFFFFFFFFFFFFFFSK",
    "WLFFFFFFFFFFFKFFFFFFFFSK",
    "WLFFFFFFFFFFKKFFFFFFFFSK",
    "WLFFFFFFFFFKKKFFFFFFFFSK",
    "WLFFFFFFFFKKKKFFFFFFFFSK",
    "WLFFFFFFFFKKKKFFFFFFFFSK",
    "WLFFFFFFFFFKKKFFFFFFFFSK",
    "WLFFFFFFFFFFKKFFFFFFFFSK",
    "WLFFFFFFFFFFFKFFFFFFFFSK",
    "WLFFFFFFFFFFFFFFFFFFFFSK",
    "WLFFFFFFFFFFFFFFFFFFFFSK",
    "WLFFFFFFFFFFFFFFFFFFFFSK",
    "WSSSSSSSSSSSSSSSSSSSSSSK",
    "KKKKKKKKKKKKKKKKKKKKKKKK",
};
const char* const kRightButton[kButtonHeight] = {
    "WWWWWWWWWWWWWWWWWWWWWWWK",
    "WLLLLLLLLLLLLLLLLLLLLLSK",
    "WLFFFFFFFFFFFFFFFFFFFFSK",
    "WLFFFFFFFFFFFFFFFFFFFFSK",
    "WLFFFFFFFFFFFFFFFFFFFFSK",
    "WLFFFFFFFFKFFFFFFFFFFFSK",
    "WLFFFFFFFFKKFFFFFFFFFFSK",
    "WLFFFFFFFFKKKFFFFFFFFFSK",
    "WLFFFFFFFFKKKKFFFFFFFFSK",
    "WLFFFFFFFFKKKKFFFFFFFFSK",
    "WLFFFFFFFFKKKFFFFFFFFFSK",
    "WLFFFFFFFFKKFFFFFFFFFFSK",
    "WLFFFFFFFFKFFFFFFFFFFFSK",
    "WLFFFFFFFFFFFFFFFFFFFFSK",
    "WLFFFFFFFFFFFFFFFFFFFFSK",
    "WLFFFFFFFFFFFFFFFFFFFFSK",
    "WSSSSSSSSSSSSSSSSSSSSSSK",
    "KKKKKKKKKKKKKKKKKKKKKKKK",
};

std::uint32_t ButtonPixel(char c) {
  switch (c) {
    case 'W': return 0xFFFFFF;
    case 'L': return 0xE3E3E3;
    case 'S': return 0x808080;
    case 'K': return 0x000000;
    default: return 0xD4D0C8;
  }
}

// The bar behind the bottom strip, one colour a row (0xRRGGBB), top to bottom:
// a light grey-blue that darkens a little toward its lower edge.
constexpr int kBackWidth = 275;
constexpr int kBackHeight = 14;
constexpr std::uint32_t kBackRows[kBackHeight] = {
    0xF4F7FC, 0xE8EEF7, 0xE4EAF5, 0xE0E7F3, 0xDCE4F1, 0xD9E1EF, 0xD6DFEE,
    0xD3DCEC, 0xD0DAEA, 0xCDD7E8, 0xCAD4E6, 0xC7D1E4, 0xC3CEE1, 0xA9B6CC};

std::vector<std::uint32_t> FromArt(const char* const* rows) {
  std::vector<std::uint32_t> pixels;
  pixels.reserve(kButtonWidth * kButtonHeight);
  for (int y = 0; y < kButtonHeight; ++y)
    for (int x = 0; x < kButtonWidth; ++x) pixels.push_back(ButtonPixel(rows[y][x]));
  return pixels;
}

std::vector<std::uint32_t> Back() {
  std::vector<std::uint32_t> pixels;
  pixels.reserve(kBackWidth * kBackHeight);
  for (int y = 0; y < kBackHeight; ++y) pixels.insert(pixels.end(), kBackWidth, kBackRows[y]);
  return pixels;
}

const qv::BitmapRegistrar kLeft(195, kButtonWidth, kButtonHeight, FromArt(kLeftButton).data());
const qv::BitmapRegistrar kRight(196, kButtonWidth, kButtonHeight, FromArt(kRightButton).data());
const qv::BitmapRegistrar kBack(198, kBackWidth, kBackHeight, Back().data());

}  // namespace
