#pragma once
// The layer's own state of a menu, and the table from handles to it.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/handle_table.h"
#include "platform/win32/menu/menu.h"

namespace qv::win32 {

struct MenuEntry {
  UINT flags = 0;      // type and state bits (MF_POPUP, MF_OWNERDRAW, MF_CHECKED ...)
  UINT_PTR id = 0;     // the command id; for a popup the sub-menu's handle
  std::string text;    // UTF-8; empty for owner-drawn entries and separators
  ULONG_PTR data = 0;  // item data (owner-drawn entries)
  HBITMAP checked = nullptr;
  HBITMAP unchecked = nullptr;

  HMENU SubMenu() const { return (flags & MF_POPUP) ? reinterpret_cast<HMENU>(id) : nullptr; }
};

struct MenuObject {
  ~MenuObject();
  bool popup = false;
  std::vector<MenuEntry> entries;
  CMenu* permanent = nullptr;        // the object attached with CMenu::Attach
  std::unique_ptr<CMenu> temporary;  // what FromHandle gives otherwise
};

std::shared_ptr<MenuObject> FindMenu(HMENU menu);

// The entry that `item` names: a position with MF_BYPOSITION, else a command
// id searched through the sub-menus too. {nullptr, -1} when there is none.
std::pair<std::shared_ptr<MenuObject>, int> FindEntry(HMENU menu, UINT item, UINT flags);

// The menu whose entries the popup window is measuring (WM_MEASUREITEM
// names no menu), null at other times.
HMENU MeasuringMenu();

// The bits an entry keeps of the flags it was made with.
inline constexpr UINT kEntryBits = MF_GRAYED | MF_DISABLED | MF_BITMAP | MF_CHECKED | MF_POPUP | MF_MENUBARBREAK |
                                   MF_MENUBREAK | MF_HILITE | MF_OWNERDRAW | MFT_RADIOCHECK | MF_SEPARATOR |
                                   MF_DEFAULT;

}  // namespace qv::win32
