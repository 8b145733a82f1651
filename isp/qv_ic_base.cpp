#include "isp/qv_ic_base.h"

#include <cstring>

#include "isp/bridge_device.h"
#include "platform/core/clock.h"

namespace {

constexpr BYTE kEraseDelay = 2;

}  // namespace

CQvIcBase::CQvIcBase(u8 slave) : m_bySlave(slave) {
  if (g_BridgeDevice.IsOpen()) {
    g_BridgeDevice.SetSlaveAddr(slave);
  }
}

CQvIcBase::CQvIcBase() : m_bySlave(0) {}

int CQvIcBase::Transfer(const BYTE* write, u32 writeCount, BYTE* read, u32 readCount) {
  const int result = g_BridgeDevice.IicIo(write, writeCount, read, readCount);
  return result < 0 ? kI2cBadBridgeResult : result;
}

int CQvIcBase::ReadId(BYTE* out, u32 length) {
  static constexpr BYTE kCmd[] = {0xFF, 0x90};
  const int written = Transfer(kCmd, sizeof kCmd, nullptr, 0);
  if (written != 0) {
    return written;
  }
  return Transfer(nullptr, 0, out, length);
}

int CQvIcBase::EraseChip() {
  static constexpr BYTE kCmd[] = {0xFF, 0x91};
  g_BridgeDevice.SetIICByteDelay(kEraseDelay);
  return Transfer(kCmd, sizeof kCmd, nullptr, 0);
}

int CQvIcBase::WriteBlock(u32 address, u32 length, const BYTE* data) {
  // Refused whole: cut to the frame's 16-bit length field, a longer block
  // would lose its tail and still report success.
  if (length > kMaxBlock) {
    return kI2cBlockTooLong;
  }
  m_byFrame[0] = 0xBF;
  m_byFrame[1] = static_cast<BYTE>(address >> 8);
  m_byFrame[2] = static_cast<BYTE>(address);
  m_byFrame[3] = static_cast<BYTE>(length >> 8);
  m_byFrame[4] = static_cast<BYTE>(length);
  if (length > 0) {
    std::memcpy(m_byFrame + 5, data, length);
  }
  return Transfer(m_byFrame, length + 5, nullptr, 0);
}

int CQvIcBase::ReadBlock(u32 address, u32 length, BYTE* out) {
  const u32 window = address + kReadWindow;
  m_byFrame[0] = 0xFF;
  m_byFrame[1] = 0x03;
  m_byFrame[2] = static_cast<BYTE>(window >> 8);
  m_byFrame[3] = static_cast<BYTE>(window);
  m_byFrame[4] = static_cast<BYTE>(length);
  Transfer(m_byFrame, 5, nullptr, 0);
  return Transfer(nullptr, 0, out, length);
}

int CQvIcBase::ReadChipId(BYTE* out) { return ReadId(out, 2); }

BOOL CQvIcBase::VerifyBlock(const BYTE* data, u32 /*address*/, u32 length) {
  static constexpr BYTE kCmd[] = {0xFF, 0xCC};
  const u32 n = length & 0xFFFF;
  BYTE hostSum = 0;
  for (u32 i = 0; i < n; ++i) {
    hostSum = static_cast<BYTE>(hostSum + data[i]);
  }
  BYTE chipSum = 0;
  Transfer(kCmd, sizeof kCmd, nullptr, 0);
  if (Transfer(nullptr, 0, &chipSum, 1) != 0) {
    Sleep(kVerifyRetryPauseMs);
    Transfer(kCmd, sizeof kCmd, nullptr, 0);
    if (Transfer(nullptr, 0, &chipSum, 1) != 0) {
      return FALSE;
    }
  }
  return chipSum == hostSum ? TRUE : FALSE;
}
