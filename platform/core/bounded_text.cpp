#include "platform/core/bounded_text.h"

#include <algorithm>
#include <cstring>

namespace qv {

std::size_t CopyBoundedText(std::string_view text, char* buffer, std::size_t size) {
  if (!buffer || size == 0) return 0;
  const std::size_t n = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return n;
}

}  // namespace qv
