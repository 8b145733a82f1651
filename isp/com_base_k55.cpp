#include "isp/com_base_k55.h"

#include "isp/engine.h"
#include "platform/core/clock.h"

namespace {

constexpr BYTE kCmdErase = 0x98;
constexpr BYTE kCmdWritePage = 0x96;
constexpr BYTE kCmdReadPage = 0x83;
constexpr BYTE kCmdPassword = 0x9A;
constexpr BYTE kCmdLeave = 0x99;
constexpr BYTE kFrameEnd = 0xB5;
constexpr BYTE kAccepted = 0xAA;

constexpr u32 kPageBytes = 32;
constexpr u32 kEraseTimeoutMs = 300;
constexpr u32 kCommandTimeoutMs = 500;
constexpr u32 kReplyTimeoutMs = 2500;
constexpr u32 kReadReplyTimeoutMs = 2000;
constexpr u32 kReadReplyBytes = 37;
constexpr u32 kHandshakeWriteTimeoutMs = 300;
constexpr u32 kHandshakeReadTimeoutMs = 2000;
constexpr int kHandshakeLoops = 3;
constexpr int kReadsPerLoop = 5;

void PutWordAddress(BYTE* out, u32 byteAddress) {
  out[0] = static_cast<BYTE>(byteAddress >> 9);
  out[1] = static_cast<BYTE>(byteAddress >> 1);
}

void LogLoop(const char* format, int loop) {
  CString text;
  text.Format(format, loop);
  Engine().WriteLog(text);
}

}  // namespace

u32 CCOMBaseK55::BuildK55Frame(BYTE command, const BYTE* payload, BYTE n, BYTE* frame) {
  frame[0] = 0x55;
  frame[1] = 0xAA;
  frame[2] = command;
  frame[3] = n;
  for (u32 i = 0; i < n; ++i) {
    frame[4 + i] = payload[i];
  }
  frame[4 + n] = kFrameEnd;
  return 5u + n;
}

int CCOMBaseK55::WaitCmdStatus(BYTE /*command*/) {
  BYTE reply = 0;
  u32 length = 1;
  if (!DoReadDataBlockFromCOM(&reply, &length, kReplyTimeoutMs) || reply != kAccepted) {
    return kStatusNoReply;
  }
  FlushInput();
  return kStatusAck;
}

int CCOMBaseK55::SendEraseCmd(u32 /*start*/, u32 /*size*/) {
  BYTE frame[5];
  const u32 length = BuildK55Frame(kCmdErase, nullptr, 0, frame);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!DoWriteDataBlockToCOM(frame, length, kEraseTimeoutMs)) {
      return kStatusNoReply;
    }
    const int status = WaitCmdStatus(kCmdErase);
    if (status != kStatusNoReply) {
      return status;
    }
  }
  return kStatusNoReply;
}

int CCOMBaseK55::SendWritePageCmd(u32 address, const BYTE* page) {
  BYTE payload[2 + kPageBytes];
  PutWordAddress(payload, address);
  for (u32 i = 0; i < kPageBytes; ++i) {
    payload[2 + i] = page[i];
  }
  BYTE frame[5 + sizeof payload];
  const u32 length = BuildK55Frame(kCmdWritePage, payload, sizeof payload, frame);
  return SendFrameForStatus(frame, length, kCommandTimeoutMs, kCmdWritePage);
}

int CCOMBaseK55::SendReadPageCmd(u32 address, BYTE* out) {
  BYTE payload[3];
  PutWordAddress(payload, address);
  payload[2] = static_cast<BYTE>(kPageBytes);
  BYTE frame[8];
  const u32 length = BuildK55Frame(kCmdReadPage, payload, sizeof payload, frame);
  if (!DoWriteDataBlockToCOM(frame, length, kCommandTimeoutMs)) {
    return kStatusNoReply;
  }
  BYTE reply[kReadReplyBytes];
  u32 got = kReadReplyBytes;
  if (!DoReadDataBlockFromCOM(reply, &got, kReadReplyTimeoutMs) || got != kReadReplyBytes) {
    return kStatusNoReply;
  }
  if (reply[0] != 0x55 || reply[1] != 0xAA || reply[2] != kCmdReadPage || reply[3] != kPageBytes) {
    return kStatusNoReply;
  }
  for (u32 i = 0; i < kPageBytes; ++i) {
    out[i] = reply[4 + i];
  }
  return kStatusAck;
}

int CCOMBaseK55::SendKeyinPasswordCmd(u32 password) {
  const BYTE payload[4] = {static_cast<BYTE>(password >> 24), static_cast<BYTE>(password >> 16),
                           static_cast<BYTE>(password >> 8), static_cast<BYTE>(password)};
  BYTE frame[9];
  const u32 length = BuildK55Frame(kCmdPassword, payload, sizeof payload, frame);
  return SendFrameForStatus(frame, length, kCommandTimeoutMs, kCmdPassword);
}

int CCOMBaseK55::SendCmd99() {
  // The length byte says 0, yet one byte 0x71 stands before the end byte.
  const BYTE frame[6] = {0x55, 0xAA, kCmdLeave, 0x00, 0x71, kFrameEnd};
  return DoWriteDataBlockToCOM(frame, sizeof frame, kCommandTimeoutMs) ? kStatusAck : kStatusNoReply;
}

BOOL CCOMBaseK55::HandshakeLoop(int loop, BOOL* stop) {
  const BYTE sync = 0x55;
  if (!DoWriteDataBlockToCOM(&sync, 1, kHandshakeWriteTimeoutMs)) {
    LogLoop("Loop %d: Send 0x55 Fail", loop);
    *stop = TRUE;
    return FALSE;
  }
  Sleep(50);
  for (int read = 0; read < kReadsPerLoop; ++read) {
    BYTE burst[250];
    const u32 got = ReadQueuedBurst(burst, kHandshakeReadTimeoutMs);
    if (got == 0) {
      LogLoop("Loop %d: Wait for 0xAA Fail, no data received", loop);
      *stop = TRUE;
      return FALSE;
    }
    if (LogBytesUntil(burst, got, kAccepted)) {
      LogLoop("Loop %d: Got 0xAA", loop);
      return TRUE;
    }
    Sleep(50);
  }
  FlushInput();
  return FALSE;
}

BOOL CCOMBaseK55::AutoBautRateDetect() {
  for (int loop = 1; loop <= kHandshakeLoops; ++loop) {
    BOOL stop = FALSE;
    if (HandshakeLoop(loop, &stop)) {
      return TRUE;
    }
    if (stop) {
      return FALSE;
    }
  }
  return FALSE;
}
