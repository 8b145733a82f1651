#pragma once
// The I2C back end for the touch-controller family: 1 KB pages, flash seen at
// 0x90000 by writes and sums, blocks sent in chunks of at most 256 bytes with
// three tries each, and a 32-bit sum over any range.

#include "isp/qv_ic_base.h"

class CQvIc7T0 : public CQvIcBase {
 public:
  explicit CQvIc7T0(u8 slave);

  int GetPageSize() override { return 1024; }
  // 24-bit addresses, from the flash base on.
  unsigned long long GetAddressSpaceSize() override { return (1ull << 24) - kFlashBase; }
  int EraseChip() override;
  int WriteBlock(u32 address, u32 length, const BYTE* data) override;
  int ReadChipId(BYTE* out) override;
  BOOL VerifyBlock(const BYTE* data, u32 address, u32 length) override;
  // The chip's 32-bit sum of length bytes at address; sum untouched on failure.
  int ReadChipChecksum(u32* sum, u32 address, u32 length);

  static constexpr u32 kFlashBase = 0x90000;
  static constexpr u32 kChunk = 256;
  static constexpr int kChunkTries = 3;
  static constexpr DWORD kChunkRetryPauseMs = 20;

 private:
  static constexpr u32 kHeader = 7;
  static constexpr u32 kSumAnswer = 17;

  BYTE m_byFrame7T0[300] = {};
};
