#pragma once
// The Write page's image file: read raw (a ".hex" file byte for byte like a
// ".bin"), its header and trailer cut as the back end says, checked against
// the usable flash, and its 8-bit byte sum.

#include <vector>

#include "isp/common_interface.h"
#include "platform/core/cstring.h"
#include "platform/core/wintypes.h"

// The byte sum covers the file's first bytes only, header included.
inline constexpr u32 kByteSumSpan = 0xED00;

// The sum modulo 256 of the file's first kByteSumSpan bytes (a shorter file
// counts as zero-padded); 0 when it does not open.
BYTE ImageByteSum(const CString& path);

struct CImageFile {
  enum Result {
    kNotOpened,  // missing, unreadable, or no regular file: nothing to say
    kTooLarge,   // the operator is told the limit, in KB
    kLoaded,
  };
  Result result = kNotOpened;
  // kTooLarge: the limit for the message, never below 0.
  int limitKB = 0;
  // kLoaded: the whole file's length, header and trailer included; the image
  // without them; the byte sum of the file.
  long long fileLength = 0;
  std::vector<BYTE> image;
  BYTE byteSum = 0;
};

// Loads path for the chosen IC type on this back end. A file shorter than
// the header and trailer has no image at all and counts as too large, as
// does one beyond the usable flash (one of exactly that size is accepted).
CImageFile LoadImageFile(const CString& path, CCommonInterface& backEnd);

// "File Size must not exceed %d K!"
CString FileTooLargeText(int limitKB);
