#include "sim/i2c_7t0_chip.h"

#include <algorithm>
#include <utility>

namespace qv::sim {

namespace {

u32 Be24(const BYTE* p) {
  return (static_cast<u32>(p[0]) << 16) | (static_cast<u32>(p[1]) << 8) | p[2];
}

}  // namespace

I2c7T0Chip::I2c7T0Chip(std::size_t flashSize, std::vector<BYTE> chipId)
    : I2cChip(std::min(flashSize, kMaxFlashSize), std::move(chipId)) {}

bool I2c7T0Chip::OnCommand(const BYTE* frame, std::size_t length) {
  if (length == 4 && frame[0] == 0xFF && frame[1] == 0x91 && frame[2] == 0x97 &&
      frame[3] == 0xCE) {
    std::fill(Flash().begin(), Flash().end(), BYTE{0xFF});
    m_bBlockOpen = false;
    return true;
  }
  if (length >= 7 && frame[0] == 0xBF && frame[1] == 0x79 && frame[2] == 0xB9) {
    return OnChunk(frame, length);
  }
  if (length == 7 && frame[0] == 0xFF && frame[1] == 0x62) {
    return OnSum(frame, length);
  }
  return false;
}

bool I2c7T0Chip::FlashAddress(const BYTE* p, std::size_t length, u32* address) const {
  const u32 seen = Be24(p);
  if (seen < kFlashBase || !InFlash(seen - kFlashBase, length)) {
    return false;
  }
  *address = seen - kFlashBase;
  return true;
}

bool I2c7T0Chip::OnChunk(const BYTE* frame, std::size_t length) {
  const std::size_t count = length - 7;
  const BYTE flag = frame[6];
  u32 address = 0;
  if (count == 0 || count > kMaxChunk || flag > 2 || !FlashAddress(frame + 3, count, &address)) {
    return false;
  }
  if (flag == 0 || (flag == 2 && !m_bBlockOpen)) {
    m_bBlockOpen = true;
    m_nBlockAddress = address;
    m_block.clear();
  } else if (!m_bBlockOpen) {
    return false;  // a continuation without a block
  }
  // A chunk lands at its own address inside the block: a resent chunk replaces
  // itself, a gap is refused.
  if (address < m_nBlockAddress || address - m_nBlockAddress > m_block.size()) {
    m_bBlockOpen = false;
    return false;
  }
  const std::size_t offset = address - m_nBlockAddress;
  if (m_block.size() < offset + count) {
    m_block.resize(offset + count);
  }
  std::copy_n(frame + 7, count, m_block.begin() + static_cast<std::ptrdiff_t>(offset));
  if (flag == 2) {
    std::copy(m_block.begin(), m_block.end(),
              Flash().begin() + static_cast<std::ptrdiff_t>(m_nBlockAddress));
    m_bBlockOpen = false;
  }
  return true;
}

bool I2c7T0Chip::OnSum(const BYTE* frame, std::size_t /*length*/) {
  const std::size_t count = (static_cast<std::size_t>(frame[5]) << 8) | frame[6];
  u32 address = 0;
  if (!FlashAddress(frame + 2, count, &address)) {
    return false;
  }
  u32 sum = 0;
  for (std::size_t i = 0; i < count; ++i) {
    sum += Flash()[address + i];
  }
  sum = ReportedSum(sum);
  std::vector<BYTE> answer(kSumAnswerLength, 0);
  for (int i = 0; i < 4; ++i) {
    answer[static_cast<std::size_t>(i)] = static_cast<BYTE>(sum >> (8 * i));
  }
  Answer(std::move(answer));
  return true;
}

}  // namespace qv::sim
