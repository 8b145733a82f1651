#include "sim/uart_generic_chip.h"

namespace qv::sim {

namespace {

constexpr BYTE kErase = 0x98;
constexpr BYTE kWritePage = 0x97;
constexpr BYTE kPageChecksum = 0x81;

}  // namespace

UartGenericChip::UartGenericChip(u32 checksumMode, std::size_t flashSize)
    : UartChip(flashSize, kPageBytes), m_nMode(checksumMode) {}

std::vector<BYTE> UartGenericChip::HandshakeAnswer(BYTE b, bool* synced) { return AnswerSyncHandshake(b, synced); }

void UartGenericChip::OnCommand(BYTE command, const BYTE* payload, BYTE n) {
  if (command != kErase && command != kWritePage && command != kPageChecksum) {
    return;  // not a command of this boot loader: no answer
  }
  ReplyStatus(command, Execute(command, payload, n));
}

BYTE UartGenericChip::Execute(BYTE command, const BYTE* payload, BYTE n) {
  switch (command) {
    case kErase:
      return n == 4 ? ErasePages(payload) : kUartStatusRefused;
    case kWritePage:
      return n == 2 + kPageBytes ? WritePage(payload) : kUartStatusRefused;
    default:
      return n == 4 ? CheckPages(payload) : kUartStatusRefused;
  }
}

BYTE UartGenericChip::ErasePages(const BYTE* payload) {
  const std::size_t size = ReadBigEndian16(payload + 2);
  if (size == 0) {
    return kUartAck;
  }
  const std::size_t start = ReadBigEndian16(payload) / kPageBytes * kPageBytes;
  const std::size_t end = ReadBigEndian16(payload) + size;
  const std::size_t pagesEnd = (end + kPageBytes - 1) / kPageBytes * kPageBytes;
  if (!InFlash(start, pagesEnd - start)) {
    return kUartStatusRefused;
  }
  Erase(start, pagesEnd - start);
  return kUartAck;
}

BYTE UartGenericChip::WritePage(const BYTE* payload) {
  const std::size_t address = ReadBigEndian16(payload);
  if (address % kPageBytes != 0 || !InFlash(address, kPageBytes)) {
    return kUartStatusRefused;
  }
  // The host sends each 32-bit word most significant byte first; the chip
  // keeps words least significant first, so flash holds the file's order.
  BYTE page[kPageBytes];
  for (std::size_t i = 0; i < kPageBytes; ++i) {
    page[i] = payload[2 + (i / 4 * 4) + (3 - i % 4)];
  }
  Program(address, page, kPageBytes);
  return kUartAck;
}

BYTE UartGenericChip::CheckPages(const BYTE* payload) {
  const std::size_t address = ReadBigEndian16(payload);
  const std::size_t length = payload[2] * kPageBytes;
  if (!InFlash(address, length)) {
    return kUartStatusRefused;
  }
  // The page sum is taken in the chip's own checksum form.
  const BYTE expected = FrameChecksum(m_nMode, Flash().data() + address, length);
  return expected == payload[3] ? kUartMatch : kUartMismatch;
}

}  // namespace qv::sim
