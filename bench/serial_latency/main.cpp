// How soon a read of a 6-byte reply returns once its last byte is on the
// line: a chip thread on the pty's far end answers each request with five
// bytes, pauses, stamps the clock and sends the sixth.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "isp/com_base.h"
#include "tests/support/pty_fixture.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr u32 kCom = 7;
constexpr int kExchanges = 1000;

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(SteadyClock::now().time_since_epoch()).count();
}

class Chip {
 public:
  explicit Chip(const qv::PtyPair& pty) : pty_(pty), thread_([this] { Run(); }) {}
  ~Chip() {
    stop_.store(true, std::memory_order_release);
    thread_.join();
  }
  std::int64_t LastByteNs() const { return lastByteNs_.load(std::memory_order_acquire); }

 private:
  void Run() {
    while (!stop_.load(std::memory_order_acquire)) {
      pollfd p{pty_.MasterFd(), POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      if (pty_.ReadFromPort(1, 100).empty()) continue;
      pty_.WriteToPort({0xA4, 0x00, 0x00, 0x00, 0x00});
      std::this_thread::sleep_for(std::chrono::microseconds(300));
      lastByteNs_.store(NowNs(), std::memory_order_release);
      pty_.WriteToPort({0xA4});
    }
  }

  const qv::PtyPair& pty_;
  std::atomic<bool> stop_{false};
  std::atomic<std::int64_t> lastByteNs_{0};
  std::thread thread_;
};

double PercentileUs(std::vector<std::int64_t> ns, double p) {
  std::sort(ns.begin(), ns.end());
  size_t i = static_cast<size_t>(p * static_cast<double>(ns.size() - 1) + 0.5);
  return static_cast<double>(ns[i]) / 1000.0;
}

}  // namespace

int main() {
  qv::TempProgramFolder folder;
  qv::PtyPair pty;
  if (!folder.Ok() || !pty.Ok() || !pty.LinkAsCom(folder.Path(), kCom)) {
    std::fprintf(stderr, "no pty\n");
    return 1;
  }
  CCOMBase com;
  if (com.Init(kCom, 115200, kCom, FALSE) != 1) {
    std::fprintf(stderr, "Init failed\n");
    return 1;
  }
  Chip chip(pty);
  std::vector<std::int64_t> latencies;
  latencies.reserve(kExchanges);
  int failures = 0;
  for (int i = 0; i < kExchanges; ++i) {
    const BYTE ask = 0x55;
    BYTE reply[6];
    u32 length = sizeof reply;
    if (!com.DoWriteDataBlockToCOM(&ask, 1, 500) || !com.DoReadDataBlockFromCOM(reply, &length, 500)) {
      ++failures;
      continue;
    }
    latencies.push_back(NowNs() - chip.LastByteNs());
  }
  if (latencies.empty()) {
    std::fprintf(stderr, "no exchange succeeded\n");
    return 1;
  }
  std::printf("serial read latency over %zu exchanges (%d failed): median %.1f us, p99 %.1f us"
              " (goal: median < 200 us)\n",
              latencies.size(), failures, PercentileUs(latencies, 0.5), PercentileUs(latencies, 0.99));
  return 0;
}
