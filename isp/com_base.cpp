// The generic UART ISP protocol of CCOMBase: frames in two checksum modes,
// the 6-byte reply, the auto-baud handshake and the erase, page write and
// page checksum commands.

#include "isp/com_base.h"

#include "isp/engine.h"
#include "platform/core/clock.h"

namespace {

constexpr BYTE kCmdErase = 0x98;
constexpr BYTE kCmdWritePage = 0x97;
constexpr BYTE kCmdPageChecksum = 0x81;

constexpr u32 kCommandWriteTimeoutMs = 300;
constexpr u32 kHandshakeWriteTimeoutMs = 300;
constexpr u32 kReplyTimeoutMs = 2500;
constexpr u32 kSyncByteTimeoutMs = 2000;
constexpr u32 kAckBurstTimeoutMs = 800;
constexpr int kHandshakeReads = 5;
constexpr u32 kMaxBurst = 250;
constexpr u32 kPageBytes = 128;
constexpr u32 kMaxFrame = 4 + 255 + 1;
constexpr u32 kAddressSpace = 0x10000;

void WriteLogText(const char* text) { Engine().WriteLog(CString(text)); }

void PutBigEndian16(BYTE* out, u32 value) {
  out[0] = static_cast<BYTE>(value >> 8);
  out[1] = static_cast<BYTE>(value);
}

}  // namespace

u32 CCOMBase::BuildFrameInMode(u32 mode, BYTE command, const BYTE* payload, BYTE n, BYTE* frame) {
  frame[0] = 0x55;
  frame[1] = 0xAA;
  frame[2] = command;
  frame[3] = n;
  BYTE xorSum = static_cast<BYTE>(command ^ n);
  BYTE addSum = static_cast<BYTE>(command + n);
  for (u32 i = 0; i < n; ++i) {
    frame[4 + i] = payload[i];
    xorSum = static_cast<BYTE>(xorSum ^ payload[i]);
    addSum = static_cast<BYTE>(addSum + payload[i]);
  }
  frame[4 + n] = mode == 0 ? static_cast<BYTE>(0xFF ^ xorSum) : addSum;
  return 5u + n;
}

u32 CCOMBase::BuildFrame(BYTE command, const BYTE* payload, BYTE n, BYTE* frame) const {
  return BuildFrameInMode(m_nChecksumMode, command, payload, n, frame);
}

int CCOMBase::SendFrameForStatus(const BYTE* frame, u32 length, u32 timeoutMs, BYTE command) {
  if (!DoWriteDataBlockToCOM(frame, length, timeoutMs)) {
    return kStatusNoReply;
  }
  return WaitCmdStatus(command);
}

int CCOMBase::WaitCmdStatus(BYTE command) {
  BYTE reply[6] = {};
  u32 length = sizeof reply;
  if (!DoReadDataBlockFromCOM(reply, &length, kReplyTimeoutMs) || length != sizeof reply) {
    return kStatusNoReply;
  }
  if (reply[0] != 0x55 || reply[1] != 0xAA || reply[2] != command || reply[3] != 0x01) {
    return kStatusNoReply;
  }
  FlushInput();
  return reply[4];
}

u32 CCOMBase::ReadQueuedBurst(BYTE* buffer, u32 timeoutMs) {
  const int queued = m_pPort ? m_pPort->QueuedInput() : 0;
  u32 count = queued < 1 ? 1u : static_cast<u32>(queued);
  if (count > kMaxBurst) {
    count = kMaxBurst;
  }
  if (!DoReadDataBlockFromCOM(buffer, &count, timeoutMs)) {
    return 0;
  }
  return count;
}

BOOL CCOMBase::LogBytesUntil(const BYTE* bytes, u32 count, BYTE wanted) {
  for (u32 i = 0; i < count; ++i) {
    CString text;
    text.Format("Index: %d Recevied: %02d", static_cast<int>(i + 1), bytes[i]);
    Engine().WriteLog(text);
    if (bytes[i] == wanted) {
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CCOMBase::FinishBaudHandshake() {
  FlushInput();
  const BYTE ask = 0xA1;
  if (!DoWriteDataBlockToCOM(&ask, 1, kHandshakeWriteTimeoutMs)) {
    return FALSE;
  }
  Sleep(20);
  for (int pass = 0; pass < kHandshakeReads; ++pass) {
    BYTE burst[kMaxBurst];
    const u32 got = ReadQueuedBurst(burst, kAckBurstTimeoutMs);
    if (got == 0) {
      WriteLogText("DoReadDataBlockFromCOM Fail");
      return FALSE;
    }
    if (LogBytesUntil(burst, got, 0xA3)) {
      return TRUE;
    }
    Sleep(50);
  }
  return FALSE;
}

BOOL CCOMBase::AutoBautRateDetect() {
  const BYTE sync = 0x55;
  if (!DoWriteDataBlockToCOM(&sync, 1, kHandshakeWriteTimeoutMs)) {
    return FALSE;
  }
  Sleep(50);
  // A chip that never answers 0xA2 within five bytes still gets 0xA1.
  for (int i = 0; i < kHandshakeReads; ++i) {
    BYTE b = 0;
    u32 length = 1;
    if (!DoReadDataBlockFromCOM(&b, &length, kSyncByteTimeoutMs)) {
      return FALSE;
    }
    if (b == 0xA2) {
      break;
    }
    Sleep(50);
  }
  return FinishBaudHandshake();
}

int CCOMBase::SendEraseCmd(u32 start, u32 size) {
  // The size field holds 16 bits: the whole 64 KB of the address space would
  // go out as size 0 and erase nothing. It is erased in two halves, each an
  // ordinary erase of whole pages. Any other range goes out as it always did,
  // cut to 16 bits like every field (the jobs refuse ranges beyond 64 KB).
  if (start == 0 && size == kAddressSpace) {
    const int status = SendEraseFrame(0, kAddressSpace / 2);
    return status == kStatusAck ? SendEraseFrame(kAddressSpace / 2, kAddressSpace / 2) : status;
  }
  return SendEraseFrame(start, size);
}

int CCOMBase::SendEraseFrame(u32 start, u32 size) {
  BYTE payload[4];
  PutBigEndian16(payload, start);
  PutBigEndian16(payload + 2, size);
  for (int attempt = 0; attempt < 2; ++attempt) {
    BYTE frame[9];
    const u32 length = BuildFrame(kCmdErase, payload, sizeof payload, frame);
    // A frame that never left tells nothing about the checksum form: no flip.
    if (!DoWriteDataBlockToCOM(frame, length, kCommandWriteTimeoutMs)) {
      return kStatusNoReply;
    }
    const int status = WaitCmdStatus(kCmdErase);
    if (status != kStatusNoReply && status != kStatusFrameChecksumError) {
      return status;
    }
    // The chip may expect the other checksum form; the flip outlives the call.
    m_nChecksumMode = m_nChecksumMode == 0 ? 1u : 0u;
  }
  return kStatusNoReply;
}

int CCOMBase::SendWritePageCmd(u32 address, const BYTE* page) {
  BYTE payload[2 + kPageBytes];
  PutBigEndian16(payload, address);
  for (u32 i = 0; i < kPageBytes; ++i) {
    payload[2 + i] = page[i];
  }
  BYTE frame[kMaxFrame];
  const u32 length = BuildFrame(kCmdWritePage, payload, sizeof payload, frame);
  return SendFrameForStatus(frame, length, kCommandWriteTimeoutMs, kCmdWritePage);
}

int CCOMBase::SendReadPageCmd(u32 /*address*/, BYTE* /*out*/) { return kStatusAck; }

int CCOMBase::SendPageChecksumCmd(u32 address, BYTE count, BYTE checksum) {
  BYTE payload[4];
  PutBigEndian16(payload, address);
  payload[2] = count;
  payload[3] = checksum;
  BYTE frame[9];
  const u32 length = BuildFrame(kCmdPageChecksum, payload, sizeof payload, frame);
  return SendFrameForStatus(frame, length, kCommandWriteTimeoutMs, kCmdPageChecksum);
}

int CCOMBase::SendAllDataChecksumCmd(u32 /*start*/, const BYTE* /*image*/, u32 /*size*/) {
  return kStatusChecksumOk;
}

int CCOMBase::SendCmd99() { return kStatusAck; }

void CCOMBase::ConvertPageByteOrder(BYTE* page, int length) {
  // The count is an 8-bit quantity, so a 1024-byte page is left as it is.
  const int count = length & 0xFF;
  for (int group = 0; group + 4 <= count; group += 4) {
    BYTE* g = page + group;
    const BYTE b0 = g[0];
    const BYTE b1 = g[1];
    g[0] = g[3];
    g[1] = g[2];
    g[2] = b1;
    g[3] = b0;
  }
}
