#include "platform/ostrelusb/OstrelUsb.h"

#include <cstdint>
#include <mutex>
#include <utility>

#include "platform/core/program_folder.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "platform/ostrelusb/plug_file.h"

static_assert(QV_ERR_BAD_ARGUMENT == qv::sim::kBoardBadArgument);
static_assert(QV_ERR_NACK == qv::sim::kBoardNack);
static_assert(QV_ERR_BUS == qv::sim::kBoardBusError);

namespace ostrelusb {

namespace {

class Library {
 public:
  explicit Library(const BoardConfig& config) { Reset(config); }

  std::mutex lock;
  qv::sim::ControlBoard board;
  bool plugged = true;
  bool open = false;
  // Each open gets a new token, so a handle from before a close or an unplug
  // never matches again.
  std::uintptr_t generation = 0;
  void* hwnd = nullptr;
  std::array<HANDLE, 2> events{};
  DeviceChangeSink sink;

  QV_HANDLE Token() const { return reinterpret_cast<QV_HANDLE>(generation); }
  bool Valid(QV_HANDLE h) const { return open && h != nullptr && h == Token(); }

  void Reset(const BoardConfig& config) {
    board = qv::sim::ControlBoard(config.chip);
    plugged = config.plugged;
    open = false;
    hwnd = nullptr;
    events = {};
    sink = nullptr;
  }
};

Library& Lib() {
  static Library library(LoadBoardConfig(qv::ProgramFolder() + "/" + kConfigFileName));
  return library;
}

// Made after the library, so that it is ended (and its thread joined) before
// the library goes.
PlugFileWatcher& Watcher() {
  Lib();
  static PlugFileWatcher watcher;
  return watcher;
}

// Runs fn on the board when the handle is the open one.
template <typename Fn>
int OnOpenBoard(QV_HANDLE handle, Fn fn) {
  Library& lib = Lib();
  std::lock_guard<std::mutex> guard(lib.lock);
  if (!lib.Valid(handle)) {
    return QV_ERR_BAD_HANDLE;
  }
  return fn(lib.board);
}

unsigned char Status(int code) { return static_cast<unsigned char>(code); }

// The settings that the board only keeps.
unsigned char StoreSetting(QV_HANDLE handle, qv::sim::BoardCall call, BYTE qv::sim::BoardSettings::*field,
                           BYTE value) {
  return Status(OnOpenBoard(handle, [&](qv::sim::ControlBoard& b) {
    b.LogCall(std::move(call));
    b.Settings().*field = value;
    return QV_OK;
  }));
}

void ChangePlug(bool plug) {
  Library& lib = Lib();
  DeviceChangeSink sink;
  void* hwnd = nullptr;
  {
    std::lock_guard<std::mutex> guard(lib.lock);
    if (lib.plugged == plug) {
      return;
    }
    lib.plugged = plug;
    if (!plug) {
      lib.open = false;
      lib.board.PowerOff();
    }
    sink = lib.sink;
    hwnd = lib.hwnd;
  }
  // Outside the lock: the window's handler calls straight back into the library.
  if (sink && hwnd) {
    sink(hwnd, static_cast<unsigned>(plug ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE));
  }
}

}  // namespace

void Configure(const BoardConfig& config) {
  Library& lib = Lib();
  std::lock_guard<std::mutex> guard(lib.lock);
  lib.Reset(config);
}

void Plug() { ChangePlug(true); }
void Unplug() { ChangePlug(false); }

bool IsPlugged() {
  std::lock_guard<std::mutex> guard(Lib().lock);
  return Lib().plugged;
}

bool IsOpen() {
  std::lock_guard<std::mutex> guard(Lib().lock);
  return Lib().open;
}

void WithBoard(const std::function<void(qv::sim::ControlBoard&)>& fn) {
  std::lock_guard<std::mutex> guard(Lib().lock);
  fn(Lib().board);
}

std::vector<qv::sim::I2cTransfer> Transfers() {
  std::vector<qv::sim::I2cTransfer> out;
  WithBoard([&](qv::sim::ControlBoard& b) { out = b.Transfers(); });
  return out;
}

std::vector<BYTE> IoLineLog() {
  std::vector<BYTE> out;
  WithBoard([&](qv::sim::ControlBoard& b) { out = b.IoLineLog(); });
  return out;
}

std::vector<qv::sim::BoardCall> Calls() {
  std::vector<qv::sim::BoardCall> out;
  WithBoard([&](qv::sim::ControlBoard& b) { out = b.Calls(); });
  return out;
}

std::vector<qv::sim::BoardEvent> Timeline() {
  std::vector<qv::sim::BoardEvent> out;
  WithBoard([&](qv::sim::ControlBoard& b) { out = b.Timeline(); });
  return out;
}

void ClearLogs() {
  WithBoard([](qv::sim::ControlBoard& b) { b.ClearLogs(); });
}

void InjectFault(const qv::sim::BoardFault& fault) {
  WithBoard([&](qv::sim::ControlBoard& b) { b.InjectFault(fault); });
}

void InjectWrongSum(int times) {
  WithBoard([&](qv::sim::ControlBoard& b) {
    if (b.Chip()) {
      b.Chip()->CorruptSums(times);
    }
  });
}

void ClearFaults() {
  WithBoard([](qv::sim::ControlBoard& b) {
    b.ClearFaults();
    if (b.Chip()) {
      b.Chip()->CorruptSums(0);
    }
  });
}

std::vector<BYTE> ReadFlash() {
  std::vector<BYTE> out;
  WithBoard([&](qv::sim::ControlBoard& b) {
    if (b.Chip()) {
      out = b.Chip()->Flash();
    }
  });
  return out;
}

bool WriteFlash(u32 address, const std::vector<BYTE>& bytes) {
  bool done = false;
  WithBoard([&](qv::sim::ControlBoard& b) {
    if (!b.Chip()) {
      return;
    }
    std::vector<BYTE>& flash = b.Chip()->Flash();
    if (address <= flash.size() && bytes.size() <= flash.size() - address) {
      std::copy(bytes.begin(), bytes.end(), flash.begin() + address);
      done = true;
    }
  });
  return done;
}

bool ChipInIspMode() {
  bool isp = false;
  WithBoard([&](qv::sim::ControlBoard& b) { isp = b.Chip() && b.Chip()->InIspMode(); });
  return isp;
}

qv::sim::BoardSettings Settings() {
  qv::sim::BoardSettings out;
  WithBoard([&](qv::sim::ControlBoard& b) { out = b.Settings(); });
  return out;
}

void SetDeviceChangeSink(DeviceChangeSink sink) {
  std::lock_guard<std::mutex> guard(Lib().lock);
  Lib().sink = std::move(sink);
}

void* RegisteredWindow() {
  std::lock_guard<std::mutex> guard(Lib().lock);
  return Lib().hwnd;
}

std::array<HANDLE, 2> RegisteredEvents() {
  std::lock_guard<std::mutex> guard(Lib().lock);
  return Lib().events;
}

}  // namespace ostrelusb

using ostrelusb::OnOpenBoard;
using qv::sim::ControlBoard;

extern "C" {

unsigned char QV_GetNumDevices(unsigned int* count) {
  if (!count) {
    return QV_ERR_BAD_ARGUMENT;
  }
  *count = ostrelusb::IsPlugged() ? 1 : 0;
  return QV_OK;
}

unsigned char QV_OpenDevice(unsigned int index, QV_HANDLE* handle) {
  if (!handle) {
    return QV_ERR_BAD_ARGUMENT;
  }
  auto& lib = ostrelusb::Lib();
  std::lock_guard<std::mutex> guard(lib.lock);
  if (!lib.plugged || index != 0) {
    return QV_ERR_NOT_FOUND;
  }
  if (!lib.open) {
    lib.open = true;
    ++lib.generation;
  }
  lib.board.LogCall({"QV_OpenDevice", {static_cast<int>(index)}});
  *handle = lib.Token();
  return QV_OK;
}

unsigned char QV_CloseDevice(QV_HANDLE handle) {
  auto& lib = ostrelusb::Lib();
  std::lock_guard<std::mutex> guard(lib.lock);
  if (!lib.Valid(handle)) {
    return QV_ERR_BAD_HANDLE;
  }
  lib.open = false;
  lib.board.LogCall({"QV_CloseDevice", {}});
  return QV_OK;
}

unsigned char QV_SetInterface(QV_HANDLE handle, unsigned char bus) {
  return ostrelusb::Status(OnOpenBoard(handle, [&](ControlBoard& b) {
    b.LogCall({"QV_SetInterface", {bus}});
    if (bus != 0) {
      return QV_ERR_BAD_ARGUMENT;
    }
    b.Settings().interface = bus;
    return QV_OK;
  }));
}

unsigned char QV_SetSlaveAddr(QV_HANDLE handle, unsigned char address) {
  return ostrelusb::Status(OnOpenBoard(handle, [&](ControlBoard& b) {
    b.LogCall({"QV_SetSlaveAddr", {address}});
    if (address > 0x7F) {
      return QV_ERR_BAD_ARGUMENT;
    }
    b.Settings().slaveAddr = address;
    return QV_OK;
  }));
}

unsigned char QV_Set_IIC_ByteDelay(QV_HANDLE handle, unsigned char delay) {
  return ostrelusb::StoreSetting(handle, {"QV_Set_IIC_ByteDelay", {delay}}, &qv::sim::BoardSettings::byteDelay, delay);
}

unsigned char QV_I2C_Conf(QV_HANDLE handle, unsigned char conf) {
  return ostrelusb::StoreSetting(handle, {"QV_I2C_Conf", {conf}}, &qv::sim::BoardSettings::i2cConf, conf);
}

unsigned char QV_SetBoardVCC_Ctrl(QV_HANDLE handle, unsigned char code) {
  return ostrelusb::StoreSetting(handle, {"QV_SetBoardVCC_Ctrl", {code}}, &qv::sim::BoardSettings::vccCode, code);
}

unsigned char QV_SetBoardIOVCC_Ctrl(QV_HANDLE handle, unsigned char code, unsigned char reserved1,
                                    unsigned char reserved2) {
  return ostrelusb::StoreSetting(handle, {"QV_SetBoardIOVCC_Ctrl", {code, reserved1, reserved2}},
                                 &qv::sim::BoardSettings::ioVccCode, code);
}

unsigned char QV_Board_IO_Ctrl(QV_HANDLE handle, unsigned char level, unsigned char line,
                               unsigned char output) {
  return ostrelusb::Status(OnOpenBoard(handle, [&](ControlBoard& b) {
    if (line != 1 || output != 1) {
      return QV_ERR_BAD_ARGUMENT;
    }
    return b.SetIoLine(level);
  }));
}

int QV_IIC_IO(QV_HANDLE handle, const unsigned char* writeBuffer, unsigned int writeCount,
              unsigned char* readBuffer, unsigned int readCount) {
  return OnOpenBoard(handle, [&](ControlBoard& b) {
    return b.Transfer(writeBuffer, writeCount, readBuffer, readCount);
  });
}

void RegisterNotification(void* hwnd, struct QvKernelObject* const* events) {
  auto& lib = ostrelusb::Lib();
  {
    std::lock_guard<std::mutex> guard(lib.lock);
    lib.hwnd = hwnd;
    lib.events = events ? std::array<HANDLE, 2>{events[0], events[1]} : std::array<HANDLE, 2>{};
  }
  if (hwnd == nullptr) return;
  // The board follows the plug file while a window listens.
  ostrelusb::Watcher().Start([] { return qv::ProgramFolder() + "/" + ostrelusb::kPlugFileName; },
                             ostrelusb::kPlugFilePeriodMs, [](bool plug) {
                               if (ostrelusb::RegisteredWindow() == nullptr) return;
                               if (plug) {
                                 ostrelusb::Plug();
                               } else {
                                 ostrelusb::Unplug();
                               }
                             });
}

}  // extern "C"
