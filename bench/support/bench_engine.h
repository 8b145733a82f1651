#pragma once
// What the benchmarks share: an engine context that drops its log entries,
// and a simulated bridge board with an I2C chip set up as the engine's back end.

#include "isp/bridge_device.h"
#include "isp/engine.h"
#include "platform/ostrelusb/OstrelUsbSim.h"

namespace qv::bench {

class QuietEngine : public CEngineContext {
 public:
  void WriteLog(CString) override {}
};

// Plugs in the board with a chip of the family at slave address 0x70, opens
// it and makes a BackEnd for it the engine's back end (the engine owns it).
template <class BackEnd>
BackEnd* AttachI2cBackEnd(CEngineContext& engine, qv::sim::ChipFamily family) {
  ostrelusb::Configure({true, {family, 128, 0x70}});
  g_BridgeDevice.SetHandle(nullptr);
  g_BridgeDevice.Open();
  g_BridgeDevice.SetSlaveAddr(0x70);
  auto* ic = new BackEnd(0x70);
  engine.m_nInterface = 1;
  g_pIcBase = ic;
  engine.m_pInterface = ic;
  return ic;
}

}  // namespace qv::bench
