#include <sys/stat.h>
#include <unistd.h>

#include <mutex>

#include "platform/core/program_folder.h"
#include "platform/serial/serial_port.h"

namespace qv {

namespace {

struct DeviceRange {
  u32 first;  // COM number of device 0
  u32 last;
  const char* prefix;
  bool onboard;  // ttyS nodes: sysfs tells whether a UART is behind them
};

constexpr DeviceRange kRanges[] = {
    {1, 32, "/ttyS", true},
    {33, 64, "/ttyUSB", false},
    {65, 96, "/ttyACM", false},
};

std::mutex g_rootsLock;
std::string g_sysRoot = "/sys";
std::string g_devRoot = "/dev";

std::string DevRoot() {
  std::lock_guard<std::mutex> lock(g_rootsLock);
  return g_devRoot;
}

std::string SysRoot() {
  std::lock_guard<std::mutex> lock(g_rootsLock);
  return g_sysRoot;
}

}  // namespace

ComDevice ResolveComDevice(u32 portNumber) {
  if (portNumber == 0) return {};
  // An operator's (or isp-sim's) link wins, even one that points nowhere:
  // that port is then absent rather than silently another device.
  std::string link = ProgramFolder() + "/ports/COM" + std::to_string(portNumber);
  struct stat st{};
  if (::lstat(link.c_str(), &st) == 0) return {link, -1};
  for (const DeviceRange& r : kRanges) {
    if (portNumber >= r.first && portNumber <= r.last) {
      const int index = static_cast<int>(portNumber - r.first);
      return {DevRoot() + r.prefix + std::to_string(index), r.onboard ? index : -1};
    }
  }
  return {};
}

std::string ResolveComName(u32 portNumber) { return ResolveComDevice(portNumber).path; }

std::string TtySDriver(int index) {
  const std::string link = SysRoot() + "/class/tty/ttyS" + std::to_string(index) + "/device/driver";
  struct stat st{};
  if (::stat(link.c_str(), &st) != 0) return {};
  char target[4096];
  const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
  if (n <= 0) return {};
  const std::string path(target, static_cast<size_t>(n));
  return path.substr(path.rfind('/') + 1);
}

void SetSystemRootsForTesting(const std::string& sysRoot, const std::string& devRoot) {
  std::lock_guard<std::mutex> lock(g_rootsLock);
  g_sysRoot = sysRoot.empty() ? "/sys" : sysRoot;
  g_devRoot = devRoot.empty() ? "/dev" : devRoot;
}

}  // namespace qv
