// The main window's hold on the bridge: opening with its set-up, arrival and
// removal, and the connection text of the status strip.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/bridge_connection.h"
#include "app/taravik_app.h"
#include "isp/app_config.h"
#include "isp/bridge_device.h"
#include "platform/core/clock.h"
#include "platform/core/sync.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "platform/win32/winuser.h"

namespace {

class BridgeConnectionTest : public ::testing::Test {
 protected:
  BridgeConnectionTest() {
    g_AppConfig = kAppConfigInitial;
    g_AppConfig.bySlaveAddr = 0x5D;
    g_AppConfig.byVccCode = 3;
    g_AppConfig.byIoVccCode = 2;
    g_BridgeDevice.SetHandle(nullptr);
    g_bBridgeConnected = 0;
    g_hDeviceResetEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  }
  ~BridgeConnectionTest() override {
    CloseHandle(g_hDeviceResetEvent);
    g_hDeviceResetEvent = nullptr;
    g_BridgeDevice.SetHandle(nullptr);
    g_bBridgeConnected = 0;
    ostrelusb::Configure({});
  }
  static void Board(bool plugged) { ostrelusb::Configure({plugged, {}}); }
  bool ResetEventSet() const { return WaitForSingleObject(g_hDeviceResetEvent, 0) == WAIT_OBJECT_0; }

  qv::ScopedVirtualClock clock_;
  std::vector<std::string> field1_;
  std::vector<WPARAM> sent_;
  CBridgeConnection bridge_{[this](const CString& t) { field1_.push_back(t.str()); },
                            [this](WPARAM s) { sent_.push_back(s); }};
};

TEST_F(BridgeConnectionTest, NoBoardIsDisconnected) {
  Board(false);
  bridge_.m_bDeviceConnected = 1;
  g_bBridgeConnected = 1;
  bridge_.OpenBridgeDevice();
  EXPECT_EQ(bridge_.m_bDeviceConnected, 0u);
  EXPECT_EQ(g_bBridgeConnected.load(), 0u);
  EXPECT_EQ(field1_, (std::vector<std::string>{"Device DisConnected"}));
  EXPECT_EQ(bridge_.m_strBridgeState.str(), "Device DisConnected");
  EXPECT_FALSE(g_BridgeDevice.IsOpen());
}

TEST_F(BridgeConnectionTest, OpeningSetsTheBoardUpAsTheSettingsRecordSays) {
  Board(true);
  const std::uint64_t before = clock_.clock().NowMs();
  bridge_.OpenBridgeDevice();
  EXPECT_TRUE(g_BridgeDevice.IsOpen());
  EXPECT_EQ(bridge_.m_bDeviceConnected, 1u);
  EXPECT_EQ(g_bBridgeConnected.load(), 1u);
  EXPECT_EQ(field1_, (std::vector<std::string>{"Device Connected"}));
  const qv::sim::BoardSettings s = ostrelusb::Settings();
  EXPECT_EQ(s.slaveAddr, 0x5D);
  EXPECT_EQ(g_BridgeDevice.GetSlaveAddr(), 0x5D);
  EXPECT_EQ(s.byteDelay, 4);
  EXPECT_EQ(s.i2cConf, 4);
  EXPECT_EQ(s.vccCode, 3);
  EXPECT_EQ(s.ioVccCode, 2);
  // The board is given half a second to settle.
  EXPECT_GE(clock_.clock().NowMs() - before, 500u);
  // Opening again gives the same handle: nothing leaks.
  const QV_HANDLE h = g_BridgeDevice.GetHandle();
  bridge_.OpenBridgeDevice();
  EXPECT_EQ(g_BridgeDevice.GetHandle(), h);
}

TEST_F(BridgeConnectionTest, EveryOpeningSetsTheBoardUpInOneOrder) {
  using Call = qv::sim::BoardCall;
  const std::vector<Call> setUp = {{"QV_OpenDevice", {0}},         {"QV_SetInterface", {0}},
                                   {"QV_SetSlaveAddr", {0x5D}},    {"QV_Set_IIC_ByteDelay", {4}},
                                   {"QV_I2C_Conf", {4}},           {"QV_SetBoardVCC_Ctrl", {3}},
                                   {"QV_SetBoardIOVCC_Ctrl", {2, 0, 0}}};
  const std::vector<Call> openOnly = {{"QV_OpenDevice", {0}}};
  struct Case {
    const char* name;
    std::function<void(CBridgeConnection&)> open;
  } cases[] = {
      {"OpenBridgeDevice", [](CBridgeConnection& b) { b.OpenBridgeDevice(); }},
      {"arrival", [](CBridgeConnection& b) { b.OnDeviceChange(DBT_DEVICEARRIVAL, 0); }},
      {"removal with a board left", [](CBridgeConnection& b) { b.OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, 0); }},
  };
  for (const Case& c : cases) {
    for (const BYTE skip : {0, 1}) {
      SCOPED_TRACE(std::string(c.name) + (skip ? ", set-up skipped" : ""));
      Board(true);
      g_BridgeDevice.SetHandle(nullptr);
      g_AppConfig.bSkipBridgeSetup = skip;
      c.open(bridge_);
      EXPECT_EQ(ostrelusb::Calls(), skip ? openOnly : setUp);
    }
  }
}

TEST_F(BridgeConnectionTest, SkippedSetUpLeavesTheBoardAsItWas) {
  Board(true);
  g_AppConfig.bSkipBridgeSetup = 1;
  bridge_.OpenBridgeDevice();
  EXPECT_EQ(bridge_.m_bDeviceConnected, 1u);
  const qv::sim::BoardSettings s = ostrelusb::Settings();
  const qv::sim::BoardSettings powerOn;
  EXPECT_EQ(s.slaveAddr, powerOn.slaveAddr);
  EXPECT_EQ(s.byteDelay, powerOn.byteDelay);
  EXPECT_EQ(s.vccCode, powerOn.vccCode);
}

TEST_F(BridgeConnectionTest, ArrivalOpensSetsTheResetEventAndSendsTheState) {
  Board(true);
  EXPECT_TRUE(bridge_.OnDeviceChange(DBT_DEVICEARRIVAL, 0));
  EXPECT_TRUE(g_BridgeDevice.IsOpen());
  EXPECT_TRUE(ResetEventSet());
  EXPECT_EQ(sent_, (std::vector<WPARAM>{1}));
  EXPECT_EQ(field1_, (std::vector<std::string>{"Device Connected"}));
}

TEST_F(BridgeConnectionTest, RemovalWithNoneLeftClosesTheBridge) {
  Board(true);
  bridge_.OpenBridgeDevice();
  ostrelusb::Unplug();
  EXPECT_TRUE(bridge_.OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, 0));
  EXPECT_FALSE(g_BridgeDevice.IsOpen());
  EXPECT_EQ(bridge_.m_bDeviceConnected, 0u);
  EXPECT_EQ(g_bBridgeConnected.load(), 0u);
  EXPECT_FALSE(ResetEventSet());
  EXPECT_EQ(sent_, (std::vector<WPARAM>{0}));
  EXPECT_EQ(field1_, (std::vector<std::string>{"Device Connected", "Device DisConnected"}));
  // Plugged in again: connected again.
  ostrelusb::Plug();
  bridge_.OnDeviceChange(DBT_DEVICEARRIVAL, 0);
  EXPECT_EQ(sent_, (std::vector<WPARAM>{0, 1}));
  EXPECT_EQ(g_bBridgeConnected.load(), 1u);
}

TEST_F(BridgeConnectionTest, RemovalWhileABoardIsStillCountedIsAnArrival) {
  Board(true);
  EXPECT_TRUE(bridge_.OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, 0));
  EXPECT_TRUE(g_BridgeDevice.IsOpen());
  EXPECT_TRUE(ResetEventSet());
  EXPECT_EQ(sent_, (std::vector<WPARAM>{1}));
  EXPECT_EQ(field1_, (std::vector<std::string>{"Device Connected"}));
}

TEST_F(BridgeConnectionTest, OtherEventsDoNothing) {
  Board(true);
  EXPECT_TRUE(bridge_.OnDeviceChange(0x0007, 0));
  EXPECT_TRUE(bridge_.OnDeviceChange(0x8001, 0));
  EXPECT_TRUE(sent_.empty());
  EXPECT_TRUE(field1_.empty());
  EXPECT_FALSE(g_BridgeDevice.IsOpen());
}

TEST(DeviceStateText, ConnectedOnlyForOne) {
  EXPECT_STREQ(DeviceStateText(1), "Device Connected");
  EXPECT_STREQ(DeviceStateText(0), "Device DisConnected");
  EXPECT_STREQ(DeviceStateText(2), "Device DisConnected");
}

}  // namespace
