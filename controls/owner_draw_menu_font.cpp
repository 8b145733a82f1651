#include "controls/owner_draw_menu_font.h"

#include "platform/win32/main_window.h"

namespace qv::controls {

BOOL CreateMenuFont(CFont& font) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0)) return FALSE;
  return font.CreateFontIndirect(&metrics.lfMenuFont);
}

MenuFontDC::MenuFontDC(bool selectFont) {
  CWnd* main = AfxGetMainWnd();
  hwnd_ = main ? main->m_hWnd : nullptr;
  dc_.Attach(::GetDC(hwnd_));
  if (selectFont && CreateMenuFont(font_)) old_ = dc_.SelectObject(&font_);
}

MenuFontDC::~MenuFontDC() {
  if (old_) dc_.SelectObject(old_);
  ::ReleaseDC(hwnd_, dc_.Detach());
}

}  // namespace qv::controls
