// The templates of the main window, the status strip and the two pages, and
// the two pictures; the pictures are saved as PNG into the build tree.

#include <gtest/gtest.h>

#include <QImage>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/dialog/dialog_template.h"
#include "platform/win32/gdi/bitmap_resources.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/standard/edit.h"
#include "platform/win32/standard/progress_ctrl.h"
#include "platform/win32/standard/static.h"
#include "res/pages_ids.h"

namespace {

using qv::win32::DialogItemTemplate;
using qv::win32::FindDialogTemplate;

const DialogItemTemplate* Item(const qv::win32::DialogTemplate& t, int id, const char* caption = nullptr) {
  for (const DialogItemTemplate& item : t.items) {
    if (item.id == id && (caption == nullptr || std::strcmp(item.caption, caption) == 0)) return &item;
  }
  return nullptr;
}

TEST(PageTemplates, SizesFontsAndStyles) {
  struct Case {
    int id;
    int cx, cy, points;
    bool child;
  };
  for (const Case& c : {Case{IDD_ONLINE_UPDATE_AND_READ, 414, 266, 8, false}, Case{IDD_STATUS, 280, 64, 8, true},
                        Case{IDD_ONLINE_UPDATE, 683, 357, 10, true}, Case{IDD_ONLINE_READ, 665, 318, 10, true}}) {
    auto t = FindDialogTemplate(c.id);
    ASSERT_NE(t, nullptr) << c.id;
    EXPECT_EQ(t->cx, c.cx) << c.id;
    EXPECT_EQ(t->cy, c.cy) << c.id;
    EXPECT_STREQ(t->fontFace, "MS Shell Dlg") << c.id;
    EXPECT_EQ(t->pointSize, c.points) << c.id;
    EXPECT_EQ((t->style & WS_CHILD) != 0, c.child) << c.id;
  }
  auto main = FindDialogTemplate(IDD_ONLINE_UPDATE_AND_READ);
  EXPECT_EQ(main->style & (WS_POPUP | WS_CAPTION | WS_SYSMENU), WS_POPUP | WS_CAPTION | WS_SYSMENU);
}

TEST(PageTemplates, WritePageControlsInPlace) {
  auto t = FindDialogTemplate(IDD_ONLINE_UPDATE);
  ASSERT_NE(t, nullptr);
  struct Row {
    int id;
    const char* caption;
    int x, y, cx, cy;
    bool visible;
  };
  const Row rows[] = {
      {IDC_STATIC, "File:", 25, 21, 18, 9, true},
      {IDC_WRITE_PATH, "", 42, 18, 283, 15, true},
      {IDC_STATIC, "CRC Value:", 25, 45, 19, 9, true},
      {IDC_WRITE_BYTE_SUM, "", 42, 41, 47, 15, true},
      {IDC_STATIC, "Hex", 93, 44, 14, 8, true},
      {IDC_STATIC, "File Length:", 125, 45, 38, 8, true},
      {IDC_WRITE_LENGTH, "", 163, 41, 40, 14, true},
      {IDC_STATIC, "Byte", 207, 43, 16, 8, true},
      {IDC_WRITE_CLEAR, "Clear", 237, 40, 41, 16, true},
      {IDC_WRITE_BROWSE, "Browse", 279, 40, 41, 16, true},
      {IDC_WRITE_ADDRESS_GROUP, "", 29, 80, 176, 40, true},
      {IDC_WRITE_UPDATE_PART, "Update Part", 36, 81, 55, 8, true},
      {IDC_WRITE_ADDRESS_LABEL, "Write Begin Address:", 47, 100, 70, 10, true},
      {IDC_WRITE_ADDRESS, "", 124, 97, 50, 16, true},
      {IDC_PASSWORD_GROUP, "Password", 29, 131, 176, 33, true},
      {IDC_PASSWORD, "", 47, 145, 71, 13, true},
      {IDC_STATIC, "Operation Option", 306, 90, 174, 62, false},
      {IDC_WRITE_ERASE, "Erase", 321, 102, 29, 9, false},
      {IDC_WRITE_WRITE_BOX, "Write", 321, 118, 34, 9, false},
      {IDC_WRITE_VERIFY, "Verify", 321, 134, 34, 9, false},
      {IDC_WRITE_RTS_LOW, "RTS LOW", 117, 243, 44, 17, false},
      {IDC_WRITE_RTS_HIGH, "RTS HIGH", 186, 243, 44, 17, false},
      {IDC_WRITE_PROGRESS, "", 7, 273, 333, 15, true},
      {IDC_WRITE_WRITE, "Write", 296, 291, 44, 17, true},
      {IDC_WRITE_SAVE, "Save", 531, 302, 55, 17, false},
  };
  EXPECT_EQ(t->items.size(), std::size(rows));
  for (const Row& r : rows) {
    const DialogItemTemplate* item = Item(*t, r.id, r.caption);
    ASSERT_NE(item, nullptr) << r.id << " " << r.caption;
    EXPECT_EQ(item->x, r.x) << r.caption;
    EXPECT_EQ(item->y, r.y) << r.caption;
    EXPECT_EQ(item->cx, r.cx) << r.caption;
    EXPECT_EQ(item->cy, r.cy) << r.caption;
    EXPECT_EQ((item->style & WS_VISIBLE) != 0, r.visible) << r.caption;
  }
  EXPECT_NE(Item(*t, IDC_WRITE_WRITE_BOX)->style & WS_DISABLED, 0u);
  EXPECT_EQ(Item(*t, IDC_WRITE_BYTE_SUM)->style & ES_READONLY, ES_READONLY);
  EXPECT_EQ(Item(*t, IDC_WRITE_LENGTH)->style & ES_READONLY, ES_READONLY);
  EXPECT_STREQ(Item(*t, IDC_WRITE_PROGRESS)->className, "msctls_progress32");
}

TEST(PageTemplates, MainWindowStripAndReadPageControls) {
  auto main = FindDialogTemplate(IDD_ONLINE_UPDATE_AND_READ);
  for (int id : {IDC_MAIN_WRITE, IDC_MAIN_READ, IDC_MAIN_EXIT, IDC_MAIN_LOGO, IDC_MAIN_RAM, IDC_MAIN_APROM,
                 IDC_MAIN_PART_NO}) {
    ASSERT_NE(Item(*main, id), nullptr) << id;
    EXPECT_NE(Item(*main, id)->style & WS_VISIBLE, 0u) << id;
  }
  for (int id : {IDC_MAIN_MERGE, IDC_MAIN_CHIP_TYPE, IDC_MAIN_CHIP_COMBO}) {
    ASSERT_NE(Item(*main, id), nullptr) << id;
    EXPECT_EQ(Item(*main, id)->style & WS_VISIBLE, 0u) << id;
  }
  EXPECT_STREQ(Item(*main, IDC_MAIN_MERGE)->caption, "Merge&&Convert");
  EXPECT_STREQ(Item(*main, IDC_MAIN_LOGO)->caption, "#168");
  for (int id : {IDC_MAIN_RAM, IDC_MAIN_APROM, IDC_MAIN_PART_NO}) {
    EXPECT_EQ(Item(*main, id)->style & ES_READONLY, ES_READONLY) << id;
  }
  for (const char* label : {"RAM Size:", "APROM Size:", "Part No"}) EXPECT_NE(Item(*main, IDC_STATIC, label), nullptr);

  auto strip = FindDialogTemplate(IDD_STATUS);
  for (int id : {IDC_STATUS_FIELD1, IDC_STATUS_FIELD2, IDC_STATUS_FIELD3}) {
    ASSERT_NE(Item(*strip, id), nullptr) << id;
    EXPECT_STREQ(Item(*strip, id)->className, "Static");
  }
  EXPECT_STREQ(Item(*strip, IDC_STATUS_PICTURE)->caption, "#146");

  auto read = FindDialogTemplate(IDD_ONLINE_READ);
  EXPECT_STREQ(Item(*read, IDC_READ_ALL_AREA)->caption, "All Area");
  EXPECT_STREQ(Item(*read, IDC_READ_CUSTOM_AREA)->caption, "Custom Area");
  for (int id : {IDC_READ_ALL_AREA, IDC_READ_CUSTOM_AREA}) {
    EXPECT_EQ(Item(*read, id)->style & BS_TYPEMASK, BS_AUTORADIOBUTTON) << id;
  }
  for (int id : {IDC_READ_FROM, IDC_READ_TO, IDC_PASSWORD, IDC_PASSWORD_GROUP, IDC_READ_PROGRESS, IDC_READ_SAVE,
                 IDC_READ_READ}) {
    EXPECT_NE(Item(*read, id), nullptr) << id;
  }
  EXPECT_NE(Item(*read, IDC_STATIC, "Area"), nullptr);
  EXPECT_NE(Item(*read, IDC_STATIC, "From"), nullptr);
  EXPECT_NE(Item(*read, IDC_STATIC, "to"), nullptr);
}

// The picture as an image, also written next to the test for a look.
QImage Picture(int id, const char* name) {
  HBITMAP bmp = qv::LoadBitmapResource(id);
  if (bmp == nullptr) return QImage();
  BITMAP info{};
  GetObject(bmp, sizeof info, &info);
  std::vector<std::uint32_t> pixels(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
  GetBitmapBits(bmp, static_cast<LONG>(pixels.size() * 4), pixels.data());
  DeleteObject(bmp);
  QImage image(reinterpret_cast<const uchar*>(pixels.data()), info.bmWidth, info.bmHeight, QImage::Format_RGB32);
  QImage copy = image.copy();
  copy.save(QString::fromStdString(std::string(name) + ".png"));
  return copy;
}

TEST(PagePictures, LogoAndStripPicture) {
  const QImage logo = Picture(IDB_LOGO, "logo_168");
  ASSERT_FALSE(logo.isNull());
  EXPECT_EQ(logo.width(), 158);
  EXPECT_EQ(logo.height(), 120);
  const QImage strip = Picture(IDB_STATUS_PICTURE, "strip_146");
  ASSERT_FALSE(strip.isNull());
  EXPECT_EQ(strip.width(), 158);
  EXPECT_EQ(strip.height(), 49);
}

}  // namespace
