// I2C jobs end to end through the simulated Control Board, for each I2C
// family, on a virtual clock (the jobs pace their pages with sleeps).

#include <gtest/gtest.h>

#include "isp/app_config.h"
#include "isp/bridge_device.h"
#include "isp/online_com_update_thread.h"
#include "isp/online_update_thread.h"
#include "isp/progress.h"
#include "isp/qv_ic_7t0.h"
#include "platform/core/clock.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "tests/jobs/jobs_fixture.h"

namespace jobs_test {
namespace {

constexpr BYTE kChipSlave = 0x5D;  // T7T0's SLAVE_ADDRESS in the suites' config.ini

// The stage codes of a USB job that ran to its end, posting percents between
// its 10 and its 100.
Stages CompletedUsbStages(const std::vector<int>& percents, bool erased) {
  Stages s = {{kProgressStart, 0}};
  if (erased) {
    s.emplace_back(kProgressEraseBegin, 10);
    s.emplace_back(kProgressEraseEnd, 100);
  }
  s.emplace_back(kProgressUpdating, 10);
  for (int p : percents) s.emplace_back(kProgressUpdating, p);
  s.emplace_back(kProgressUpdateFinished, 0);
  s.emplace_back(kProgressUpdating, 100);
  return s;
}

qv::sim::ChipFamily BoardFamily(I2c family) {
  return family == I2c::kPage128 ? qv::sim::ChipFamily::kPage128 : qv::sim::ChipFamily::k7T0;
}

class UsbJobTest : public ::testing::Test {
 protected:
  void SetUp() override { g_AppConfig = kAppConfigInitial; }
  void TearDown() override {
    g_BridgeDevice.SetHandle(nullptr);
    ostrelusb::Configure({});
  }
  // A plugged board with a chip of that family at slave.
  static void UseBoard(I2c family, BYTE slave) {
    ostrelusb::Configure({true, {BoardFamily(family), 64, slave}});
    g_BridgeDevice.SetHandle(nullptr);
  }
  // What the main window does before a Write page job: open, set up, address.
  static void OpenBridgeAsTheMainWindow(BYTE slave) {
    ASSERT_EQ(g_BridgeDevice.Open(), QV_OK);
    ASSERT_EQ(g_BridgeDevice.SetSlaveAddr(slave), QV_OK);
  }

  qv::ScopedVirtualClock clock_;
  ProgramFolder folder_;
  RecordingEngine engine_{folder_.Path()};
  RecordingOwner owner_;
};

struct UsbCase {
  I2c family;
  std::size_t imageBytes;
  int pages;
  std::vector<int> percents;
};

class UsbJob : public UsbJobTest, public ::testing::WithParamInterface<UsbCase> {};

TEST_P(UsbJob, WritePageJobProgramsTheChip) {
  const UsbCase& c = GetParam();
  UseBoard(c.family, 0x70);
  OpenBridgeAsTheMainWindow(0x70);
  engine_.m_nInterface = 1;
  g_pIcBase = c.family == I2c::kPage128 ? new CQvIcBase(0x70) : new CQvIc7T0(0x70);
  engine_.m_pInterface = g_pIcBase;
  const Bytes image = Pattern(c.imageBytes, 5);
  COnlineUpdateThread worker(&owner_);
  ASSERT_TRUE(worker.SetJob(folder_.WriteFile("fw.bin", image).c_str(), 0, TRUE, 0));
  EXPECT_TRUE(worker.UpdateOverUsb());

  EXPECT_EQ(owner_.Posts(), CompletedUsbStages(c.percents, true));
  EXPECT_EQ(owner_.Enabled(), 1);
  EXPECT_EQ(owner_.Repainted(), 1);
  const Bytes flash = ostrelusb::ReadFlash();
  EXPECT_EQ(Head(flash, image.size()), image);
  const std::size_t end = static_cast<std::size_t>(c.pages) * static_cast<std::size_t>(g_pIcBase->GetPageSize());
  EXPECT_EQ(Bytes(flash.begin() + static_cast<long>(image.size()), flash.begin() + static_cast<long>(end)),
            Bytes(end - image.size(), 0xFF));
  // Reset pulses before and after programming; the chip left in its ISP mode runs again.
  const std::vector<BYTE> io = ostrelusb::IoLineLog();
  EXPECT_EQ(io, (std::vector<BYTE>{0, 1, 0, 1}));
  EXPECT_TRUE(engine_.Entries().empty());
}

TEST_P(UsbJob, DownloadJobOpensAndAddressesTheBridgeItself) {
  const UsbCase& c = GetParam();
  // The 7T0 type names its address in config.ini; the other takes the
  // settings record's.
  const BYTE slave = c.family == I2c::k7T0 ? kChipSlave : BYTE{0x33};
  g_AppConfig.bySlaveAddr = 0x33;
  g_AppConfig.byVccCode = 2;
  UseBoard(c.family, slave);
  const Bytes image = Pattern(c.imageBytes, 9);
  COnlineComUpdateThread worker(&owner_);
  worker.SetJob(IcTypeOf(c.family), folder_.WriteFile("fw.bin", image).c_str(), 5, 0, 0, 9600, 0,
                kDefaultPassword);
  ASSERT_EQ(worker.GetJobFlag(), 1u);
  EXPECT_TRUE(worker.UpdateOverUsb());

  EXPECT_EQ(owner_.Posts(), CompletedUsbStages(c.percents, true));  // start 0 always erases
  EXPECT_EQ(owner_.CloseShown(), 1);
  EXPECT_EQ(g_bBridgeConnected.load(), 1u);
  EXPECT_EQ(ostrelusb::Settings().slaveAddr, slave);
  EXPECT_EQ(ostrelusb::Settings().byteDelay, 2);  // the erase's delay, after the set-up's 4
  EXPECT_EQ(ostrelusb::Settings().vccCode, 2);
  // The set-up in its order, then the address, then the erase's byte delay.
  using Call = qv::sim::BoardCall;
  const std::vector<Call> calls = ostrelusb::Calls();
  const std::vector<Call> expected = {{"QV_OpenDevice", {0}},
                                      {"QV_SetInterface", {0}},
                                      {"QV_Set_IIC_ByteDelay", {4}},
                                      {"QV_I2C_Conf", {4}},
                                      {"QV_SetBoardVCC_Ctrl", {2}},
                                      {"QV_SetBoardIOVCC_Ctrl", {g_AppConfig.byIoVccCode, 0, 0}},
                                      {"QV_SetSlaveAddr", {slave}},
                                      {"QV_Set_IIC_ByteDelay", {2}}};
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(Head(ostrelusb::ReadFlash(), image.size()), image);
}

INSTANTIATE_TEST_SUITE_P(Families, UsbJob,
                         ::testing::Values(UsbCase{I2c::kPage128, 128 * 9 + 1, 10, kTenPages},
                                           UsbCase{I2c::k7T0, 1024 * 4, 4, kFourPages}),
                         [](const auto& info) { return std::string(IcTypeOf(info.param.family)); });

TEST_F(UsbJobTest, WritePageJobErasesOnlyWithTheEraseFlagAtAddressZero) {
  struct Case {
    u32 start;
    BOOL erase;
    bool erased;
  };
  for (const Case& c : {Case{0, FALSE, false}, Case{0x400, TRUE, false}, Case{0, TRUE, true}}) {
    UseBoard(I2c::kPage128, 0x70);
    OpenBridgeAsTheMainWindow(0x70);
    engine_.m_nInterface = 1;
    DeleteEngineBackEnds();
    g_pIcBase = new CQvIcBase(0x70);
    engine_.m_pInterface = g_pIcBase;
    RecordingOwner owner;
    COnlineUpdateThread worker(&owner);
    ASSERT_TRUE(worker.SetJob(folder_.WriteFile("fw.bin", Pattern(256)).c_str(), c.start, c.erase, 0));
    EXPECT_TRUE(worker.UpdateOverUsb());
    EXPECT_EQ(owner.Posts(), CompletedUsbStages(kTwoPages, c.erased)) << c.start << " " << c.erase;
  }
}

TEST_F(UsbJobTest, DownloadJobAwayFromAddressZeroNeverErases) {
  UseBoard(I2c::k7T0, kChipSlave);
  ASSERT_TRUE(ostrelusb::WriteFlash(0, Bytes(1024, 0x12)));
  COnlineComUpdateThread worker(&owner_);
  const std::string path = folder_.WriteFile("fw.bin", Bytes(4096 + 1024, 0x34));
  worker.SetJob("T7T0", path.c_str(), 4, 0x1000, 0x13FF, 9600, 0, 0);
  EXPECT_TRUE(worker.UpdateOverUsb());
  EXPECT_EQ(owner_.Posts(), CompletedUsbStages({}, false));
  const Bytes flash = ostrelusb::ReadFlash();
  EXPECT_EQ(Head(flash, 1024), Bytes(1024, 0x12));
  EXPECT_EQ(Bytes(flash.begin() + 0x1000, flash.begin() + 0x1400), Bytes(1024, 0x34));
}

}  // namespace
}  // namespace jobs_test
