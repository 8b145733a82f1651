#pragma once
// The test and tool side of the bridge library: what is plugged in and what
// chip sits on the bus, the transfer log, injected faults, the chip's flash,
// and the seam through which plug and unplug reach the registered window.
// Every call takes the library's lock, so it is safe beside running QV_ calls.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/wintypes.h"
#include "platform/ostrelusb/notification.h"
#include "sim/i2c_control_board.h"

namespace ostrelusb {

struct BoardConfig {
  bool plugged = true;
  qv::sim::ChipConfig chip;
};

// The configuration file of the program folder, "OstrelUsb.ini", which the
// library reads when it is first used. A missing file or key keeps the
// default of BoardConfig; board_config.cpp shows the keys.
inline constexpr const char* kConfigFileName = "OstrelUsb.ini";
BoardConfig LoadBoardConfig(const std::string& iniPath);

// The plug file of the program folder: its first word, "plug" or "unplug",
// is the state the board takes, looked at every kPlugFilePeriodMs by the
// board's own thread once a window has registered (so that a person or a
// script can plug and unplug the board under a running program):
//   echo unplug > OstrelUsb.plug; sleep 1; echo plug > OstrelUsb.plug
inline constexpr const char* kPlugFileName = "OstrelUsb.plug";
inline constexpr unsigned kPlugFilePeriodMs = 100;

// Starts afresh with this board: any open handle becomes stale, a new chip with
// blank flash, power-on settings, no faults, empty logs, no registered window
// and no sink. No notification is sent.
void Configure(const BoardConfig& config);

// Plugging in a board that is out, or pulling one that is in, tells the sink
// (notification.h) the registered window and DBT_DEVICEARRIVAL or
// DBT_DEVICEREMOVECOMPLETE. Unplugging makes the
// open handle stale and powers the board off.
void Plug();
void Unplug();
bool IsPlugged();
bool IsOpen();

// Every QV_IIC_IO that reached the board (a bad handle does not), in order.
std::vector<qv::sim::I2cTransfer> Transfers();
// The levels driven on the board I/O line, in order.
std::vector<BYTE> IoLineLog();
// The opens, closes and set-up calls (interface, slave address, byte delay,
// I2C configuration, the two voltages) that reached the board, in order; a
// call on a stale or closed handle does not.
std::vector<qv::sim::BoardCall> Calls();
// Those three logs' entries in the order they came, each with its time.
std::vector<qv::sim::BoardEvent> Timeline();
void ClearLogs();

// Injected codes are returned by QV_IIC_IO as given, also a negative one, so
// that tests can play a bridge that breaks the library's own rules.
void InjectFault(const qv::sim::BoardFault& fault);
// The chip's next sum answers (-1: all) are wrong.
void InjectWrongSum(int times);
void ClearFaults();

// The chip's whole flash (empty when no chip is on the bus).
std::vector<BYTE> ReadFlash();
// false when the bytes do not fit into the flash at that address.
bool WriteFlash(u32 address, const std::vector<BYTE>& bytes);
bool ChipInIspMode();
qv::sim::BoardSettings Settings();

void* RegisteredWindow();
std::array<HANDLE, 2> RegisteredEvents();

// Anything else, under the lock. fn must not call the library.
void WithBoard(const std::function<void(qv::sim::ControlBoard&)>& fn);

}  // namespace ostrelusb
