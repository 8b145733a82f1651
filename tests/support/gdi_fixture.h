#pragma once
// A memory DC over a small 32-bit bitmap, filled white.

#include <gtest/gtest.h>

#include "platform/win32/gdi/gdi.h"

class MemSurface {
 public:
  MemSurface(int w, int h) : w_(w), h_(h) {
    dc.CreateCompatibleDC(nullptr);
    bitmap.CreateCompatibleBitmap(nullptr, w, h);
    old_ = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, w, h, RGB(255, 255, 255));
    dc.SetBkColor(RGB(255, 255, 255));
  }
  ~MemSurface() { dc.SelectObject(old_); }

  // Pixels of colour c inside r (all of the surface by default).
  int Count(COLORREF c, RECT r = RECT{0, 0, 0, 0}) const {
    if (IsRectEmpty(&r)) r = RECT{0, 0, w_, h_};
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += dc.GetPixel(x, y) == c;
    return n;
  }
  // Bounding box of the pixels that are not white.
  RECT Ink() const {
    RECT b{w_, h_, 0, 0};
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        if (dc.GetPixel(x, y) != RGB(255, 255, 255)) {
          b.left = std::min<LONG>(b.left, x), b.top = std::min<LONG>(b.top, y);
          b.right = std::max<LONG>(b.right, x + 1), b.bottom = std::max<LONG>(b.bottom, y + 1);
        }
    return b;
  }

  CDC dc;
  CBitmap bitmap;

 private:
  int w_, h_;
  CBitmap* old_;
};
