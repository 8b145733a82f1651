#pragma once
// A serial port in memory: it records what the back end does to it and hands
// back whatever the test (or a simulated chip answering each frame) feeds it.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/core/wintypes.h"
#include "platform/serial/serial_port.h"

namespace qv {

class FakeSerialPort : public ISerialPort {
 public:
  struct ConfigureCall {
    u32 baud;
    bool rtsEnable;
  };
  // Times are those of the clock in force (a virtual one in most tests), so
  // that a test sees the pauses between the back end's calls.
  struct TimedWrite {
    std::vector<BYTE> frame;
    u32 timeoutMs;
    std::uint64_t atMs;
  };
  struct TimedWait {
    u32 count;
    u32 timeoutMs;
    std::uint64_t atMs;
  };
  struct TimedRts {
    bool high;
    std::uint64_t atMs;
  };
  using WriteHandler = std::function<void(const std::vector<BYTE>&)>;

  // ISerialPort
  bool Open(u32 portNumber) override;
  void Close() override;
  bool IsOpen() const override;
  bool Configure(u32 baud, bool rtsEnable) override;
  void Purge() override;
  int QueuedInput() override;
  int ReadQueued(BYTE* data, u32 max) override;
  bool Write(const BYTE* data, u32 length, u32 timeoutMs) override;
  bool WaitForInput(u32 count, u32 timeoutMs) override;
  void SetRts(bool high) override;

  // Input side: bytes that the port will deliver, in order.
  void Feed(const std::vector<BYTE>& bytes);
  // Called with every frame written (after it is recorded), outside the
  // port's lock, so that it may Feed the answer.
  void OnWrite(WriteHandler handler);

  // What happened so far.
  std::vector<std::vector<BYTE>> Frames() const;
  std::vector<bool> RtsCalls() const;  // true = raised
  std::vector<ConfigureCall> ConfigureCalls() const;
  std::vector<u32> OpenCalls() const;   // port numbers, failed opens included
  std::vector<u32> ReadSizes() const;   // the max asked of each ReadQueued that took bytes
  // The frames again, with the time-out each write was given and its time.
  std::vector<TimedWrite> Writes() const;
  // Every wait for input that found too few bytes queued: the count and the
  // time-out it was asked for, and when.
  std::vector<TimedWait> Waits() const;
  std::vector<TimedRts> RtsTimes() const;
  int CloseCount() const;
  int PurgeCount() const;
  std::size_t Pending() const;          // bytes fed and not yet read
  void ClearRecord();                   // forgets every record but the bytes still queued

  // Faults.
  void FailOpen(bool fail);
  void FailConfigure(bool fail);
  void FailWrite(bool fail);     // Write refuses at once
  void TimeOutWrite(bool fail);  // Write takes its whole time-out and fails
  void Vanish();                 // the device is unplugged: I/O fails, QueuedInput is -1

 private:
  mutable std::mutex m_;
  std::condition_variable cv_;
  bool open_ = false;
  bool gone_ = false;
  bool failOpen_ = false;
  bool failConfigure_ = false;
  bool failWrite_ = false;
  bool timeOutWrite_ = false;
  std::vector<BYTE> input_;
  std::size_t readPos_ = 0;
  WriteHandler onWrite_;
  std::vector<std::vector<BYTE>> frames_;
  std::vector<TimedWrite> writes_;
  std::vector<TimedWait> waits_;
  std::vector<TimedRts> rtsTimes_;
  std::vector<bool> rts_;
  std::vector<ConfigureCall> configures_;
  std::vector<u32> opens_;
  std::vector<u32> readSizes_;
  int closes_ = 0;
  int purges_ = 0;
};

}  // namespace qv
