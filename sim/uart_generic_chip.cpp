#include "sim/uart_generic_chip.h"

namespace qv::sim {

namespace {

constexpr BYTE kErase = 0x98;
constexpr BYTE kWritePage = 0x97;
constexpr BYTE kPageChecksum = 0x81;

}  // namespace

UartGenericChip::UartGenericChip(u32 checksumMode, std::size_t flashSize)
    : UartChip(flashSize, kPageBytes), m_nMode(checksumMode) {}

BYTE UartGenericChip::FrameChecksum(u32 mode, const BYTE* body, std::size_t length) {
  BYTE x = 0xFF;
  BYTE sum = 0;
  for (std::size_t i = 0; i < length; ++i) {
    x = static_cast<BYTE>(x ^ body[i]);
    sum = static_cast<BYTE>(sum + body[i]);
  }
  return mode == 0 ? x : sum;
}

std::vector<BYTE> UartGenericChip::HandshakeAnswer(BYTE b, bool* synced) { return AnswerSyncHandshake(b, synced); }

void UartGenericChip::OnFrame(const std::vector<BYTE>& frame) {
  const BYTE command = frame[2];
  const BYTE n = frame[3];
  if (FrameChecksum(m_nMode, frame.data() + 2, 2u + n) != frame[4u + n]) {
    ReplyStatus(command, kUartBadFrame);
    return;
  }
  const int forced = OverriddenStatus(command);
  if (forced >= 0) {
    ReplyStatus(command, static_cast<BYTE>(forced));
    return;
  }
  if (command != kErase && command != kWritePage && command != kPageChecksum) {
    return;  // not a command of this boot loader: no answer
  }
  ReplyStatus(command, Execute(command, frame.data() + 4, n));
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
