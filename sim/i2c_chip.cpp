#include "sim/i2c_chip.h"

#include <algorithm>
#include <utility>

namespace qv::sim {

I2cChip::I2cChip(std::size_t flashSize, std::vector<BYTE> chipId)
    : m_flash(flashSize, 0xFF), m_chipId(std::move(chipId)) {}

void I2cChip::ResetIntoIsp() {
  m_bIsp = true;
  m_bAnswerArmed = false;
  m_bStreamFlash = false;
}

void I2cChip::PowerOff() {
  m_bIsp = false;
  m_bAnswerArmed = false;
  m_bStreamFlash = false;
}

bool I2cChip::Write(const BYTE* data, std::size_t length) {
  if (!m_bIsp || length < 2) {
    return false;
  }
  m_bAnswerArmed = false;
  m_bStreamFlash = false;
  if (data[0] == 0xFF && data[1] == 0x90 && length == 2) {
    Answer(m_chipId);
    return true;
  }
  if (data[0] == 0xFF && data[1] == 0x03) {
    return OnReadCommand(data, length);
  }
  return OnCommand(data, length);
}

bool I2cChip::OnReadCommand(const BYTE* frame, std::size_t length) {
  if (length != 5) {
    return false;
  }
  const u32 window = (static_cast<u32>(frame[2]) << 8) | frame[3];
  if (window < kI2cReadWindowBase || !InFlash(window - kI2cReadWindowBase, 1)) {
    return false;
  }
  m_bAnswerArmed = true;
  m_bStreamFlash = true;
  m_nStreamAddress = window - kI2cReadWindowBase;
  return true;
}

bool I2cChip::Read(BYTE* out, std::size_t length) {
  if (!m_bIsp || !m_bAnswerArmed) {
    return false;
  }
  m_bAnswerArmed = false;
  if (m_bStreamFlash) {
    // The read pointer counts on through the flash; past its end the bus reads high.
    for (std::size_t i = 0; i < length; ++i) {
      const std::size_t at = m_nStreamAddress + i;
      out[i] = at < m_flash.size() ? m_flash[at] : 0xFF;
    }
    m_bStreamFlash = false;
    return true;
  }
  const std::size_t n = std::min(length, m_answer.size());
  std::copy_n(m_answer.begin(), n, out);
  std::fill(out + n, out + length, BYTE{0xFF});
  return true;
}

void I2cChip::Answer(std::vector<BYTE> bytes) {
  m_answer = std::move(bytes);
  m_bAnswerArmed = true;
}

u32 I2cChip::ReportedSum(u32 sum) {
  if (m_nCorruptSums == 0) {
    return sum;
  }
  if (m_nCorruptSums > 0) {
    --m_nCorruptSums;
  }
  return sum + 1;
}

bool I2cChip::InFlash(u32 address, std::size_t length) const {
  return address <= m_flash.size() && length <= m_flash.size() - address;
}

}  // namespace qv::sim
