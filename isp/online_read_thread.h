#pragma once
// The Read page's reader: a worker that polls every 50 ms for a read request
// and reads the chip's flash, over the serial back end or over the bridge,
// into a buffer of its own, reporting to the page by sending (not posting)
// WM_ISP_PROGRESS, so that the page handles each message while the reader
// waits for it.

#include <functional>
#include <vector>

#include "isp/worker_thread.h"
#include "platform/core/cstring.h"
#include "platform/core/wintypes.h"

// What the page has checked and hands to the reader: the first address, the
// byte count, the back end's page count for it, and the password text taken
// from the edit on the UI thread (sent when not empty).
struct CReadRequest {
  u32 start = 0;
  int size = 0;
  int pages = 0;
  CString password;
};

// The bytes from address 0 that a read over the engine's interface can reach
// without its addresses wrapping round: the serial back end's address space,
// or the bridge's 16-bit read window above its base. 0 without that back end.
unsigned long long ReadAddressLimit();

class CReadOwner {
 public:
  virtual ~CReadOwner() = default;
  // Sends WM_ISP_PROGRESS (stage, value) to the page and returns once the
  // page has handled it.
  virtual void SendProgress(WPARAM stage, LPARAM value) = 0;
};

class COnlineReadThread : public CWorkerThread {
 public:
  explicit COnlineReadThread(CReadOwner* owner);
  ~COnlineReadThread() override;

  // Hands a read to the reader. FALSE, changing nothing, while a read is
  // pending or running (its buffer is in use) or when the buffer cannot be had.
  BOOL SetRequest(const CReadRequest& request);
  // TRUE from SetRequest until the read has ended, with or without success.
  bool IsReading() const { return GetJobFlag() != 0; }

  // The bytes of the last read, all of them (also 64 KB and more): valid while
  // the page handles kProgressReadData and whenever no read is pending.
  const BYTE* Data() const { return m_buffer.data(); }
  int Size() const { return static_cast<int>(m_buffer.size()); }

  void Run() override { ServeJobs(kReadPollMs); }

  // The reads; TRUE after a complete read. A failure sends kProgressReadError
  // where the page is told, nothing when the port did not open or the reader
  // is being stopped.
  BOOL ReadChipOverUart();
  BOOL ReadChipOverBridge();

  static constexpr DWORD kReadPollMs = 50;
  // The largest step a read makes: the bridge's 128-byte blocks.
  static constexpr int kPageBufSize = 200;

 protected:
  void RunJob() override;

 private:
  // Runs body, which throws a failure code; after a complete read sends the
  // last percent and the read-data code.
  BOOL RunRead(const std::function<void()>& body);
  // Reads the request in steps of step bytes into the buffer through
  // readStep (address, byte count), which leaves the bytes in m_byPageBuf;
  // a step but the last is tried again once. onFail (step index) hears of a
  // step that failed before the read ends with failure code 21.
  void ReadInSteps(int step, int steps, const std::function<bool(u32, int)>& readStep,
                   const std::function<void(int)>& onFail);

  CReadOwner* m_pOwner;
  CReadRequest m_request;
  std::vector<BYTE> m_buffer;
  BYTE m_byPageBuf[kPageBufSize] = {};
};
