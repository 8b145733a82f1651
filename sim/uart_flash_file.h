#pragma once
// A simulated chip's flash as a plain binary file.

#include <string>
#include <vector>

#include "platform/core/wintypes.h"

namespace qv::sim {

// Copies the file's bytes to the start of flash (a longer file is cut to the
// flash size); the rest of flash is left as it was. False when it is no regular file or
// cannot be read.
bool LoadFlashFile(const std::string& path, std::vector<BYTE>& flash);
// Writes flash to a temporary file and renames it over path, so that a reader
// never sees half an image. False when it could not be written.
bool SaveFlashFile(const std::string& path, const std::vector<BYTE>& flash);

}  // namespace qv::sim
