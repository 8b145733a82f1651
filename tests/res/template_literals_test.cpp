// The six templates read by their literal numbers and texts, never through
// the resource ids: a wrong id, caption, state, place, size or font in the
// data fails here. The one table of what the templates hold.

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "platform/win32/dialog/dialog_template.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/standard/edit.h"
#include "platform/win32/standard/static.h"

namespace {

using qv::win32::DialogItemTemplate;
using qv::win32::DialogTemplate;
using qv::win32::FindDialogTemplate;

enum class Kind { kStatic, kPicture, kEdit, kReadOnlyEdit, kList, kCombo, kGroup, kRadio, kCheck, kPush, kProgress };

enum State { kShown, kHidden, kHiddenDisabled };

// A control's rectangle in dialog units.
struct Place {
  int x, y, cx, cy;
};

struct Row {
  int dialog;
  int id;  // -1: an untitled static or group, found by its caption
  Kind kind;
  const char* caption;
  State state;
  std::optional<Place> place = std::nullopt;  // where the screens give it
};

// Every row of the templates' control tables, with the numbers and texts as
// the program's screens give them.
const Row kRows[] = {
    // The IC type and interface dialog.
    {229, 1504, Kind::kStatic, "IC Type List", kShown},
    {229, 1501, Kind::kList, "", kShown},
    {229, 1505, Kind::kStatic, "", kShown},
    {229, -1, Kind::kStatic, "RAM Size:", kShown},
    {229, 1502, Kind::kReadOnlyEdit, "", kShown},
    {229, -1, Kind::kStatic, "APROM Size:", kShown},
    {229, 1506, Kind::kReadOnlyEdit, "", kShown},
    {229, -1, Kind::kStatic, "Part No", kShown},
    {229, 1503, Kind::kEdit, "", kShown},
    {229, -1, Kind::kGroup, "Interface Setting", kShown},
    {229, 1516, Kind::kRadio, "USB", kShown},
    {229, 1517, Kind::kRadio, "COM", kShown},
    {229, -1, Kind::kStatic, "Com Num", kShown},
    {229, 1023, Kind::kCombo, "", kShown},
    {229, -1, Kind::kStatic, "Baudrate", kShown},
    {229, 1024, Kind::kCombo, "", kShown},
    {229, -1, Kind::kGroup, "ISP Method Select", kHidden},
    {229, 1522, Kind::kRadio, "Timeout Entry", kHidden},
    {229, 1523, Kind::kRadio, "CheckPin Entry", kHidden},
    {229, 1, Kind::kPush, "OK", kShown},
    {229, 2, Kind::kPush, "Cancel", kShown},
    // The download dialog.
    {230, 1520, Kind::kStatic, "Name:", kShown},
    {230, 1521, Kind::kStatic, "Size:", kShown},
    {230, 1039, Kind::kProgress, "", kShown},
    {230, 1070, Kind::kPush, "Close", kHidden},
    // The main window.
    {215, 1070, Kind::kPush, "Write", kShown},
    {215, 1071, Kind::kPush, "Read", kShown},
    {215, 1072, Kind::kPush, "Exit", kShown},
    {215, 1073, Kind::kPush, "Merge&&Convert", kHidden},
    {215, 1154, Kind::kPicture, "#168", kShown},
    {215, 1438, Kind::kStatic, "Chip Type:", kHidden},
    {215, 1023, Kind::kCombo, "", kHidden},
    {215, -1, Kind::kStatic, "RAM Size:", kShown},
    {215, 1502, Kind::kReadOnlyEdit, "", kShown},
    {215, -1, Kind::kStatic, "APROM Size:", kShown},
    {215, 1506, Kind::kReadOnlyEdit, "", kShown},
    {215, -1, Kind::kStatic, "Part No", kShown},
    {215, 1503, Kind::kReadOnlyEdit, "", kShown},
    // The status strip.
    {145, 1127, Kind::kStatic, "", kShown},
    {145, 1128, Kind::kStatic, "", kShown},
    {145, 1130, Kind::kStatic, "", kShown},
    {145, 1129, Kind::kPicture, "#146", kShown},
    // The Write page.
    {171, -1, Kind::kStatic, "File:", kShown, Place{25, 21, 18, 9}},
    {171, 1221, Kind::kEdit, "", kShown, Place{42, 18, 283, 15}},
    {171, -1, Kind::kStatic, "CRC Value:", kShown, Place{25, 45, 19, 9}},
    {171, 1222, Kind::kReadOnlyEdit, "", kShown, Place{42, 41, 47, 15}},
    {171, -1, Kind::kStatic, "Hex", kShown, Place{93, 44, 14, 8}},
    {171, -1, Kind::kStatic, "File Length:", kShown, Place{125, 45, 38, 8}},
    {171, 1100, Kind::kReadOnlyEdit, "", kShown, Place{163, 41, 40, 14}},
    {171, -1, Kind::kStatic, "Byte", kShown, Place{207, 43, 16, 8}},
    {171, 1078, Kind::kPush, "Clear", kShown, Place{237, 40, 41, 16}},
    {171, 1072, Kind::kPush, "Browse", kShown, Place{279, 40, 41, 16}},
    {171, 1526, Kind::kGroup, "", kShown, Place{29, 80, 176, 40}},
    {171, 1206, Kind::kCheck, "Update Part", kShown, Place{36, 81, 55, 8}},
    {171, 1527, Kind::kStatic, "Write Begin Address:", kShown, Place{47, 100, 70, 10}},
    {171, 1517, Kind::kEdit, "", kShown, Place{124, 97, 50, 16}},
    {171, 1523, Kind::kGroup, "Password", kShown, Place{29, 131, 176, 33}},
    {171, 1499, Kind::kEdit, "", kShown, Place{47, 145, 71, 13}},
    {171, -1, Kind::kGroup, "Operation Option", kHidden, Place{306, 90, 174, 62}},
    {171, 1251, Kind::kCheck, "Erase", kHidden, Place{321, 102, 29, 9}},
    {171, 1252, Kind::kCheck, "Write", kHiddenDisabled, Place{321, 118, 34, 9}},
    {171, 1250, Kind::kCheck, "Verify", kHidden, Place{321, 134, 34, 9}},
    {171, 1071, Kind::kPush, "RTS LOW", kHidden, Place{117, 243, 44, 17}},
    {171, 1074, Kind::kPush, "RTS HIGH", kHidden, Place{186, 243, 44, 17}},
    {171, 1039, Kind::kProgress, "", kShown, Place{7, 273, 333, 15}},
    {171, 1070, Kind::kPush, "Write", kShown, Place{296, 291, 44, 17}},
    {171, 1073, Kind::kPush, "Save", kHidden, Place{531, 302, 55, 17}},
    // The Read page.
    {217, -1, Kind::kGroup, "Area", kShown},
    {217, 1497, Kind::kRadio, "All Area", kShown},
    {217, 1493, Kind::kRadio, "Custom Area", kShown},
    {217, -1, Kind::kStatic, "From", kShown},
    {217, 1495, Kind::kEdit, "", kShown},
    {217, -1, Kind::kStatic, "to", kShown},
    {217, 1496, Kind::kEdit, "", kShown},
    {217, 1523, Kind::kGroup, "Password", kShown},
    {217, 1499, Kind::kEdit, "", kShown},
    {217, 1498, Kind::kProgress, "", kShown},
    {217, 1072, Kind::kPush, "Save", kShown},
    {217, 1071, Kind::kPush, "Read", kShown},
};

// The class names as the templates write them.
bool ClassIs(const DialogItemTemplate& item, const char* name) { return std::strcmp(item.className, name) == 0; }

bool IsKind(const DialogItemTemplate& item, Kind kind) {
  const DWORD button = item.style & BS_TYPEMASK;
  switch (kind) {
    case Kind::kStatic: return ClassIs(item, "Static") && (item.style & SS_TYPEMASK) != SS_BITMAP;
    case Kind::kPicture: return ClassIs(item, "Static") && (item.style & SS_TYPEMASK) == SS_BITMAP;
    case Kind::kEdit: return ClassIs(item, "Edit");
    case Kind::kReadOnlyEdit: return ClassIs(item, "Edit") && (item.style & ES_READONLY) != 0;
    case Kind::kList: return ClassIs(item, "ListBox");
    case Kind::kCombo: return ClassIs(item, "ComboBox");
    case Kind::kGroup: return ClassIs(item, "Button") && button == BS_GROUPBOX;
    case Kind::kRadio: return ClassIs(item, "Button") && button == BS_AUTORADIOBUTTON;
    case Kind::kCheck: return ClassIs(item, "Button") && button == BS_AUTOCHECKBOX;
    case Kind::kPush: return ClassIs(item, "Button") && (button == BS_PUSHBUTTON || button == BS_DEFPUSHBUTTON);
    case Kind::kProgress: return ClassIs(item, "msctls_progress32");
  }
  return false;
}

const DialogItemTemplate* Find(const DialogTemplate& t, const Row& row) {
  for (const DialogItemTemplate& item : t.items) {
    if (item.id != row.id) continue;
    if (row.id == -1 && (std::strcmp(item.caption, row.caption) != 0 || !IsKind(item, row.kind))) continue;
    return &item;
  }
  return nullptr;
}

TEST(TemplateLiterals, EveryControlHasItsIdKindCaptionAndState) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(std::to_string(row.dialog) + " " + std::to_string(row.id) + " \"" + row.caption + "\"");
    const auto t = FindDialogTemplate(row.dialog);
    ASSERT_NE(t, nullptr);
    const DialogItemTemplate* item = Find(*t, row);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(IsKind(*item, row.kind)) << item->className << " " << std::hex << item->style;
    EXPECT_STREQ(item->caption, row.caption);
    EXPECT_EQ((item->style & WS_VISIBLE) != 0, row.state == kShown);
    EXPECT_EQ((item->style & WS_DISABLED) != 0, row.state == kHiddenDisabled);
    if (row.place) {
      EXPECT_EQ(item->x, row.place->x);
      EXPECT_EQ(item->y, row.place->y);
      EXPECT_EQ(item->cx, row.place->cx);
      EXPECT_EQ(item->cy, row.place->cy);
    }
  }
}

TEST(TemplateLiterals, NoTemplateHoldsAControlTheTablesDoNotName) {
  for (int dialog : {229, 230, 215, 145, 171, 217}) {
    const auto t = FindDialogTemplate(dialog);
    ASSERT_NE(t, nullptr) << dialog;
    size_t rows = 0;
    for (const Row& row : kRows) rows += row.dialog == dialog;
    EXPECT_EQ(t->items.size(), rows) << dialog;
    for (const DialogItemTemplate& item : t->items) {
      bool named = false;
      for (const Row& row : kRows) named = named || (row.dialog == dialog && Find(*t, row) == &item);
      EXPECT_TRUE(named) << dialog << ": " << item.id << " \"" << item.caption << "\"";
    }
  }
}

TEST(TemplateLiterals, CaptionsFramesSizesAndFonts) {
  // A template's size in dialog units and its font.
  struct Layout {
    int cx, cy;
    const char* face;
    int points;
  };
  struct Frame {
    int dialog;
    const char* caption;
    bool titleBar;   // WS_CAPTION whole (WS_BORDER alone is only a frame)
    bool child;
    DWORD boxes;     // WS_SYSMENU, WS_MINIMIZEBOX, WS_MAXIMIZEBOX present; the others absent
    std::optional<Layout> layout = std::nullopt;  // where the screens give it
  };
  const Frame frames[] = {
      {229, "IC Type & Interface Setting", true, false, WS_SYSMENU},
      // The download dialog: no caption, no system menu.
      {230, "", false, false, 0},
      {215, "", true, false, WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, Layout{414, 266, "MS Shell Dlg", 8}},
      {145, "", false, true, 0, Layout{280, 64, "MS Shell Dlg", 8}},
      {171, "", false, true, 0, Layout{683, 357, "MS Shell Dlg", 10}},
      {217, "", false, true, 0, Layout{665, 318, "MS Shell Dlg", 10}},
  };
  for (const Frame& f : frames) {
    const auto t = FindDialogTemplate(f.dialog);
    ASSERT_NE(t, nullptr) << f.dialog;
    EXPECT_STREQ(t->caption, f.caption) << f.dialog;
    EXPECT_EQ((t->style & WS_CAPTION) == WS_CAPTION, f.titleBar) << f.dialog;
    EXPECT_EQ((t->style & WS_CHILD) != 0, f.child) << f.dialog;
    EXPECT_EQ((t->style & WS_POPUP) != 0, !f.child) << f.dialog;
    EXPECT_EQ(t->style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), f.boxes) << f.dialog;
    if (f.layout) {
      EXPECT_EQ(t->cx, f.layout->cx) << f.dialog;
      EXPECT_EQ(t->cy, f.layout->cy) << f.dialog;
      EXPECT_STREQ(t->fontFace, f.layout->face) << f.dialog;
      EXPECT_EQ(t->pointSize, f.layout->points) << f.dialog;
    }
  }
}

}  // namespace
