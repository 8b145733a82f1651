// bench_uart_pages: each UART back end writes pages into its simulated chip
// through a pseudo-terminal. Prints pages per second and the median host
// time of one request/reply exchange (goal: under 0.5 ms).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "isp/com_base_k55.h"
#include "isp/com_base_w24a.h"
#include "sim/uart_generic_chip.h"
#include "sim/uart_k55_chip.h"
#include "sim/uart_pty_runner.h"
#include "sim/uart_w24a_chip.h"
#include "tests/support/pty_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr u32 kCom = 9;
constexpr int kExchanges = 2000;

struct Family {
  const char* name;
  std::function<std::unique_ptr<qv::sim::UartChip>()> chip;
  std::function<std::unique_ptr<CCOMBase>()> backend;
  int pages;
  // One exchange of a frame and its reply, the cheapest the family has.
  std::function<int(CCOMBase&)> exchange;
};

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

bool Run(const Family& f) {
  qv::TempProgramFolder folder;
  auto chip = f.chip();
  qv::sim::UartPtyRunner runner(*chip);
  if (!folder.Ok() || !runner.Start() || !runner.LinkAs(folder.PortsPath() + "/COM" + std::to_string(kCom))) {
    std::fprintf(stderr, "%s: no pty\n", f.name);
    return false;
  }
  auto b = f.backend();
  if (b->Init(kCom, 115200, kCom, FALSE) != 1 || !b->AutoBautRateDetect() || !b->ProceseBeforeEraseAndWrite() ||
      b->SendEraseCmd(0, static_cast<u32>(f.pages * b->GetPageSize())) != kStatusAck ||
      (b->IsPasswordRequired() && b->SendKeyinPasswordCmd(qv::sim::UartK55Chip::kDefaultPassword) != kStatusAck)) {
    std::fprintf(stderr, "%s: the chip did not take the set-up\n", f.name);
    return false;
  }
  const u32 pageSize = static_cast<u32>(b->GetPageSize());
  std::vector<BYTE> page(pageSize, 0x5A);
  const auto start = Clock::now();
  for (int i = 0; i < f.pages; ++i) {
    if (b->SendWritePageCmd(static_cast<u32>(i) * pageSize, page.data()) != kStatusAck) {
      std::fprintf(stderr, "%s: page %d refused\n", f.name, i);
      return false;
    }
  }
  const double pagesMs = Ms(Clock::now() - start);

  std::vector<double> samples;
  samples.reserve(kExchanges);
  for (int i = 0; i < kExchanges; ++i) {
    const auto t0 = Clock::now();
    if (f.exchange(*b) < 0) {
      std::fprintf(stderr, "%s: exchange %d had no reply\n", f.name, i);
      return false;
    }
    samples.push_back(Ms(Clock::now() - t0));
  }
  std::sort(samples.begin(), samples.end());
  std::printf("%-8s %5d pages of %4u bytes: %8.0f pages/s %8.1f KB/s; exchange median %.3f ms, p99 %.3f ms\n",
              f.name, f.pages, pageSize, f.pages / (pagesMs / 1000.0), f.pages * pageSize / 1024.0 / (pagesMs / 1000.0),
              samples[samples.size() / 2], samples[samples.size() * 99 / 100]);
  runner.Stop();
  return true;
}

}  // namespace

int main() {
  const Family families[] = {
      {"generic", [] { return std::make_unique<qv::sim::UartGenericChip>(); },
       [] { return std::make_unique<CCOMBase>(); }, 480,
       [](CCOMBase& b) { return b.SendPageChecksumCmd(0, 1, 0); }},
      {"w24a", [] { return std::make_unique<qv::sim::UartW24aChip>(); },
       [] { return std::make_unique<CCOMBaseW24A>(); }, 120,
       [](CCOMBase& b) { return b.ProcessAfterEraseAndWrite() ? kStatusAck : -1; }},
      {"k55", [] { return std::make_unique<qv::sim::UartK55Chip>(); },
       [] { return std::make_unique<CCOMBaseK55>(); }, 2000,
       [](CCOMBase& b) { return b.SendKeyinPasswordCmd(qv::sim::UartK55Chip::kDefaultPassword); }},
  };
  bool ok = true;
  for (const Family& f : families) ok = Run(f) && ok;
  return ok ? 0 : 1;
}
