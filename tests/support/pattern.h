#pragma once
// Deterministic bytes that differ from page to page, for images and flash.

#include <cstddef>
#include <vector>

#include "platform/core/wintypes.h"

namespace qv {

inline std::vector<BYTE> Pattern(std::size_t n, unsigned seed = 1) {
  std::vector<BYTE> out(n);
  unsigned x = seed * 2654435761u + 1;
  for (std::size_t i = 0; i < n; ++i) {
    x = x * 1103515245u + 12345u;
    out[i] = static_cast<BYTE>(x >> 16);
  }
  return out;
}

}  // namespace qv
