#pragma once
// The serial back end for chips with 128-byte pages: the port layer and the
// generic UART ISP protocol. CCOMBaseW24A and CCOMBaseK55 derive from it.

#include <memory>

#include "isp/common_interface.h"
#include "platform/core/sync.h"
#include "platform/serial/serial_port.h"

class CCOMBase : public CCommonInterface {
 public:
  // The port is the operating system's unless a test hands in another.
  explicit CCOMBase(std::unique_ptr<qv::ISerialPort> port = qv::CreateSystemSerialPort());
  ~CCOMBase() override;
  CCOMBase(const CCOMBase&) = delete;
  CCOMBase& operator=(const CCOMBase&) = delete;

  // Common operations that the generic protocol overrides.
  void ConvertPageByteOrder(BYTE* page, int length) override;

  // Protocol operations of the serial back ends.
  virtual int WaitCmdStatus(BYTE command);
  virtual BOOL AutoBautRateDetect();
  virtual int SendEraseCmd(u32 start, u32 size);
  virtual int SendWritePageCmd(u32 address, const BYTE* page);
  virtual int SendReadPageCmd(u32 address, BYTE* out);
  virtual int SendPageChecksumCmd(u32 address, BYTE count, BYTE checksum);
  virtual int SendAllDataChecksumCmd(u32 start, const BYTE* image, u32 size);
  virtual int SendCmd99();

  // Port layer.
  BOOL Init(u32 port, u32 baud, u32 ignored, BOOL rtsEnable);
  void FlushInput();
  BOOL DoWriteDataBlockToCOM(const BYTE* data, u32 length, u32 timeoutMs);
  BOOL DoReadDataBlockFromCOM(BYTE* data, u32* length, u32 timeoutMs);
  BOOL IsOpen() const;
  void SetRts(BOOL high);
  void ResetTargetByRts();

  u32 GetPortNumber() const { return m_nPort; }
  u32 GetChecksumMode() const { return m_nChecksumMode; }

 protected:
  // Builds 55 AA command n payload checksum in the current checksum mode.
  // Returns the frame length.
  u32 BuildFrame(BYTE command, const BYTE* payload, BYTE n, BYTE* frame) const;
  // The same in a given checksum mode (the W24A frames always use mode 0).
  static u32 BuildFrameInMode(u32 mode, BYTE command, const BYTE* payload, BYTE n, BYTE* frame);
  // Writes a frame and reads the reply to command: -1 when the write fails,
  // else WaitCmdStatus(command).
  int SendFrameForStatus(const BYTE* frame, u32 length, u32 timeoutMs, BYTE command);
  // One erase frame of the 16-bit start and size, with its second try in the
  // other checksum form.
  int SendEraseFrame(u32 start, u32 size);
  // Reads as many bytes as are queued, at least 1 and at most 250, within
  // timeoutMs. Returns the count read, 0 when they did not come.
  u32 ReadQueuedBurst(BYTE* buffer, u32 timeoutMs);
  // Logs "Index: %d Recevied: %02d" for each byte up to the first that equals
  // wanted; TRUE when it came.
  static BOOL LogBytesUntil(const BYTE* bytes, u32 count, BYTE wanted);
  // The second stage of the 0x55/0xA1 handshake: drain, 0xA1, look for 0xA3.
  BOOL FinishBaudHandshake();

  u32 m_nPort = 0;
  std::unique_ptr<qv::ISerialPort> m_pPort;
  HANDLE m_hWriteEvent = nullptr;
  HANDLE m_hReadEvent = nullptr;
  CRITICAL_SECTION m_csWrite;
  u32 m_nChecksumMode = 0;
};
