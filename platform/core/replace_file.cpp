#include "platform/core/replace_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
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

// The pid of name when it is one of prefix's temporary files
// ("<prefix><pid>-<serial>", both in decimal digits), else 0.
pid_t TemporaryOwner(const char* name, const std::string& prefix) {
  if (std::string_view(name).substr(0, prefix.size()) != prefix) return 0;
  const char* p = name + prefix.size();
  long long pid = 0;
  const char* digits = p;
  for (; *p >= '0' && *p <= '9'; ++p) {
    pid = pid * 10 + (*p - '0');
    if (pid > INT_MAX) return 0;
  }
  if (p == digits || *p++ != '-') return 0;
  const char* serial = p;
  while (*p >= '0' && *p <= '9') ++p;
  return p != serial && *p == '\0' ? static_cast<pid_t>(pid) : 0;
}

// A process that another user runs still counts: it cannot be signalled,
// but it exists.
bool ProcessRuns(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

// A process killed between writing its temporary file and the rename leaves
// that file for ever. The next save of the same file removes those whose
// process has gone: only names of exactly its own pattern, only regular files
// (a link is removed by nobody, and never followed), never one of this
// process or of one that still runs.
void RemoveStaleTemporaries(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const std::string prefix = path.substr(slash == std::string::npos ? 0 : slash + 1) + ".tmp-";
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  const int fd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    const pid_t owner = TemporaryOwner(entry->d_name, prefix);
    if (owner <= 0 || owner == ::getpid() || ProcessRuns(owner)) continue;
    struct stat st {};
    if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)) {
      ::unlinkat(fd, entry->d_name, 0);
    }
  }
  ::closedir(dir);
}

}  // namespace

bool ReplaceFileContents(const std::string& given, std::string_view bytes) {
  if (given.empty()) return false;
  const std::string path = ReplaceTarget(given);
  if (path.empty()) return false;
  RemoveStaleTemporaries(path);
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
