#pragma once
// The program folder: the folder of the running executable, where the tool's
// settings files, its log and its ports/ links live.

#include <string>

#include "platform/core/wintypes.h"

namespace qv {

// The executable's folder without a trailing '/' (but "/" itself for the
// root); empty when the executable's path cannot be had.
std::string ProgramFolder();
// Tests point the program at a temporary folder; empty restores the real one.
void SetProgramFolderForTesting(const std::string& folder);
// The full path of the executable, or of <test folder>/<exe name> under a
// test folder. Whole or empty: empty when the system cannot tell it (a path
// longer than it can report), never a part of it.
std::string ModuleFileName();

}  // namespace qv

// Copies the module path into buffer and returns its length. When it does not
// fit, it is cut to size - 1 characters and terminated, size is returned and
// the last error is ERROR_INSUFFICIENT_BUFFER, as on Windows; 0 when the path
// cannot be had.
DWORD GetModuleFileNameA(void* hModule, char* buffer, DWORD size);
