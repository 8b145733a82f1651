#include "platform/win32/menu/menu.h"

#include <algorithm>

#include "platform/core/bounded_text.h"
#include "platform/win32/menu/menu_object.h"

namespace qv::win32 {
namespace {

HandleTable<HMENU, MenuObject>& Menus() {
  static auto* table = new HandleTable<HMENU, MenuObject>(0x20000);
  return *table;
}

HMENU NewMenu(bool popup) {
  auto m = std::make_shared<MenuObject>();
  m->popup = popup;
  return Menus().Add(std::move(m));
}

MenuEntry MakeEntry(UINT flags, UINT_PTR id, LPCSTR item) {
  MenuEntry e;
  e.flags = flags & kEntryBits;
  e.id = (flags & MF_SEPARATOR) ? 0 : id;
  if (flags & MF_OWNERDRAW)
    e.data = reinterpret_cast<ULONG_PTR>(item);
  else if (!(flags & (MF_SEPARATOR | MF_BITMAP)) && item)
    e.text = item;
  return e;
}

bool ValidPopup(UINT flags, UINT_PTR id) {
  return !(flags & MF_POPUP) || FindMenu(reinterpret_cast<HMENU>(id)) != nullptr;
}

std::pair<std::shared_ptr<MenuObject>, int> FindById(const std::shared_ptr<MenuObject>& m, UINT id, int depth) {
  // Menus may (wrongly) contain themselves; the depth bound keeps that finite.
  if (!m || depth > 32) return {nullptr, -1};
  for (size_t i = 0; i < m->entries.size(); ++i) {
    const MenuEntry& e = m->entries[i];
    if (!(e.flags & MF_POPUP) && e.id == id) return {m, static_cast<int>(i)};
  }
  for (const MenuEntry& e : m->entries)
    if (HMENU sub = e.SubMenu()) {
      auto found = FindById(FindMenu(sub), id, depth + 1);
      if (found.first) return found;
    }
  // A popup entry also answers to its sub-menu's handle as id.
  for (size_t i = 0; i < m->entries.size(); ++i)
    if ((m->entries[i].flags & MF_POPUP) && static_cast<UINT>(m->entries[i].id) == id) return {m, static_cast<int>(i)};
  return {nullptr, -1};
}

void DestroyTree(HMENU menu, int depth) {
  auto m = Menus().Remove(menu);
  if (!m || depth > 32) return;
  for (const MenuEntry& e : m->entries)
    if (HMENU sub = e.SubMenu()) DestroyTree(sub, depth + 1);
}

}  // namespace

MenuObject::~MenuObject() {
  if (temporary) temporary->m_hMenu = nullptr;  // the menu is gone already
  if (permanent) permanent->m_hMenu = nullptr;
}

std::shared_ptr<MenuObject> FindMenu(HMENU menu) { return menu ? Menus().Find(menu) : nullptr; }

std::pair<std::shared_ptr<MenuObject>, int> FindEntry(HMENU menu, UINT item, UINT flags) {
  auto m = FindMenu(menu);
  if (!m) return {nullptr, -1};
  if (flags & MF_BYPOSITION) {
    if (item >= m->entries.size()) return {nullptr, -1};
    return {m, static_cast<int>(item)};
  }
  return FindById(m, item, 0);
}

BOOL DispatchMenuOwnerDraw(UINT msg, LPARAM lParam) {
  if (msg == WM_DRAWITEM) {
    auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
    if (!dis || dis->CtlType != ODT_MENU) return FALSE;
    CMenu* menu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(dis->hwndItem));
    if (!menu) return FALSE;
    menu->DrawItem(dis);
    return TRUE;
  }
  if (msg == WM_MEASUREITEM) {
    auto* mis = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
    if (!mis || mis->CtlType != ODT_MENU) return FALSE;
    CMenu* menu = CMenu::FromHandlePermanent(MeasuringMenu());
    if (!menu) return FALSE;
    menu->MeasureItem(mis);
    return TRUE;
  }
  return FALSE;
}

}  // namespace qv::win32

using namespace qv::win32;

HMENU CreateMenu() { return NewMenu(false); }
HMENU CreatePopupMenu() { return NewMenu(true); }

BOOL DestroyMenu(HMENU menu) {
  if (!FindMenu(menu)) return FALSE;
  DestroyTree(menu, 0);
  return TRUE;
}

BOOL IsMenu(HMENU menu) { return FindMenu(menu) ? TRUE : FALSE; }

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR item) {
  auto m = FindMenu(menu);
  if (!m || !ValidPopup(flags, id) || reinterpret_cast<HMENU>(id) == menu) return FALSE;
  m->entries.push_back(MakeEntry(flags, id, item));
  return TRUE;
}

BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR item) {
  auto m = FindMenu(menu);
  if (!m || !ValidPopup(flags, id)) return FALSE;
  if (!(flags & MF_BYPOSITION)) {
    auto [owner, index] = FindEntry(menu, position, MF_BYCOMMAND);
    if (!owner) return FALSE;
    owner->entries.insert(owner->entries.begin() + index, MakeEntry(flags, id, item));
    return TRUE;
  }
  const size_t at = std::min<size_t>(position, m->entries.size());
  m->entries.insert(m->entries.begin() + static_cast<std::ptrdiff_t>(at), MakeEntry(flags, id, item));
  return TRUE;
}

BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR item) {
  auto [owner, index] = FindEntry(menu, position, flags);
  if (!owner || !ValidPopup(flags, id)) return FALSE;
  MenuEntry& e = owner->entries[static_cast<size_t>(index)];
  // A sub-menu that the entry no longer opens goes with it, as on Windows.
  HMENU old = e.SubMenu();
  MenuEntry next = MakeEntry(flags, id, item);
  next.checked = e.checked;
  next.unchecked = e.unchecked;
  e = std::move(next);
  if (old && old != e.SubMenu()) DestroyMenu(old);
  return TRUE;
}

namespace {

BOOL Remove(HMENU menu, UINT position, UINT flags, bool destroySub) {
  auto [owner, index] = FindEntry(menu, position, flags);
  if (!owner) return FALSE;
  HMENU sub = owner->entries[static_cast<size_t>(index)].SubMenu();
  owner->entries.erase(owner->entries.begin() + index);
  if (destroySub && sub) DestroyMenu(sub);
  return TRUE;
}

}  // namespace

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) { return Remove(menu, position, flags, false); }
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) { return Remove(menu, position, flags, true); }

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  auto [owner, index] = FindEntry(menu, item, flags);
  if (!owner) return static_cast<UINT>(-1);
  const MenuEntry& e = owner->entries[static_cast<size_t>(index)];
  if (HMENU sub = e.SubMenu()) {
    auto s = FindMenu(sub);
    const UINT count = s ? static_cast<UINT>(std::min<size_t>(s->entries.size(), 0xFF)) : 0;
    return (count << 8) | (e.flags & 0xFF);
  }
  return e.flags;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
  auto [owner, index] = FindEntry(menu, item, check);
  if (!owner) return static_cast<DWORD>(-1);
  MenuEntry& e = owner->entries[static_cast<size_t>(index)];
  const DWORD before = e.flags & MF_CHECKED;
  e.flags = (e.flags & ~MF_CHECKED) | (check & MF_CHECKED);
  return before;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
  auto [owner, index] = FindEntry(menu, item, enable);
  if (!owner) return -1;
  MenuEntry& e = owner->entries[static_cast<size_t>(index)];
  const BOOL before = static_cast<BOOL>(e.flags & (MF_GRAYED | MF_DISABLED));
  e.flags = (e.flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  return before;
}

HMENU GetSubMenu(HMENU menu, int position) {
  auto m = FindMenu(menu);
  if (!m || position < 0 || static_cast<size_t>(position) >= m->entries.size()) return nullptr;
  HMENU sub = m->entries[static_cast<size_t>(position)].SubMenu();
  return FindMenu(sub) ? sub : nullptr;
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags) {
  auto [owner, index] = FindEntry(menu, item, flags);
  if (!owner) return 0;
  const std::string& text = owner->entries[static_cast<size_t>(index)].text;
  if (!buffer) return static_cast<int>(text.size());
  if (size <= 0) return 0;
  return static_cast<int>(qv::CopyBoundedText(text, buffer, static_cast<size_t>(size)));
}

UINT GetMenuItemID(HMENU menu, int position) {
  auto m = FindMenu(menu);
  if (!m || position < 0 || static_cast<size_t>(position) >= m->entries.size()) return static_cast<UINT>(-1);
  const MenuEntry& e = m->entries[static_cast<size_t>(position)];
  return (e.flags & MF_POPUP) ? static_cast<UINT>(-1) : static_cast<UINT>(e.id);
}

int GetMenuItemCount(HMENU menu) {
  auto m = FindMenu(menu);
  return m ? static_cast<int>(m->entries.size()) : -1;
}

namespace {

constexpr UINT kTypeBits = MF_BITMAP | MF_POPUP | MF_MENUBARBREAK | MF_MENUBREAK | MF_OWNERDRAW | MFT_RADIOCHECK |
                           MF_SEPARATOR;
constexpr UINT kStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT;

}  // namespace

BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFO info) {
  if (!info || info->cbSize == 0) return FALSE;
  auto [owner, index] = FindEntry(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  if (!owner) return FALSE;
  const MenuEntry& e = owner->entries[static_cast<size_t>(index)];
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = e.flags & kTypeBits & ~MF_POPUP;
  if (info->fMask & MIIM_STATE) info->fState = e.flags & kStateBits;
  if (info->fMask & MIIM_ID) info->wID = static_cast<UINT>(e.id);
  if (info->fMask & MIIM_SUBMENU) info->hSubMenu = e.SubMenu();
  if (info->fMask & MIIM_CHECKMARKS) {
    info->hbmpChecked = e.checked;
    info->hbmpUnchecked = e.unchecked;
  }
  if (info->fMask & MIIM_DATA) info->dwItemData = e.data;
  if (info->fMask & (MIIM_STRING | MIIM_TYPE)) {
    qv::CopyBoundedText(e.text, info->dwTypeData, info->cch);
    info->cch = static_cast<UINT>(e.text.size());
  }
  return TRUE;
}

BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFO info) {
  if (!info || info->cbSize == 0) return FALSE;
  auto [owner, index] = FindEntry(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  if (!owner) return FALSE;
  MenuEntry& e = owner->entries[static_cast<size_t>(index)];
  if ((info->fMask & MIIM_SUBMENU) && info->hSubMenu && !FindMenu(info->hSubMenu)) return FALSE;
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) e.flags = (e.flags & ~(kTypeBits & ~MF_POPUP)) | (info->fType & kTypeBits & ~MF_POPUP);
  if (info->fMask & MIIM_STATE) e.flags = (e.flags & ~kStateBits) | (info->fState & kStateBits);
  if (info->fMask & MIIM_ID && !(e.flags & MF_POPUP)) e.id = info->wID;
  if (info->fMask & MIIM_SUBMENU) {
    e.flags = info->hSubMenu ? (e.flags | MF_POPUP) : (e.flags & ~MF_POPUP);
    e.id = reinterpret_cast<UINT_PTR>(info->hSubMenu);
  }
  if (info->fMask & MIIM_CHECKMARKS) {
    e.checked = info->hbmpChecked;
    e.unchecked = info->hbmpUnchecked;
  }
  if (info->fMask & MIIM_DATA) e.data = info->dwItemData;
  if ((info->fMask & (MIIM_STRING | MIIM_TYPE)) && !(e.flags & (MF_OWNERDRAW | MF_SEPARATOR)))
    e.text = info->dwTypeData ? info->dwTypeData : "";
  return TRUE;
}

// ---------------------------------------------------------------- CMenu

const CRuntimeClass CMenu::classCMenu = {"CMenu", nullptr};
const CRuntimeClass* CMenu::GetRuntimeClass() const { return &classCMenu; }

CMenu::~CMenu() { DestroyMenu(); }

CMenu* CMenu::FromHandlePermanent(HMENU menu) {
  auto m = FindMenu(menu);
  return m ? m->permanent : nullptr;
}

CMenu* CMenu::FromHandle(HMENU menu) {
  auto m = FindMenu(menu);
  if (!m) return nullptr;
  if (m->permanent) return m->permanent;
  if (!m->temporary) {
    m->temporary = std::make_unique<CMenu>();
    m->temporary->m_hMenu = menu;
  }
  return m->temporary.get();
}

BOOL CMenu::Attach(HMENU menu) {
  auto m = FindMenu(menu);
  if (!m || m_hMenu || m->permanent) return FALSE;
  m_hMenu = menu;
  m->permanent = this;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU menu = m_hMenu;
  if (auto m = FindMenu(menu); m && m->permanent == this) m->permanent = nullptr;
  m_hMenu = nullptr;
  return menu;
}

BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  return ::DestroyMenu(Detach());
}

int CMenu::GetMenuString(UINT item, CString& text, UINT flags) const {
  const int length = ::GetMenuStringA(m_hMenu, item, nullptr, 0, flags);
  std::string buffer(static_cast<size_t>(length) + 1, '\0');
  const int copied = ::GetMenuStringA(m_hMenu, item, buffer.data(), length + 1, flags);
  text = CString(buffer.data(), copied);
  return copied;
}
