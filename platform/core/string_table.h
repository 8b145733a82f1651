#pragma once
// The string table: texts by id, registered by the resource folder when the
// program starts; CString::LoadString reads it.

#include <initializer_list>
#include <string>
#include <utility>

#include "platform/core/wintypes.h"

namespace qv {

// Adds the entries, replacing those of the same ids. Thread-safe.
void RegisterStrings(std::initializer_list<std::pair<UINT, const char*>> entries);
// FALSE when no entry has that id.
BOOL FindString(UINT id, std::string& text);

// One per string table file: registers the entries when the program starts.
struct StringTableRegistrar {
  StringTableRegistrar(std::initializer_list<std::pair<UINT, const char*>> entries) { RegisterStrings(entries); }
};

}  // namespace qv
