// What the operator chose reaches the chip: the port, the baud rate, the
// entry method, the start address, the erase flag, the password and the
// image that the Write and Read pages hand to their jobs, observed at the
// fake port (which COM was opened at which baud, RTS, the frames) and in the
// simulated chip's flash. Every choice differs from the defaults (COM1,
// 9600, "Timeout Entry", address 0, the preset password), and the input is
// given as the operator gives it: mouse clicks and typed keys.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "controls/hex_file_view.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "sim/uart_generic_chip.h"
#include "sim/uart_k55_chip.h"
#include "tests/pages_gui/gui_fixture.h"

namespace pages_test {
namespace {

// The pages' controls, as the templates number them.
constexpr int kWritePath = 1221;
constexpr int kWriteUpdatePart = 1206;
constexpr int kWriteAddress = 1517;
constexpr int kWriteErase = 1251;
constexpr int kWriteButton = 1070;
constexpr int kWriteRtsHigh = 1074;
constexpr int kWriteProgress = 1039;
constexpr int kPassword = 1499;
constexpr int kReadButton = 1071;
constexpr int kReadCustomArea = 1493;
constexpr int kReadFrom = 1495;
constexpr int kReadTo = 1496;
constexpr int kReadProgress = 1498;
constexpr int kMainRead = 1071;

Bytes Head(const std::vector<BYTE>& bytes, std::size_t from, std::size_t n) {
  return Bytes(bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(from + n));
}

// A connection as start-up leaves it: the back end on a fake port with a chip
// behind it, at the given port, baud rate and entry method.
struct Connection {
  u32 port;
  u32 baud;
  u32 entryMethod;
};

class HandOverTest : public MainWindowPeer {
 protected:
  void UseSerial(Family family, qv::sim::UartChip& chip, const Connection& c) {
    port_ = MainWindowPeer::UseSerial(family, chip, c.port, c.baud, c.entryMethod);
  }
  CHexFileView& ReadView() const { return *const_cast<CHexFileView*>(main_->m_dlgRead.GetHexView()); }

  // The port's record of one connection made by a job: the chosen port
  // opened once, at the chosen baud, RTS enabled and pulsed (cleared, then
  // raised) only for "Timeout Entry".
  void ExpectConnection(const Connection& c) {
    EXPECT_EQ(port_->OpenCalls(), std::vector<u32>{c.port});
    ASSERT_EQ(port_->ConfigureCalls().size(), 1u);
    EXPECT_EQ(port_->ConfigureCalls()[0].baud, c.baud);
    EXPECT_EQ(port_->ConfigureCalls()[0].rtsEnable, c.entryMethod == 1);
    const std::vector<bool> pulse = c.entryMethod == 1 ? std::vector<bool>{false, true} : std::vector<bool>{};
    EXPECT_EQ(port_->RtsCalls(), pulse);
  }

  qv::FakeSerialPort* port_ = nullptr;  // the back end's
};

// The Write page's serial job: the chosen port, baud and entry method, the
// image named in the path edit, written from the typed start address.
TEST_F(HandOverTest, TheWritePagesSerialJobUsesTheOperatorsChoices) {
  struct Case {
    Connection connection;
    const char* address;  // typed with Update Part checked; nullptr: unchecked
    u32 start;
  };
  const Case cases[] = {
      {{5, 57600, 2}, "200", 0x200},
      {{12, 38400, 1}, "A00", 0xA00},
      {{3, 256000, 2}, nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.connection.port);
    qv::sim::UartGenericChip chip;
    // Bytes below the start address must stay as they were.
    std::fill(chip.Flash().begin(), chip.Flash().begin() + 0x1000, 0x11);
    Choose("GEN", 16);
    UseSerial(Family::kGeneric, chip, c.connection);
    OpenWindow();
    const Bytes image = Pattern(300, c.connection.port);
    const std::string other = WriteFile("other.bin", Pattern(300, 99));
    ASSERT_TRUE(main_->m_dlgWrite.LoadImageFile(other.c_str()));
    // The file typed into the path edit is the one written.
    TypeInto(WriteItem(kWritePath), WriteFile("chosen.bin", image));
    if (c.address != nullptr) {
      ClickOn(WriteItem(kWriteUpdatePart));
      TypeInto(WriteItem(kWriteAddress), c.address);
    }
    port_->ClearRecord();
    ClickOn(WriteItem(kWriteButton));
    ASSERT_TRUE(main_->IsWritePending());
    ASSERT_TRUE(PumpUntil([&] { return !main_->IsWritePending() && main_->m_dlgWrite.IsWindowEnabled(); }));
    ASSERT_TRUE(PumpUntil([&] { return TextOf(WriteItem(kWriteProgress)) == "Updating...100%"; }));
    EXPECT_TRUE(boxes_.empty());
    ExpectConnection(c.connection);
    EXPECT_EQ(Head(chip.Flash(), c.start, image.size()), image);
    EXPECT_EQ(Head(chip.Flash(), 0, c.start), Bytes(c.start, 0x11));
    CloseWindow();
  }
}

// A K55 chip locked with another password than the preset one: only the
// password typed on the page unlocks it, for a write and for a read.
TEST_F(HandOverTest, TheTypedPasswordReachesTheChipOnWriteAndRead) {
  struct Case {
    const char* typed;
    bool accepted;
  };
  const Case cases[] = {{"5A17C0DE", true}, {"3B8E61C4", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    qv::sim::UartK55Chip chip(0x5A17C0DE, 0x2000);
    const Connection connection{6, 19200, 2};
    Choose("K55", 8);
    UseSerial(Family::kK55, chip, connection);
    OpenWindow();
    const Bytes image = Pattern(32 * 6, 7);
    Bytes file = image;
    file.resize(image.size() + 0x300, 0xEE);  // the K55 trailer
    ASSERT_TRUE(main_->m_dlgWrite.LoadImageFile(WriteFile("k55.bin", file).c_str()));
    TypeInto(WriteItem(kPassword), c.typed);
    port_->ClearRecord();
    ClickOn(WriteItem(kWriteButton));
    ASSERT_TRUE(PumpUntil([&] { return !main_->IsWritePending() && main_->m_dlgWrite.IsWindowEnabled(); }));
    ExpectConnection(connection);
    EXPECT_EQ(Head(chip.Flash(), 0, image.size()) == image, c.accepted);
    EXPECT_EQ(chip.Unlocked(), c.accepted);

    // The Read page: its own password edit, a custom range typed in hex.
    ClickOn(::GetDlgItem(main_->m_hWnd, kMainRead));
    ASSERT_TRUE(::IsWindowVisible(main_->m_dlgRead.m_hWnd));
    ClickOn(ReadItem(kReadCustomArea));
    TypeInto(ReadItem(kReadFrom), "40");
    TypeInto(ReadItem(kReadTo), "7f");
    TypeInto(ReadItem(kPassword), c.typed);
    port_->ClearRecord();
    ClickOn(ReadItem(kReadButton));
    ASSERT_TRUE(main_->m_dlgRead.IsReading());
    ASSERT_TRUE(PumpUntil([&] { return !main_->m_dlgRead.IsReading(); }));
    qv::PumpMessages();
    ExpectConnection(connection);
    EXPECT_TRUE(boxes_.empty());
    const std::string saved = File("read.bin");
    const BOOL hasData = ReadView().SaveIfData(saved.c_str());
    EXPECT_EQ(hasData != FALSE, c.accepted);
    if (c.accepted) {
      EXPECT_EQ(TextOf(ReadItem(kReadProgress)), "Reading...100%");
      std::ifstream in(saved, std::ios::binary);
      const Bytes read((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      EXPECT_EQ(read, Head(chip.Flash(), 0x40, 0x40));
    } else {
      EXPECT_EQ(TextOf(ReadItem(kReadProgress)), "Communication Error!");
    }
    CloseWindow();
  }
}

// The Read page's serial read on a connection of its own choosing: another
// port, baud and entry method than the write test's, All Area as the
// config.ini remembers it.
TEST_F(HandOverTest, TheReadPagesSerialReadUsesTheChosenConnection) {
  const Connection cases[] = {{9, 14400, 1}, {2, 128000, 2}};
  for (const Connection& c : cases) {
    SCOPED_TRACE(c.port);
    qv::sim::UartK55Chip chip(qv::sim::UartK55Chip::kDefaultPassword, 0x1000);
    for (std::size_t i = 0; i < 0x1000; ++i) chip.Flash()[i] = static_cast<BYTE>(i * 7 + c.port);
    Choose("K55", 4);
    UseSerial(Family::kK55, chip, c);
    OpenWindow();
    ClickOn(::GetDlgItem(main_->m_hWnd, kMainRead));
    ClickOn(ReadItem(kReadCustomArea));
    TypeInto(ReadItem(kReadFrom), "1E0");
    TypeInto(ReadItem(kReadTo), "23F");
    port_->ClearRecord();
    ClickOn(ReadItem(kReadButton));
    ASSERT_TRUE(PumpUntil([&] { return !main_->m_dlgRead.IsReading(); }));
    qv::PumpMessages();
    ExpectConnection(c);
    const std::string saved = File("read.bin");
    ASSERT_TRUE(ReadView().SaveIfData(saved.c_str()));
    std::ifstream in(saved, std::ios::binary);
    const Bytes read((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(read, Head(chip.Flash(), 0x1E0, 0x60));
    CloseWindow();
  }
}

// The USB job erases only when the Erase box is set (and the start is 0):
// bytes of the chip beyond the image show whether it erased.
TEST_F(HandOverTest, TheEraseBoxReachesTheUsbJob) {
  for (const bool erase : {true, false}) {
    SCOPED_TRACE(erase);
    // The box's last state is remembered in config.ini: each case starts from none.
    WriteFile("config.ini", Bytes(kConfigIni, kConfigIni + std::strlen(kConfigIni)));
    UseUsb();
    const Bytes old(256, 0x3C);
    ASSERT_TRUE(ostrelusb::WriteFlash(0x400, old));
    Choose("GEN", 64);
    OpenWindow();
    const Bytes image = Pattern(256, 3);
    ASSERT_TRUE(main_->m_dlgWrite.LoadImageFile(WriteFile("usb.bin", image).c_str()));
    // The box is hidden, so no mouse reaches it: its click message.
    if (erase) ::SendMessage(WriteItem(kWriteErase), BM_CLICK, 0, 0);
    ClickOn(WriteItem(kWriteButton));
    ASSERT_TRUE(PumpUntil([&] { return !main_->IsWritePending() && main_->m_dlgWrite.IsWindowEnabled(); }));
    ASSERT_TRUE(PumpUntil([&] { return TextOf(WriteItem(kWriteProgress)) == "Updating...100%"; }));
    const std::vector<BYTE> flash = ostrelusb::ReadFlash();
    EXPECT_EQ(Head(flash, 0, image.size()), image);
    EXPECT_EQ(Head(flash, 0x400, old.size()), erase ? Bytes(old.size(), 0xFF) : old);
    CloseWindow();
    DropUsb();
  }
}

// The hidden RTS HIGH button (shown only so that the mouse can reach it)
// re-opens the chosen port at the chosen baud with RTS enabled and raises
// RTS.
TEST_F(HandOverTest, RtsHighReopensTheChosenPortAndRaisesRts) {
  qv::sim::UartGenericChip chip;
  const Connection connection{11, 56000, 2};
  UseSerial(Family::kGeneric, chip, connection);
  OpenWindow();
  port_->ClearRecord();
  const HWND button = WriteItem(kWriteRtsHigh);
  ::ShowWindow(button, SW_SHOW);
  ClickOn(button);
  EXPECT_EQ(port_->OpenCalls(), std::vector<u32>{11});
  ASSERT_EQ(port_->ConfigureCalls().size(), 1u);
  EXPECT_EQ(port_->ConfigureCalls()[0].baud, 56000u);
  EXPECT_TRUE(port_->ConfigureCalls()[0].rtsEnable);
  EXPECT_EQ(port_->RtsCalls(), std::vector<bool>{true});
}

}  // namespace
}  // namespace pages_test
