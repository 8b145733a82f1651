// COwnerDrawMenu: building from a menu template within its size, records and
// shortcut alignment, measuring, mnemonics, re-reading a changed menu, and
// destruction with its popups.

#include <gtest/gtest.h>

#include "controls/owner_draw_menu.h"
#include "controls/owner_draw_menu_font.h"
#include "controls/shortcut_padding.h"
#include "platform/win32/application.h"
#include "tests/support/menu_template_builder.h"

namespace {

using qv::testing::MenuTemplateBuilder;
constexpr WORD kEnd = MenuTemplateBuilder::kEnd;
constexpr WORD kBadId = 5000;

// "&Tools" (Fast, Open with its shortcut, a separator with a caption, a
// nested popup, Exit) and "&Help".
MenuTemplateBuilder ToolsTemplate() {
  MenuTemplateBuilder t;
  t.Popup(0, u"&Tools")
      .Item(0, 101, u"&Fast")
      .Item(0, 102, u"&Open\tCtrl+O")
      .Item(0, 0, u"line")
      .Popup(0, u"&More")
      .Item(kEnd, 110, u"Save &As...\tCtrl+Shift+S")
      .Item(kEnd, 103, u"E&xit\tAlt+F4")
      .Item(kEnd, 200, u"&Help");
  return t;
}

class OwnerDrawMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qv::Application();
    savedShell_ = COwnerDrawMenu::s_shellType;
  }
  void TearDown() override {
    COwnerDrawMenu::s_shellType = savedShell_;
    COwnerDrawMenu::s_imageIds.clear();
  }
  // Registers the template under a fresh id and loads it.
  BOOL Load(COwnerDrawMenu& menu, const MenuTemplateBuilder& t, DWORD size) {
    static WORD next = 7000;
    const WORD id = next++;
    qv::RegisterResource(RT_MENU, MAKEINTRESOURCEA(id), t.Bytes().data(), size);
    return menu.LoadMenuById(id);
  }
  COwnerDrawMenu* Popup(COwnerDrawMenu& bar, int position) {
    CMenu* sub = CMenu::FromHandlePermanent(::GetSubMenu(bar.m_hMenu, position));
    return sub && sub->IsKindOf(RUNTIME_CLASS(COwnerDrawMenu)) ? static_cast<COwnerDrawMenu*>(sub) : nullptr;
  }
  static int Width(const char* text) {
    qv::controls::MenuFontDC dc(true);
    SIZE size{};
    GetTextExtentPoint32A(dc.dc(), text, static_cast<int>(std::strlen(text)), &size);
    return size.cx;
  }

 private:
  int savedShell_ = 0;
};

TEST_F(OwnerDrawMenuTest, TheTemplateGivesPlainTopLevelStringsAndOwnerDrawnPopups) {
  COwnerDrawMenu bar;
  const MenuTemplateBuilder t = ToolsTemplate();
  ASSERT_TRUE(Load(bar, t, t.Size()));
  EXPECT_TRUE(bar.m_plainTopLevel);
  ASSERT_EQ(bar.GetMenuItemCount(), 2u);
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_SUBMENU;
  ASSERT_TRUE(bar.GetMenuItemInfo(0, &info, TRUE));
  EXPECT_EQ(info.fType, MFT_STRING);
  EXPECT_TRUE(info.hSubMenu);
  ASSERT_TRUE(bar.GetMenuItemInfo(1, &info, TRUE));
  EXPECT_EQ(info.fType, MFT_STRING);
  CString text;
  bar.GetMenuString(0, text, MF_BYPOSITION);
  EXPECT_EQ(text, "&Tools");
  EXPECT_EQ(bar.m_items[0]->m_flags, MF_BYPOSITION | MF_POPUP);
  EXPECT_EQ(bar.m_items[1]->m_flags, MF_BYPOSITION);

  COwnerDrawMenu* tools = Popup(bar, 0);
  ASSERT_TRUE(tools);
  ASSERT_EQ(tools->GetMenuItemCount(), 5u);
  ASSERT_EQ(tools->m_items.size(), 5u);
  for (UINT i = 0; i < 5; ++i) {
    ASSERT_TRUE(tools->GetMenuItemInfo(i, &info, TRUE));
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << i;
  }
  EXPECT_EQ(tools->m_items[2]->m_flags, MF_SEPARATOR | MF_OWNERDRAW) << "id 0 makes a separator";
  EXPECT_EQ(tools->m_items[2]->GetTextA(), "line") << "whose caption is kept";
  EXPECT_EQ(tools->m_items[3]->m_commandId, static_cast<UINT>(reinterpret_cast<UINT_PTR>(::GetSubMenu(*tools, 3))));
  EXPECT_TRUE(COwnerDrawMenu::IsKnownSubMenu(::GetSubMenu(*tools, 3)));
  EXPECT_TRUE(tools->m_checkImagesBorrowed);
  ASSERT_TRUE(Popup(*tools, 3));
  EXPECT_EQ(Popup(*tools, 3)->m_items[0]->GetTextA(), "Save &As... \tCtrl+Shift+S") << "a lone label gains one space";
  EXPECT_EQ(tools->m_items[0]->m_sharedImageIndex, -1);
}

TEST_F(OwnerDrawMenuTest, ShortcutsLineUpBehindPaddedLabels) {
  MenuTemplateBuilder t;
  t.Popup(kEnd, u"&Edit")
      .Item(0, 1, u"&Open\tCtrl+O")
      .Item(0, 2, u"Select &everything\tCtrl+A")
      .Item(0, 3, u"Plain")
      .Item(kEnd, 4, u"A\tB\tC");
  COwnerDrawMenu bar;
  ASSERT_TRUE(Load(bar, t, t.Size()));
  COwnerDrawMenu* edit = Popup(bar, 0);
  ASSERT_TRUE(edit);
  const int widest = Width("Select &everything ");
  auto labelOf = [](const CString& text) { return text.Left(text.ReverseFind('\t')); };
  const CString open = edit->m_items[0]->GetTextA();
  const CString select = edit->m_items[1]->GetTextA();
  EXPECT_TRUE(open.Find("&Open ") == 0 && open.Right(7) == "\tCtrl+O") << open.GetString();
  EXPECT_GE(Width(labelOf(open)), widest);
  EXPECT_LT(Width(labelOf(open).Left(labelOf(open).GetLength() - 1)), widest) << "no space more than needed";
  EXPECT_GE(Width(labelOf(select)), widest);
  EXPECT_EQ(edit->m_items[2]->GetTextA(), "Plain") << "a caption without a tab stays";
  const CString several = edit->m_items[3]->GetTextA();
  EXPECT_EQ(several.Left(3), "A\tB") << "the label ends at the last tab";
  EXPECT_EQ(several.Right(2), "\tC");
}

TEST(ShortcutPadding, StopsWhenASpaceAddsNoWidth) {
  // Seven pixels a letter, spaces as the font gives them.
  auto letters = [](const std::string& s) {
    int n = 0;
    for (char c : s) n += c == ' ' ? 0 : 7;
    return n;
  };
  EXPECT_EQ(qv::controls::PadLabel("Open", 70, letters), "Open ") << "one try, then it stops";
  auto withSpaces = [](const std::string& s) { return static_cast<int>(s.size()) * 7 - (s.back() == ' ' ? 4 : 0); };
  EXPECT_EQ(qv::controls::PadLabel("Open", 45, withSpaces), "Open   ");
  EXPECT_EQ(qv::controls::PadLabel("Select", 10, withSpaces), "Select") << "already wide enough";
}

TEST_F(OwnerDrawMenuTest, DamagedTemplatesLeaveNoMenuAndNoKnownSubMenus) {
  const MenuTemplateBuilder t = ToolsTemplate();
  const size_t known = COwnerDrawMenu::s_subMenus.size();
  for (DWORD size = 0; size < t.Size(); ++size) {
    if (size == 4) continue;  // the header alone
    COwnerDrawMenu bar;
    EXPECT_FALSE(Load(bar, t, size)) << "cut at " << size;
    EXPECT_EQ(bar.m_hMenu, nullptr);
    EXPECT_TRUE(bar.m_items.empty());
    EXPECT_EQ(COwnerDrawMenu::s_subMenus.size(), known);
  }
  MenuTemplateBuilder noEnd;
  noEnd.Popup(0, u"&A").Item(0, 1, u"One");
  COwnerDrawMenu bar;
  EXPECT_FALSE(Load(bar, noEnd, noEnd.Size())) << "entries that never end";

  MenuTemplateBuilder empty;
  COwnerDrawMenu none;
  ASSERT_TRUE(Load(none, empty, empty.Size()));
  EXPECT_EQ(none.GetMenuItemCount(), 0u);
  EXPECT_FALSE(none.LoadMenuById(kBadId)) << "no such resource";
  EXPECT_TRUE(IsMenu(none.m_hMenu)) << "a missing resource keeps the current menu";
}

TEST_F(OwnerDrawMenuTest, DestroyingFreesPopupsAndForgetsTheirHandles) {
  const MenuTemplateBuilder t = ToolsTemplate();
  auto bar = std::make_unique<COwnerDrawMenu>();
  ASSERT_TRUE(Load(*bar, t, t.Size()));
  HMENU tools = ::GetSubMenu(*bar, 0);
  HMENU more = ::GetSubMenu(tools, 3);
  EXPECT_TRUE(COwnerDrawMenu::IsKnownSubMenu(tools));
  EXPECT_TRUE(COwnerDrawMenu::IsKnownSubMenu(more));
  EXPECT_TRUE(bar->DestroyMenuAndItems());
  EXPECT_FALSE(COwnerDrawMenu::IsKnownSubMenu(tools));
  EXPECT_FALSE(COwnerDrawMenu::IsKnownSubMenu(more));
  EXPECT_FALSE(IsMenu(tools));
  EXPECT_FALSE(IsMenu(more));
  EXPECT_TRUE(bar->m_items.empty());
  EXPECT_FALSE(bar->DestroyMenuAndItems()) << "nothing left to destroy";
  ASSERT_TRUE(Load(*bar, t, t.Size())) << "loads again";
  bar.reset();
}

struct MeasureCase {
  int shellType;
  bool separator;
  UINT height;
};

TEST_F(OwnerDrawMenuTest, MeasuresEntriesInBothLooks) {
  const MeasureCase cases[] = {
      {1, true, 9}, {1, false, 19}, {7, true, 11}, {7, false, 22}, {2, true, 9}, {2, false, 19},
  };
  COwnerDrawMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  ASSERT_TRUE(menu.AppendItem(L"&Open file", 0, 1));
  ASSERT_TRUE(menu.AppendItem(L"", 0, 0));
  for (const MeasureCase& c : cases) {
    COwnerDrawMenu::s_shellType = c.shellType;
    COwnerDrawMenuData& item = *menu.m_items[c.separator ? 1 : 0];
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, item.m_commandId, 99, 99, reinterpret_cast<ULONG_PTR>(&item)};
    menu.MeasureItem(&mis);
    EXPECT_EQ(mis.itemHeight, c.height) << "shell " << c.shellType << (c.separator ? " separator" : " text");
    if (c.separator) {
      EXPECT_EQ(mis.itemWidth, 0u);
      continue;
    }
    // The text's width in the desktop DC, in the menu font from shell type 2 on.
    qv::controls::MenuFontDC dc(c.shellType >= 2);
    SIZE size{};
    GetTextExtentPoint32W(dc.dc(), L"&Open file", 10, &size);
    ASSERT_GT(size.cx, 0);
    const UINT expected = c.shellType == 7 ? size.cx + 16 + 8 + 7 : 2 * 16 + 1 + size.cx;
    EXPECT_EQ(mis.itemWidth, expected) << "shell " << c.shellType;
  }
  COwnerDrawMenu::s_shellType = 0;
  MEASUREITEMSTRUCT mis{ODT_MENU, 0, 1, 0, 0, reinterpret_cast<ULONG_PTR>(menu.m_items[0].get())};
  menu.MeasureItem(&mis);
  qv::controls::MenuFontDC dc(false);
  RECT r{};
  DrawTextW(dc.dc(), L"&Open file", 10, &r, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
  const int width = r.right - r.left + 3;
  EXPECT_EQ(mis.itemWidth, static_cast<UINT>(2 * 16 + 1 + width + 3 * (width / 10))) << "the DrawText path";
}

TEST_F(OwnerDrawMenuTest, MnemonicsAnswerOnlyForOwnerDrawnPopups) {
  const MenuTemplateBuilder t = ToolsTemplate();
  COwnerDrawMenu bar;
  ASSERT_TRUE(Load(bar, t, t.Size()));
  COwnerDrawMenu* tools = Popup(bar, 0);
  ASSERT_TRUE(tools);
  const LRESULT first = MAKELONG(0, MNC_EXECUTE);
  EXPECT_EQ(COwnerDrawMenu::MatchMenuChar('f', MF_POPUP, tools), first);
  EXPECT_EQ(COwnerDrawMenu::MatchMenuChar('F', MF_POPUP, tools), first);
  EXPECT_EQ(COwnerDrawMenu::MatchMenuChar('x', MF_POPUP, tools), MAKELONG(4, MNC_EXECUTE));
  EXPECT_EQ(COwnerDrawMenu::MatchMenuChar('q', MF_POPUP, tools), 0) << "no caption has it";
  EXPECT_EQ(COwnerDrawMenu::MatchMenuChar('f', 0, tools), 0) << "flags without MF_POPUP";
  CMenu plain;
  ASSERT_TRUE(plain.CreatePopupMenu());
  plain.AppendMenu(MF_STRING, 1, "&Fast");
  EXPECT_EQ(COwnerDrawMenu::MatchMenuChar('f', MF_POPUP, &plain), 0) << "not a COwnerDrawMenu";
  EXPECT_EQ(COwnerDrawMenu::MatchMenuChar('f', MF_POPUP, nullptr), 0);

  // An entry added around the class is found after the records are re-read.
  ASSERT_TRUE(::AppendMenuA(*tools, MF_STRING, 300, "&Zoom"));
  EXPECT_EQ(COwnerDrawMenu::MatchMenuChar('z', MF_POPUP, tools), MAKELONG(5, MNC_EXECUTE));
  ASSERT_EQ(tools->m_items.size(), 6u);
  EXPECT_TRUE(tools->GetMenuState(300, MF_BYCOMMAND) & MF_OWNERDRAW) << "now owner-drawn too";
  EXPECT_EQ(tools->m_items[5]->m_commandId, 300u);
  EXPECT_EQ(tools->m_items[0]->GetTextA(), "&Fast") << "claimed records stay in place";
}

TEST_F(OwnerDrawMenuTest, ReReadingKeepsSeparatorsByPositionAndOtherEntriesIntact) {
  COwnerDrawMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendItem(L"&Fast", 0, 1);
  menu.AppendItem(L"", 0, 0);  // a separator at position 1, beside command id 1
  ASSERT_TRUE(::AppendMenuA(menu, MF_STRING, 7, "&Seven"));
  menu.SyncItemsWithMenu();
  ASSERT_EQ(menu.m_items.size(), 3u);
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID;
  ASSERT_TRUE(menu.GetMenuItemInfo(0, &info, TRUE));
  EXPECT_EQ(info.wID, 1u) << "command 1 stays itself";
  EXPECT_EQ(info.fType, MFT_OWNERDRAW);
  EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(menu.m_items[0].get()));
  ASSERT_TRUE(menu.GetMenuItemInfo(1, &info, TRUE));
  EXPECT_EQ(info.fType, MFT_OWNERDRAW | MFT_SEPARATOR);
  EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(menu.m_items[1].get()));
  EXPECT_EQ(menu.m_items[2]->GetTextA(), "&Seven");
}

TEST_F(OwnerDrawMenuTest, PopupsAppendedToAPlainTopLevelBecomePlainStrings) {
  const MenuTemplateBuilder t = ToolsTemplate();
  COwnerDrawMenu bar;
  ASSERT_TRUE(Load(bar, t, t.Size()));
  EXPECT_EQ(bar.GetItemPositionOffset(), 0);
  COwnerDrawMenu view;
  ASSERT_TRUE(view.CreatePopupMenu());
  ASSERT_TRUE(bar.AppendItem(L"&View", MF_POPUP, static_cast<UINT>(reinterpret_cast<UINT_PTR>(view.m_hMenu))));
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_SUBMENU;
  ASSERT_TRUE(bar.GetMenuItemInfo(2, &info, TRUE));
  EXPECT_EQ(info.fType, MFT_STRING);
  EXPECT_EQ(info.hSubMenu, view.m_hMenu);
  CString text;
  bar.GetMenuString(2, text, MF_BYPOSITION);
  EXPECT_EQ(text, "&View");
  EXPECT_EQ(bar.m_items[2]->m_flags, MF_BYPOSITION | MF_POPUP);
  // The bar's destruction goes by its own sub-menus; this one is the test's.
  bar.RemoveMenu(2, MF_BYPOSITION);
}

TEST_F(OwnerDrawMenuTest, RecordsAndTheImageTableAtTheirEdges) {
  COwnerDrawMenu menu;
  CString text;
  EXPECT_FALSE(menu.GetItemText(0, text)) << "no records";
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendItem(L"x", 0, 1);
  EXPECT_FALSE(menu.GetItemText(-1, text));
  EXPECT_TRUE(menu.GetItemText(0, text));
  EXPECT_FALSE(menu.GetItemText(1, text));

  COwnerDrawMenuData record;
  record.SetTextA(nullptr);
  EXPECT_EQ(record.GetTextW(), nullptr);
  record.SetTextA("caf\xC3\xA9");
  EXPECT_EQ(std::wstring(record.GetTextW()), L"caf\u00e9");
  EXPECT_EQ(record.GetTextA(), "caf\xC3\xA9");
  record.SetTextW(nullptr);
  EXPECT_EQ(record.GetTextA(), "");

  EXPECT_EQ(COwnerDrawMenu::FindImageIndex(7), -1) << "the empty table";
  COwnerDrawMenu::s_imageIds = {5, 7, 7, 7, 9};
  EXPECT_EQ(COwnerDrawMenu::FindImageIndex(7), 1);
  EXPECT_TRUE(COwnerDrawMenu::HasImageTriple(1));
  EXPECT_FALSE(COwnerDrawMenu::HasImageTriple(0));
  EXPECT_FALSE(COwnerDrawMenu::HasImageTriple(3)) << "the last two indices";
  EXPECT_FALSE(COwnerDrawMenu::HasImageTriple(4));
  EXPECT_FALSE(COwnerDrawMenu::HasImageTriple(-1));
  EXPECT_EQ(COwnerDrawMenu::ProbeShellType(), 1) << "NT 6.x";
}

}  // namespace
