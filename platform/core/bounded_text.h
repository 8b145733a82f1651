#pragma once
// Text handed out into a caller's buffer, as the Win32 text calls do it.

#include <cstddef>
#include <string_view>

namespace qv {

// At most size - 1 bytes of text and a terminator into buffer; the bytes
// copied. Without a buffer or with a size of 0 the buffer is left alone and
// the answer is 0.
std::size_t CopyBoundedText(std::string_view text, char* buffer, std::size_t size);

}  // namespace qv
