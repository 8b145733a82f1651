#pragma once
// The serial back end of the W24A family: 1 KB pages at a flash base of
// 0x90000 with 32-bit addresses, frames retried, the job bracketed by three
// commands of its own, and the whole image checked with a CRC-32.

#include "isp/com_base.h"

class CCOMBaseW24A : public CCOMBase {
 public:
  using CCOMBase::CCOMBase;

  BOOL ProceseBeforeEraseAndWrite() override;
  BOOL ProcessAfterEraseAndWrite() override;
  int GetPageSize() override { return 1024; }
  // 32-bit addresses.
  unsigned long long GetAddressSpaceSize() override { return 1ull << 32; }

  BOOL AutoBautRateDetect() override;
  int SendEraseCmd(u32 start, u32 size) override;
  int SendWritePageCmd(u32 address, const BYTE* page) override;
  int SendPageChecksumCmd(u32 /*address*/, BYTE /*count*/, BYTE /*checksum*/) override {
    return kStatusChecksumOk;
  }
  int SendAllDataChecksumCmd(u32 start, const BYTE* image, u32 size) override;

  // CRC-32/MPEG-2: polynomial 0x04C11DB7, initial value all ones, no
  // reflection, no final XOR.
  static u32 Crc32Mpeg2(const BYTE* data, u32 length);

 private:
  // Sends a command without payload and returns its reply status (-1 when the
  // write failed).
  int SendBareCommand(BYTE command);
  // Up to eight tries of drain, write (with one resend), reply 0xA4.
  BOOL SendFrameWithTries(const BYTE* frame, u32 length, u32 timeoutMs, BYTE command);
  // One write and, when it fails, a second one after 10 ms.
  BOOL WriteWithResend(const BYTE* frame, u32 length, u32 timeoutMs);
};
