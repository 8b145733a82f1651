#include "sim/uart_w24a_chip.h"

namespace qv::sim {

namespace {

constexpr BYTE kPrepare = 0x19;
constexpr BYTE kUnlock = 0x17;
constexpr BYTE kFinish = 0x18;
constexpr BYTE kErasePage = 0x12;
constexpr BYTE kWrite = 0x13;
constexpr BYTE kImageCrc = 0x16;
constexpr BYTE kPrepared = 0x00;
constexpr std::size_t kChunkBytes = 128;

}  // namespace

UartW24aChip::UartW24aChip(std::size_t flashSize) : UartChip(flashSize, kPageBytes) {}

u32 UartW24aChip::Crc32(const BYTE* data, std::size_t length) {
  u32 crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < length; ++i) {
    for (int bit = 7; bit >= 0; --bit) {
      const bool in = ((data[i] >> bit) & 1) != 0;
      const bool top = (crc & 0x80000000u) != 0;
      crc <<= 1;
      if (in != top) {
        crc ^= 0x04C11DB7u;
      }
    }
  }
  return crc;
}

std::vector<BYTE> UartW24aChip::HandshakeAnswer(BYTE b, bool* synced) { return AnswerSyncHandshake(b, synced); }

void UartW24aChip::OnNewSession() {
  m_bPrepared = false;
  m_bUnlocked = false;
}

void UartW24aChip::OnCommand(BYTE command, const BYTE* payload, BYTE n) {
  switch (command) {
    case kPrepare:
    case kUnlock:
    case kFinish:
    case kErasePage:
    case kWrite:
    case kImageCrc:
      ReplyStatus(command, Execute(command, payload, n));
      return;
    default:
      return;  // not a command of this boot loader: no answer
  }
}

BYTE UartW24aChip::Execute(BYTE command, const BYTE* payload, BYTE n) {
  switch (command) {
    case kPrepare:
      m_bPrepared = true;
      return kPrepared;
    case kUnlock:
      m_bUnlocked = m_bPrepared;
      return m_bUnlocked ? kUartAck : kUartStatusRefused;
    case kFinish:
      m_bPrepared = false;
      m_bUnlocked = false;
      ++m_nFinished;
      return kUartAck;
    case kErasePage:
      return n == 4 && m_bUnlocked ? ErasePage(payload) : kUartStatusRefused;
    case kWrite:
      return n == 4 + kChunkBytes && m_bUnlocked ? WriteChunk(payload) : kUartStatusRefused;
    default:
      return n == 12 ? CheckCrc(payload) : kUartStatusRefused;
  }
}

bool UartW24aChip::Offset(u32 deviceAddress, std::size_t length, std::size_t* offset) const {
  if (deviceAddress < kFlashBase || !InFlash(deviceAddress - kFlashBase, length)) {
    return false;
  }
  *offset = deviceAddress - kFlashBase;
  return true;
}

BYTE UartW24aChip::ErasePage(const BYTE* payload) {
  std::size_t offset = 0;
  if (!Offset(ReadLittleEndian32(payload), 1, &offset)) {
    return kUartStatusRefused;
  }
  const std::size_t page = offset / kPageBytes * kPageBytes;
  if (!InFlash(page, kPageBytes)) {
    return kUartStatusRefused;
  }
  Erase(page, kPageBytes);
  return kUartAck;
}

BYTE UartW24aChip::WriteChunk(const BYTE* payload) {
  std::size_t offset = 0;
  if (!Offset(ReadLittleEndian32(payload), kChunkBytes, &offset)) {
    return kUartStatusRefused;
  }
  Program(offset, payload + 4, kChunkBytes);
  return kUartAck;
}

BYTE UartW24aChip::CheckCrc(const BYTE* payload) {
  const u32 start = ReadLittleEndian32(payload);
  const u32 lastWord = ReadLittleEndian32(payload + 4);
  std::size_t offset = 0;
  if (lastWord < start || !Offset(start, lastWord - start + 4u, &offset)) {
    return kUartStatusRefused;
  }
  const u32 crc = Crc32(Flash().data() + offset, lastWord - start + 4u);
  return crc == ReadLittleEndian32(payload + 8) ? kUartMatch : kUartMismatch;
}

}  // namespace qv::sim
