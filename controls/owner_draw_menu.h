#pragma once
// COwnerDrawMenu: a menu whose entries are all owner-drawn, each with a
// COwnerDrawMenuData record as its item data. It builds itself from an
// RT_MENU template (a popup object for each popup), keeps captions as wide
// text, lines up the shortcut texts after a tab, answers mnemonics
// (WM_MENUCHAR), and paints its entries in a classic or an XP look.

#include <memory>
#include <vector>

#include "platform/core/cstring.h"
#include "platform/win32/icon/icon.h"
#include "platform/win32/menu/menu.h"

// One entry's record; plain data, owned by the menu that holds it.
struct COwnerDrawMenuData {
  COwnerDrawMenuData() = default;
  COwnerDrawMenuData(const COwnerDrawMenuData&) = delete;
  COwnerDrawMenuData& operator=(const COwnerDrawMenuData&) = delete;

  // Frees the old text and keeps a copy of the new one; null stays null.
  void SetTextW(const WCHAR* text);
  // From the system code page; null, or a text that yields no characters, stores null.
  void SetTextA(const char* text);
  CString GetTextA() const;  // empty without text
  const WCHAR* GetTextW() const { return m_text.get(); }

  std::unique_ptr<WCHAR[]> m_text;  // may hold a tab: label before, shortcut after; '&' marks the mnemonic
  int m_ownImageIndex = -1;         // in m_ownImages
  int m_sharedImageIndex = -1;      // in COwnerDrawMenu::s_imageList
  int m_ownImageId = -1;            // 0 or more when the entry draws an image of its own
  UINT m_flags = 0;                 // the MF_ flags it was made with
  UINT m_commandId = 0;             // for a popup the sub-menu's handle; 0 for a separator
  BOOL m_claimed = FALSE;           // mark of one SyncItemsWithMenu pass
  std::unique_ptr<CImageList> m_ownImages;
};

class COwnerDrawMenu : public CMenu {
  DECLARE_DYNAMIC(COwnerDrawMenu)

 public:
  COwnerDrawMenu() = default;
  ~COwnerDrawMenu() override;

  void DrawItem(LPDRAWITEMSTRUCT dis) override;
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override;
  virtual BOOL LoadMenuById(UINT id);
  virtual BOOL LoadMenuFromResource(LPCTSTR name);
  // Frees the records, the popup objects and the menu; CMenu::DestroyMenu's result.
  virtual BOOL DestroyMenuAndItems();

  BOOL AppendItem(const WCHAR* text, UINT flags, UINT id);
  // Replaces the entry at a position by an owner-drawn one; the caller keeps the record.
  std::unique_ptr<COwnerDrawMenuData> ModifyItem(UINT position, UINT flags, UINT id, const CString& text);
  BOOL GetItemText(int index, CString& text) const;
  // Rebuilds m_items from the menu's entries after changes made around this class.
  void SyncItemsWithMenu();
  void AlignShortcutText();
  int GetItemPositionOffset() const;
  void MakePopupsPlainText();
  COwnerDrawMenuData* ClaimItemById(UINT id);
  void DeleteUnclaimedItems();

  static LRESULT MatchMenuChar(UINT character, UINT flags, CMenu* menu);
  static BOOL IsKnownSubMenu(HMENU menu);
  static int FindImageIndex(UINT id);
  static BOOL HasImageTriple(int index);
  static int ProbeShellType();

  // Painting.
  void DrawItemClassic(LPDRAWITEMSTRUCT dis);
  void DrawItemXP(LPDRAWITEMSTRUCT dis);
  static BOOL IsWindowsClassicTheme();
  static COLORREF BlendTowardWhite(COLORREF colour, double factor);
  static void DrawCheckClassic(CDC* dc, const RECT& box, BOOL selected, BOOL radio);
  static void DrawCheckXP(CDC* dc, const RECT& box, BOOL radio, const COLORREF& frame);
  static void DrawCheckTick(CDC* dc, int x, int y, COLORREF colour);
  static void DrawRadioMark(CDC* dc, int x, int y, COLORREF colour);
  BOOL ImageListIconToBitmap(CDC* dc, CImageList* list, int index, CBitmap* out) const;
  static void DrawDisabledBitmap(CDC* dc, int x, int y, int w, int h, CBitmap* bitmap, COLORREF background);
  static void DrawEmbossedBitmap(HDC dc, int x, int y, int w, int h, HBITMAP bitmap, COLORREF background);

  std::vector<std::unique_ptr<COwnerDrawMenuData>> m_items;  // one per menu position, in order
  std::vector<HMENU> m_subMenus;  // the sub-menus this menu's entries open
  int m_iconWidth = 16;
  int m_iconHeight = 15;
  BOOL m_embossDisabled = FALSE;
  CImageList* m_checkImages = nullptr;  // image 0 unselected, image 1 selected
  BOOL m_checkImagesBorrowed = FALSE;   // another menu's: not deleted by this one
  int m_checkImageSelected = -1;
  int m_checkImageNormal = -1;
  BOOL m_plainTopLevel = FALSE;  // a top-level menu whose own entries are plain strings

  // Class-wide, one each per process; menus live on the UI thread.
  static CImageList s_imageList;     // command images shared by all menus
  static std::vector<int> s_imageIds;  // the command id of each image of s_imageList
  static int s_shellType;            // 0..7, set before main
  static std::vector<HMENU> s_subMenus;  // every sub-menu any menu appended as a popup
  static BOOL s_themeProbed;
  static BOOL s_classicTheme;
};
