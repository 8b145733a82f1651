#include "platform/core/regular_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace qv {

int OpenRegularFile(const std::string& path, FileOpen* result, struct stat* st, int access) {
  *result = FileOpen::kRefused;
  int fd = ::open(path.c_str(), access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) *result = FileOpen::kMissing;
    return -1;
  }
  struct stat own {};
  struct stat& s = st != nullptr ? *st : own;
  const int flags = ::fcntl(fd, F_GETFL);
  if (::fstat(fd, &s) != 0 || !S_ISREG(s.st_mode) || flags < 0 ||
      ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return -1;
  }
  *result = FileOpen::kOpened;
  return fd;
}

FileOpen ReadRegularFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  FileOpen result = FileOpen::kRefused;
  const int fd = OpenRegularFile(path, &result);
  if (fd < 0) return result;
  char chunk[4096];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof(chunk));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      bytes.clear();
      return FileOpen::kRefused;
    }
    if (n == 0) break;
    bytes.append(chunk, static_cast<size_t>(n));
  }
  ::close(fd);
  return FileOpen::kOpened;
}

bool ModeAllowsWriting(const std::string& path, const struct stat& st) {
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  return ::access(path.c_str(), W_OK) == 0;
}

}  // namespace qv
