// What the Write and Read pages refuse at the edges of sizes and addresses,
// clicked with the mouse as the operator does: a usable flash or read size
// that does not fit its 32 bits or the back end's addresses, a flash smaller
// than the boot loader, an image that does not fit from its start address.
// Each refusal says why in a message box, and nothing reaches the chip.

#include <gtest/gtest.h>

#include <QTest>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/dlg_online_update_and_read.h"
#include "isp/com_base.h"
#include "isp/com_base_k55.h"
#include "platform/win32/application.h"
#include "platform/win32/common_dialog/file_dialog.h"
#include "platform/win32/dialog/message_box.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/window_object.h"
#include "sim/uart_generic_chip.h"
#include "sim/uart_k55_chip.h"
#include "tests/pages/pages_fixture.h"
#include "tests/support/chip_on_fake_port.h"

namespace pages_test {
namespace {

std::string TextOf(HWND hwnd) {
  char buffer[512] = {};
  ::GetWindowTextA(hwnd, buffer, sizeof buffer);
  return buffer;
}

// The bound only keeps a broken build from hanging; it is no assertion.
bool PumpUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 20000 && !done(); ++i) {
    qv::PumpMessages();
    QTest::qWait(1);
  }
  return done();
}

// The application's own message box carries the application's title.
std::string AppBox(const std::string& text) { return text + " | " + AfxGetAppName(); }

class SizeAndRangeRefusals : public PagesTest {
 protected:
  SizeAndRangeRefusals() {
    qv::Application();
    qv::SetMessageBoxHook([this](const qv::MessageBoxCall& call) {
      boxes_.push_back(call.text + " | " + call.caption);
      return IDOK;
    });
  }
  ~SizeAndRangeRefusals() override {
    Close();
    qv::SetMessageBoxHook(nullptr);
    qv::SetFileDialogHook(nullptr);
  }

  // The IC type's back end (K55 or the generic one) on a fake port with its
  // chip behind it, and the main window.
  void Open(const char* type, int flashK) {
    // Each case starts without the image that the last one left in BINPATH.
    WriteFile("config.ini", Bytes(kConfigIni, kConfigIni + std::strlen(kConfigIni)));
    Choose(type, flashK);
    auto port = std::make_unique<qv::FakeSerialPort>();
    port_ = port.get();
    CCOMBase* com = nullptr;
    if (std::string(type) == "K55") {
      qv::Attach(*port, k55_);
      com = new CCOMBaseK55(std::move(port));
    } else {
      qv::Attach(*port, generic_);
      com = new CCOMBase(std::move(port));
    }
    engine_.m_pCOMBase = com;
    engine_.m_pInterface = com;
    engine_.m_nInterface = 0;
    engine_.m_nComPort = 3;
    engine_.m_nBaudRate = 115200;
    engine_.m_nEntryMethod = 2;
    boxes_.clear();
    main_ = std::make_unique<CDlgOnlineUpdateAndRead>();
    ASSERT_TRUE(main_->Create(IDD_ONLINE_UPDATE_AND_READ));
    main_->ShowWindow(SW_SHOW);
    for (int i = 0; i < 5; ++i) qv::PumpMessages();
  }
  void Close() {
    if (main_ && main_->m_hWnd != nullptr) main_->DestroyWindow();
    main_.reset();
    delete engine_.m_pCOMBase;
    engine_.m_pCOMBase = nullptr;
    engine_.m_pInterface = nullptr;
    port_ = nullptr;
  }

  void ClickWithMouse(HWND control) {
    QWidget* host = qv::win32::Lookup(control)->host.data();
    ASSERT_NE(host, nullptr);
    QTest::mouseClick(host, Qt::LeftButton, {}, host->rect().center());
    qv::PumpMessages();
  }
  void TypeInto(HWND edit, const char* text) {
    ::SetWindowTextA(edit, "");
    QWidget* host = qv::win32::Lookup(edit)->host.data();
    ASSERT_NE(host, nullptr);
    QTest::keyClicks(host, text);
    qv::PumpMessages();
    ASSERT_EQ(TextOf(edit), text);
  }
  HWND WriteItem(int id) const { return ::GetDlgItem(main_->m_dlgWrite.m_hWnd, id); }
  HWND ReadItem(int id) const { return ::GetDlgItem(main_->m_dlgRead.m_hWnd, id); }
  void Browse(const std::string& path) {
    qv::SetFileDialogHook([path](const qv::FileDialogCall&) { return std::optional<std::string>(path); });
    ClickWithMouse(WriteItem(IDC_WRITE_BROWSE));
    qv::SetFileDialogHook(nullptr);
  }

  qv::sim::UartGenericChip generic_;
  qv::sim::UartK55Chip k55_;
  qv::FakeSerialPort* port_ = nullptr;
  std::unique_ptr<CDlgOnlineUpdateAndRead> main_;
  std::vector<std::string> boxes_;
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
    Open("K55", c.flashK);
    ClickWithMouse(::GetDlgItem(main_->m_hWnd, IDC_MAIN_READ));
    ASSERT_TRUE(::IsWindowVisible(main_->m_dlgRead.m_hWnd));
    if (c.from == nullptr) {
      ClickWithMouse(ReadItem(IDC_READ_ALL_AREA));
    } else {
      ClickWithMouse(ReadItem(IDC_READ_CUSTOM_AREA));
      TypeInto(ReadItem(IDC_READ_FROM), c.from);
      TypeInto(ReadItem(IDC_READ_TO), c.to);
    }
    port_->ClearRecord();
    ClickWithMouse(ReadItem(IDC_READ_READ));
    EXPECT_EQ(boxes_, std::vector<std::string>{AppBox("Can not read such a big size!")});
    EXPECT_FALSE(main_->m_dlgRead.IsReading());
    for (int i = 0; i < 20; ++i) qv::PumpMessages();
    EXPECT_TRUE(port_->Frames().empty());
    EXPECT_EQ(TextOf(ReadItem(IDC_READ_PROGRESS)), "");
    Close();
  }
}

TEST_F(SizeAndRangeRefusals, AFlashSmallerThanTheBootLoaderLeavesZeroK) {
  Open("GEN", 2);  // 2 KB of flash, 4 KB of them the boot loader's
  Browse(WriteFile("fw.bin", Pattern(256, 1)));
  EXPECT_EQ(boxes_, std::vector<std::string>{"File Size must not exceed 0 K! | Warning"});
  EXPECT_EQ(TextOf(WriteItem(IDC_WRITE_PATH)), "");
}

TEST_F(SizeAndRangeRefusals, TheWritePageRefusesAnImageThatDoesNotFitFromItsAddress) {
  struct Case {
    const char* what;
    const char* type;
    int flashK;
    const char* address;  // nullptr: Update Part left unchecked
    std::size_t fileBytes;
    bool refused;
  };
  const Case cases[] = {
      // 16-bit byte addresses: FF00 + 0x200 passes 0x10000.
      {"two pages from FF00", "ROM", 64, "FF00", 512, true},
      {"one byte more than fits from FE00", "ROM", 64, "FE00", 513, true},
      {"exactly up to the end from FE00", "ROM", 64, "FE00", 512, false},
      // 16-bit word addresses: 128 KB and one page beyond, plus the trailer.
      {"a K55 image beyond its words", "K55", 256, nullptr, 0x20000 + 32 + 0x300, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Open(c.type, c.flashK);
    Browse(WriteFile("fw.bin", Pattern(c.fileBytes, 2)));
    ASSERT_TRUE(boxes_.empty());
    if (c.address != nullptr) {
      ClickWithMouse(WriteItem(IDC_WRITE_UPDATE_PART));
      TypeInto(WriteItem(IDC_WRITE_ADDRESS), c.address);
    }
    port_->ClearRecord();
    const std::size_t logged = engine_.Entries().size();
    ClickWithMouse(WriteItem(IDC_WRITE_WRITE));
    if (c.refused) {
      EXPECT_EQ(boxes_, std::vector<std::string>{"The image does not fit the chip from this address! | Warn"});
      EXPECT_FALSE(main_->IsWritePending());
      EXPECT_TRUE(::IsWindowEnabled(main_->m_dlgWrite.m_hWnd));
      EXPECT_TRUE(port_->Frames().empty());
      EXPECT_EQ(engine_.Entries().size(), logged);
    } else {
      EXPECT_TRUE(boxes_.empty());
      ASSERT_TRUE(PumpUntil([&] {
        return !main_->IsWritePending() && TextOf(WriteItem(IDC_WRITE_PROGRESS)) == "Updating...100%";
      }));
      const Bytes image = Pattern(c.fileBytes, 2);
      EXPECT_EQ(Bytes(generic_.Flash().end() - static_cast<long>(image.size()), generic_.Flash().end()), image);
    }
    Close();
  }
}

}  // namespace
}  // namespace pages_test
