#include "platform/core/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace qv {

namespace {

class SteadyClock : public Clock {
 public:
  std::uint64_t NowMs() override {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }
  void SleepMs(DWORD ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

std::atomic<Clock*> g_clock{nullptr};

}  // namespace

Clock& RealClock() {
  static SteadyClock clock;
  return clock;
}

std::uint64_t VirtualClock::NowMs() { return now_; }
void VirtualClock::SleepMs(DWORD ms) { now_ += ms; }
void VirtualClock::Advance(std::uint64_t ms) { now_ += ms; }

Clock& CurrentClock() {
  Clock* c = g_clock.load(std::memory_order_acquire);
  return c ? *c : RealClock();
}

void SetClock(Clock* clock) { g_clock.store(clock, std::memory_order_release); }

}  // namespace qv

DWORD GetTickCount() { return static_cast<DWORD>(qv::CurrentClock().NowMs()); }

void Sleep(DWORD ms) { qv::CurrentClock().SleepMs(ms); }
