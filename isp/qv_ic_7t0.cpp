#include "isp/qv_ic_7t0.h"

#include <algorithm>
#include <cstring>

#include "isp/bridge_device.h"
#include "platform/core/clock.h"

namespace {

constexpr BYTE kEraseDelay = 2;

}  // namespace

CQvIc7T0::CQvIc7T0(u8 slave) : CQvIcBase(slave) {}

int CQvIc7T0::EraseChip() {
  static constexpr BYTE kCmd[] = {0xFF, 0x91, 0x97, 0xCE};
  g_BridgeDevice.SetIICByteDelay(kEraseDelay);
  return Transfer(kCmd, sizeof kCmd, nullptr, 0);
}

int CQvIc7T0::ReadChipId(BYTE* out) { return ReadId(out, 4); }

int CQvIc7T0::WriteBlock(u32 address, u32 length, const BYTE* data) {
  u32 remaining = length & 0xFFFF;
  u32 at = address + kFlashBase;
  bool first = true;
  while (remaining > 0) {
    const u32 n = std::min(remaining, kChunk);
    m_byFrame7T0[0] = 0xBF;
    m_byFrame7T0[1] = 0x79;
    m_byFrame7T0[2] = 0xB9;
    m_byFrame7T0[3] = static_cast<BYTE>(at >> 16);
    m_byFrame7T0[4] = static_cast<BYTE>(at >> 8);
    m_byFrame7T0[5] = static_cast<BYTE>(at);
    m_byFrame7T0[6] = n == remaining ? 2 : (first ? 0 : 1);
    std::memcpy(m_byFrame7T0 + kHeader, data, n);
    int result = 0;
    for (int tries = 0; tries < kChunkTries; ++tries) {
      result = Transfer(m_byFrame7T0, n + kHeader, nullptr, 0);
      if (result == 0) {
        break;
      }
      Sleep(kChunkRetryPauseMs);
    }
    if (result != 0) {
      return result;
    }
    at += n;
    data += n;
    remaining -= n;
    first = false;
  }
  return 0;
}

int CQvIc7T0::ReadChipChecksum(u32* sum, u32 address, u32 length) {
  const u32 at = address + kFlashBase;
  const u32 n = length & 0xFFFF;
  const BYTE cmd[] = {0xFF,
                      0x62,
                      static_cast<BYTE>(at >> 16),
                      static_cast<BYTE>(at >> 8),
                      static_cast<BYTE>(at),
                      static_cast<BYTE>(n >> 8),
                      static_cast<BYTE>(n)};
  BYTE answer[kSumAnswer] = {};
  Transfer(cmd, sizeof cmd, nullptr, 0);
  const int result = Transfer(nullptr, 0, answer, kSumAnswer);
  if (result != 0) {
    return result;
  }
  *sum = static_cast<u32>(answer[0]) | (static_cast<u32>(answer[1]) << 8) |
         (static_cast<u32>(answer[2]) << 16) | (static_cast<u32>(answer[3]) << 24);
  return 0;
}

BOOL CQvIc7T0::VerifyBlock(const BYTE* data, u32 address, u32 length) {
  u32 hostSum = 0;
  for (u32 i = 0; i < (length & 0xFFFF); ++i) {
    hostSum += data[i];
  }
  u32 chipSum = 0;
  if (ReadChipChecksum(&chipSum, address, length) != 0) {
    Sleep(kVerifyRetryPauseMs);
    if (ReadChipChecksum(&chipSum, address, length) != 0) {
      return FALSE;
    }
  }
  return chipSum == hostSum ? TRUE : FALSE;
}
