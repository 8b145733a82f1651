// Painting COwnerDrawMenu entries: the check tick and radio dot to the pixel,
// the lightening, both painters' figures (image column, check boxes, the
// engraved and the disabled captions, disabled images, the three-image
// shadow), the choice of painter, and composite snapshots of both looks.

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "controls/owner_draw_menu.h"
#include "controls/owner_draw_menu_font.h"
#include "platform/win32/application.h"
#include "platform/win32/gdi/gdi_qt.h"
#include "tests/support/snapshot_file.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kGray = RGB(90, 90, 90);

COLORREF Sys(int index) { return GetSysColor(index); }

// A white memory surface with the menu font, as a popup's DC has it.
class Surface {
 public:
  Surface(int w, int h) : w_(w), h_(h) {
    dc.CreateCompatibleDC(nullptr);
    bitmap.CreateCompatibleBitmap(nullptr, w, h);
    oldBitmap_ = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, w, h, kWhite);
    qv::controls::CreateMenuFont(font_);
    oldFont_ = dc.SelectObject(&font_);
  }
  ~Surface() {
    dc.SelectObject(oldFont_);
    dc.SelectObject(oldBitmap_);
  }
  COLORREF At(int x, int y) const { return dc.GetPixel(x, y); }
  int Count(COLORREF c, RECT r) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += At(x, y) == c;
    return n;
  }
  std::set<std::pair<int, int>> PixelsOf(COLORREF c) const {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        if (At(x, y) == c) out.insert({x, y});
    return out;
  }
  CDC dc;
  CBitmap bitmap;

 private:
  int w_, h_;
  CBitmap* oldBitmap_;
  CFont font_;
  CFont* oldFont_;
};

class MenuPaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qv::Application();
    savedShell_ = COwnerDrawMenu::s_shellType;
    ASSERT_TRUE(menu.CreatePopupMenu());
  }
  void TearDown() override {
    COwnerDrawMenu::s_shellType = savedShell_;
    COwnerDrawMenu::s_imageList.DeleteImageList();
    COwnerDrawMenu::s_imageIds.clear();
  }
  COwnerDrawMenuData& Add(const wchar_t* text, UINT id, UINT flags = 0) {
    menu.AppendItem(text, flags, id);
    return *menu.m_items.back();
  }
  // Paints one entry into the surface at rect.
  void Draw(Surface& s, COwnerDrawMenuData& item, UINT state, RECT r, bool xp) {
    DRAWITEMSTRUCT dis{ODT_MENU, 0, item.m_commandId, ODA_DRAWENTIRE, state, reinterpret_cast<HWND>(menu.m_hMenu),
                       s.dc, r, reinterpret_cast<ULONG_PTR>(&item)};
    if (xp)
      menu.DrawItemXP(&dis);
    else
      menu.DrawItemClassic(&dis);
    lastState = dis.itemState;
  }
  // Three 16 x 15 images under command id 50: red, green, a gray shadow.
  void AddImageTriple() {
    ASSERT_TRUE(COwnerDrawMenu::s_imageList.Create(16, 15, ILC_COLOR32 | ILC_MASK, 3, 0));
    CBitmap strip;
    strip.CreateBitmap(48, 15, 1, 32, nullptr);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&strip);
    dc.FillSolidRect(0, 0, 16, 15, kRed);
    dc.FillSolidRect(16, 0, 16, 15, kGreen);
    dc.FillSolidRect(32, 0, 16, 15, kGray);
    dc.SelectObject(old);
    ASSERT_EQ(COwnerDrawMenu::s_imageList.Add(&strip, RGB(255, 0, 255)), 0);
    COwnerDrawMenu::s_imageIds = {50, 50, 50};
  }

  COwnerDrawMenu menu;
  UINT lastState = 0;

 private:
  int savedShell_ = 0;
};

TEST_F(MenuPaintTest, TheTickIsSevenColumnsOfThreePixels) {
  Surface s(16, 16);
  COwnerDrawMenu::DrawCheckTick(&s.dc, 3, 4, kBlack);
  std::set<std::pair<int, int>> expected;
  const int tops[7] = {6, 7, 8, 7, 6, 5, 4};
  for (int i = 0; i < 7; ++i)
    for (int k = 0; k < 3; ++k) expected.insert({3 + i, tops[i] + k});
  EXPECT_EQ(s.PixelsOf(kBlack), expected);
}

TEST_F(MenuPaintTest, TheRadioDotFillsItsSixPixelBox) {
  Surface s(16, 16);
  COwnerDrawMenu::DrawRadioMark(&s.dc, 4, 5, kRed);
  const auto dot = s.PixelsOf(kRed);
  ASSERT_FALSE(dot.empty());
  for (const auto& [x, y] : dot) {
    EXPECT_GE(x, 4);
    EXPECT_LT(x, 10);
    EXPECT_GE(y, 5);
    EXPECT_LT(y, 11);
  }
  EXPECT_TRUE(dot.count({6, 7}) && dot.count({7, 8})) << "filled";
  EXPECT_FALSE(dot.count({4, 5})) << "round: no corner";
}

TEST_F(MenuPaintTest, BlendTowardWhiteOnlyForFactorsAboveZeroUpToOne) {
  const struct {
    COLORREF in;
    double factor;
    COLORREF out;
  } cases[] = {
      {kBlack, 0.6, RGB(153, 153, 153)}, {RGB(10, 36, 106), 0.7, RGB(181, 189, 210)},
      {RGB(10, 36, 106), 0.85, RGB(218, 222, 232)}, {RGB(12, 34, 56), 0, RGB(12, 34, 56)},
      {RGB(12, 34, 56), -0.5, RGB(12, 34, 56)}, {RGB(12, 34, 56), 1.5, RGB(12, 34, 56)},
      {RGB(12, 34, 56), 1, kWhite},
  };
  for (const auto& c : cases) EXPECT_EQ(COwnerDrawMenu::BlendTowardWhite(c.in, c.factor), c.out) << c.factor;
}

TEST_F(MenuPaintTest, ClassicCheckedEntriesKeepTheImageColumnAndLightenOnlyWhenNotSelected) {
  COwnerDrawMenuData& item = Add(L"&Verify", 102);
  Surface s(150, 40);
  Draw(s, item, ODS_SELECTED | ODS_CHECKED, RECT{0, 0, 150, 19}, false);
  const COLORREF menuColour = Sys(COLOR_MENU);
  EXPECT_EQ(s.Count(Sys(COLOR_HIGHLIGHT), RECT{0, 0, 21, 19}), 0) << "the image column is not filled";
  EXPECT_EQ(s.At(21, 1), Sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(s.At(2, 3), menuColour) << "the box, not lightened while selected";
  EXPECT_EQ(s.At(5, 8), Sys(COLOR_MENUTEXT)) << "the tick at (box.left + 4, box.top + 4)";
  EXPECT_EQ(s.Count(Sys(COLOR_HIGHLIGHTTEXT), RECT{25, 0, 150, 19}) > 0, true) << "the caption";

  Draw(s, item, ODS_CHECKED, RECT{0, 20, 150, 39}, false);
  EXPECT_EQ(s.At(2, 23), COwnerDrawMenu::BlendTowardWhite(menuColour, 0.6)) << "lightened when not selected";
  EXPECT_EQ(s.At(30, 21), menuColour);

  // A checked bitmap on the entry makes it a radio entry: the dot instead.
  CBitmap mark;
  mark.CreateBitmap(8, 8, 1, 1, nullptr);
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_CHECKMARKS;
  info.hbmpChecked = static_cast<HBITMAP>(mark.m_hObject);
  ASSERT_TRUE(menu.SetMenuItemInfo(102, &info));
  Surface radio(40, 19);
  Draw(radio, item, ODS_CHECKED, RECT{0, 0, 40, 19}, false);
  EXPECT_EQ(radio.At(8, 8), Sys(COLOR_MENUTEXT)) << "the dot at (box.left + 5, box.top + 4)";
  EXPECT_NE(radio.At(5, 8), Sys(COLOR_MENUTEXT)) << "no tick";
}

TEST_F(MenuPaintTest, ClassicGrayedCaptionsAreEngravedOrInTheBackgroundColour) {
  COwnerDrawMenuData& item = Add(L"&Read back\tF5", 103);
  Surface s(150, 19);
  Draw(s, item, ODS_GRAYED, RECT{0, 0, 150, 19}, false);
  const RECT text{25, 0, 150, 19};
  EXPECT_GT(s.Count(Sys(COLOR_BTNHIGHLIGHT), text), 0) << "the highlight copy";
  EXPECT_GT(s.Count(Sys(COLOR_GRAYTEXT), text), 0) << "gray on top";
  Surface selected(150, 19);
  Draw(selected, item, ODS_GRAYED | ODS_SELECTED, RECT{0, 0, 150, 19}, false);
  EXPECT_EQ(selected.Count(Sys(COLOR_GRAYTEXT), text), 0);
  EXPECT_GT(selected.Count(Sys(COLOR_MENU), text), 0) << "the caption in the background colour";
}

TEST_F(MenuPaintTest, ClassicSeparatorIsAnEtchedLineThroughTheMiddle) {
  COwnerDrawMenuData& item = Add(L"", 0);
  Surface s(60, 9);
  Draw(s, item, 0, RECT{0, 0, 60, 9}, false);
  EXPECT_EQ(s.At(30, 4), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(s.At(30, 5), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(s.At(30, 2), Sys(COLOR_MENU));
}

TEST_F(MenuPaintTest, XpDisabledEntriesNeverShowTheSelectionAndUseGrayText) {
  COwnerDrawMenuData& item = Add(L"&Read back", 103);
  Surface s(150, 22);
  Draw(s, item, ODS_GRAYED | ODS_SELECTED, RECT{0, 0, 150, 22}, true);
  const COLORREF selection = COwnerDrawMenu::BlendTowardWhite(Sys(COLOR_HIGHLIGHT), 0.7);
  EXPECT_EQ(s.Count(selection, RECT{0, 0, 150, 22}), 0);
  EXPECT_EQ(s.Count(Sys(COLOR_HIGHLIGHT), RECT{0, 0, 150, 22}), 0);
  EXPECT_EQ(lastState & ODS_SELECTED, 0u) << "cleared in the structure";
  EXPECT_GT(s.Count(Sys(COLOR_GRAYTEXT), RECT{31, 0, 150, 22}), 0);
  EXPECT_EQ(s.At(2, 10), Sys(COLOR_BTNFACE)) << "the image bar";
  EXPECT_EQ(s.At(140, 2), Sys(COLOR_WINDOW)) << "the body";
}

TEST_F(MenuPaintTest, XpCheckBoxIsFramedInTheHighlightAndLightlyFilled) {
  COwnerDrawMenuData& item = Add(L"&Verify", 102);
  Surface s(150, 22);
  Draw(s, item, ODS_CHECKED, RECT{0, 0, 150, 22}, true);
  // A 16 x 16 box at ((23 - 16) / 2 rounded, (22 - 16) / 2 rounded) = (4, 3).
  const COLORREF h = Sys(COLOR_HIGHLIGHT);
  EXPECT_EQ(s.At(4, 3), h);
  EXPECT_EQ(s.At(19, 18), h);
  EXPECT_EQ(s.At(20, 19), Sys(COLOR_BTNFACE)) << "outside the box";
  EXPECT_EQ(s.At(5, 4), COwnerDrawMenu::BlendTowardWhite(h, 0.85));
  for (int y = 9; y < 12; ++y) EXPECT_EQ(s.At(9, y), Sys(COLOR_MENUTEXT)) << "the tick's first column at (x + 5, y + 4)";
}

TEST_F(MenuPaintTest, XpThreeImageSetsDrawTheShadowUnderTheSelectedImage) {
  AddImageTriple();
  COwnerDrawMenuData& item = Add(L"&Write", 50);
  ASSERT_EQ(item.m_sharedImageIndex, 0);
  Surface s(150, 44);
  Draw(s, item, ODS_SELECTED, RECT{0, 0, 150, 22}, true);
  // The image's place is (4, 4); the shadow one pixel down and right of it,
  // the image itself one pixel up and left.
  EXPECT_EQ(s.At(3, 3), kRed);
  EXPECT_EQ(s.At(18, 17), kRed);
  EXPECT_EQ(s.At(20, 19), kGray) << "the shadow shows below and right";
  EXPECT_EQ(s.At(19, 5), kGray);
  EXPECT_EQ(s.Count(kGreen, RECT{0, 0, 150, 22}), 0);
  Draw(s, item, 0, RECT{0, 22, 150, 44}, true);
  EXPECT_EQ(s.At(4, 26), kGreen) << "not selected: the second image";
  EXPECT_EQ(s.Count(kRed, RECT{0, 22, 150, 44}), 0);
}

TEST_F(MenuPaintTest, DisabledImagesAreEngravedAndBadIndicesDrawSafely) {
  AddImageTriple();
  COwnerDrawMenuData& item = Add(L"&Write", 50);
  Surface s(150, 19);
  Draw(s, item, ODS_GRAYED, RECT{0, 0, 150, 19}, false);
  // The red square at (2, 2) becomes its shape in the shadow colour with a
  // highlight edge one pixel down and right.
  EXPECT_EQ(s.At(2, 2), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(s.At(17, 16), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(s.At(18, 10), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(s.At(10, 17), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(s.Count(kRed, RECT{0, 0, 150, 19}), 0);

  item.m_sharedImageIndex = 99;  // past the list's end
  Surface bad(150, 19);
  Draw(bad, item, ODS_GRAYED, RECT{0, 0, 150, 19}, false);
  Draw(bad, item, ODS_SELECTED, RECT{0, 0, 150, 19}, true);
  EXPECT_EQ(bad.Count(kRed, RECT{0, 0, 150, 19}), 0);
}

TEST_F(MenuPaintTest, DrawItemPicksThePainterByShellTypeAndTheme) {
  COwnerDrawMenuData& item = Add(L"x", 1);
  for (int shell : {1, 2, 6, 7}) {
    COwnerDrawMenu::s_shellType = shell;
    Surface s(100, 22);
    DRAWITEMSTRUCT dis{ODT_MENU, 0, 1, ODA_DRAWENTIRE, 0, reinterpret_cast<HWND>(menu.m_hMenu), s.dc,
                       RECT{0, 0, 100, 22}, reinterpret_cast<ULONG_PTR>(&item)};
    menu.DrawItem(&dis);
    const bool xp = shell == 7;
    EXPECT_EQ(s.At(90, 10), Sys(xp ? COLOR_WINDOW : COLOR_MENU)) << "shell " << shell;
  }
  EXPECT_FALSE(COwnerDrawMenu::IsWindowsClassicTheme()) << "no theme key: not the classic theme";
  EXPECT_TRUE(COwnerDrawMenu::s_themeProbed);
}

// Every state of an entry, one under the other, in each look.
TEST_F(MenuPaintTest, SnapshotsOfBothLooks) {
  AddImageTriple();
  COwnerDrawMenuData& open = Add(L"&Open image...\tCtrl+O", 101);
  COwnerDrawMenuData& write = Add(L"&Write\tF7", 50);
  COwnerDrawMenuData& verify = Add(L"&Verify after write", 102);
  COwnerDrawMenuData& separator = Add(L"", 0);
  COwnerDrawMenuData& read = Add(L"&Read back\tF5", 103);
  struct Row {
    COwnerDrawMenuData* item;
    UINT state;
  };
  const Row rows[] = {
      {&open, 0}, {&open, ODS_SELECTED}, {&write, 0}, {&write, ODS_SELECTED}, {&write, ODS_GRAYED},
      {&verify, ODS_CHECKED}, {&verify, ODS_CHECKED | ODS_SELECTED}, {&separator, 0}, {&read, ODS_GRAYED},
      {&read, ODS_GRAYED | ODS_SELECTED},
  };
  for (bool xp : {false, true}) {
    const int h = xp ? 22 : 19, sep = xp ? 11 : 9;
    Surface s(190, 10 * h);
    int y = 0;
    for (const Row& row : rows) {
      const int rowHeight = row.item == &separator ? sep : h;
      Draw(s, *row.item, row.state, RECT{0, y, 190, y + rowHeight}, xp);
      y += rowHeight;
    }
    qv::testing::SavePicture(qv::ToQImage(s.bitmap).copy(0, 0, 190, y),
                             QString("owner_draw_menu_states_%1").arg(xp ? "xp" : "classic"));
  }
}

}  // namespace

#include "tests/support/recording_dc/recording_dc.h"

namespace {

using qv::testing::TextRecorder;

// Where each painter writes a caption with a shortcut, and in which colour.
TEST_F(MenuPaintTest, CaptionsGoRightOfTheImageColumnInTheStatesColour) {
  COwnerDrawMenuData& item = Add(L"&Open\tCtrl+O", 101);
  const RECT r{0, 20, 200, 40};
  struct Case {
    bool xp;
    UINT state;
    int textLeft;  // classic: r.left + 16 + 9; XP: the 23-pixel bar + 8
    std::vector<std::pair<COLORREF, int>> drawn;  // colour and x shift of each text call, label then shortcut
  } cases[] = {
      {false, 0, 25, {{Sys(COLOR_MENUTEXT), 0}, {Sys(COLOR_MENUTEXT), 0}}},
      {false, ODS_SELECTED, 25, {{Sys(COLOR_HIGHLIGHTTEXT), 0}, {Sys(COLOR_HIGHLIGHTTEXT), 0}}},
      {false, ODS_GRAYED, 25,
       {{Sys(COLOR_BTNHIGHLIGHT), 1}, {Sys(COLOR_BTNHIGHLIGHT), 1}, {Sys(COLOR_GRAYTEXT), 0}, {Sys(COLOR_GRAYTEXT), 0}}},
      {true, 0, 31, {{Sys(COLOR_MENUTEXT), 0}, {Sys(COLOR_MENUTEXT), 0}}},
      {true, ODS_SELECTED, 31, {{Sys(COLOR_MENUTEXT), 0}, {Sys(COLOR_MENUTEXT), 0}}},
      {true, ODS_GRAYED, 31, {{Sys(COLOR_GRAYTEXT), 0}, {Sys(COLOR_GRAYTEXT), 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.xp ? "xp " : "classic ") + std::to_string(c.state));
    Surface s(200, 60);
    TextRecorder recorder;
    Draw(s, item, c.state, r, c.xp);
    const auto texts = recorder.Drawn();
    ASSERT_EQ(texts.size(), c.drawn.size());
    for (size_t i = 0; i < texts.size(); ++i) {
      const bool label = i % 2 == 0;
      const int dx = c.drawn[i].second;
      EXPECT_EQ(texts[i].text, label ? "&Open" : "Ctrl+O") << i;
      EXPECT_EQ(texts[i].format, label ? 0x24u : 0x26u) << i;
      EXPECT_EQ(texts[i].colour, c.drawn[i].first) << i;
      EXPECT_EQ(texts[i].bkMode, TRANSPARENT);
      // The right edge leaves the icon width (16) free for a caption with a tab.
      EXPECT_EQ(CRect(texts[i].rect), CRect(c.textLeft + dx, 19 + dx, 184 + dx, 39 + dx)) << i;
    }
  }
}

TEST_F(MenuPaintTest, TheXpSeparatorLineStartsSevenPixelsRightOfTheBar) {
  COwnerDrawMenuData& sep = Add(nullptr, 0, MF_SEPARATOR);
  Surface s(120, 20);
  Draw(s, sep, 0, RECT{0, 0, 120, 10}, true);
  // The bar is 16 + 7 wide; the etched line along y = 5 from x = 30.
  EXPECT_EQ(s.At(22, 2), Sys(COLOR_BTNFACE));
  EXPECT_EQ(s.At(23, 2), Sys(COLOR_WINDOW));
  EXPECT_EQ(s.At(29, 5), Sys(COLOR_WINDOW));
  EXPECT_EQ(s.At(30, 5), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(s.At(110, 5), Sys(COLOR_BTNSHADOW));
}

}  // namespace
