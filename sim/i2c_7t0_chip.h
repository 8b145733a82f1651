#pragma once
// The I2C boot loader of the touch-controller family: 1 KB pages, flash seen
// at 0x90000, blocks written in chunks of at most 256 bytes (flag 0 opens a
// block, 1 continues it, 2 ends it and programs it), and a 32-bit sum over
// any range.

#include "sim/i2c_chip.h"

namespace qv::sim {

class I2c7T0Chip : public I2cChip {
 public:
  static constexpr u32 kFlashBase = 0x90000;
  static constexpr std::size_t kMaxChunk = 256;
  static constexpr std::size_t kSumAnswerLength = 17;
  // What the 24-bit addresses reach from the flash base on.
  static constexpr std::size_t kMaxFlashSize = 0x1000000 - kFlashBase;

  // flashSize is cut to what the addresses reach.
  explicit I2c7T0Chip(std::size_t flashSize,
                      std::vector<BYTE> chipId = {0x37, 0x54, 0x30, 0x01});

  // A block that was opened and not yet ended (what a broken host leaves behind).
  bool BlockOpen() const { return m_bBlockOpen; }

 protected:
  bool OnCommand(const BYTE* frame, std::size_t length) override;

 private:
  bool OnChunk(const BYTE* frame, std::size_t length);
  bool OnSum(const BYTE* frame, std::size_t length);
  // A flash address from the three address bytes at p, or false when it lies outside.
  bool FlashAddress(const BYTE* p, std::size_t length, u32* address) const;

  bool m_bBlockOpen = false;
  u32 m_nBlockAddress = 0;
  std::vector<BYTE> m_block;
};

}  // namespace qv::sim
