#pragma once
// A simulated Control Board with one chip, opened through g_BridgeDevice and
// with the chip reset into its ISP mode, on a virtual clock.

#include <gtest/gtest.h>

#include <vector>

#include "isp/bridge_device.h"
#include "platform/core/clock.h"
#include "platform/ostrelusb/OstrelUsbSim.h"

using Bytes = std::vector<BYTE>;

class BridgeTest : public ::testing::Test {
 protected:
  static constexpr BYTE kSlave = 0x5D;

  void TearDown() override {
    g_BridgeDevice.SetHandle(nullptr);
    ostrelusb::Configure({});
  }

  // A board with that chip; open, addressed and reset unless open is false.
  void UseBoard(qv::sim::ChipFamily family, bool open = true) {
    ostrelusb::Configure({true, {family, 64, kSlave}});
    g_BridgeDevice.SetHandle(nullptr);
    if (open) {
      ASSERT_EQ(g_BridgeDevice.Open(), QV_OK);
      ASSERT_EQ(g_BridgeDevice.SetSlaveAddr(kSlave), QV_OK);
      ASSERT_EQ(g_BridgeDevice.BoardIoCtrl(0), QV_OK);
      ASSERT_EQ(g_BridgeDevice.BoardIoCtrl(1), QV_OK);
      ASSERT_TRUE(ostrelusb::ChipInIspMode());
      ostrelusb::ClearLogs();
    }
  }

  static std::vector<qv::sim::I2cTransfer> Log() { return ostrelusb::Transfers(); }

  static Bytes Pattern(std::size_t n, BYTE seed) {
    Bytes out(n);
    for (std::size_t i = 0; i < n; ++i) {
      out[i] = static_cast<BYTE>(seed + i * 7 + (i >> 8));
    }
    return out;
  }

  qv::ScopedVirtualClock clock_;
};
