#pragma once
// Puts a simulated UART chip on the master side of a pseudo-terminal, so that
// the port layer opens the slave like any serial port. One thread reads the
// host's bytes and hands them to the chip; after a quiet spell on the line it
// tells the chip (LineIdle) and calls the idle hook. Every use of the chip
// from another thread goes through Access, under the runner's lock. A line
// that a vanished host left exclusive is made usable again for the next one.

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/core/wintypes.h"
#include "sim/uart_chip.h"

namespace qv::sim {

class UartPtyRunner {
 public:
  using ChipFunction = std::function<void(UartChip&)>;

  explicit UartPtyRunner(UartChip& chip, u32 idleGapMs = 5);
  ~UartPtyRunner();
  UartPtyRunner(const UartPtyRunner&) = delete;
  UartPtyRunner& operator=(const UartPtyRunner&) = delete;

  // Opens the pseudo-terminal and starts the thread; false when the pty
  // cannot be made.
  bool Start();
  // Ends the thread by request and joins it. The pty stays until destruction.
  void Stop();

  const std::string& SlavePath() const { return m_slavePath; }
  // Makes linkPath a symbolic link to the slave (replacing what was there).
  bool LinkAs(const std::string& linkPath) const;

  // Runs fn on the chip under the runner's lock.
  void Access(const ChipFunction& fn);
  // Called on the runner's thread, under the lock, after each quiet spell that
  // followed input.
  void SetIdleHook(ChipFunction hook);

 private:
  // How often a quiet line is looked at for a host that vanished.
  static constexpr u32 kStaleLineCheckMs = 100;

  void Run();
  void Send(const BYTE* data, std::size_t size);
  // Clears the exclusive flag that a host which no longer holds the port left.
  void ReleaseStaleLine();

  UartChip& m_chip;
  u32 m_nIdleGapMs;
  std::mutex m_lock;
  ChipFunction m_idleHook;
  int m_master = -1;
  int m_slave = -1;
  int m_wake[2] = {-1, -1};
  std::string m_slavePath;
  std::thread m_thread;
  std::atomic<bool> m_bStop{false};
};

}  // namespace qv::sim
