#pragma once
// The serial back end of the K55 family: frames without a checksum that end
// in 0xB5, 32-byte pages at word addresses, a 32-bit password, page read-back,
// one erase for the whole chip, and 768 bytes at the end of the image file
// that are not programmed.

#include "isp/com_base.h"

class CCOMBaseK55 : public CCOMBase {
 public:
  using CCOMBase::CCOMBase;

  int GetPageSize() override { return 32; }
  void ConvertPageByteOrder(BYTE* /*page*/, int /*length*/) override {}
  BOOL IsReadSupported() override { return TRUE; }
  BOOL IsPasswordRequired() override { return TRUE; }
  BOOL IsWriteAddressSupported() override { return FALSE; }
  int SendKeyinPasswordCmd(u32 password) override;
  int GetFileTrailerSize() override { return 0x300; }
  int GetBootLoaderSizeKB() override { return 0; }
  // 16-bit word addresses.
  unsigned long long GetAddressSpaceSize() override { return 1ull << 17; }

  int WaitCmdStatus(BYTE command) override;
  BOOL AutoBautRateDetect() override;
  int SendEraseCmd(u32 start, u32 size) override;
  int SendWritePageCmd(u32 address, const BYTE* page) override;
  int SendReadPageCmd(u32 address, BYTE* out) override;
  int SendPageChecksumCmd(u32 /*address*/, BYTE /*count*/, BYTE /*checksum*/) override {
    return kStatusChecksumOk;
  }
  int SendAllDataChecksumCmd(u32 /*start*/, const BYTE* /*image*/, u32 /*size*/) override {
    return kStatusChecksumOk;
  }
  int SendCmd99() override;

 private:
  // 55 AA command n payload B5; returns the frame length.
  static u32 BuildK55Frame(BYTE command, const BYTE* payload, BYTE n, BYTE* frame);
  // One handshake loop; FALSE with *stop set when the handshake must end.
  BOOL HandshakeLoop(int loop, BOOL* stop);
};
