// The Write page's image: the size check against the usable flash, the image
// without header and trailer, and the byte sum over the file's first bytes.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/flash_limit.h"
#include "app/write_image.h"
#include "isp/com_base.h"
#include "isp/com_base_k55.h"
#include "tests/support/pages_fixture.h"
#include "tests/support/fake_serial_port.h"

namespace pages_test {
namespace {

// A header of 16 bytes before the image and a trailer of 8 after it.
class FramedBackEnd : public CCommonInterface {
 public:
  int GetFileHeaderSize() override { return 16; }
  int GetFileTrailerSize() override { return 8; }
  int GetBootLoaderSizeKB() override { return 2; }
};

class WriteImageTest : public PagesTest {
 protected:
  CCOMBaseK55 k55_{std::make_unique<qv::FakeSerialPort>()};
  CCOMBase generic_{std::make_unique<qv::FakeSerialPort>()};
};

TEST_F(WriteImageTest, BootLoadInRomInAnyCaseAndFalseWhenAbsent) {
  EXPECT_TRUE(IsBootLoadInRom("ROM"));
  EXPECT_FALSE(IsBootLoadInRom("GEN"));
  EXPECT_FALSE(IsBootLoadInRom("NOSUCHTYPE"));
  Choose("ROM", 16);
  EXPECT_EQ(UsableFlashKB(generic_), 16);
  Choose("GEN", 16);
  EXPECT_EQ(UsableFlashKB(generic_), 12);  // the generic back end reserves 4 KB
}

struct SizeCase {
  const char* type;
  int flashK;
  bool k55;
  long long fileBytes;
  CImageFile::Result result;
  int limitKB;
};

TEST_F(WriteImageTest, SizeCheckAgainstTheUsableFlash) {
  const SizeCase cases[] = {
      // K55: 768 trailer bytes on top of the whole 32 KB, nothing reserved.
      {"K55", 32, true, 32768 + 768, CImageFile::kLoaded, 0},
      {"K55", 32, true, 32768 + 769, CImageFile::kTooLarge, 32},
      // A file shorter than the trailer has no image: too large, not loaded.
      {"K55", 32, true, 767, CImageFile::kTooLarge, 32},
      {"K55", 32, true, 0, CImageFile::kTooLarge, 32},
      {"K55", 32, true, 768, CImageFile::kLoaded, 0},
      // GEN: 4 KB of its 16 are the boot loader's.
      {"GEN", 16, false, 12 * 1024, CImageFile::kLoaded, 0},
      {"GEN", 16, false, 12 * 1024 + 1, CImageFile::kTooLarge, 12},
      {"GEN", 16, false, 0, CImageFile::kLoaded, 0},
      // ROM: the same back end, the whole flash.
      {"ROM", 16, false, 16 * 1024, CImageFile::kLoaded, 0},
      {"ROM", 16, false, 16 * 1024 + 1, CImageFile::kTooLarge, 16},
      // A type whose flash is smaller than the reserved part takes nothing,
      // and the limit it tells is 0, not below.
      {"GEN", 2, false, 1, CImageFile::kTooLarge, 0},
  };
  for (const SizeCase& c : cases) {
    Choose(c.type, c.flashK);
    const Bytes file = Pattern(static_cast<std::size_t>(c.fileBytes));
    const std::string path = WriteFile("fw.bin", file);
    CCommonInterface& backEnd = c.k55 ? static_cast<CCommonInterface&>(k55_) : generic_;
    const CImageFile image = LoadImageFile(path.c_str(), backEnd);
    SCOPED_TRACE(std::string(c.type) + " " + std::to_string(c.fileBytes));
    EXPECT_EQ(image.result, c.result);
    if (c.result == CImageFile::kTooLarge) {
      EXPECT_EQ(image.limitKB, c.limitKB);
      EXPECT_TRUE(image.image.empty());
    } else {
      EXPECT_EQ(image.fileLength, c.fileBytes);
      const std::size_t kept = c.k55 ? file.size() - 768 : file.size();
      EXPECT_EQ(image.image, Bytes(file.begin(), file.begin() + static_cast<long>(kept)));
    }
  }
}

TEST_F(WriteImageTest, TheImageLeavesOutHeaderAndTrailerWhileTheLengthCountsThem) {
  FramedBackEnd framed;
  const Bytes file = Pattern(100);
  const CImageFile image = LoadImageFile(WriteFile("fw.hex", file).c_str(), framed);
  ASSERT_EQ(image.result, CImageFile::kLoaded);
  EXPECT_EQ(image.fileLength, 100);
  EXPECT_EQ(image.image, Bytes(file.begin() + 16, file.end() - 8));
  // The sum covers the header and trailer bytes too.
  BYTE sum = 0;
  for (BYTE b : file) sum = static_cast<BYTE>(sum + b);
  EXPECT_EQ(image.byteSum, sum);
}

TEST_F(WriteImageTest, WhatIsNoImageFileDoesNotOpen) {
  std::filesystem::create_directory(File("folder.bin"));
  for (const std::string& path : {File("missing.bin"), File("folder.bin"), std::string("/dev/null")}) {
    const CImageFile image = LoadImageFile(path.c_str(), generic_);
    EXPECT_EQ(image.result, CImageFile::kNotOpened) << path;
    EXPECT_EQ(ImageByteSum(path.c_str()), 0) << path;
  }
}

TEST_F(WriteImageTest, ByteSumOfTheFirst60672Bytes) {
  EXPECT_EQ(ImageByteSum(WriteFile("abc.bin", Bytes{'a', 'b', 'c'}).c_str()), 0x26);
  EXPECT_EQ(ImageByteSum(WriteFile("empty.bin", {}).c_str()), 0x00);
  // Bytes beyond the first 60672 (0xED00) do not count.
  Bytes big(100000, 0);
  big[0] = 0x10;
  big[60671] = 0x20;
  big[60672] = 0x40;
  big[99999] = 0x80;
  EXPECT_EQ(ImageByteSum(WriteFile("big.bin", big).c_str()), 0x30);
  const Bytes pattern = Pattern(100000, 3);
  BYTE sum = 0;
  for (std::size_t i = 0; i < 60672; ++i) sum = static_cast<BYTE>(sum + pattern[i]);
  EXPECT_EQ(ImageByteSum(WriteFile("pattern.bin", pattern).c_str()), sum);
}

TEST(FileTooLargeText, NamesTheLimit) { EXPECT_EQ(FileTooLargeText(60).str(), "File Size must not exceed 60 K!"); }

}  // namespace
}  // namespace pages_test
