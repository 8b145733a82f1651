#include "platform/core/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <mutex>
#include <optional>

#include "platform/core/regular_file.h"

CFile::~CFile() { Close(); }

BOOL CFile::Open(const char* path, UINT flags) {
  Close();
  int o = 0;
  if (flags & modeReadWrite) {
    o |= O_RDWR;
  } else if (flags & modeWrite) {
    o |= O_WRONLY;
  } else {
    o |= O_RDONLY;
  }
  if (flags & modeCreate) o |= O_CREAT;
  if (flags & modeAppend) o |= O_APPEND;
  // Truncated only once it is known to be a file that may be written.
  const bool truncate = (flags & modeCreate) && !(flags & modeNoTruncate);
  // Only a regular file opens: a FIFO would hold the open up for ever, and
  // a device or a folder is no file to log to or to measure. A read-only file
  // is not written, for root too, as Windows refuses to write one.
  qv::FileOpen result = qv::FileOpen::kRefused;
  struct stat st {};
  fd_ = qv::OpenRegularFile(path, &result, &st, o);
  if (fd_ >= 0 && (o & (O_WRONLY | O_RDWR)) != 0 && !qv::ModeAllowsWriting(path, st)) Close();
  if (fd_ >= 0 && truncate && ::ftruncate(fd_, 0) != 0) Close();
  return fd_ >= 0 ? TRUE : FALSE;
}

BOOL CFile::Write(const void* data, UINT count) {
  if (fd_ < 0) return FALSE;
  const char* p = static_cast<const char*>(data);
  while (count > 0) {
    ssize_t n = ::write(fd_, p, count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return FALSE;
    p += n;
    count -= static_cast<UINT>(n);
  }
  return TRUE;
}

void CFile::SeekToEnd() {
  if (fd_ >= 0) ::lseek(fd_, 0, SEEK_END);
}

std::uint64_t CFile::GetLength() const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

void CFile::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

namespace {
std::mutex g_timeMutex;
std::optional<SYSTEMTIME> g_fixedTime;
}  // namespace

void GetLocalTime(SYSTEMTIME* st) {
  {
    std::lock_guard<std::mutex> lock(g_timeMutex);
    if (g_fixedTime) {
      *st = *g_fixedTime;
      return;
    }
  }
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm t{};
  localtime_r(&ts.tv_sec, &t);
  st->wYear = static_cast<WORD>(t.tm_year + 1900);
  st->wMonth = static_cast<WORD>(t.tm_mon + 1);
  st->wDayOfWeek = static_cast<WORD>(t.tm_wday);
  st->wDay = static_cast<WORD>(t.tm_mday);
  st->wHour = static_cast<WORD>(t.tm_hour);
  st->wMinute = static_cast<WORD>(t.tm_min);
  st->wSecond = static_cast<WORD>(t.tm_sec);
  st->wMilliseconds = static_cast<WORD>(ts.tv_nsec / 1000000);
}

namespace qv {
void SetLocalTimeForTesting(const SYSTEMTIME* st) {
  std::lock_guard<std::mutex> lock(g_timeMutex);
  if (st) {
    g_fixedTime = *st;
  } else {
    g_fixedTime.reset();
  }
}
}  // namespace qv

BOOL CreateDirectoryA(const char* path, void*) { return ::mkdir(path, 0755) == 0 ? TRUE : FALSE; }
