#include "tests/support/fake_serial_port.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/core/clock.h"

namespace qv {

bool FakeSerialPort::Open(u32 portNumber) {
  std::lock_guard<std::mutex> lock(m_);
  opens_.push_back(portNumber);
  if (failOpen_ || gone_) return false;
  open_ = true;
  return true;
}

void FakeSerialPort::Close() {
  std::lock_guard<std::mutex> lock(m_);
  if (!open_) return;
  open_ = false;
  ++closes_;
  cv_.notify_all();
}

bool FakeSerialPort::IsOpen() const {
  std::lock_guard<std::mutex> lock(m_);
  return open_;
}

bool FakeSerialPort::Configure(u32 baud, bool rtsEnable) {
  std::lock_guard<std::mutex> lock(m_);
  configures_.push_back({baud, rtsEnable});
  return open_ && !gone_ && !failConfigure_;
}

void FakeSerialPort::Purge() {
  std::lock_guard<std::mutex> lock(m_);
  ++purges_;
  input_.clear();
  readPos_ = 0;
}

int FakeSerialPort::QueuedInput() {
  std::lock_guard<std::mutex> lock(m_);
  if (gone_) return -1;
  if (!open_) return 0;
  return static_cast<int>(input_.size() - readPos_);
}

int FakeSerialPort::ReadQueued(BYTE* data, u32 max) {
  std::lock_guard<std::mutex> lock(m_);
  if (gone_ || !open_) return -1;
  std::size_t n = std::min<std::size_t>(max, input_.size() - readPos_);
  if (n == 0) return 0;
  std::memcpy(data, input_.data() + readPos_, n);
  readPos_ += n;
  readSizes_.push_back(max);
  if (readPos_ == input_.size()) {
    input_.clear();
    readPos_ = 0;
  }
  return static_cast<int>(n);
}

bool FakeSerialPort::Write(const BYTE* data, u32 length, u32 timeoutMs) {
  std::vector<BYTE> frame(data, data + length);
  WriteHandler handler;
  bool timesOut = false;
  {
    std::lock_guard<std::mutex> lock(m_);
    if (!open_ || gone_ || failWrite_) return false;
    timesOut = timeOutWrite_;
    if (!timesOut) {
      frames_.push_back(frame);
      writes_.push_back({frame, timeoutMs, CurrentClock().NowMs()});
      handler = onWrite_;
    }
  }
  if (timesOut) {
    // A write that never completes holds the writer for its whole time-out.
    CurrentClock().SleepMs(timeoutMs);
    return false;
  }
  if (handler) handler(frame);
  return true;
}

bool FakeSerialPort::WaitForInput(u32 count, u32 timeoutMs) {
  std::unique_lock<std::mutex> lock(m_);
  auto ready = [&] { return gone_ || !open_ || input_.size() - readPos_ >= count; };
  if (!ready()) {
    waits_.push_back({count, timeoutMs, CurrentClock().NowMs()});
    if (CurrentClock().IsVirtual()) {
      lock.unlock();
      CurrentClock().SleepMs(timeoutMs);
      lock.lock();
    } else {
      cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
    }
  }
  return open_ && !gone_ && input_.size() - readPos_ >= count;
}

void FakeSerialPort::SetRts(bool high) {
  std::lock_guard<std::mutex> lock(m_);
  if (open_) {
    rts_.push_back(high);
    rtsTimes_.push_back({high, CurrentClock().NowMs()});
  }
}

void FakeSerialPort::Feed(const std::vector<BYTE>& bytes) {
  std::lock_guard<std::mutex> lock(m_);
  input_.insert(input_.end(), bytes.begin(), bytes.end());
  cv_.notify_all();
}

void FakeSerialPort::OnWrite(WriteHandler handler) {
  std::lock_guard<std::mutex> lock(m_);
  onWrite_ = std::move(handler);
}

std::vector<std::vector<BYTE>> FakeSerialPort::Frames() const {
  std::lock_guard<std::mutex> lock(m_);
  return frames_;
}

std::vector<bool> FakeSerialPort::RtsCalls() const {
  std::lock_guard<std::mutex> lock(m_);
  return rts_;
}

std::vector<FakeSerialPort::ConfigureCall> FakeSerialPort::ConfigureCalls() const {
  std::lock_guard<std::mutex> lock(m_);
  return configures_;
}

std::vector<u32> FakeSerialPort::OpenCalls() const {
  std::lock_guard<std::mutex> lock(m_);
  return opens_;
}

std::vector<u32> FakeSerialPort::ReadSizes() const {
  std::lock_guard<std::mutex> lock(m_);
  return readSizes_;
}

std::vector<FakeSerialPort::TimedWrite> FakeSerialPort::Writes() const {
  std::lock_guard<std::mutex> lock(m_);
  return writes_;
}

std::vector<FakeSerialPort::TimedWait> FakeSerialPort::Waits() const {
  std::lock_guard<std::mutex> lock(m_);
  return waits_;
}

std::vector<FakeSerialPort::TimedRts> FakeSerialPort::RtsTimes() const {
  std::lock_guard<std::mutex> lock(m_);
  return rtsTimes_;
}

int FakeSerialPort::CloseCount() const {
  std::lock_guard<std::mutex> lock(m_);
  return closes_;
}

int FakeSerialPort::PurgeCount() const {
  std::lock_guard<std::mutex> lock(m_);
  return purges_;
}

std::size_t FakeSerialPort::Pending() const {
  std::lock_guard<std::mutex> lock(m_);
  return input_.size() - readPos_;
}

void FakeSerialPort::ClearRecord() {
  std::lock_guard<std::mutex> lock(m_);
  frames_.clear();
  writes_.clear();
  waits_.clear();
  rtsTimes_.clear();
  rts_.clear();
  configures_.clear();
  opens_.clear();
  readSizes_.clear();
  closes_ = 0;
  purges_ = 0;
}

void FakeSerialPort::FailOpen(bool fail) {
  std::lock_guard<std::mutex> lock(m_);
  failOpen_ = fail;
}

void FakeSerialPort::FailConfigure(bool fail) {
  std::lock_guard<std::mutex> lock(m_);
  failConfigure_ = fail;
}

void FakeSerialPort::FailWrite(bool fail) {
  std::lock_guard<std::mutex> lock(m_);
  failWrite_ = fail;
}

void FakeSerialPort::TimeOutWrite(bool fail) {
  std::lock_guard<std::mutex> lock(m_);
  timeOutWrite_ = fail;
}

void FakeSerialPort::Vanish() {
  std::lock_guard<std::mutex> lock(m_);
  gone_ = true;
  cv_.notify_all();
}

}  // namespace qv
