#pragma once
// The I2C back end over the bridge for chips with 128-byte pages and a 16-bit
// address space. Every command is one write transfer and, where the chip
// answers, one read transfer after it. Results: 0 done, a positive bridge
// code, or kI2cNoDevice (3, nothing sent) while the bridge is not open.

#include "isp/common_interface.h"

// What a back end answers for a bridge result below 0, which the library's
// contract rules out: a failure like any other.
inline constexpr int kI2cBadBridgeResult = 0x100;
// A block that does not fit into the frame buffer: nothing is sent.
inline constexpr int kI2cBlockTooLong = 0x101;

class CQvIcBase : public CCommonInterface {
 public:
  // Hands the slave address to the bridge when it is open.
  explicit CQvIcBase(u8 slave);
  // Hands the bridge nothing: the bridge keeps the address it was given.
  CQvIcBase();

  virtual int EraseChip();
  virtual int WriteBlock(u32 address, u32 length, const BYTE* data);
  // Reads length bytes from address + 0x1000 (a 16-bit window address).
  virtual int ReadBlock(u32 address, u32 length, BYTE* out);
  virtual int ReadChipId(BYTE* out);
  // TRUE when the chip's sum of the block written last equals the host's.
  virtual BOOL VerifyBlock(const BYTE* data, u32 address, u32 length);

  u8 GetSlaveAddr() const { return m_bySlave; }

  static constexpr u32 kFrameSize = 512;
  static constexpr u32 kMaxBlock = kFrameSize - 5;
  static constexpr u32 kReadWindow = 0x1000;

 protected:
  // One bridge transfer, its result with a negative one made a failure.
  static int Transfer(const BYTE* write, u32 writeCount, BYTE* read, u32 readCount);
  // Write FF 90, then read the ID of that length.
  static int ReadId(BYTE* out, u32 length);
  // The pause before the one retry of a verify's read.
  static constexpr DWORD kVerifyRetryPauseMs = 15;

 private:
  u8 m_bySlave;
  BYTE m_byFrame[kFrameSize] = {};
};
