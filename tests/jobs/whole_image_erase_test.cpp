// The generic chip's erase covers the whole range the job then writes, up to
// the whole 64 KB of its 16-bit address space, on a chip that already holds
// other data (an erase of too little leaves old bits that the pages cannot
// set again). Every erase frame is written out byte for byte.

#include <gtest/gtest.h>

#include "isp/app_config.h"
#include "isp/bridge_device.h"
#include "isp/com_base.h"
#include "isp/online_update_thread.h"
#include "isp/progress.h"
#include "isp/qv_ic_base.h"
#include "platform/core/clock.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "sim/uart_generic_chip.h"
#include "tests/jobs/jobs_fixture.h"

namespace jobs_test {
namespace {

constexpr BYTE kErase = 0x98;

struct EraseCase {
  const char* what;
  u32 start;
  std::size_t imageBytes;
  u32 chipMode;             // the checksum form the chip expects
  std::vector<Bytes> erases;  // the erase frames sent, in order
};

class WholeImageErase : public ::testing::Test {
 protected:
  void TearDown() override {
    g_BridgeDevice.SetHandle(nullptr);
    ostrelusb::Configure({});
  }

  qv::ScopedVirtualClock clock_;
  ProgramFolder folder_;
  RecordingEngine engine_{folder_.Path()};
};

TEST_F(WholeImageErase, ErasesEveryByteItWritesAndNothingElse) {
  const EraseCase cases[] = {
      {"the whole 64 KB", 0, 0x10000, 0,
       {{0x55, 0xAA, 0x98, 0x04, 0x00, 0x00, 0x80, 0x00, 0xE3},
        {0x55, 0xAA, 0x98, 0x04, 0x80, 0x00, 0x80, 0x00, 0x63}}},
      // The first half is refused in the XOR form and sent again in the sum
      // form, which the second half then keeps.
      {"the whole 64 KB, chip in the sum form", 0, 0x10000, 1,
       {{0x55, 0xAA, 0x98, 0x04, 0x00, 0x00, 0x80, 0x00, 0xE3},
        {0x55, 0xAA, 0x98, 0x04, 0x00, 0x00, 0x80, 0x00, 0x1C},
        {0x55, 0xAA, 0x98, 0x04, 0x80, 0x00, 0x80, 0x00, 0x9C}}},
      {"one byte less", 0, 0xFFFF, 0, {{0x55, 0xAA, 0x98, 0x04, 0x00, 0x00, 0xFF, 0xFF, 0x63}}},
      {"one page less", 0, 0xFF80, 0, {{0x55, 0xAA, 0x98, 0x04, 0x00, 0x00, 0xFF, 0x80, 0x1C}}},
      {"the upper half", 0x8000, 0x8000, 0, {{0x55, 0xAA, 0x98, 0x04, 0x80, 0x00, 0x80, 0x00, 0x63}}},
  };
  for (const EraseCase& c : cases) {
    SCOPED_TRACE(c.what);
    qv::sim::UartGenericChip chip(c.chipMode);
    const Bytes old = Pattern(chip.Flash().size(), 9);
    chip.Flash() = old;
    auto port = std::make_unique<qv::FakeSerialPort>();
    qv::FakeSerialPort& wire = *port;
    Attach(wire, chip);
    engine_.m_pCOMBase = new CCOMBase(std::move(port));
    engine_.m_pInterface = engine_.m_pCOMBase;
    const Bytes image = Pattern(c.imageBytes, 4);
    {
      RecordingOwner owner;
      COnlineUpdateThread worker(&owner);
      ASSERT_TRUE(worker.SetJob(folder_.WriteFile("fw.bin", image).c_str(), c.start, FALSE, 0));
      EXPECT_TRUE(worker.UpdateOverCom());
      ASSERT_FALSE(owner.Posts().empty());
      EXPECT_EQ(owner.Posts().back(), Stage(kProgressUpdating, 100));
    }
    std::vector<Bytes> erases;
    for (const Bytes& frame : wire.Frames()) {
      if (frame.size() > 2 && frame[0] == 0x55 && frame[2] == kErase) erases.push_back(frame);
    }
    EXPECT_EQ(erases, c.erases);
    // The image where it was written, 0xFF after it to the end of its last
    // page, and the other pages as they were.
    const Bytes& flash = chip.Flash();
    const std::size_t end = (c.start + c.imageBytes + 127) / 128 * 128;
    for (std::size_t a = 0; a < flash.size(); ++a) {
      const BYTE want = a < c.start || a >= end           ? old[a]
                        : a < c.start + c.imageBytes ? image[a - c.start]
                                                         : BYTE{0xFF};
      ASSERT_EQ(flash[a], want) << "at 0x" << std::hex << a;
    }
    for (const std::string& e : engine_.Entries()) EXPECT_EQ(e.find("Fail"), std::string::npos) << e;
    delete engine_.m_pCOMBase;
    engine_.m_pCOMBase = nullptr;
    engine_.m_pInterface = nullptr;
  }
}

// The 128-byte I2C chip erases with FF 91, which carries no size, and every
// block of a whole 64 KB image at 0 has an address inside 16 bits: nothing
// wraps there.
TEST_F(WholeImageErase, TheI2cChipWithItsOwnDataTakesAWhole64KbImage) {
  g_AppConfig = kAppConfigInitial;
  ostrelusb::Configure({true, {qv::sim::ChipFamily::kPage128, 64, 0x70}});
  g_BridgeDevice.SetHandle(nullptr);
  ASSERT_EQ(g_BridgeDevice.Open(), QV_OK);
  ASSERT_EQ(g_BridgeDevice.SetSlaveAddr(0x70), QV_OK);
  ASSERT_TRUE(ostrelusb::WriteFlash(0, Pattern(0x10000, 9)));
  engine_.m_nInterface = 1;
  g_pIcBase = new CQvIcBase(0x70);
  engine_.m_pInterface = g_pIcBase;
  ostrelusb::ClearLogs();
  const Bytes image = Pattern(0x10000, 4);
  RecordingOwner owner;
  COnlineUpdateThread worker(&owner);
  ASSERT_TRUE(worker.SetJob(folder_.WriteFile("fw.bin", image).c_str(), 0, TRUE, 0));
  EXPECT_TRUE(worker.UpdateOverUsb());

  std::vector<Bytes> erases;
  std::vector<Bytes> blockHeads;
  for (const qv::sim::I2cTransfer& t : ostrelusb::Transfers()) {
    if (t.written == Bytes{0xFF, 0x91}) erases.push_back(t.written);
    if (!t.written.empty() && t.written[0] == 0xBF) blockHeads.emplace_back(t.written.begin(), t.written.begin() + 5);
  }
  EXPECT_EQ(erases.size(), 1u);
  ASSERT_EQ(blockHeads.size(), 512u);
  EXPECT_EQ(blockHeads.front(), (Bytes{0xBF, 0x00, 0x00, 0x00, 0x80}));
  EXPECT_EQ(blockHeads.back(), (Bytes{0xBF, 0xFF, 0x80, 0x00, 0x80}));
  EXPECT_EQ(ostrelusb::ReadFlash(), image);
  EXPECT_EQ(owner.Posts().back(), Stage(kProgressUpdating, 100));
}

}  // namespace
}  // namespace jobs_test
