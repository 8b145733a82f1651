// The bridge library over the simulated Control Board: devices, handles,
// settings, the reset line, routing, and the plug and unplug seam.

#include <thread>

#include "isp/qv_ic_7t0.h"
#include "platform/core/sync.h"
#include "tests/i2c/i2c_fixture.h"

namespace {

using qv::sim::ChipFamily;

TEST_F(BridgeTest, CountsAndOpensOneBoard) {
  UseBoard(ChipFamily::k7T0, /*open=*/false);
  unsigned count = 9;
  ASSERT_EQ(QV_GetNumDevices(&count), QV_OK);
  EXPECT_EQ(count, 1u);

  QV_HANDLE a = nullptr;
  QV_HANDLE b = nullptr;
  ASSERT_EQ(QV_OpenDevice(0, &a), QV_OK);
  ASSERT_NE(a, nullptr);
  // Opening again gives back the open handle instead of a second one.
  ASSERT_EQ(QV_OpenDevice(0, &b), QV_OK);
  EXPECT_EQ(a, b);
  QV_HANDLE none = nullptr;
  EXPECT_EQ(QV_OpenDevice(1, &none), QV_ERR_NOT_FOUND);
  EXPECT_EQ(none, nullptr);

  EXPECT_EQ(QV_CloseDevice(a), QV_OK);
  EXPECT_EQ(QV_CloseDevice(a), QV_ERR_BAD_HANDLE);
  ASSERT_EQ(QV_OpenDevice(0, &b), QV_OK);
  EXPECT_NE(a, b);  // the closed handle never comes to life again

  ostrelusb::Unplug();
  ASSERT_EQ(QV_GetNumDevices(&count), QV_OK);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(QV_OpenDevice(0, &none), QV_ERR_NOT_FOUND);
  EXPECT_EQ(QV_GetNumDevices(nullptr), QV_ERR_BAD_ARGUMENT);
  EXPECT_EQ(QV_OpenDevice(0, nullptr), QV_ERR_BAD_ARGUMENT);
}

// Every call on a handle that is 0, closed, or left from before an unplug gives
// the handle error, and none reaches the board.
TEST_F(BridgeTest, BadHandlesGiveAnErrorCode) {
  UseBoard(ChipFamily::k7T0);
  const QV_HANDLE stale = g_BridgeDevice.GetHandle();
  ostrelusb::Unplug();
  ostrelusb::Plug();
  QV_HANDLE fresh = nullptr;
  ASSERT_EQ(QV_OpenDevice(0, &fresh), QV_OK);
  ASSERT_NE(fresh, stale);
  ostrelusb::ClearLogs();

  const BYTE frame[] = {0xFF, 0x90};
  BYTE in[4] = {};
  for (QV_HANDLE h : {static_cast<QV_HANDLE>(nullptr), stale}) {
    EXPECT_EQ(QV_SetInterface(h, 0), QV_ERR_BAD_HANDLE);
    EXPECT_EQ(QV_SetSlaveAddr(h, kSlave), QV_ERR_BAD_HANDLE);
    EXPECT_EQ(QV_Set_IIC_ByteDelay(h, 4), QV_ERR_BAD_HANDLE);
    EXPECT_EQ(QV_I2C_Conf(h, 4), QV_ERR_BAD_HANDLE);
    EXPECT_EQ(QV_SetBoardVCC_Ctrl(h, 1), QV_ERR_BAD_HANDLE);
    EXPECT_EQ(QV_SetBoardIOVCC_Ctrl(h, 1, 0, 0), QV_ERR_BAD_HANDLE);
    EXPECT_EQ(QV_Board_IO_Ctrl(h, 0, 1, 1), QV_ERR_BAD_HANDLE);
    EXPECT_EQ(QV_IIC_IO(h, frame, 2, nullptr, 0), QV_ERR_BAD_HANDLE);
    EXPECT_EQ(QV_IIC_IO(h, nullptr, 0, in, 4), QV_ERR_BAD_HANDLE);
    EXPECT_EQ(QV_CloseDevice(h), QV_ERR_BAD_HANDLE);
  }
  EXPECT_TRUE(Log().empty());
  EXPECT_TRUE(ostrelusb::IoLineLog().empty());
  EXPECT_TRUE(ostrelusb::Calls().empty());
  EXPECT_TRUE(ostrelusb::IsOpen());  // the fresh handle is untouched
}

TEST_F(BridgeTest, BackEndOnAStaleHandleFailsWithTheLibraryCode) {
  UseBoard(ChipFamily::k7T0);
  CQvIc7T0 ic(kSlave);
  ostrelusb::Unplug();  // the main window has not closed the handle yet
  const Bytes data(1024, 0x5A);
  EXPECT_EQ(ic.WriteBlock(0, 1024, data.data()), QV_ERR_BAD_HANDLE);
  EXPECT_FALSE(ic.VerifyBlock(data.data(), 0, 1024));
  EXPECT_EQ(g_BridgeDevice.BoardIoCtrl(0), QV_ERR_BAD_HANDLE);
  g_BridgeDevice.Close();
  EXPECT_FALSE(g_BridgeDevice.IsOpen());
}

TEST_F(BridgeTest, RemembersSettingsAndRefusesWhatTheBoardLacks) {
  UseBoard(ChipFamily::kPage128);
  const QV_HANDLE h = g_BridgeDevice.GetHandle();
  EXPECT_EQ(g_BridgeDevice.SetInterface(0), QV_OK);
  EXPECT_EQ(g_BridgeDevice.SetIICByteDelay(4), QV_OK);
  EXPECT_EQ(g_BridgeDevice.I2CConf(9), QV_OK);
  EXPECT_EQ(QV_SetBoardVCC_Ctrl(h, 2), QV_OK);
  EXPECT_EQ(QV_SetBoardIOVCC_Ctrl(h, 3, 0, 0), QV_OK);
  qv::sim::BoardSettings s = ostrelusb::Settings();
  EXPECT_EQ(s.interface, 0);
  EXPECT_EQ(s.byteDelay, 4);
  EXPECT_EQ(s.i2cConf, 4);  // the wrapper always sends 4
  EXPECT_EQ(s.vccCode, 2);
  EXPECT_EQ(s.ioVccCode, 3);
  EXPECT_EQ(s.slaveAddr, kSlave);

  EXPECT_EQ(g_BridgeDevice.SetInterface(1), QV_ERR_BAD_ARGUMENT);
  EXPECT_EQ(g_BridgeDevice.GetInterface(), 0);
  EXPECT_EQ(g_BridgeDevice.SetSlaveAddr(0x80), QV_ERR_BAD_ARGUMENT);
  EXPECT_EQ(g_BridgeDevice.GetSlaveAddr(), kSlave);
  EXPECT_EQ(QV_Board_IO_Ctrl(h, 2, 1, 1), QV_ERR_BAD_ARGUMENT);
  EXPECT_EQ(QV_Board_IO_Ctrl(h, 0, 2, 1), QV_ERR_BAD_ARGUMENT);
  EXPECT_EQ(QV_IIC_IO(h, nullptr, 0, nullptr, 0), QV_ERR_BAD_ARGUMENT);
  EXPECT_EQ(QV_IIC_IO(h, nullptr, 3, nullptr, 0), QV_ERR_BAD_ARGUMENT);
}

// The chip answers only after a low-high pulse on the board line, and only at
// its own address; the library's own errors are never negative.
TEST_F(BridgeTest, ResetPulseAndAddressDecideWhetherTheChipAnswers) {
  UseBoard(ChipFamily::k7T0, /*open=*/false);
  ASSERT_EQ(g_BridgeDevice.Open(), QV_OK);
  ASSERT_EQ(g_BridgeDevice.SetSlaveAddr(kSlave), QV_OK);
  BYTE id[4] = {};
  CQvIc7T0 ic(kSlave);
  EXPECT_EQ(ic.ReadChipId(id), QV_ERR_NACK);  // still running its application

  EXPECT_EQ(g_BridgeDevice.BoardIoCtrl(1), QV_OK);  // no edge: nothing happens
  EXPECT_FALSE(ostrelusb::ChipInIspMode());
  EXPECT_EQ(g_BridgeDevice.BoardIoCtrl(0), QV_OK);
  EXPECT_EQ(g_BridgeDevice.BoardIoCtrl(1), QV_OK);
  EXPECT_TRUE(ostrelusb::ChipInIspMode());
  EXPECT_EQ(ostrelusb::IoLineLog(), (Bytes{1, 0, 1}));
  EXPECT_EQ(ic.ReadChipId(id), 0);

  ASSERT_EQ(g_BridgeDevice.SetSlaveAddr(kSlave + 1), QV_OK);
  EXPECT_EQ(ic.ReadChipId(id), QV_ERR_NACK);  // nobody there

  ostrelusb::Configure({true, {ChipFamily::kNone, 0, kSlave}});
  ASSERT_EQ(g_BridgeDevice.Open(), QV_OK);
  ASSERT_EQ(g_BridgeDevice.SetSlaveAddr(kSlave), QV_OK);
  EXPECT_EQ(ic.ReadChipId(id), QV_ERR_NACK);
  for (const auto& t : Log()) {
    EXPECT_GE(t.result, 0);
  }
}

TEST_F(BridgeTest, InjectedBoardLineFaultFailsTheReset) {
  UseBoard(ChipFamily::k7T0);
  ostrelusb::InjectFault({qv::sim::FaultTarget::kBoardIo, 1, 1, QV_ERR_BUS});
  EXPECT_EQ(g_BridgeDevice.BoardIoCtrl(0), QV_OK);
  EXPECT_EQ(g_BridgeDevice.BoardIoCtrl(1), QV_ERR_BUS);
  EXPECT_EQ(g_BridgeDevice.BoardIoCtrl(1), QV_OK);
  EXPECT_TRUE(Log().empty());  // line faults leave transfers alone
}

TEST_F(BridgeTest, PlugAndUnplugReachTheRegisteredWindow) {
  UseBoard(ChipFamily::k7T0, /*open=*/false);
  std::vector<std::pair<void*, unsigned>> heard;
  ostrelusb::SetDeviceChangeSink([&](void* hwnd, unsigned event) {
    // The window's handler calls back into the library, as the main window does.
    unsigned count = 0;
    EXPECT_EQ(QV_GetNumDevices(&count), QV_OK);
    EXPECT_EQ(count, event == DBT_DEVICEARRIVAL ? 1u : 0u);
    heard.emplace_back(hwnd, event);
  });
  ostrelusb::Unplug();
  EXPECT_TRUE(heard.empty());  // nobody registered yet

  int window = 0;
  HANDLE events[2] = {CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, TRUE, nullptr)};
  RegisterNotification(&window, events);
  EXPECT_EQ(ostrelusb::RegisteredWindow(), &window);
  EXPECT_EQ(ostrelusb::RegisteredEvents()[0], events[0]);
  EXPECT_EQ(ostrelusb::RegisteredEvents()[1], events[1]);

  ostrelusb::Plug();
  ostrelusb::Plug();  // already in: nothing new
  ostrelusb::Unplug();
  const std::vector<std::pair<void*, unsigned>> expected = {
      {&window, DBT_DEVICEARRIVAL}, {&window, DBT_DEVICEREMOVECOMPLETE}};
  EXPECT_EQ(heard, expected);
  CloseHandle(events[0]);
  CloseHandle(events[1]);
}

TEST_F(BridgeTest, UnplugKeepsTheFlashButEndsIspMode) {
  UseBoard(ChipFamily::kPage128);
  ASSERT_TRUE(ostrelusb::WriteFlash(0x10, {1, 2, 3}));
  ostrelusb::Unplug();
  ostrelusb::Plug();
  EXPECT_FALSE(ostrelusb::ChipInIspMode());
  EXPECT_EQ(ostrelusb::Settings().slaveAddr, 0);  // power-on settings
  const Bytes flash = ostrelusb::ReadFlash();
  EXPECT_EQ(Bytes(flash.begin() + 0x10, flash.begin() + 0x13), (Bytes{1, 2, 3}));
  EXPECT_FALSE(ostrelusb::WriteFlash(static_cast<u32>(flash.size()) - 1, {1, 2}));
}

// A worker programs while the UI thread pulls the board and closes the handle:
// every call ends with a code, none crashes or races.
TEST_F(BridgeTest, HandleChangesWhileAWorkerTransfers) {
  UseBoard(ChipFamily::k7T0);
  std::atomic<bool> finished{false};
  std::atomic<int> negative{0};
  std::thread worker([&] {
    CQvIc7T0 ic(kSlave);
    const Bytes data(64, 0x42);
    for (int n = 0; n < 2000; ++n) {
      if (ic.WriteBlock(0, 64, data.data()) < 0) {
        negative.fetch_add(1);
      }
    }
    finished.store(true, std::memory_order_release);
  });
  while (!finished.load(std::memory_order_acquire)) {
    ostrelusb::Unplug();
    g_BridgeDevice.Close();
    ostrelusb::Plug();
    EXPECT_EQ(g_BridgeDevice.Open(), QV_OK);
    g_BridgeDevice.SetSlaveAddr(kSlave);
  }
  worker.join();
  EXPECT_EQ(negative.load(), 0);
}

}  // namespace
