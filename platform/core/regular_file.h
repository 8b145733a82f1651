#pragma once
// The files the program reads or replaces (settings, images) must be regular
// files, as they are on Windows: a FIFO would hold a read up for ever, a
// device would be read without end or replaced by a plain file, and a folder
// opens on Linux. A symbolic link is followed to the file it names.

#include <fcntl.h>
#include <sys/stat.h>

#include <string>

namespace qv {

enum class FileOpen {
  kOpened,
  kMissing,  // nothing at the path (or a path through a missing folder)
  kRefused,  // not a regular file, or it does not open
};

// Opens path when it is a regular file: with O_NONBLOCK, so that the open
// itself never waits on a FIFO or a device, then fstat decides. access holds
// the open flags (O_RDONLY by default; O_WRONLY or O_RDWR, with O_CREAT a
// missing file is created with mode 0644). The descriptor is blocking again on
// return. -1 unless *result is kOpened; st (when given) receives the file's
// status.
int OpenRegularFile(const std::string& path, FileOpen* result, struct stat* st = nullptr,
                    int access = O_RDONLY);

// The whole of a regular file into bytes (cleared otherwise).
FileOpen ReadRegularFile(const std::string& path, std::string& bytes);

// FALSE when the file's mode bits forbid writing it: no write bit at all (a
// read-only file, for root too, as Windows refuses to write one), or none
// that this process may use.
bool ModeAllowsWriting(const std::string& path, const struct stat& st);

}  // namespace qv
