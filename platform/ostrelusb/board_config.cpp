// OstrelUsb.ini: which board the library finds and what chip sits on its bus.
//
//   [ControlBoard]
//   Plugged=1
//   [Chip]
//   Family=7T0          (7T0, Page128 or None)
//   FlashSizeK=64       (negative: the default)
//   SlaveAddr=70        (hex, 7 bits)

#include <cstdlib>
#include <strings.h>

#include "platform/core/profile.h"
#include "platform/ostrelusb/OstrelUsbSim.h"

namespace ostrelusb {

namespace {

qv::sim::ChipFamily FamilyFromName(const char* name, qv::sim::ChipFamily fallback) {
  if (*name == '\0') {
    return fallback;
  }
  if (strcasecmp(name, "7T0") == 0) {
    return qv::sim::ChipFamily::k7T0;
  }
  if (strcasecmp(name, "Page128") == 0) {
    return qv::sim::ChipFamily::kPage128;
  }
  // A name the board does not know puts no chip on the bus, so that the
  // mistake shows as a chip that never answers.
  return qv::sim::ChipFamily::kNone;
}

BYTE SlaveFromText(const char* text, BYTE fallback) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 16);
  if (end == text || *end != '\0' || value > 0x7F) {
    return fallback;
  }
  return static_cast<BYTE>(value);
}

}  // namespace

BoardConfig LoadBoardConfig(const std::string& iniPath) {
  const BoardConfig defaults;
  const char* file = iniPath.c_str();
  BoardConfig config;
  config.plugged = GetPrivateProfileIntA("ControlBoard", "Plugged", defaults.plugged ? 1 : 0, file) != 0;
  char text[32] = {};
  GetPrivateProfileStringA("Chip", "Family", "", text, sizeof text, file);
  config.chip.family = FamilyFromName(text, defaults.chip.family);
  // Read as the profile API gives it, a negative size wraps round to billions
  // of KB, which the chip would try to allocate.
  const int flashSizeK = static_cast<int>(
      GetPrivateProfileIntA("Chip", "FlashSizeK", static_cast<int>(defaults.chip.flashSizeK), file));
  config.chip.flashSizeK = flashSizeK < 0 ? defaults.chip.flashSizeK : static_cast<u32>(flashSizeK);
  GetPrivateProfileStringA("Chip", "SlaveAddr", "", text, sizeof text, file);
  config.chip.slaveAddr = SlaveFromText(text, defaults.chip.slaveAddr);
  return config;
}

}  // namespace ostrelusb
