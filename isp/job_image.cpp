#include "isp/job_image.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <new>

#include "isp/engine.h"
#include "platform/core/regular_file.h"

namespace {

// All of length bytes at offset of the file, or false.
bool ReadAt(int fd, BYTE* data, size_t length, long long offset) {
  while (length > 0) {
    const ssize_t n = ::pread(fd, data, length, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    length -= static_cast<size_t>(n);
    offset += n;
  }
  return true;
}

}  // namespace

long long ImageFileLength(const CString& path) {
  qv::FileOpen result = qv::FileOpen::kRefused;
  struct stat st {};
  const int fd = qv::OpenRegularFile(path.str(), &result, &st);
  if (fd < 0) return -1;
  ::close(fd);
  return static_cast<long long>(st.st_size);
}

BOOL IsNothingToProgram(long long size) {
  if (size > 0) return FALSE;
  Engine().WriteLog(kNothingToProgramLog);
  return TRUE;
}

BOOL CJobImage::Load(const CString& path, long long offset, long long size, int pageSize, u32 start) {
  Release();
  if (size < 0 || size > INT_MAX || offset < 0 || pageSize <= 0) return FALSE;
  // Only a regular file: a FIFO or a device would be read for ever, and a
  // folder opens on Linux.
  qv::FileOpen result = qv::FileOpen::kRefused;
  struct stat st {};
  const int fd = qv::OpenRegularFile(path.str(), &result, &st);
  if (fd < 0) return FALSE;
  // Bytes the file does not hold are refused before any buffer is made, so
  // that a range far beyond the file never asks for gigabytes.
  const long long length = static_cast<long long>(st.st_size);
  if (offset > length || size > length - offset) {
    ::close(fd);
    return FALSE;
  }
  std::vector<BYTE> buffer;
  try {
    buffer.assign(static_cast<size_t>(size), 0);
  } catch (const std::bad_alloc&) {
    ::close(fd);
    return FALSE;
  }
  const bool ok = ReadAt(fd, buffer.data(), buffer.size(), offset);
  ::close(fd);
  if (!ok) return FALSE;
  m_buffer = std::move(buffer);
  m_nImageSize = static_cast<int>(size);
  m_nPageCount = m_nImageSize / pageSize + (m_nImageSize % pageSize != 0 ? 1 : 0);
  m_nStartAddress = start;
  return TRUE;
}

void CJobImage::Release() {
  m_buffer.clear();
  m_buffer.shrink_to_fit();
  m_nImageSize = 0;
  m_nPageCount = 0;
}

bool ImageFitsAddressSpace(u32 start, long long size, int pageSize, unsigned long long limit) {
  if (size < 0 || pageSize <= 0) return false;
  const unsigned long long page = static_cast<unsigned long long>(pageSize);
  const unsigned long long pages = (static_cast<unsigned long long>(size) + page - 1) / page;
  return start + pages * page <= limit;
}
