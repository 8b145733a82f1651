// The system colour table and its brushes. The brushes are stock GDI objects
// that follow the table when SetSysColors changes it.

#include "platform/win32/system/system_colours.h"

#include <array>
#include <mutex>

#include "platform/win32/gdi/gdi_internal.h"

namespace qv::gdi {
namespace {

// Windows 2000 "Windows Classic" scheme, COLORREF 0x00BBGGRR.
constexpr std::array<COLORREF, kSysColourCount> kClassicColours = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(181, 181, 181),  // 25: button alternate face
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),    // COLOR_MENUHILIGHT
    RGB(212, 208, 200),  // COLOR_MENUBAR
};

struct SysColours {
  std::array<COLORREF, kClassicColours.size()> colours = kClassicColours;
  std::array<HGDIOBJ, kClassicColours.size()> brushes{};
};
SysColours& Sys() {
  static SysColours s;
  return s;
}

// Guards the brushes and the table's changes.
std::mutex g_sysMutex;

}  // namespace
}  // namespace qv::gdi

using namespace qv::gdi;

DWORD GetSysColor(int index) {
  if (index < 0 || index >= static_cast<int>(kClassicColours.size())) return 0;
  return Sys().colours[static_cast<std::size_t>(index)];
}

HBRUSH GetSysColorBrush(int index) {
  if (index < 0 || index >= static_cast<int>(kClassicColours.size())) return nullptr;
  std::lock_guard<std::mutex> lock(g_sysMutex);
  HGDIOBJ& b = Sys().brushes[static_cast<std::size_t>(index)];
  if (!b) b = StockBrush(BS_SOLID, Sys().colours[static_cast<std::size_t>(index)]);
  return b;
}

BOOL SetSysColors(int count, const int* indices, const COLORREF* colours) {
  if (count < 0 || (count > 0 && (!indices || !colours))) return FALSE;
  std::lock_guard<std::mutex> lock(g_sysMutex);
  for (int i = 0; i < count; ++i) {
    if (indices[i] < 0 || indices[i] >= static_cast<int>(kClassicColours.size())) continue;
    const auto k = static_cast<std::size_t>(indices[i]);
    Sys().colours[k] = colours[i] & 0xFFFFFFu;
    if (QvGdiObject* b = Object(Sys().brushes[k])) b->brush.lbColor = Sys().colours[k];
  }
  return TRUE;
}
