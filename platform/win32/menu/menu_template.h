#pragma once
// Reading a standard menu template within its size: every read checks the
// bytes left first, so a template cut short is noticed, never read past.

#include <string>

#include "platform/win32/gdi/gdi_api.h"

namespace qv::win32 {

class MenuTemplateReader {
 public:
  MenuTemplateReader(const void* data, DWORD size) : data_(static_cast<const unsigned char*>(data)), size_(size) {}

  bool AtEnd() const { return pos_ >= size_; }
  // The header (version 0, then the offset of the first entry) and the skip to
  // that entry.
  bool Header();
  bool Word(WORD& out);
  // A zero-terminated UTF-16 caption (surrogate pairs joined); false when the
  // terminator is missing.
  bool Caption(std::wstring& out);

 private:
  const unsigned char* data_;
  DWORD size_;
  DWORD pos_ = 0;
};

}  // namespace qv::win32
