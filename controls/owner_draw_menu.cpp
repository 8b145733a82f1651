#include "controls/owner_draw_menu.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "controls/owner_draw_menu_font.h"
#include "controls/shortcut_padding.h"
#include "platform/win32/menu/menu_template.h"
#include "platform/win32/system/system.h"

IMPLEMENT_DYNAMIC(COwnerDrawMenu, CMenu)

// Initialised in this order before main: the image list, its ids, the shell
// type, the sub-menu list.
CImageList COwnerDrawMenu::s_imageList;
std::vector<int> COwnerDrawMenu::s_imageIds;
int COwnerDrawMenu::s_shellType = COwnerDrawMenu::ProbeShellType();
std::vector<HMENU> COwnerDrawMenu::s_subMenus;
BOOL COwnerDrawMenu::s_themeProbed = FALSE;
BOOL COwnerDrawMenu::s_classicTheme = FALSE;

namespace {

UINT HandleId(HMENU menu) { return static_cast<UINT>(reinterpret_cast<std::uintptr_t>(menu)); }
HMENU IdHandle(UINT id) { return reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)); }

void RemoveAll(std::vector<HMENU>& list, HMENU menu) {
  // From the end, as the list is searched elsewhere from the front.
  for (size_t i = list.size(); i-- > 0;)
    if (list[i] == menu) list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
}

// The text before the last tab (all of it without one), and the rest from
// that tab on (empty without one).
std::pair<std::string, std::string> SplitAtLastTab(const std::string& text) {
  const size_t tab = text.rfind('\t');
  if (tab == std::string::npos) return {text, std::string()};
  return {text.substr(0, tab), text.substr(tab)};
}

int TextWidth(CDC& dc, const std::string& text) {
  SIZE size{0, 0};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

}  // namespace

// ---------------------------------------------------------------- the record

void COwnerDrawMenuData::SetTextW(const WCHAR* text) {
  m_text.reset();
  if (!text) return;
  const size_t n = static_cast<size_t>(lstrlenW(text)) + 1;
  m_text = std::make_unique<WCHAR[]>(n);
  std::copy(text, text + n, m_text.get());
}

void COwnerDrawMenuData::SetTextA(const char* text) {
  if (!text) {
    SetTextW(nullptr);
    return;
  }
  const int n = MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, nullptr, 0);
  if (n <= 0) {
    SetTextW(nullptr);
    return;
  }
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, wide.data(), n);
  SetTextW(wide.c_str());
}

CString COwnerDrawMenuData::GetTextA() const {
  if (!m_text) return CString();
  const int n = WideCharToMultiByte(CP_THREAD_ACP, 0, m_text.get(), -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return CString();
  std::string narrow(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_THREAD_ACP, 0, m_text.get(), -1, narrow.data(), n, nullptr, nullptr);
  return CString(narrow.c_str());
}

// ---------------------------------------------------------------- the menu

COwnerDrawMenu::~COwnerDrawMenu() { DestroyMenuAndItems(); }

BOOL COwnerDrawMenu::LoadMenuById(UINT id) { return LoadMenuFromResource(MAKEINTRESOURCEA(static_cast<WORD>(id))); }

BOOL COwnerDrawMenu::LoadMenuFromResource(LPCTSTR name) {
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC info = FindResourceA(module, name, RT_MENU);
  if (!info) {
    module = nullptr;
    info = FindResourceA(nullptr, name, RT_MENU);
  }
  HGLOBAL data = info ? LoadResource(module, info) : nullptr;
  if (!data) return FALSE;

  DestroyMenuAndItems();
  if (!Attach(::CreateMenu())) return FALSE;

  // The walk never passes the resource's end: a template cut short, or one
  // whose entries do not end, leaves no half-built menu.
  qv::win32::MenuTemplateReader in(LockResource(data), SizeofResource(module, info));
  auto fail = [this] {
    DestroyMenuAndItems();
    return FALSE;
  };
  if (!in.Header()) return fail();
  struct Level {
    COwnerDrawMenu* menu;
    bool ended;
  };
  std::vector<Level> stack;
  // A template of its header alone is an empty menu.
  if (!in.AtEnd()) stack.push_back(Level{this, false});
  while (!stack.empty()) {
    WORD option = 0, id = 0;
    std::wstring caption;
    if (!in.Word(option) || (!(option & MF_POPUP) && !in.Word(id)) || !in.Caption(caption)) return fail();
    const UINT flags = option & ~MF_END;
    if (!(option & MF_POPUP)) {
      stack.back().menu->AppendItem(caption.c_str(), flags, id);
      if (option & MF_END) stack.back().ended = true;
      while (!stack.empty() && stack.back().ended) {
        stack.back().menu->AlignShortcutText();
        stack.pop_back();
      }
    } else {
      if (option & MF_END) stack.back().ended = true;
      auto* popup = new COwnerDrawMenu;
      popup->m_checkImageNormal = m_checkImageNormal;
      popup->m_checkImageSelected = m_checkImageSelected;
      popup->m_checkImages = m_checkImages;
      popup->m_checkImagesBorrowed = TRUE;
      popup->Attach(::CreatePopupMenu());
      // Owned from here on by the entry that opens it (DestroyMenuAndItems).
      stack.back().menu->AppendItem(caption.c_str(), flags, HandleId(popup->m_hMenu));
      stack.push_back(Level{popup, false});
    }
  }

  // The top level shows plain strings; the popups' entries stay owner-drawn.
  const int count = ::GetMenuItemCount(m_hMenu);
  for (int i = 0; i < count && i < static_cast<int>(m_items.size()); ++i) {
    COwnerDrawMenuData& item = *m_items[static_cast<size_t>(i)];
    const CString text = item.GetTextA();
    if (HMENU sub = ::GetSubMenu(m_hMenu, i)) {
      item.m_flags = MF_BYPOSITION | MF_POPUP;
      ::ModifyMenuA(m_hMenu, static_cast<UINT>(i), MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text);
    } else {
      item.m_flags = MF_BYPOSITION;
      ::ModifyMenuA(m_hMenu, static_cast<UINT>(i), MF_BYPOSITION, item.m_commandId, text);
    }
  }
  m_plainTopLevel = TRUE;
  return TRUE;
}

BOOL COwnerDrawMenu::AppendItem(const WCHAR* text, UINT flags, UINT id) {
  if (id == 0)
    flags = (flags & MF_BYPOSITION) | MF_SEPARATOR | MF_OWNERDRAW;
  else
    flags |= MF_OWNERDRAW;
  if (flags & MF_POPUP) {
    s_subMenus.push_back(IdHandle(id));
    m_subMenus.push_back(IdHandle(id));
  }
  auto item = std::make_unique<COwnerDrawMenuData>();
  item->SetTextW(text);
  item->m_sharedImageIndex = FindImageIndex(id);
  item->m_flags = flags;
  item->m_commandId = id;
  COwnerDrawMenuData* record = item.get();
  m_items.push_back(std::move(item));
  const BOOL appended = ::AppendMenuA(m_hMenu, flags, id, reinterpret_cast<LPCSTR>(record));
  if (m_plainTopLevel) MakePopupsPlainText();
  return appended;
}

std::unique_ptr<COwnerDrawMenuData> COwnerDrawMenu::ModifyItem(UINT position, UINT flags, UINT id,
                                                               const CString& text) {
  auto item = std::make_unique<COwnerDrawMenuData>();
  item->SetTextA(text);
  item->m_flags = flags;
  item->m_commandId = id;
  ::ModifyMenuA(m_hMenu, position, flags, id,
                (flags & MF_OWNERDRAW) ? reinterpret_cast<LPCSTR>(item.get()) : nullptr);
  return item;
}

BOOL COwnerDrawMenu::GetItemText(int index, CString& text) const {
  if (index < 0 || static_cast<size_t>(index) >= m_items.size()) return FALSE;
  text = m_items[static_cast<size_t>(index)]->GetTextA();
  return TRUE;
}

COwnerDrawMenuData* COwnerDrawMenu::ClaimItemById(UINT id) {
  for (auto& item : m_items)
    if (item && !item->m_claimed && item->m_commandId == id) {
      item->m_claimed = TRUE;
      return item.get();
    }
  return nullptr;
}

void COwnerDrawMenu::DeleteUnclaimedItems() {
  std::erase_if(m_items, [](const std::unique_ptr<COwnerDrawMenuData>& item) { return item && !item->m_claimed; });
}

void COwnerDrawMenu::SyncItemsWithMenu() {
  for (auto& item : m_items) item->m_claimed = FALSE;
  std::vector<COwnerDrawMenuData*> order;  // the new list, in position order
  std::vector<std::unique_ptr<COwnerDrawMenuData>> made;
  for (int i = 0; i < static_cast<int>(GetMenuItemCount()); ++i) {
    const UINT position = static_cast<UINT>(i);
    const UINT state = GetMenuState(position, MF_BYPOSITION);
    COwnerDrawMenuData* record = nullptr;
    CString caption;
    if (state & MF_POPUP) {
      CMenu* sub = GetSubMenu(i);
      const UINT handle = sub ? HandleId(sub->m_hMenu) : 0;
      record = ClaimItemById(handle);
      GetMenuString(position, caption, MF_BYPOSITION);
      if (!record) {
        made.push_back(ModifyItem(position, (state & 0xEF) | MF_BYPOSITION | MF_OWNERDRAW | MF_POPUP, handle, caption));
        record = made.back().get();
      } else if (!caption.IsEmpty()) {
        record->SetTextA(caption);
      }
    } else if (state & MF_SEPARATOR) {
      record = ClaimItemById(0);
      if (!record) {
        made.push_back(ModifyItem(position, state | MF_BYPOSITION | MF_OWNERDRAW | MF_SEPARATOR, 0, CString()));
        record = made.back().get();
      } else {
        // By position, as every other entry here: the record's own flags would
        // name a command id equal to the position and could change that entry.
        ::ModifyMenuA(m_hMenu, position, record->m_flags | MF_BYPOSITION, 0, reinterpret_cast<LPCSTR>(record));
      }
    } else {
      const UINT id = GetMenuItemID(i);
      record = ClaimItemById(id);
      GetMenuString(position, caption, MF_BYPOSITION);
      if (record) {
        record->m_flags = state | MF_BYPOSITION | MF_OWNERDRAW;
        if (!caption.IsEmpty()) record->SetTextA(caption);
        ::ModifyMenuA(m_hMenu, position, record->m_flags, id, reinterpret_cast<LPCSTR>(record));
      } else {
        made.push_back(ModifyItem(position, state | MF_BYPOSITION | MF_OWNERDRAW, id, caption));
        record = made.back().get();
      }
    }
    order.push_back(record);
  }
  DeleteUnclaimedItems();
  std::vector<std::unique_ptr<COwnerDrawMenuData>> next;
  for (COwnerDrawMenuData* record : order) {
    auto take = [record](std::vector<std::unique_ptr<COwnerDrawMenuData>>& from) {
      for (auto& owned : from)
        if (owned.get() == record) return std::move(owned);
      return std::unique_ptr<COwnerDrawMenuData>();
    };
    auto owned = take(m_items);
    if (!owned) owned = take(made);
    if (owned) next.push_back(std::move(owned));
  }
  m_items = std::move(next);
}

LRESULT COwnerDrawMenu::MatchMenuChar(UINT character, UINT flags, CMenu* menu) {
  if (!menu || !menu->IsKindOf(RUNTIME_CLASS(COwnerDrawMenu)) || !(flags & MF_POPUP)) return 0;
  auto* self = static_cast<COwnerDrawMenu*>(menu);
  const WCHAR wide[2] = {static_cast<WCHAR>(character), L'\0'};
  char narrow[8] = {};
  WideCharToMultiByte(CP_THREAD_ACP, 0, wide, 1, narrow, sizeof(narrow) - 1, nullptr, nullptr);
  CString key = CString("&") + narrow;
  key.MakeLower();
  if (self->GetMenuItemCount() != self->m_items.size()) self->SyncItemsWithMenu();
  const int count = static_cast<int>(self->GetMenuItemCount());
  for (int i = 0; i < count; ++i) {
    CString caption;
    if (!self->GetItemText(i, caption)) continue;
    caption.MakeLower();
    if (caption.Find(key) >= 0) return MAKELONG(static_cast<WORD>(i), static_cast<WORD>(MNC_EXECUTE));
  }
  return 0;
}

BOOL COwnerDrawMenu::IsKnownSubMenu(HMENU menu) {
  return std::find(s_subMenus.begin(), s_subMenus.end(), menu) != s_subMenus.end() ? TRUE : FALSE;
}

int COwnerDrawMenu::FindImageIndex(UINT id) {
  for (size_t i = 0; i < s_imageIds.size(); ++i)
    if (static_cast<UINT>(s_imageIds[i]) == id) return static_cast<int>(i);
  return -1;
}

BOOL COwnerDrawMenu::HasImageTriple(int index) {
  if (index < 0 || static_cast<size_t>(index) + 2 >= s_imageIds.size()) return FALSE;
  const auto i = static_cast<size_t>(index);
  return s_imageIds[i] == s_imageIds[i + 1] && s_imageIds[i] == s_imageIds[i + 2] ? TRUE : FALSE;
}

int COwnerDrawMenu::ProbeShellType() {
  const DWORD version = GetVersion();
  auto info = std::make_unique<OSVERSIONINFOA>();
  *info = OSVERSIONINFOA{};
  info->dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  if (version & 0x80000000u) {
    if (LOBYTE(version) < 4) return 0;
    if (!GetVersionExA(info.get())) return 2;
    if (info->dwMajorVersion == 4 && info->dwMinorVersion == 10) return 3;
    if (info->dwMajorVersion == 4 && info->dwMinorVersion == 90) return 4;
    return 2;
  }
  if (!GetVersionExA(info.get())) return 1;
  if (info->dwMajorVersion == 4) return 5;
  if (info->dwMajorVersion == 5 && info->dwMinorVersion == 0) return 6;
  if (info->dwMajorVersion == 5 && info->dwMinorVersion == 1) return 7;
  return 1;
}

void COwnerDrawMenu::AlignShortcutText() {
  qv::controls::MenuFontDC dc(true);
  int widest = 0;
  for (const auto& item : m_items) {
    const std::string label = SplitAtLastTab(item->GetTextA().str()).first + " ";
    widest = std::max(widest, TextWidth(dc.dc(), label));
  }
  for (auto& item : m_items) {
    const std::string text = item->GetTextA().str();
    if (text.find('\t') == std::string::npos) continue;
    const auto [label, rest] = SplitAtLastTab(text);
    const std::string padded =
        qv::controls::PadLabel(label, widest, [&dc](const std::string& s) { return TextWidth(dc.dc(), s); });
    item->SetTextA((padded + rest).c_str());
  }
}

int COwnerDrawMenu::GetItemPositionOffset() const {
  if (!m_plainTopLevel) return 0;
  const int count = ::GetMenuItemCount(m_hMenu);
  for (int position = 0; position < count; ++position) {
    CString text;
    GetMenuString(static_cast<UINT>(position), text, MF_BYPOSITION);
    if (text.IsEmpty()) continue;
    for (size_t j = 0; j < m_items.size(); ++j) {
      if (m_items[j]->GetTextA() == text) {
        const int offset = position - static_cast<int>(j);
        return offset < 0 ? 0 : offset;
      }
    }
  }
  return 0;
}

void COwnerDrawMenu::MakePopupsPlainText() {
  const int offset = GetItemPositionOffset();
  const int count = ::GetMenuItemCount(m_hMenu);
  for (size_t j = 0; j < m_items.size() && offset + static_cast<int>(j) < count; ++j) {
    const int position = offset + static_cast<int>(j);
    HMENU sub = ::GetSubMenu(m_hMenu, position);
    if (!sub) continue;
    m_items[j]->m_flags = MF_BYPOSITION | MF_POPUP;
    ::ModifyMenuA(m_hMenu, static_cast<UINT>(position), MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(sub),
                  m_items[j]->GetTextA());
  }
}

void COwnerDrawMenu::MeasureItem(LPMEASUREITEMSTRUCT mis) {
  if (!mis) return;
  const bool xp = s_shellType == 7 && !IsWindowsClassicTheme();
  const int margin = xp ? 7 : 4;
  const auto* item = reinterpret_cast<const COwnerDrawMenuData*>(mis->itemData);
  if (item && (item->m_flags & MF_SEPARATOR)) {
    mis->itemWidth = 0;
    mis->itemHeight = static_cast<UINT>(std::max(GetSystemMetrics(SM_CYMENU) / 2, (m_iconHeight + margin) / 2));
    return;
  }
  qv::controls::MenuFontDC dc(s_shellType >= 2);
  const WCHAR* text = item && item->GetTextW() ? item->GetTextW() : L"";
  const int length = lstrlenW(text);
  int width = 0;
  if (s_shellType != 0) {
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc.dc(), text, length, &size);
    width = size.cx;
  } else {
    RECT r{0, 0, 0, 0};
    DrawTextW(dc.dc(), text, length, &r, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    width = r.right - r.left + 3;
    if (length > 0) width += 3 * (width / length);
  }
  mis->itemWidth = static_cast<UINT>(xp ? width + m_iconWidth + 8 + 7 : 2 * m_iconWidth + 1 + width);
  mis->itemHeight = static_cast<UINT>(std::max(GetSystemMetrics(SM_CYMENU), m_iconHeight + margin));
}

BOOL COwnerDrawMenu::DestroyMenuAndItems() {
  RemoveAll(s_subMenus, m_hMenu);
  for (size_t i = m_subMenus.size(); i-- > 0;) {
    const HMENU sub = m_subMenus[i];
    RemoveAll(s_subMenus, sub);
    CMenu* object = CMenu::FromHandle(sub);
    if (object && object->IsKindOf(RUNTIME_CLASS(COwnerDrawMenu))) delete object;
  }
  m_subMenus.clear();
  m_items.clear();
  if (m_checkImages && !m_checkImagesBorrowed) {
    delete m_checkImages;
    m_checkImages = nullptr;
  }
  return CMenu::DestroyMenu();
}
