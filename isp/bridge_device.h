#pragma once
// The open bridge: its handle and what the bridge last accepted. The handle is
// read by the workers while the UI thread opens and closes the bridge, so it
// is atomic; a call on a handle closed meanwhile gets the library's error code.
// Every wrapper returns kI2cNoDevice (3), without a call, while no handle is held.

#include <atomic>
#include <optional>

#include "isp/common_interface.h"
#include "platform/ostrelusb/OstrelUsb.h"

class CBridgeDevice {
 public:
  CBridgeDevice() = default;
  ~CBridgeDevice() { SetHandle(nullptr); }
  CBridgeDevice(const CBridgeDevice&) = delete;
  CBridgeDevice& operator=(const CBridgeDevice&) = delete;

  QV_HANDLE GetHandle() const { return m_hDevice.load(std::memory_order_acquire); }
  void SetHandle(QV_HANDLE handle) { m_hDevice.store(handle, std::memory_order_release); }
  bool IsOpen() const { return GetHandle() != nullptr; }

  // QV_OpenDevice (0) into the handle; the library's status. Also on an open bridge.
  BYTE Open();
  // QV_CloseDevice when a handle is held; the handle is 0 afterwards.
  void Close();

  // Remembered on status 0.
  BYTE SetInterface(BYTE bus);
  BYTE SetSlaveAddr(BYTE address);
  BYTE SetIICByteDelay(BYTE delay);
  // The library's configuration 4, whatever is asked.
  BYTE I2CConf(BYTE ignored);
  BYTE BoardIoCtrl(BYTE level);
  // One QV_IIC_IO; the library's result as it came.
  int IicIo(const BYTE* write, u32 writeCount, BYTE* read, u32 readCount);

  BYTE GetSlaveAddr() const { return m_bySlaveAddr.load(std::memory_order_acquire); }
  BYTE GetInterface() const { return m_byInterface.load(std::memory_order_acquire); }

 private:
  // call on the held handle; value is remembered on status 0.
  BYTE SetAndRemember(BYTE (*call)(QV_HANDLE, BYTE), BYTE value, std::atomic<BYTE>& remembered);

  std::atomic<QV_HANDLE> m_hDevice{nullptr};
  std::atomic<BYTE> m_bySlaveAddr{0};
  std::atomic<BYTE> m_byInterface{0};
};

inline constexpr BYTE kBridgeI2cConf = 4;

extern CBridgeDevice g_BridgeDevice;

// The board set-up of a bridge just opened, in this order: interface 0, the
// slave address when one is given (the main window gives one; start-up and
// the download job do not), byte delay 4, the I2C configuration and the two
// supply voltages of g_AppConfig, results not looked at. FALSE (nothing set)
// when the settings record asks to skip it.
BOOL SetUpBridgeBoard(std::optional<BYTE> slaveAddr = std::nullopt);
// The target's reset through the board's I/O line: low, a pause of lowMs,
// high, a pause of settleMs (none for 0). The first status other than 0 ends
// it at once and is the answer (kI2cNoDevice while no bridge is open); 0 when
// the line took both levels.
BYTE ResetTargetByBoardIo(DWORD lowMs, DWORD settleMs);
// 1 once the bridge was opened, 0 when it was unplugged.
extern std::atomic<u32> g_bBridgeConnected;
