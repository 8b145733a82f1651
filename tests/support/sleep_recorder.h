#pragma once
// A virtual clock, installed for its lifetime, that keeps every sleep it was
// asked for (the timed waits of events and the fake port's waits included),
// so that a test sees each pause a back end or a job takes.

#include <mutex>
#include <vector>

#include "platform/core/clock.h"

namespace qv {

class SleepRecorder : public VirtualClock {
 public:
  SleepRecorder() { SetClock(this); }
  ~SleepRecorder() override { SetClock(nullptr); }
  SleepRecorder(const SleepRecorder&) = delete;
  SleepRecorder& operator=(const SleepRecorder&) = delete;

  void SleepMs(DWORD ms) override {
    {
      std::lock_guard<std::mutex> lock(m_);
      sleeps_.push_back(ms);
    }
    VirtualClock::SleepMs(ms);
  }
  std::vector<DWORD> Sleeps() const {
    std::lock_guard<std::mutex> lock(m_);
    return sleeps_;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(m_);
    sleeps_.clear();
  }

 private:
  mutable std::mutex m_;
  std::vector<DWORD> sleeps_;
};

}  // namespace qv
