#pragma once
// The I2C boot loader of the chips with 128-byte pages and a 16-bit address
// space. Its sum command takes no address: it answers the 8-bit sum of the
// block that was written last.

#include "sim/i2c_chip.h"

namespace qv::sim {

class I2cPage128Chip : public I2cChip {
 public:
  static constexpr std::size_t kMaxFlashSize = 0x10000;

  // flashSize is cut to the 16-bit address space.
  explicit I2cPage128Chip(std::size_t flashSize, std::vector<BYTE> chipId = {0x51, 0x28});

 protected:
  bool OnCommand(const BYTE* frame, std::size_t length) override;

 private:
  BYTE m_byLastBlockSum = 0;
};

}  // namespace qv::sim
