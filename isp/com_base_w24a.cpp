#include "isp/com_base_w24a.h"

#include <array>
#include <memory>
#include <new>

#include "platform/core/clock.h"

namespace {

constexpr BYTE kCmdPrepare = 0x19;
constexpr BYTE kCmdUnlock = 0x17;
constexpr BYTE kCmdFinish = 0x18;
constexpr BYTE kCmdErasePage = 0x12;
constexpr BYTE kCmdWrite = 0x13;
constexpr BYTE kCmdImageCrc = 0x16;

// The W24A bootloader acknowledges the first bracket command with 0x00.
constexpr int kStatusPrepared = 0x00;

constexpr u32 kFlashBase = 0x90000;
constexpr u32 kPageBytes = 1024;
constexpr u32 kChunkBytes = 128;
constexpr int kTries = 8;
constexpr u32 kBareTimeoutMs = 500;
constexpr u32 kEraseTimeoutMs = 300;
constexpr u32 kWriteTimeoutMs = 500;
constexpr u32 kCrcTimeoutMs = 500;
constexpr u32 kHandshakeWriteTimeoutMs = 300;
constexpr u32 kSyncByteTimeoutMs = 2000;

void PutLittleEndian32(BYTE* out, u32 value) {
  for (int i = 0; i < 4; ++i) {
    out[i] = static_cast<BYTE>(value >> (8 * i));
  }
}

std::array<u32, 256> MakeCrcTable() {
  std::array<u32, 256> table{};
  for (u32 i = 0; i < 256; ++i) {
    u32 c = i << 24;
    for (int bit = 0; bit < 8; ++bit) {
      c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : c << 1;
    }
    table[i] = c;
  }
  return table;
}

}  // namespace

u32 CCOMBaseW24A::Crc32Mpeg2(const BYTE* data, u32 length) {
  static const std::array<u32, 256> table = MakeCrcTable();
  u32 crc = 0xFFFFFFFFu;
  for (u32 i = 0; i < length; ++i) {
    crc = (crc << 8) ^ table[((crc >> 24) ^ data[i]) & 0xFF];
  }
  return crc;
}

int CCOMBaseW24A::SendBareCommand(BYTE command) {
  BYTE frame[5];
  const u32 length = BuildFrameInMode(0, command, nullptr, 0, frame);
  return SendFrameForStatus(frame, length, kBareTimeoutMs, command);
}

BOOL CCOMBaseW24A::ProceseBeforeEraseAndWrite() {
  if (SendBareCommand(kCmdPrepare) != kStatusPrepared) {
    Sleep(100);
    if (SendBareCommand(kCmdPrepare) != kStatusPrepared) {
      return FALSE;
    }
  }
  if (SendBareCommand(kCmdUnlock) == kStatusAck) {
    return TRUE;
  }
  return SendBareCommand(kCmdUnlock) == kStatusAck ? TRUE : FALSE;
}

BOOL CCOMBaseW24A::ProcessAfterEraseAndWrite() {
  return SendBareCommand(kCmdFinish) == kStatusAck ? TRUE : FALSE;
}

BOOL CCOMBaseW24A::WriteWithResend(const BYTE* frame, u32 length, u32 timeoutMs) {
  if (DoWriteDataBlockToCOM(frame, length, timeoutMs)) {
    return TRUE;
  }
  Sleep(10);
  return DoWriteDataBlockToCOM(frame, length, timeoutMs);
}

BOOL CCOMBaseW24A::SendFrameWithTries(const BYTE* frame, u32 length, u32 timeoutMs, BYTE command) {
  for (int attempt = 0; attempt < kTries; ++attempt) {
    FlushInput();
    if (WriteWithResend(frame, length, timeoutMs) && WaitCmdStatus(command) == kStatusAck) {
      return TRUE;
    }
    Sleep(10);
  }
  return FALSE;
}

int CCOMBaseW24A::SendEraseCmd(u32 start, u32 size) {
  const u32 pages = size / kPageBytes + (size % kPageBytes != 0 ? 1 : 0);
  for (u32 k = 0; k < pages; ++k) {
    BYTE payload[4];
    PutLittleEndian32(payload, start + kFlashBase + k * kPageBytes);
    BYTE frame[9];
    const u32 length = BuildFrameInMode(0, kCmdErasePage, payload, sizeof payload, frame);
    if (!SendFrameWithTries(frame, length, kEraseTimeoutMs, kCmdErasePage)) {
      return kStatusNoReply;
    }
  }
  return kStatusAck;
}

int CCOMBaseW24A::SendWritePageCmd(u32 address, const BYTE* page) {
  for (u32 j = 0; j < kPageBytes / kChunkBytes; ++j) {
    BYTE payload[4 + kChunkBytes];
    PutLittleEndian32(payload, address + kFlashBase + j * kChunkBytes);
    for (u32 i = 0; i < kChunkBytes; ++i) {
      payload[4 + i] = page[j * kChunkBytes + i];
    }
    BYTE frame[5 + sizeof payload];
    const u32 length = BuildFrameInMode(0, kCmdWrite, payload, sizeof payload, frame);
    if (!SendFrameWithTries(frame, length, kWriteTimeoutMs, kCmdWrite)) {
      return kStatusNoReply;
    }
  }
  return kStatusAck;
}

BOOL CCOMBaseW24A::AutoBautRateDetect() {
  const BYTE sync = 0x55;
  BOOL synced = FALSE;
  for (int i = 0; i < 5 && !synced; ++i) {
    if (!DoWriteDataBlockToCOM(&sync, 1, kHandshakeWriteTimeoutMs)) {
      return FALSE;
    }
    BYTE b = 0;
    u32 length = 1;
    if (!DoReadDataBlockFromCOM(&b, &length, kSyncByteTimeoutMs)) {
      return FALSE;
    }
    if (b == 0xA2) {
      synced = TRUE;
    } else {
      Sleep(50);
    }
  }
  return synced ? FinishBaudHandshake() : FALSE;
}

int CCOMBaseW24A::SendAllDataChecksumCmd(u32 start, const BYTE* image, u32 size) {
  // The chip sums whole 32-bit words; an image that ends inside a double word
  // is padded with erased bytes to the next multiple of 8.
  std::unique_ptr<BYTE[]> padded;
  const BYTE* data = image;
  u32 length = size;
  if (size % 8 != 0) {
    length = size / 8 * 8 + 8;
    padded.reset(new (std::nothrow) BYTE[length]);
    if (!padded) {
      return kStatusNoReply;
    }
    for (u32 i = 0; i < length; ++i) {
      padded[i] = i < size ? image[i] : 0xFF;
    }
    data = padded.get();
  }
  const u32 crc = Crc32Mpeg2(data, length);
  BYTE payload[12];
  PutLittleEndian32(payload, start + kFlashBase);
  PutLittleEndian32(payload + 4, start + kFlashBase + length - 4);
  PutLittleEndian32(payload + 8, crc);
  BYTE frame[17];
  const u32 frameLength = BuildFrameInMode(0, kCmdImageCrc, payload, sizeof payload, frame);
  return SendFrameForStatus(frame, frameLength, kCrcTimeoutMs, kCmdImageCrc);
}
