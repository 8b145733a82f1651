#pragma once
// The generic UART boot loader: 128-byte pages at 16-bit addresses, frames
// checked in one of the two checksum forms (XOR form, mode 0; byte-sum form,
// mode 1), erase, page write and page checksum.

#include "sim/uart_chip.h"

namespace qv::sim {

class UartGenericChip : public UartChip {
 public:
  static constexpr std::size_t kPageBytes = 128;
  static constexpr std::size_t kDefaultFlashBytes = 0x10000;

  // checksumMode: the frame and page checksum form this chip expects.
  explicit UartGenericChip(u32 checksumMode = 0, std::size_t flashSize = kDefaultFlashBytes);

  u32 ChecksumMode() const { return m_nMode; }
  void SetChecksumMode(u32 mode) { m_nMode = mode; }

 protected:
  std::vector<BYTE> HandshakeAnswer(BYTE b, bool* synced) override;
  u32 FrameChecksumMode() const override { return m_nMode; }
  void OnCommand(BYTE command, const BYTE* payload, BYTE n) override;

 private:
  BYTE Execute(BYTE command, const BYTE* payload, BYTE n);
  BYTE ErasePages(const BYTE* payload);
  BYTE WritePage(const BYTE* payload);
  BYTE CheckPages(const BYTE* payload);

  u32 m_nMode;
};

}  // namespace qv::sim
