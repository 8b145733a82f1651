#pragma once
// The main window's hold on the bridge in USB mode: opening and set-up, the
// board plugged in and pulled out, and the connection text of the status
// strip's first field. The window hands in how to write that field and how
// to send itself WM_DEVICE_STATE.

#include <functional>

#include "platform/core/cstring.h"
#include "platform/core/wintypes.h"

// wParam: 1 when the bridge is connected.
inline constexpr UINT WM_DEVICE_STATE = 0x7E8;

// "Device Connected" for state 1, "Device DisConnected" otherwise.
const char* DeviceStateText(WPARAM state);

class CBridgeConnection {
 public:
  using FieldWriter = std::function<void(const CString& text)>;
  using StateSender = std::function<void(WPARAM connected)>;

  CBridgeConnection(FieldWriter writeField1, StateSender sendState);

  // Counts the boards; none: disconnected. Opens board 0 (also when a handle
  // is held); a failed open changes nothing. Then connected: the set-up of
  // the settings record unless it says to skip it, half a second for the
  // board to settle, and "Device Connected".
  void OpenBridgeDevice();
  // Arrival, and a removal while a board is still counted: open again, set
  // "Device_ResetEvent", send the state. Removal with none left: close, send
  // the state 0. Other events: nothing. TRUE for every event.
  BOOL OnDeviceChange(UINT event, UINT_PTR data);

  // 1 after this window opened the bridge, 0 after it found it absent or removed.
  u32 m_bDeviceConnected = 0;
  // The last connection text written to the field.
  CString m_strBridgeState;

 private:
  void WriteState(const char* text);
  void Arrived();

  FieldWriter m_writeField1;
  StateSender m_sendState;
};
