#pragma once
// The one interface through which the tool programs a chip. Every operation
// has a default body, so that a back end overrides only what its protocol needs.

#include "platform/core/wintypes.h"

// Status of the serial operations: the reply's status byte, or kStatusNoReply.
inline constexpr int kStatusAck = 0xA4;
inline constexpr int kStatusChecksumOk = 0xA5;
inline constexpr int kStatusChecksumFail = 0xA6;
inline constexpr int kStatusFrameChecksumError = 0xE1;
inline constexpr int kStatusNoReply = -1;

// Result of an I2C operation when no bridge device is open.
inline constexpr int kI2cNoDevice = 3;

class CCommonInterface {
 public:
  virtual ~CCommonInterface() = default;

  virtual BOOL ProceseBeforeEraseAndWrite() { return TRUE; }
  virtual BOOL ProcessAfterEraseAndWrite() { return TRUE; }
  virtual int GetPageSize() { return 128; }
  virtual void ConvertPageByteOrder(BYTE* /*page*/, int /*length*/) {}
  virtual BOOL IsReadSupported() { return FALSE; }
  virtual BOOL IsPasswordRequired() { return FALSE; }
  virtual BOOL IsWriteAddressSupported() { return TRUE; }
  virtual int SendKeyinPasswordCmd(u32 /*password*/) { return kStatusAck; }
  virtual int GetFileHeaderSize() { return 0; }
  virtual int GetFileTrailerSize() { return 0; }
  virtual int GetBootLoaderSizeKB() { return 4; }
  // The bytes from address 0 that the back end's frames can address, so
  // that a job or a read reaching past them fails instead of wrapping round
  // onto the start of the flash: 16-bit byte addresses unless a family has
  // others.
  virtual unsigned long long GetAddressSpaceSize() { return 1ull << 16; }
};
