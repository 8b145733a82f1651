#include "sim/uart_flash_file.h"

#include <string_view>

#include "platform/core/regular_file.h"
#include "platform/core/replace_file.h"

namespace qv::sim {

bool LoadFlashFile(const std::string& path, std::vector<BYTE>& flash) {
  std::string bytes;
  if (ReadRegularFile(path, bytes) != FileOpen::kOpened) {
    return false;
  }
  for (std::size_t i = 0; i < bytes.size() && i < flash.size(); ++i) {
    flash[i] = static_cast<BYTE>(bytes[i]);
  }
  return true;
}

bool SaveFlashFile(const std::string& path, const std::vector<BYTE>& flash) {
  return ReplaceFileContents(
      path, std::string_view(reinterpret_cast<const char*>(flash.data()), flash.size()));
}

}  // namespace qv::sim
