#include "platform/core/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

#include "platform/core/regular_file.h"

namespace qv {

namespace {

std::atomic<unsigned> g_serial{0};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

namespace {

// The file that a replace of given writes: the file a link names, so that a
// settings file kept elsewhere through a link stays linked. Empty when given
// may not be replaced: a link that names nothing, something that is no
// regular file, or a file whose mode bits forbid writing.
std::string ReplaceTarget(const std::string& given) {
  struct stat link {};
  const bool exists = ::lstat(given.c_str(), &link) == 0;
  if (!exists && errno != ENOENT) return {};
  std::string path = given;
  if (char* real = ::realpath(given.c_str(), nullptr)) {
    path = real;
    std::free(real);
  } else if (exists) {
    return {};  // a dangling link or a loop: replacing it would drop the link
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? path : std::string();
  if (!S_ISREG(st.st_mode) || !ModeAllowsWriting(path, st)) return {};
  return path;
}

}  // namespace

bool ReplaceFileContents(const std::string& given, std::string_view bytes) {
  if (given.empty()) return false;
  const std::string path = ReplaceTarget(given);
  if (path.empty()) return false;
  std::string temp;
  int fd = -1;
  // open() rather than mkstemp(), so that a new file gets the umask's bits
  // without touching the process-wide umask.
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temp = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(g_serial++);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  bool ok = true;
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
  ok = ok && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace qv
