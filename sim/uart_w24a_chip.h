#pragma once
// The W24A boot loader: flash at device address 0x90000 in 1 KB pages,
// written 128 bytes a frame, frames always in the XOR checksum form, a
// prepare (0x19) and unlock (0x17) step before erasing or writing, a finish
// step (0x18), and a CRC-32/MPEG-2 check over a range of whole words.

#include "sim/uart_chip.h"

namespace qv::sim {

class UartW24aChip : public UartChip {
 public:
  static constexpr u32 kFlashBase = 0x90000;
  static constexpr std::size_t kPageBytes = 1024;
  static constexpr std::size_t kDefaultFlashBytes = 0x20000;

  explicit UartW24aChip(std::size_t flashSize = kDefaultFlashBytes);

  // CRC-32/MPEG-2, bit by bit (polynomial 0x04C11DB7, initial all ones, no
  // reflection, no final XOR).
  static u32 Crc32(const BYTE* data, std::size_t length);

  bool Unlocked() const { return m_bUnlocked; }
  int FinishCount() const { return m_nFinished; }

 protected:
  std::vector<BYTE> HandshakeAnswer(BYTE b, bool* synced) override;
  void OnCommand(BYTE command, const BYTE* payload, BYTE n) override;
  void OnNewSession() override;

 private:
  BYTE Execute(BYTE command, const BYTE* payload, BYTE n);
  BYTE ErasePage(const BYTE* payload);
  BYTE WriteChunk(const BYTE* payload);
  BYTE CheckCrc(const BYTE* payload);
  // Flash offset of a device address, or false when outside the flash.
  bool Offset(u32 deviceAddress, std::size_t length, std::size_t* offset) const;

  bool m_bPrepared = false;
  bool m_bUnlocked = false;
  int m_nFinished = 0;
};

}  // namespace qv::sim
