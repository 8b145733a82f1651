#include <sys/stat.h>

#include "platform/core/program_folder.h"
#include "platform/serial/serial_port.h"

namespace qv {

namespace {

struct DeviceRange {
  u32 first;  // COM number of device 0
  u32 last;
  const char* prefix;
};

constexpr DeviceRange kRanges[] = {
    {1, 32, "/dev/ttyS"},
    {33, 64, "/dev/ttyUSB"},
    {65, 96, "/dev/ttyACM"},
};

}  // namespace

std::string ResolveComName(u32 portNumber) {
  if (portNumber == 0) return {};
  // An operator's (or isp-sim's) link wins, even one that points nowhere:
  // that port is then absent rather than silently another device.
  std::string link = ProgramFolder() + "/ports/COM" + std::to_string(portNumber);
  struct stat st{};
  if (::lstat(link.c_str(), &st) == 0) return link;
  for (const DeviceRange& r : kRanges) {
    if (portNumber >= r.first && portNumber <= r.last) {
      return r.prefix + std::to_string(portNumber - r.first);
    }
  }
  return {};
}

}  // namespace qv
