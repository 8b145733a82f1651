#include "isp/bridge_device.h"

#include "isp/app_config.h"
#include "platform/core/clock.h"

CBridgeDevice g_BridgeDevice;
std::atomic<u32> g_bBridgeConnected{0};

BYTE CBridgeDevice::Open() {
  QV_HANDLE handle = GetHandle();
  const BYTE status = QV_OpenDevice(0, &handle);
  if (status == QV_OK) {
    SetHandle(handle);
  }
  return status;
}

void CBridgeDevice::Close() {
  const QV_HANDLE handle = m_hDevice.exchange(nullptr, std::memory_order_acq_rel);
  if (handle) {
    QV_CloseDevice(handle);
  }
}

BYTE CBridgeDevice::SetAndRemember(BYTE (*call)(QV_HANDLE, BYTE), BYTE value,
                                   std::atomic<BYTE>& remembered) {
  const QV_HANDLE h = GetHandle();
  if (!h) {
    return kI2cNoDevice;
  }
  const BYTE status = call(h, value);
  if (status == QV_OK) {
    remembered.store(value, std::memory_order_release);
  }
  return status;
}

BYTE CBridgeDevice::SetInterface(BYTE bus) {
  return SetAndRemember(QV_SetInterface, bus, m_byInterface);
}

BYTE CBridgeDevice::SetSlaveAddr(BYTE address) {
  return SetAndRemember(QV_SetSlaveAddr, address, m_bySlaveAddr);
}

BYTE CBridgeDevice::SetIICByteDelay(BYTE delay) {
  const QV_HANDLE h = GetHandle();
  return h ? QV_Set_IIC_ByteDelay(h, delay) : kI2cNoDevice;
}

BYTE CBridgeDevice::I2CConf(BYTE) {
  const QV_HANDLE h = GetHandle();
  return h ? QV_I2C_Conf(h, kBridgeI2cConf) : kI2cNoDevice;
}

BYTE CBridgeDevice::BoardIoCtrl(BYTE level) {
  const QV_HANDLE h = GetHandle();
  return h ? QV_Board_IO_Ctrl(h, level, 1, 1) : kI2cNoDevice;
}

int CBridgeDevice::IicIo(const BYTE* write, u32 writeCount, BYTE* read, u32 readCount) {
  const QV_HANDLE h = GetHandle();
  return h ? QV_IIC_IO(h, write, writeCount, read, readCount) : kI2cNoDevice;
}

BYTE ResetTargetByBoardIo(DWORD lowMs, DWORD settleMs) {
  if (const BYTE status = g_BridgeDevice.BoardIoCtrl(0); status != 0) return status;
  Sleep(lowMs);
  if (const BYTE status = g_BridgeDevice.BoardIoCtrl(1); status != 0) return status;
  if (settleMs != 0) Sleep(settleMs);
  return 0;
}

BOOL SetUpBridgeBoard(std::optional<BYTE> slaveAddr) {
  if (g_AppConfig.bSkipBridgeSetup != 0) return FALSE;
  g_BridgeDevice.SetInterface(0);
  if (slaveAddr) g_BridgeDevice.SetSlaveAddr(*slaveAddr);
  g_BridgeDevice.SetIICByteDelay(4);
  g_BridgeDevice.I2CConf(kBridgeI2cConf);
  QV_SetBoardVCC_Ctrl(g_BridgeDevice.GetHandle(), g_AppConfig.byVccCode);
  QV_SetBoardIOVCC_Ctrl(g_BridgeDevice.GetHandle(), g_AppConfig.byIoVccCode, 0, 0);
  return TRUE;
}
