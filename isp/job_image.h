#pragma once
// The bytes a programming job writes: the image read from its file, and the
// checks a job setter makes of it before it queues anything.

#include <vector>

#include "platform/core/cstring.h"
#include "platform/core/wintypes.h"

// The programmed bytes of one job: a zero-filled buffer, its size, its page
// count and the device address of its first byte.
struct CJobImage {
  std::vector<BYTE> m_buffer;
  int m_nImageSize = 0;
  int m_nPageCount = 0;
  u32 m_nStartAddress = 0;

  // Reads size bytes from offset of the file. FALSE (and an empty image) when
  // the file does not open or is no regular file, holds fewer bytes, the size
  // is negative or beyond an int, or the buffer cannot be had.
  BOOL Load(const CString& path, long long offset, long long size, int pageSize, u32 start);
  void Release();
};

// The length of a regular file that opens for reading, -1 otherwise.
long long ImageFileLength(const CString& path);

// TRUE, with a run-log entry that says why, when a job of size bytes would
// program nothing: such a job is refused before it erases the chip.
BOOL IsNothingToProgram(long long size);
inline constexpr char kNothingToProgramLog[] = "Image Size Fail! Nothing To Program";

// TRUE when the pages of an image of size bytes, in whole pages from start,
// stay within the first limit bytes of the device's address space.
bool ImageFitsAddressSpace(u32 start, long long size, int pageSize, unsigned long long limit);
