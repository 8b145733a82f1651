#include "app/write_image.h"

#include <algorithm>

#include "app/flash_limit.h"
#include "isp/job_image.h"
#include "isp/program_job.h"

BYTE ImageByteSum(const CString& path) {
  // A shorter file counts as zero-padded, which adds nothing to the sum.
  const long long length = ImageFileLength(path);
  CJobImage head;
  if (length <= 0 || !head.Load(path, 0, std::min<long long>(length, kByteSumSpan), 1, 0)) return 0;
  return static_cast<BYTE>(GetByteSum(head.m_buffer.data(), static_cast<u32>(head.m_nImageSize)));
}

CImageFile LoadImageFile(const CString& path, CCommonInterface& backEnd) {
  CImageFile out;
  // A folder or a device chosen as image is no regular file and never opens.
  const long long length = ImageFileLength(path);
  if (length < 0) return out;
  const long long header = backEnd.GetFileHeaderSize();
  const long long size = length - header - backEnd.GetFileTrailerSize();
  // A back end that reserves more than the flash has leaves room for
  // nothing, which the message then says: 0 K, not a size below 0.
  const long long limitKB = std::max(UsableFlashKB(backEnd), 0LL);
  const long long limit = limitKB * 1024;
  if (size < 0 || size > limit) {
    out.result = CImageFile::kTooLarge;
    out.limitKB = static_cast<int>(limitKB);
    return out;
  }
  CJobImage image;
  // Fails too when the file shrank since its length was taken.
  if (!image.Load(path, header, size, 1, 0)) return out;
  out.result = CImageFile::kLoaded;
  out.fileLength = length;
  out.image = std::move(image.m_buffer);
  out.byteSum = ImageByteSum(path);
  return out;
}

CString FileTooLargeText(int limitKB) {
  CString s;
  s.Format("File Size must not exceed %d K!", limitKB);
  return s;
}
