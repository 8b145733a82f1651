#pragma once
// One clock for every tick count, sleep and timed wait of the program, so that
// unit tests can run long failure paths in virtual time.

#include <atomic>
#include <cstdint>

#include "platform/core/wintypes.h"

namespace qv {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start; never goes back.
  virtual std::uint64_t NowMs() = 0;
  virtual void SleepMs(DWORD ms) = 0;
  // A virtual clock advances only when someone sleeps or waits on it.
  virtual bool IsVirtual() const { return false; }
};

// The steady clock of the machine.
Clock& RealClock();

// A clock that moves only by SleepMs or Advance: a sleep returns at once.
class VirtualClock : public Clock {
 public:
  std::uint64_t NowMs() override;
  void SleepMs(DWORD ms) override;
  bool IsVirtual() const override { return true; }
  void Advance(std::uint64_t ms);

 private:
  std::atomic<std::uint64_t> now_{1000};  // not 0, so that a deadline never starts at tick 0
};

// The clock in force; RealClock() unless a test installed another.
Clock& CurrentClock();
// Installs clock (nullptr: back to the real clock). Tests only; not thread-safe
// against running users of the clock.
void SetClock(Clock* clock);

// Scoped installation of a virtual clock in a test.
class ScopedVirtualClock {
 public:
  ScopedVirtualClock() { SetClock(&clock_); }
  ~ScopedVirtualClock() { SetClock(nullptr); }
  ScopedVirtualClock(const ScopedVirtualClock&) = delete;
  ScopedVirtualClock& operator=(const ScopedVirtualClock&) = delete;
  VirtualClock& clock() { return clock_; }

 private:
  VirtualClock clock_;
};

}  // namespace qv

// The Win32 names, on the clock in force.
DWORD GetTickCount();
void Sleep(DWORD ms);
