// The resource library reaches the program whole: its data registers itself.
// The two pictures are saved as PNG into the suite's snapshot folder.

#include <gtest/gtest.h>

#include <QImage>
#include <cstdint>
#include <vector>

#include "platform/core/cstring.h"
#include "platform/win32/gdi/bitmap_resources.h"
#include "platform/win32/gdi/gdi.h"
#include "tests/support/snapshot_file.h"

namespace {

TEST(Resources, TheStringTableIsRegisteredWithoutAnyCall) {
  const struct {
    UINT id;
    const char* text;
  } cases[] = {{102, "Communication Error!"}, {103, "ID Error!"}, {104, "Verify Error!"}};
  for (const auto& c : cases) {
    CString s;
    EXPECT_TRUE(s.LoadString(c.id)) << c.id;
    EXPECT_EQ(s, c.text);
  }
}

// The picture as an image, also saved for a look.
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
  qv::testing::SavePicture(copy, name);
  return copy;
}

TEST(PagePictures, LogoAndStripPicture) {
  const QImage logo = Picture(168, "logo_168");
  ASSERT_FALSE(logo.isNull());
  EXPECT_EQ(logo.width(), 158);
  EXPECT_EQ(logo.height(), 120);
  const QImage strip = Picture(146, "strip_146");
  ASSERT_FALSE(strip.isNull());
  EXPECT_EQ(strip.width(), 158);
  EXPECT_EQ(strip.height(), 49);
}

}  // namespace
