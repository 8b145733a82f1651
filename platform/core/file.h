#pragma once
// The unbuffered file object of the class library, as far as the tool uses it:
// each Write goes straight to the operating system.

#include <string>

#include "platform/core/wintypes.h"

class CFile {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareDenyWrite = 0x0020,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    // Ours: every Write lands at the file's end as it is at that moment
    // (O_APPEND), also when another process has written to it meanwhile.
    modeAppend = 0x100000,
  };

  CFile() = default;
  ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // FALSE unless path is a regular file (or, with modeCreate, a new one): a
  // FIFO, a device or a folder is refused at once.
  BOOL Open(const char* path, UINT flags);
  // FALSE when the file is not open or not every byte was written.
  BOOL Write(const void* data, UINT count);
  void SeekToEnd();
  // The file's length in bytes; 0 when it is not open.
  std::uint64_t GetLength() const;
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

struct SYSTEMTIME {
  WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};

// The local time; tests may fix it.
void GetLocalTime(SYSTEMTIME* st);
namespace qv {
// A fixed local time for tests; nullptr returns to the real one.
void SetLocalTimeForTesting(const SYSTEMTIME* st);
}  // namespace qv

// Creates one folder; FALSE when it could not (an existing folder included).
BOOL CreateDirectoryA(const char* path, void* securityAttributes);
