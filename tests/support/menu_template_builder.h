#pragma once
// Builds standard menu templates byte by byte, the way the resource compiler
// writes them: a header of two zero words, then per entry the option word,
// the id (not for popups) and the UTF-16 caption with its terminator.

#include <string>
#include <vector>

#include "platform/core/wintypes.h"

namespace qv::testing {

class MenuTemplateBuilder {
 public:
  static constexpr WORD kPopup = 0x0010;
  static constexpr WORD kEnd = 0x0080;

  MenuTemplateBuilder() { Word(0), Word(0); }

  MenuTemplateBuilder& Item(WORD option, WORD id, const std::u16string& caption) {
    Word(option);
    Word(id);
    return Caption(caption);
  }
  MenuTemplateBuilder& Popup(WORD option, const std::u16string& caption) {
    Word(static_cast<WORD>(option | kPopup));
    return Caption(caption);
  }
  const std::vector<unsigned char>& Bytes() const { return bytes_; }
  DWORD Size() const { return static_cast<DWORD>(bytes_.size()); }

 private:
  MenuTemplateBuilder& Word(WORD w) {
    bytes_.push_back(static_cast<unsigned char>(w & 0xFF));
    bytes_.push_back(static_cast<unsigned char>(w >> 8));
    return *this;
  }
  MenuTemplateBuilder& Caption(const std::u16string& caption) {
    for (char16_t c : caption) Word(static_cast<WORD>(c));
    return Word(0);
  }
  std::vector<unsigned char> bytes_;
};

}  // namespace qv::testing
