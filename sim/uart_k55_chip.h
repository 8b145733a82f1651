#pragma once
// The K55 boot loader: frames without a checksum that end in 0xB5, 32-byte
// pages at 16-bit word addresses, one erase for the whole flash, writes and
// reads only after the right 32-bit password, one-byte answers (0xAA).

#include "sim/uart_chip.h"

namespace qv::sim {

class UartK55Chip : public UartChip {
 public:
  static constexpr std::size_t kPageBytes = 32;
  static constexpr std::size_t kDefaultFlashBytes = 0x10000;
  static constexpr u32 kDefaultPassword = 0x3B8E61C4;

  explicit UartK55Chip(u32 password = kDefaultPassword, std::size_t flashSize = kDefaultFlashBytes);

  bool Unlocked() const { return m_bUnlocked; }
  int LeaveCount() const { return m_nLeave; }

 protected:
  std::vector<BYTE> HandshakeAnswer(BYTE b, bool* synced) override;
  std::size_t ExtraBytes(BYTE command, BYTE n) const override;
  // No checksum: a frame is whole when it ends in 0xB5; anything else is
  // noise and gets no answer. Statuses are one byte.
  bool FrameIsWhole(const std::vector<BYTE>& frame) const override;
  void AnswerBrokenFrame(BYTE /*command*/) override {}
  void AnswerStatus(BYTE /*command*/, BYTE status) override { Reply({status}); }
  void OnCommand(BYTE command, const BYTE* payload, BYTE n) override;
  void OnNewSession() override { m_bUnlocked = false; }

 private:
  BYTE Execute(BYTE command, const BYTE* payload, BYTE n);
  void ReadPage(const BYTE* payload, BYTE n);

  u32 m_nPassword;
  bool m_bUnlocked = false;
  int m_nLeave = 0;
};

}  // namespace qv::sim
