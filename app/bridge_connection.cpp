#include "app/bridge_connection.h"

#include "app/main_layout.h"
#include "app/taravik_app.h"
#include "isp/app_config.h"
#include "isp/bridge_device.h"
#include "platform/core/clock.h"
#include "platform/win32/winuser.h"

namespace {
constexpr DWORD kBoardSettleMs = 500;
}  // namespace

const char* DeviceStateText(WPARAM state) { return state == 1 ? kDeviceConnectedText : kDeviceDisConnectedText; }

CBridgeConnection::CBridgeConnection(FieldWriter writeField1, StateSender sendState)
    : m_writeField1(std::move(writeField1)), m_sendState(std::move(sendState)) {}

void CBridgeConnection::WriteState(const char* text) {
  m_strBridgeState = text;
  m_writeField1(m_strBridgeState);
}

void CBridgeConnection::OpenBridgeDevice() {
  unsigned count = 0;
  if (QV_GetNumDevices(&count) != QV_OK || count == 0) {
    g_bBridgeConnected.store(0, std::memory_order_release);
    m_bDeviceConnected = 0;
    WriteState(kDeviceDisConnectedText);
    return;
  }
  if (g_BridgeDevice.Open() != QV_OK) return;
  g_bBridgeConnected.store(1, std::memory_order_release);
  SetUpBridgeBoard(g_AppConfig.bySlaveAddr);
  Sleep(kBoardSettleMs);
  m_bDeviceConnected = 1;
  WriteState(kDeviceConnectedText);
}

void CBridgeConnection::Arrived() {
  OpenBridgeDevice();
  if (g_hDeviceResetEvent != nullptr) SetEvent(g_hDeviceResetEvent);
  m_sendState(m_bDeviceConnected);
}

BOOL CBridgeConnection::OnDeviceChange(UINT event, UINT_PTR /*data*/) {
  if (event == DBT_DEVICEARRIVAL) {
    Arrived();
  } else if (event == DBT_DEVICEREMOVECOMPLETE) {
    unsigned count = 0;
    QV_GetNumDevices(&count);
    if (count != 0) {
      Arrived();
      return TRUE;
    }
    g_bBridgeConnected.store(0, std::memory_order_release);
    g_BridgeDevice.Close();
    m_bDeviceConnected = 0;
    WriteState(kDeviceDisConnectedText);
    m_sendState(0);
  }
  return TRUE;
}
