#pragma once
// What measuring and painting a menu entry shares: the menu font of the
// system metrics, and the DC of the main window (the desktop's without one)
// with that font selected when asked.

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/window.h"

namespace qv::controls {

// lfMenuFont of SPI_GETNONCLIENTMETRICS.
BOOL CreateMenuFont(CFont& font);

class MenuFontDC {
 public:
  explicit MenuFontDC(bool selectFont);
  ~MenuFontDC();
  MenuFontDC(const MenuFontDC&) = delete;
  MenuFontDC& operator=(const MenuFontDC&) = delete;
  CDC& dc() { return dc_; }

 private:
  HWND hwnd_;
  CDC dc_;
  CFont font_;
  CFont* old_ = nullptr;
};

}  // namespace qv::controls
