#include "sim/i2c_page128_chip.h"

#include <algorithm>
#include <utility>

namespace qv::sim {

I2cPage128Chip::I2cPage128Chip(std::size_t flashSize, std::vector<BYTE> chipId)
    : I2cChip(std::min(flashSize, kMaxFlashSize), std::move(chipId)) {}

bool I2cPage128Chip::OnCommand(const BYTE* frame, std::size_t length) {
  if (length == 2 && frame[0] == 0xFF && frame[1] == 0x91) {
    std::fill(Flash().begin(), Flash().end(), BYTE{0xFF});
    return true;
  }
  if (length == 2 && frame[0] == 0xFF && frame[1] == 0xCC) {
    Answer({static_cast<BYTE>(ReportedSum(m_byLastBlockSum))});
    return true;
  }
  if (length >= 5 && frame[0] == 0xBF) {
    const u32 address = (static_cast<u32>(frame[1]) << 8) | frame[2];
    const std::size_t count = (static_cast<std::size_t>(frame[3]) << 8) | frame[4];
    if (length != count + 5 || !InFlash(address, count)) {
      return false;
    }
    BYTE sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
      Flash()[address + i] = frame[5 + i];
      sum = static_cast<BYTE>(sum + frame[5 + i]);
    }
    m_byLastBlockSum = sum;
    return true;
  }
  return false;
}

}  // namespace qv::sim
