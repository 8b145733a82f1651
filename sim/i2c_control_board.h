#pragma once
// The simulated Control Board: the USB-to-I2C bridge with one I2C chip on its
// bus. It keeps the settings the host gave it, drives the board I/O line (a
// low-high pulse resets the chip into its ISP mode), routes each transfer to
// the chip at the current slave address, logs every transfer and plays the
// faults a test injects. Not locked: its owner serialises the calls.

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/core/wintypes.h"
#include "sim/i2c_chip.h"

namespace qv::sim {

// Results of a board operation.
inline constexpr int kBoardOk = 0;
inline constexpr int kBoardBadArgument = 4;
inline constexpr int kBoardNack = 5;      // no chip acknowledged at the slave address
inline constexpr int kBoardBusError = 6;  // what an injected fault answers unless told otherwise

enum class ChipFamily { kNone, kPage128, k7T0 };

struct ChipConfig {
  ChipFamily family = ChipFamily::k7T0;
  u32 flashSizeK = 64;
  BYTE slaveAddr = 0x70;
};

// What the host last set on the board (power-on values here).
struct BoardSettings {
  BYTE interface = 0;
  BYTE slaveAddr = 0;
  BYTE byteDelay = 0;
  BYTE i2cConf = 0;
  BYTE vccCode = 0;
  BYTE ioVccCode = 0;
  BYTE ioLevel = 1;
};

struct I2cTransfer {
  BYTE slaveAddr = 0;
  BYTE byteDelay = 0;            // the byte delay in force during the transfer
  std::vector<BYTE> written;     // the write part (empty for a read-only transfer)
  u32 readCount = 0;             // the read part's length
  std::vector<BYTE> readBack;    // what the read part delivered (empty when it failed)
  int result = kBoardOk;
};

// One call of the host that opened, closed or set up the board, with the
// values it passed (the handle left out).
struct BoardCall {
  std::string name;
  std::vector<int> args;
  bool operator==(const BoardCall&) const = default;
};

// One entry per call, line level and transfer that reached the board, in the
// order they came, with the time of the clock in force.
struct BoardEvent {
  enum class Kind { kCall, kIoLine, kTransfer };
  Kind kind;
  std::size_t index;  // into Calls(), IoLineLog() or Transfers()
  std::uint64_t atMs;
};

inline std::ostream& operator<<(std::ostream& os, const BoardCall& call) {
  os << call.name;
  for (int a : call.args) os << ' ' << a;
  return os;
}

enum class FaultTarget { kAnyTransfer, kWriteTransfer, kReadTransfer, kBoardIo };

// Lets `skip` matching operations pass, then fails the next `times` of them
// (-1: every one from then on; 0: none) with `code`, before the chip sees
// anything.
struct BoardFault {
  FaultTarget target = FaultTarget::kAnyTransfer;
  int skip = 0;
  int times = 1;
  int code = kBoardBusError;
};

class ControlBoard {
 public:
  explicit ControlBoard(const ChipConfig& chip = {});

  // A new chip (blank flash) in place of the old one.
  void SetChip(const ChipConfig& chip);
  // nullptr when the family is kNone.
  I2cChip* Chip() { return m_pChip.get(); }
  const ChipConfig& ChipConfiguration() const { return m_chip; }

  // The board loses power: power-on settings, the chip leaves its ISP mode.
  void PowerOff();

  BoardSettings& Settings() { return m_settings; }

  // Write part first, then the read part; either may be empty (not both).
  int Transfer(const BYTE* write, u32 writeCount, BYTE* read, u32 readCount);
  int SetIoLine(BYTE level);

  void InjectFault(const BoardFault& fault) { m_faults.push_back(fault); }
  void ClearFaults() { m_faults.clear(); }

  const std::vector<I2cTransfer>& Transfers() const { return m_transfers; }
  const std::vector<BYTE>& IoLineLog() const { return m_ioLog; }
  void LogCall(BoardCall call);
  const std::vector<BoardCall>& Calls() const { return m_calls; }
  const std::vector<BoardEvent>& Timeline() const { return m_timeline; }
  void ClearLogs();

 private:
  // The code of the fault that takes this operation, or kBoardOk.
  int TakeFault(bool isWrite, bool isRead, bool isIo);
  int Route(const BYTE* write, u32 writeCount, BYTE* read, u32 readCount);
  // Enters entry index of a log into the timeline, at the clock's time.
  void Note(BoardEvent::Kind kind, std::size_t index);

  ChipConfig m_chip;
  std::unique_ptr<I2cChip> m_pChip;
  BoardSettings m_settings;
  std::vector<BoardFault> m_faults;
  std::vector<I2cTransfer> m_transfers;
  std::vector<BYTE> m_ioLog;
  std::vector<BoardCall> m_calls;
  std::vector<BoardEvent> m_timeline;
};

}  // namespace qv::sim
