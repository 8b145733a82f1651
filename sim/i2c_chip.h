#pragma once
// Device side of the I2C boot loaders: the part both chip families share.
// A chip answers only in its ISP mode, which a low-high pulse on the board's
// I/O line (its reset) enters. Every write is one command; a read is served
// only from the answer that the last command armed.

#include <cstddef>
#include <vector>

#include "platform/core/wintypes.h"

namespace qv::sim {

class I2cChip {
 public:
  I2cChip(std::size_t flashSize, std::vector<BYTE> chipId);
  virtual ~I2cChip() = default;
  I2cChip(const I2cChip&) = delete;
  I2cChip& operator=(const I2cChip&) = delete;

  // false: the chip does not acknowledge (not in ISP mode, unknown or malformed command).
  bool Write(const BYTE* data, std::size_t length);
  bool Read(BYTE* out, std::size_t length);

  // The reset pulse: the boot loader starts afresh in ISP mode.
  void ResetIntoIsp();
  bool InIspMode() const { return m_bIsp; }
  // Power lost: the chip keeps its flash and starts its application next time.
  void PowerOff();

  std::vector<BYTE>& Flash() { return m_flash; }
  const std::vector<BYTE>& ChipId() const { return m_chipId; }

  // The next times sums the chip reports are off by one (-1: always).
  void CorruptSums(int times) { m_nCorruptSums = times; }

 protected:
  // The family's own commands; false when the frame is not one of them or is malformed.
  virtual bool OnCommand(const BYTE* frame, std::size_t length) = 0;

  // Arms the answer of the next read.
  void Answer(std::vector<BYTE> bytes);
  u32 ReportedSum(u32 sum);
  bool InFlash(u32 address, std::size_t length) const;

 private:
  // FF 03 B15..8 B7..0 N: the next read streams flash from B - 0x1000.
  bool OnReadCommand(const BYTE* frame, std::size_t length);

  std::vector<BYTE> m_flash;
  std::vector<BYTE> m_chipId;
  bool m_bIsp = false;
  std::vector<BYTE> m_answer;
  bool m_bAnswerArmed = false;
  bool m_bStreamFlash = false;
  u32 m_nStreamAddress = 0;
  int m_nCorruptSums = 0;
};

inline constexpr u32 kI2cReadWindowBase = 0x1000;

}  // namespace qv::sim
