// bench_job_throughput: one 64 KB write job per back end, timed from the
// job's start to its end. Prints figures only; nothing is asserted.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "isp/bridge_device.h"
#include "isp/com_base.h"
#include "isp/com_base_k55.h"
#include "isp/com_base_w24a.h"
#include "bench/support/bench_engine.h"
#include "isp/engine.h"
#include "isp/online_com_update_thread.h"
#include "isp/online_update_thread.h"
#include "isp/qv_ic_7t0.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "sim/uart_generic_chip.h"
#include "sim/uart_k55_chip.h"
#include "sim/uart_pty_runner.h"
#include "sim/uart_w24a_chip.h"
#include "tests/support/pty_fixture.h"

namespace {

constexpr std::size_t kImageBytes = 64 * 1024;
constexpr double kBaud = 115200.0;
constexpr u32 kCom = 9;

using qv::bench::QuietEngine;

class CountingOwner : public CJobOwner {
 public:
  void PostProgress(WPARAM, LPARAM) override { ++posts; }
  void EnableOwner() override {}
  std::atomic<int> posts{0};
};

// The system port, counting the bytes that cross it.
class CountingPort : public qv::ISerialPort {
 public:
  CountingPort(std::unique_ptr<qv::ISerialPort> inner, std::atomic<unsigned long>* bytes)
      : inner_(std::move(inner)), bytes_(bytes) {}
  bool Open(u32 n) override { return inner_->Open(n); }
  void Close() override { inner_->Close(); }
  bool IsOpen() const override { return inner_->IsOpen(); }
  bool Configure(u32 baud, bool rts) override { return inner_->Configure(baud, rts); }
  void Purge() override { inner_->Purge(); }
  int QueuedInput() override { return inner_->QueuedInput(); }
  int ReadQueued(BYTE* data, u32 max) override {
    const int n = inner_->ReadQueued(data, max);
    if (n > 0) *bytes_ += static_cast<unsigned long>(n);
    return n;
  }
  bool Write(const BYTE* data, u32 length, u32 timeoutMs) override {
    const bool ok = inner_->Write(data, length, timeoutMs);
    if (ok) *bytes_ += length;
    return ok;
  }
  bool WaitForInput(u32 count, u32 timeoutMs) override { return inner_->WaitForInput(count, timeoutMs); }
  void SetRts(bool high) override { inner_->SetRts(high); }

 private:
  std::unique_ptr<qv::ISerialPort> inner_;
  std::atomic<unsigned long>* bytes_;
};

std::vector<BYTE> Image() {
  std::vector<BYTE> image(kImageBytes);
  unsigned x = 12345;
  for (BYTE& b : image) {
    x = x * 1103515245u + 12345u;
    b = static_cast<BYTE>(x >> 16);
  }
  return image;
}

std::string WriteImage(const std::string& folder, std::size_t trailer) {
  std::vector<BYTE> file = Image();
  file.resize(file.size() + trailer, 0);
  const std::string path = folder + "/bench.bin";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f != nullptr) {
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
  }
  return path;
}

// A pty carries bytes at once, so the measured time is the host's (and the
// simulated chip's); the wire time is what a real 115200 baud line adds.
// sleeps: the time the job itself sleeps (the I2C jobs' pacing).
void Report(const char* name, bool ok, double seconds, unsigned long bytes, int pages, double sleeps) {
  const double wire = static_cast<double>(bytes) * 10.0 / kBaud;
  const double overheadMs = (seconds - sleeps) * 1000.0 / pages;
  std::printf("%-13s %-4s %7.3f s %7lu bytes %5d pages  wire@115200 %6.3f s  sleeps %6.3f s  host/page %6.3f ms\n",
              name, ok ? "ok" : "FAIL", seconds, bytes, pages, wire, sleeps, overheadMs);
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

template <class Chip, class BackEnd>
void SerialRun(const char* name, QuietEngine& engine, const std::string& folder, std::size_t trailer) {
  Chip chip;
  qv::sim::UartPtyRunner runner(chip);
  if (!runner.Start() || !runner.LinkAs(folder + "/ports/COM" + std::to_string(kCom))) {
    std::printf("%-14s no pty\n", name);
    return;
  }
  std::atomic<unsigned long> bytes{0};
  auto* com = new BackEnd(std::make_unique<CountingPort>(qv::CreateSystemSerialPort(), &bytes));
  engine.m_nInterface = 0;
  engine.m_pCOMBase = com;
  engine.m_pInterface = com;
  CountingOwner owner;
  COnlineUpdateThread worker(&owner);
  if (!worker.SetJob(WriteImage(folder, trailer).c_str(), 0, FALSE, kDefaultPassword)) return;
  const auto start = std::chrono::steady_clock::now();
  const BOOL ok = worker.UpdateOverCom();
  const double seconds = Seconds(start);
  runner.Stop();
  const int pages = static_cast<int>(kImageBytes / static_cast<std::size_t>(com->GetPageSize()));
  // The handshake's own sleeps (50 ms each) stay in the host figure.
  Report(name, ok != 0, seconds, bytes.load(), pages, 0.0);
  DeleteEngineBackEnds();
}

template <class BackEnd>
void I2cRun(const char* name, qv::sim::ChipFamily family, QuietEngine& engine, const std::string& folder) {
  auto* ic = qv::bench::AttachI2cBackEnd<BackEnd>(engine, family);
  CountingOwner owner;
  COnlineUpdateThread worker(&owner);
  if (!worker.SetJob(WriteImage(folder, 0).c_str(), 0, TRUE, 0)) return;
  const auto start = std::chrono::steady_clock::now();
  const BOOL ok = worker.UpdateOverUsb();
  const double seconds = Seconds(start);
  unsigned long bytes = 0;
  for (const auto& t : ostrelusb::Transfers()) bytes += t.written.size() + t.readCount;
  const int pages = static_cast<int>(kImageBytes / static_cast<std::size_t>(ic->GetPageSize()));
  // The job paces every page to 20 ms and waits 500 + 170 + 520 ms around
  // the erase and the resets: that much of the time is the job's own.
  const double paced = pages * 0.020 + 1.19;
  Report(name, ok != 0, seconds, bytes, pages, paced);
  g_BridgeDevice.SetHandle(nullptr);
  DeleteEngineBackEnds();
}

}  // namespace

int main() {
  qv::TempProgramFolder folder;
  if (!folder.Ok()) return 1;
  QuietEngine engine;
  std::snprintf(engine.m_szAppDir, sizeof engine.m_szAppDir, "%s", folder.Path().c_str());
  engine.m_nComPort = kCom;
  engine.m_nBaudRate = 115200;
  SetEngine(&engine);
  std::printf("64 KB write job per back end\n");
  SerialRun<qv::sim::UartGenericChip, CCOMBase>("CCOMBase", engine, folder.Path(), 0);
  SerialRun<qv::sim::UartW24aChip, CCOMBaseW24A>("CCOMBaseW24A", engine, folder.Path(), 0);
  SerialRun<qv::sim::UartK55Chip, CCOMBaseK55>("CCOMBaseK55", engine, folder.Path(), 0x300);
  I2cRun<CQvIcBase>("CQvIcBase", qv::sim::ChipFamily::kPage128, engine, folder.Path());
  I2cRun<CQvIc7T0>("CQvIc7T0", qv::sim::ChipFamily::k7T0, engine, folder.Path());
  SetEngine(nullptr);
  return 0;
}
