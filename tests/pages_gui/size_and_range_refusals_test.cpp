// What the Write and Read pages refuse at the edges of sizes and addresses,
// clicked with the mouse as the operator does: a usable flash or read size
// that does not fit its 32 bits or the back end's addresses, a flash smaller
// than the boot loader, an image that does not fit from its start address.
// Each refusal says why in a message box, and nothing reaches the chip.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/pages_gui/write_page_fixture.h"

namespace pages_test {
namespace {

// The application's own message box carries the application's title.
std::string AppBox(const std::string& text) { return text + " | " + AfxGetAppName(); }

class SizeAndRangeRefusals : public WritePageTest {
 protected:
  SizeAndRangeRefusals() {
    for (qv::sim::UartChip* chip : {static_cast<qv::sim::UartChip*>(&generic_), static_cast<qv::sim::UartChip*>(&k55_)}) {
      chip->SetFrameObserver([this](const std::vector<BYTE>&) { ++framesAtTheChip_; });
    }
  }

  // The back end's main window, its IC type then made type with flashK of
  // flash; without the image that an earlier case left in BINPATH.
  void OpenAs(BackEnd kind, const char* type, int flashK) {
    WriteFile("config.ini", Bytes(kConfigIni, kConfigIni + std::strlen(kConfigIni)));
    Open(kind);
    Choose(type, flashK);
    boxes_.clear();
    framesAtTheChip_ = 0;
  }
  void TypeInto(HWND edit, const char* text) {
    ::SetWindowTextA(edit, "");
    QWidget* host = qv::win32::Lookup(edit)->host.data();
    ASSERT_NE(host, nullptr);
    QTest::keyClicks(host, text);
    qv::PumpMessages();
    ASSERT_EQ(TextOf(edit), text);
  }
  HWND ReadItem(int id) const { return ::GetDlgItem(main_->m_dlgRead.m_hWnd, id); }

  int framesAtTheChip_ = 0;
};

TEST_F(SizeAndRangeRefusals, TheReadPageRefusesWhatWouldWrapRound) {
  struct Case {
    const char* what;
    int flashK;
    const char* from;  // nullptr: All Area
    const char* to;
  };
  const Case cases[] = {
      // 1024 x FLASH beyond 32 bits had read 1024 bytes and said 100%, or nothing at all.
      {"FLASH=4194305", 4194305, nullptr, nullptr},
      {"FLASH=99999999", 99999999, nullptr, nullptr},
      // The K55's word addresses reach 128 KB.
      {"FLASH=129", 129, nullptr, nullptr},
      {"a range across the last word", 256, "1FFE0", "2001F"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OpenAs(BackEnd::kK55, "K55", c.flashK);
    ClickWithMouse(::GetDlgItem(main_->m_hWnd, IDC_MAIN_READ));
    ASSERT_TRUE(::IsWindowVisible(main_->m_dlgRead.m_hWnd));
    if (c.from == nullptr) {
      ClickWithMouse(ReadItem(IDC_READ_ALL_AREA));
    } else {
      ClickWithMouse(ReadItem(IDC_READ_CUSTOM_AREA));
      TypeInto(ReadItem(IDC_READ_FROM), c.from);
      TypeInto(ReadItem(IDC_READ_TO), c.to);
    }
    ClickWithMouse(ReadItem(IDC_READ_READ));
    EXPECT_EQ(boxes_, std::vector<std::string>{AppBox("Can not read such a big size!")});
    EXPECT_FALSE(main_->m_dlgRead.IsReading());
    for (int i = 0; i < 20; ++i) qv::PumpMessages();
    EXPECT_EQ(framesAtTheChip_, 0);
    EXPECT_EQ(TextOf(ReadItem(IDC_READ_PROGRESS)), "");
    Close();
  }
}

TEST_F(SizeAndRangeRefusals, AFlashSmallerThanTheBootLoaderLeavesZeroK) {
  OpenAs(BackEnd::kGeneric, "GEN", 2);  // 2 KB of flash, 4 KB of them the boot loader's
  Browse(Image("fw.bin", 256, 1));
  EXPECT_EQ(boxes_, std::vector<std::string>{"File Size must not exceed 0 K! | Warning"});
  EXPECT_EQ(Text(kPath), "");
}

TEST_F(SizeAndRangeRefusals, TheWritePageRefusesAnImageThatDoesNotFitFromItsAddress) {
  struct Case {
    const char* what;
    BackEnd backEnd;
    const char* type;
    int flashK;
    const char* address;  // nullptr: Update Part left unchecked
    std::size_t fileBytes;
    bool refused;
  };
  const Case cases[] = {
      // 16-bit byte addresses: FF00 + 0x200 passes 0x10000.
      {"two pages from FF00", BackEnd::kGeneric, "ROM", 64, "FF00", 512, true},
      {"one byte more than fits from FE00", BackEnd::kGeneric, "ROM", 64, "FE00", 513, true},
      {"exactly up to the end from FE00", BackEnd::kGeneric, "ROM", 64, "FE00", 512, false},
      // 16-bit word addresses: 128 KB and one page beyond, plus the trailer.
      {"a K55 image beyond its words", BackEnd::kK55, "K55", 256, nullptr, 0x20000 + 32 + 0x300, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OpenAs(c.backEnd, c.type, c.flashK);
    Browse(Image("fw.bin", c.fileBytes, 2));
    ASSERT_TRUE(boxes_.empty());
    if (c.address != nullptr) {
      ClickWithMouse(kUpdatePart);
      TypeInto(Item(kAddress), c.address);
    }
    const std::size_t logged = engine_.Entries().size();
    ClickWithMouse(kWrite);
    if (c.refused) {
      EXPECT_EQ(boxes_, std::vector<std::string>{"The image does not fit the chip from this address! | Warn"});
      EXPECT_FALSE(main_->IsWritePending());
      EXPECT_TRUE(PageEnabled());
      EXPECT_EQ(framesAtTheChip_, 0);
      EXPECT_EQ(engine_.Entries().size(), logged);
    } else {
      EXPECT_TRUE(boxes_.empty());
      WaitForTheJob();
      ASSERT_TRUE(PumpUntil([&] { return Text(kProgress) == "Updating...100%"; }));
      const Bytes image = Pattern(c.fileBytes, 2);
      EXPECT_EQ(Bytes(generic_.Flash().end() - static_cast<long>(image.size()), generic_.Flash().end()), image);
    }
    Close();
  }
}

}  // namespace
}  // namespace pages_test
