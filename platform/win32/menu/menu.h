#pragma once
// Menus: handles, entries, menu templates, the popup menu that
// TrackPopupMenu shows, and the CMenu object over a handle.
//
// An entry's text is UTF-8 (the system code page); menu templates carry
// UTF-16 captions, which loading converts.

#include <memory>

#include "platform/core/cstring.h"
#include "platform/win32/cwnd.h"
#include "platform/win32/resource/resource.h"

struct QvMenuHandle;
using HMENU = QvMenuHandle*;

// Entry flags (MF_) and their MENUITEMINFO names (MFT_, MFS_).
inline constexpr UINT MF_INSERT = 0x0000;
inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_BYPOSITION = 0x0400;
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_BITMAP = 0x0004;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_MENUBARBREAK = 0x0020;
inline constexpr UINT MF_MENUBREAK = 0x0040;
inline constexpr UINT MF_HILITE = 0x0080;
inline constexpr UINT MF_END = 0x0080;  // in templates only
inline constexpr UINT MF_OWNERDRAW = 0x0100;
inline constexpr UINT MF_SEPARATOR = 0x0800;
inline constexpr UINT MF_DEFAULT = 0x1000;
inline constexpr UINT MFT_STRING = MF_STRING;
inline constexpr UINT MFT_OWNERDRAW = MF_OWNERDRAW;
inline constexpr UINT MFT_SEPARATOR = MF_SEPARATOR;
inline constexpr UINT MFT_RADIOCHECK = 0x0200;
inline constexpr UINT MFS_ENABLED = 0x0000;
inline constexpr UINT MFS_GRAYED = 0x0003;
inline constexpr UINT MFS_DISABLED = MFS_GRAYED;
inline constexpr UINT MFS_CHECKED = MF_CHECKED;
inline constexpr UINT MFS_HILITE = MF_HILITE;
inline constexpr UINT MFS_DEFAULT = MF_DEFAULT;

inline constexpr UINT MIIM_STATE = 0x0001;
inline constexpr UINT MIIM_ID = 0x0002;
inline constexpr UINT MIIM_SUBMENU = 0x0004;
inline constexpr UINT MIIM_CHECKMARKS = 0x0008;
inline constexpr UINT MIIM_TYPE = 0x0010;
inline constexpr UINT MIIM_DATA = 0x0020;
inline constexpr UINT MIIM_STRING = 0x0040;
inline constexpr UINT MIIM_FTYPE = 0x0100;

struct MENUITEMINFOA {
  UINT cbSize;  // must not be 0
  UINT fMask;
  UINT fType;
  UINT fState;
  UINT wID;
  HMENU hSubMenu;
  HBITMAP hbmpChecked;
  HBITMAP hbmpUnchecked;
  ULONG_PTR dwItemData;
  LPSTR dwTypeData;  // in: the text; out: a buffer of cch bytes
  UINT cch;          // out: the text's length
  HBITMAP hbmpItem;
};
using MENUITEMINFO = MENUITEMINFOA;
using LPMENUITEMINFO = MENUITEMINFOA*;
using LPCMENUITEMINFO = const MENUITEMINFOA*;

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and, recursively, the sub-menus its entries open.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);

// `item` is the text (UTF-8), or with MF_OWNERDRAW the entry's item data.
// With MF_POPUP the id is the sub-menu's handle.
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR item);
BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR item);
BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR item);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);  // a sub-menu stays alive
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);  // a sub-menu is destroyed
inline BOOL AppendMenu(HMENU m, UINT f, UINT_PTR id, LPCSTR item) { return AppendMenuA(m, f, id, item); }
inline BOOL InsertMenu(HMENU m, UINT p, UINT f, UINT_PTR id, LPCSTR item) { return InsertMenuA(m, p, f, id, item); }
inline BOOL ModifyMenu(HMENU m, UINT p, UINT f, UINT_PTR id, LPCSTR item) { return ModifyMenuA(m, p, f, id, item); }

// The entry's flags; for a popup the sub-menu's entry count in the high byte.
// (UINT)-1 when there is no such entry.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
// The previous check or enable state, (UINT)-1 when there is no such entry.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);
HMENU GetSubMenu(HMENU menu, int position);
// Copies up to size - 1 bytes; the length copied (the text's length with a
// null buffer). 0 when there is no such entry.
int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags);
inline int GetMenuString(HMENU m, UINT item, LPSTR b, int n, UINT f) { return GetMenuStringA(m, item, b, n, f); }
// (UINT)-1 for a popup or a missing entry.
UINT GetMenuItemID(HMENU menu, int position);
int GetMenuItemCount(HMENU menu);  // -1 for a stale handle
BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFO info);
BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFO info);
inline BOOL GetMenuItemInfo(HMENU m, UINT i, BOOL p, LPMENUITEMINFO info) { return GetMenuItemInfoA(m, i, p, info); }
inline BOOL SetMenuItemInfo(HMENU m, UINT i, BOOL p, LPCMENUITEMINFO info) { return SetMenuItemInfoA(m, i, p, info); }

// A standard menu template (not the extended one): a header of two 16-bit
// words (version, offset), then the entries, UTF-16 captions. The walk never
// reads past `size` bytes: a template cut short, or one whose last entry lacks
// MF_END, fails and leaves no menu behind.
HMENU LoadMenuIndirectA(const void* menuTemplate, DWORD size);
// From the RT_MENU resource of that name.
HMENU LoadMenuA(HINSTANCE instance, LPCSTR name);
inline HMENU LoadMenu(HINSTANCE instance, LPCSTR name) { return LoadMenuA(instance, name); }

// TrackPopupMenu.
inline constexpr UINT TPM_LEFTBUTTON = 0x0000;
inline constexpr UINT TPM_RIGHTBUTTON = 0x0002;
inline constexpr UINT TPM_LEFTALIGN = 0x0000;
inline constexpr UINT TPM_CENTERALIGN = 0x0004;
inline constexpr UINT TPM_RIGHTALIGN = 0x0008;
inline constexpr UINT TPM_TOPALIGN = 0x0000;
inline constexpr UINT TPM_VCENTERALIGN = 0x0010;
inline constexpr UINT TPM_BOTTOMALIGN = 0x0020;
inline constexpr UINT TPM_NONOTIFY = 0x0080;
inline constexpr UINT TPM_RETURNCMD = 0x0100;

// Shows the menu as a popup window at (x, y) on the screen and runs a modal
// loop until an entry is chosen, Esc is pressed or the mouse clicks outside.
// The owner gets WM_INITMENUPOPUP, WM_MEASUREITEM and WM_DRAWITEM for
// owner-drawn entries, WM_MENUCHAR for keys that match no mnemonic, and
// (unless TPM_RETURNCMD or TPM_NONOTIFY) WM_COMMAND with the chosen id.
// With TPM_RETURNCMD the result is the chosen id, 0 when nothing was chosen.
// FALSE at once from any thread but the owner's.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);

// The CMenu object of a handle: one attached to it, else a temporary one that
// lives as long as the menu.
class CMenu {
 public:
  CMenu() = default;
  // Destroys the attached menu, as MFC does.
  virtual ~CMenu();
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  static const CRuntimeClass classCMenu;
  virtual const CRuntimeClass* GetRuntimeClass() const;
  BOOL IsKindOf(const CRuntimeClass* c) const { return GetRuntimeClass()->IsDerivedFrom(c); }

  HMENU m_hMenu = nullptr;
  operator HMENU() const { return m_hMenu; }  // NOLINT: MFC converts implicitly
  HMENU GetSafeHmenu() const { return m_hMenu; }

  static CMenu* FromHandle(HMENU menu);
  static CMenu* FromHandlePermanent(HMENU menu);  // nullptr unless attached
  BOOL Attach(HMENU menu);
  HMENU Detach();

  BOOL CreateMenu() { return Attach(::CreateMenu()); }
  BOOL CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
  BOOL LoadMenu(LPCSTR name) { return Attach(::LoadMenuA(AfxGetResourceHandle(), name)); }
  BOOL LoadMenu(UINT id) { return LoadMenu(MAKEINTRESOURCEA(static_cast<WORD>(id))); }
  BOOL LoadMenuIndirect(const void* menuTemplate, DWORD size) {
    return Attach(::LoadMenuIndirectA(menuTemplate, size));
  }
  BOOL DestroyMenu();

  BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCSTR item = nullptr) {
    return ::AppendMenuA(m_hMenu, flags, id, item);
  }
  BOOL InsertMenu(UINT position, UINT flags, UINT_PTR id = 0, LPCSTR item = nullptr) {
    return ::InsertMenuA(m_hMenu, position, flags, id, item);
  }
  BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR id = 0, LPCSTR item = nullptr) {
    return ::ModifyMenuA(m_hMenu, position, flags, id, item);
  }
  BOOL RemoveMenu(UINT position, UINT flags) { return ::RemoveMenu(m_hMenu, position, flags); }
  BOOL DeleteMenu(UINT position, UINT flags) { return ::DeleteMenu(m_hMenu, position, flags); }
  UINT GetMenuState(UINT item, UINT flags) const { return ::GetMenuState(m_hMenu, item, flags); }
  UINT CheckMenuItem(UINT item, UINT check) { return ::CheckMenuItem(m_hMenu, item, check); }
  UINT EnableMenuItem(UINT item, UINT enable) { return ::EnableMenuItem(m_hMenu, item, enable); }
  CMenu* GetSubMenu(int position) const { return FromHandle(::GetSubMenu(m_hMenu, position)); }
  int GetMenuString(UINT item, LPSTR buffer, int size, UINT flags) const {
    return ::GetMenuStringA(m_hMenu, item, buffer, size, flags);
  }
  int GetMenuString(UINT item, CString& text, UINT flags) const;
  UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
  UINT GetMenuItemCount() const { return static_cast<UINT>(::GetMenuItemCount(m_hMenu)); }
  BOOL GetMenuItemInfo(UINT item, LPMENUITEMINFO info, BOOL byPosition = FALSE) {
    return ::GetMenuItemInfoA(m_hMenu, item, byPosition, info);
  }
  BOOL SetMenuItemInfo(UINT item, LPCMENUITEMINFO info, BOOL byPosition = FALSE) {
    return ::SetMenuItemInfoA(m_hMenu, item, byPosition, info);
  }
  BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* rect = nullptr) {
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner ? owner->m_hWnd : nullptr, rect);
  }

  // Owner drawing of the menu's entries; the framework's default WM_DRAWITEM
  // and WM_MEASUREITEM handling of a menu entry calls these on the object
  // attached to the entry's menu. The base does nothing.
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  virtual void MeasureItem(LPMEASUREITEMSTRUCT) {}
};

namespace qv::win32 {

// The framework's default handling of WM_DRAWITEM and WM_MEASUREITEM for a
// menu entry: DrawItem or MeasureItem of the CMenu attached to its menu. FALSE
// when the message is not about a menu entry or no object takes it.
BOOL DispatchMenuOwnerDraw(UINT msg, LPARAM lParam);

}  // namespace qv::win32
