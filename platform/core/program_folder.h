#pragma once
// The program folder: the folder of the running executable, where the tool's
// settings files, its log and its ports/ links live.

#include <string>

#include "platform/core/wintypes.h"

namespace qv {

// The executable's folder without a trailing '/' (but "/" itself for the root).
std::string ProgramFolder();
// Tests point the program at a temporary folder; empty restores the real one.
void SetProgramFolderForTesting(const std::string& folder);
// The full path of the executable, or of <test folder>/<exe name> under a test folder.
std::string ModuleFileName();

}  // namespace qv

// Copies the module path into buffer, cut to size - 1 characters and always
// terminated (as Windows does when the buffer is too small). Returns the count copied.
DWORD GetModuleFileNameA(void* hModule, char* buffer, DWORD size);
