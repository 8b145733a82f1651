// Menus: entries and their flags, handles, templates within their size, raw
// resources, CMenu objects, and owner drawing through the framework.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32/application.h"
#include "platform/win32/cwnd.h"
#include "platform/win32/menu/menu.h"
#include "tests/support/menu_template_builder.h"

namespace {

using qv::testing::MenuTemplateBuilder;
constexpr WORD kEnd = MenuTemplateBuilder::kEnd;

std::string Text(HMENU menu, UINT item, UINT flags) {
  char buffer[64] = {};
  GetMenuStringA(menu, item, buffer, sizeof(buffer), flags);
  return buffer;
}

TEST(Menu, EntriesKeepTheirFlagsAndAnswerByPositionOrCommand) {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  ASSERT_TRUE(AppendMenuA(file, MF_STRING, 101, "&Open\tCtrl+O"));
  ASSERT_TRUE(AppendMenuA(file, MF_SEPARATOR, 0, nullptr));
  ASSERT_TRUE(AppendMenuA(file, MF_STRING | MF_CHECKED | MFT_RADIOCHECK, 102, "&Fast"));
  ASSERT_TRUE(AppendMenuA(file, MF_STRING | MF_GRAYED, 103, "E&xit"));
  ASSERT_TRUE(AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File"));
  ASSERT_TRUE(AppendMenuA(bar, MF_STRING, 200, "&Help"));

  EXPECT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(GetMenuItemCount(file), 4);
  EXPECT_EQ(GetSubMenu(bar, 0), file);
  EXPECT_EQ(GetSubMenu(bar, 1), nullptr);
  EXPECT_EQ(GetMenuItemID(bar, 0), static_cast<UINT>(-1)) << "a popup has no command id";
  EXPECT_EQ(GetMenuItemID(file, 1), 0u) << "a separator";
  EXPECT_EQ(GetMenuItemID(file, 2), 102u);
  EXPECT_EQ(GetMenuState(bar, 0, MF_BYPOSITION), (4u << 8) | MF_POPUP) << "entry count in the high byte";
  EXPECT_EQ(GetMenuState(bar, 102, MF_BYCOMMAND), MF_CHECKED | MFT_RADIOCHECK) << "found inside the sub-menu";
  EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION), MF_SEPARATOR);
  EXPECT_EQ(GetMenuState(file, 103, MF_BYCOMMAND), MF_GRAYED);
  EXPECT_EQ(GetMenuState(file, 999, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_EQ(GetMenuState(file, 4, MF_BYPOSITION), static_cast<UINT>(-1));
  EXPECT_EQ(Text(bar, 101, MF_BYCOMMAND), "&Open\tCtrl+O");

  char small[4] = {};
  EXPECT_EQ(GetMenuStringA(file, 0, small, sizeof(small), MF_BYPOSITION), 3) << "cut to size - 1";
  EXPECT_STREQ(small, "&Op");
  EXPECT_EQ(GetMenuStringA(file, 0, nullptr, 0, MF_BYPOSITION), 12) << "the length with no buffer";

  ASSERT_TRUE(ModifyMenuA(bar, 103, MF_BYCOMMAND | MF_STRING, 104, "&Quit"));
  EXPECT_EQ(GetMenuItemID(file, 3), 104u);
  EXPECT_EQ(GetMenuState(file, 3, MF_BYPOSITION), 0u) << "a modified entry takes the new flags";
  EXPECT_EQ(CheckMenuItem(file, 104, MF_CHECKED), MF_UNCHECKED);
  EXPECT_EQ(GetMenuState(file, 104, MF_BYCOMMAND), MF_CHECKED);

  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STATE | MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoA(bar, 0, TRUE, &info));
  EXPECT_EQ(info.hSubMenu, file);
  EXPECT_EQ(info.wID, static_cast<UINT>(reinterpret_cast<UINT_PTR>(file))) << "a popup's id is its sub-menu";
  info.fMask = MIIM_STATE | MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoA(bar, 102, FALSE, &info));
  EXPECT_EQ(info.fState, MFS_CHECKED);
  EXPECT_EQ(info.fType, MFT_RADIOCHECK);
  info.cbSize = 0;
  EXPECT_FALSE(GetMenuItemInfoA(bar, 102, FALSE, &info));

  ASSERT_TRUE(DestroyMenu(bar));
  EXPECT_FALSE(IsMenu(bar));
  EXPECT_FALSE(IsMenu(file)) << "sub-menus go with their menu";
  EXPECT_FALSE(AppendMenuA(file, MF_STRING, 1, "x")) << "a stale handle fails";
  EXPECT_EQ(GetMenuItemCount(file), -1);
  HMENU next = CreatePopupMenu();
  EXPECT_NE(next, file);
  EXPECT_NE(next, bar) << "handles are never reused";
  DestroyMenu(next);
}

TEST(Menu, OwnerDrawnEntriesCarryTheirItemDataAndNoText) {
  HMENU menu = CreatePopupMenu();
  int record = 0;
  ASSERT_TRUE(AppendMenuA(menu, MF_OWNERDRAW, 7, reinterpret_cast<LPCSTR>(&record)));
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_DATA | MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoA(menu, 7, FALSE, &info));
  EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(&record));
  EXPECT_EQ(info.fType, MFT_OWNERDRAW);
  EXPECT_EQ(GetMenuStringA(menu, 7, nullptr, 0, MF_BYCOMMAND), 0);
  EXPECT_FALSE(AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), "self")) << "no menu opens itself";
  DestroyMenu(menu);
}

// A bar with "&File" (Open, a separator, a nested "&Recent" popup) and "&Help".
MenuTemplateBuilder SampleTemplate() {
  MenuTemplateBuilder t;
  t.Popup(0, u"&File")
      .Item(0, 101, u"&Open\tCtrl+O")
      .Item(0, 0, u"")
      .Popup(kEnd, u"&Recent")
      .Item(MF_GRAYED, 110, u"caf\u00e9 \U0001F600")
      .Item(kEnd | MF_CHECKED, 111, u"Two")
      .Item(kEnd, 200, u"&Help");
  return t;
}

TEST(MenuTemplate, BuildsNestedPopupsWithUtf16Captions) {
  const MenuTemplateBuilder t = SampleTemplate();
  HMENU bar = LoadMenuIndirectA(t.Bytes().data(), t.Size());
  ASSERT_TRUE(bar);
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  HMENU file = GetSubMenu(bar, 0);
  ASSERT_TRUE(file);
  EXPECT_EQ(Text(bar, 0, MF_BYPOSITION), "&File");
  EXPECT_EQ(Text(bar, 1, MF_BYPOSITION), "&Help");
  ASSERT_EQ(GetMenuItemCount(file), 3);
  EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION), MF_SEPARATOR) << "id 0 without a caption";
  HMENU recent = GetSubMenu(file, 2);
  ASSERT_TRUE(recent);
  EXPECT_EQ(Text(recent, 0, MF_BYPOSITION), "caf\xC3\xA9 \xF0\x9F\x98\x80") << "UTF-16, a surrogate pair included";
  EXPECT_EQ(GetMenuState(recent, 110, MF_BYCOMMAND), MF_GRAYED);
  EXPECT_EQ(GetMenuState(recent, 111, MF_BYCOMMAND), MF_CHECKED) << "MF_END is no entry flag";
  DestroyMenu(bar);
}

TEST(MenuTemplate, DamagedTemplatesFailAndEmptyOnesMakeEmptyMenus) {
  const MenuTemplateBuilder t = SampleTemplate();
  // Every cut short of the whole, mid-entry or between entries, fails.
  for (DWORD size = 0; size < t.Size(); ++size) {
    if (size == 4) continue;  // the header alone: an empty menu
    EXPECT_EQ(LoadMenuIndirectA(t.Bytes().data(), size), nullptr) << "cut at " << size;
  }
  MenuTemplateBuilder noEnd;
  noEnd.Item(0, 1, u"One").Item(0, 2, u"Two");
  EXPECT_EQ(LoadMenuIndirectA(noEnd.Bytes().data(), noEnd.Size()), nullptr) << "no MF_END";

  MenuTemplateBuilder empty;
  HMENU menu = LoadMenuIndirectA(empty.Bytes().data(), empty.Size());
  ASSERT_TRUE(menu);
  EXPECT_EQ(GetMenuItemCount(menu), 0);
  DestroyMenu(menu);

  std::vector<unsigned char> badVersion = t.Bytes();
  badVersion[0] = 1;
  EXPECT_EQ(LoadMenuIndirectA(badVersion.data(), static_cast<DWORD>(badVersion.size())), nullptr);
  std::vector<unsigned char> farOffset = t.Bytes();
  farOffset[2] = 0xFF;
  EXPECT_EQ(LoadMenuIndirectA(farOffset.data(), static_cast<DWORD>(farOffset.size())), nullptr);
}

TEST(Resource, RawResourcesByIdOrNameWithoutRegardToCase) {
  const MenuTemplateBuilder t = SampleTemplate();
  qv::RegisterResource(RT_MENU, MAKEINTRESOURCEA(4711), t.Bytes().data(), t.Size());
  qv::RegisterResource(RT_MENU, "SampleMenu", t.Bytes().data(), t.Size());
  HRSRC byId = FindResourceA(nullptr, MAKEINTRESOURCEA(4711), RT_MENU);
  ASSERT_TRUE(byId);
  EXPECT_EQ(SizeofResource(nullptr, byId), t.Size());
  const void* bytes = LockResource(LoadResource(nullptr, byId));
  ASSERT_TRUE(bytes);
  EXPECT_EQ(std::memcmp(bytes, t.Bytes().data(), t.Size()), 0);
  EXPECT_TRUE(FindResourceA(nullptr, "SAMPLEMENU", RT_MENU));
  EXPECT_FALSE(FindResourceA(nullptr, MAKEINTRESOURCEA(4712), RT_MENU));
  EXPECT_FALSE(FindResourceA(nullptr, MAKEINTRESOURCEA(4711), MAKEINTRESOURCEA(5))) << "another type";
  EXPECT_FALSE(LoadResource(nullptr, reinterpret_cast<HRSRC>(&byId))) << "not a resource";

  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(4711));
  EXPECT_EQ(menu.GetMenuItemCount(), 2u);
}

class OwnerDrawnMenu : public CMenu {
 public:
  UINT drawn = 0;
  UINT measured = 0;
  void DrawItem(LPDRAWITEMSTRUCT dis) override { drawn = dis->itemID; }
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override {
    measured = mis->itemID;
    mis->itemHeight = 21;
  }
};

TEST(CMenuObject, AttachedObjectsAreFoundAndOwnTheirMenu) {
  HMENU handle = nullptr;
  {
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    handle = menu.m_hMenu;
    EXPECT_EQ(CMenu::FromHandle(handle), &menu);
    EXPECT_EQ(CMenu::FromHandlePermanent(handle), &menu);
    CMenu other;
    EXPECT_FALSE(other.Attach(handle)) << "one object per menu";
  }
  EXPECT_FALSE(IsMenu(handle)) << "the object destroys its menu";

  HMENU loose = CreatePopupMenu();
  CMenu* temporary = CMenu::FromHandle(loose);
  ASSERT_TRUE(temporary);
  EXPECT_EQ(CMenu::FromHandlePermanent(loose), nullptr);
  EXPECT_EQ(CMenu::FromHandle(loose), temporary) << "the same temporary while the menu lives";
  CMenu attached;
  ASSERT_TRUE(attached.Attach(loose));
  EXPECT_EQ(attached.Detach(), loose);
  EXPECT_TRUE(IsMenu(loose)) << "a detached menu stays";
  DestroyMenu(loose);
  EXPECT_EQ(CMenu::FromHandle(loose), nullptr);
}

TEST(CMenuObject, TheFrameworkHandsMenuEntriesToTheMenusObject) {
  qv::Application();
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP, CRect(0, 0, 50, 50), nullptr, 0));
  OwnerDrawnMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  DRAWITEMSTRUCT dis{ODT_MENU, 0, 42, ODA_DRAWENTIRE, 0, reinterpret_cast<HWND>(menu.m_hMenu), nullptr, {}, 0};
  owner.SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  EXPECT_EQ(menu.drawn, 42u);
  DRAWITEMSTRUCT button{ODT_BUTTON, 3, 43, ODA_DRAWENTIRE, 0, reinterpret_cast<HWND>(menu.m_hMenu), nullptr, {}, 0};
  owner.SendMessage(WM_DRAWITEM, 3, reinterpret_cast<LPARAM>(&button));
  EXPECT_EQ(menu.drawn, 42u) << "not a menu entry";
  owner.DestroyWindow();
}

}  // namespace
