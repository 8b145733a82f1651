#pragma once
// Replacing a file's contents so that a crash or a full disk never leaves a
// truncated file: the bytes go to a temporary file in the same folder, which
// is flushed to disk and then renamed over the target.

#include <string>
#include <string_view>

namespace qv {

// True when the whole of bytes is now the file's contents. On false the old
// file (if any) is untouched and no temporary file is left behind. An existing
// file keeps its permission bits; a new one gets 0644 less the umask. A path
// through a symbolic link replaces the regular file the link names. Refused
// (false, nothing touched): a FIFO, a device, a folder, a link that names
// nothing, and a file whose mode bits forbid writing, for root too.
// Temporary files of the same name that a process killed before its rename
// left behind are removed on the way.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

}  // namespace qv
