#pragma once
// An offscreen top-level window to put controls in, pixel helpers, and PNG
// snapshots of what a test rendered, saved in the suite's snapshot folder.

#include <gtest/gtest.h>

#include <QImage>
#include <functional>

#include "platform/win32/application.h"
#include "platform/win32/cwnd.h"
#include "platform/win32/snapshot.h"
#include "tests/support/snapshot_file.h"

namespace qv::testing {

// COLORREF 0x00BBGGRR of an image pixel 0x00RRGGBB.
inline COLORREF ToColorRef(QRgb p) { return RGB(qRed(p), qGreen(p), qBlue(p)); }

// Pixels of `image` inside `area` for which `pick` holds.
inline int CountPixels(const QImage& image, const QRect& area, const std::function<bool(COLORREF)>& pick) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (pick(ToColorRef(image.pixel(x, y)))) ++n;
  return n;
}

// The rows (top, bottom inclusive) holding pixels of the colour; {-1, -1} when none.
inline std::pair<int, int> RowsWith(const QImage& image, COLORREF colour) {
  int top = -1, bottom = -1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (ToColorRef(image.pixel(x, y)) == colour) {
        if (top < 0) top = y;
        bottom = y;
        break;
      }
  return {top, bottom};
}

class ControlFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    qv::Application();
    ASSERT_TRUE(top.CreateEx(0, nullptr, "controls", WS_POPUP | WS_VISIBLE, CRect(0, 0, 640, 480), nullptr, 0));
  }
  // What the client area shows now; the whole window is saved as
  // <suite>_<test>_<name>.png in the snapshot folder.
  QImage Snapshot(HWND hwnd, const char* name) {
    SaveSnapshot(hwnd, name);
    return qv::WindowSnapshot(hwnd);
  }
  // The window with its frame and shown children, as a person sees it.
  QImage Composite(HWND hwnd, const char* name) { return SaveSnapshot(hwnd, name); }
  CWnd top;
};

}  // namespace qv::testing
