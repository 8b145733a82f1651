#include "platform/win32/menu/menu_object.h"

namespace qv::win32 {
namespace {
HMENU g_measuring = nullptr;
}  // namespace

HMENU MeasuringMenu() { return g_measuring; }

}  // namespace qv::win32

BOOL TrackPopupMenu(HMENU, UINT, int, int, int, HWND, const RECT*) { return FALSE; }
