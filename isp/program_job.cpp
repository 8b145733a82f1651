#include "isp/program_job.h"

#include <cstring>

#include "isp/bridge_device.h"
#include "isp/com_base.h"
#include "isp/engine.h"
#include "isp/progress.h"
#include "isp/qv_ic_base.h"
#include "platform/core/clock.h"

namespace {

// A thrown failure code; caught by CProgramJob::Execute.
struct CJobFailure {
  int code;
};

constexpr DWORD kRetrySleepMs = 20;
constexpr DWORD kPasswordSettleMs = 100;
constexpr DWORD kUsbPagePaceMs = 20;
constexpr DWORD kEraseSettleMs = 500;
// The target's resets on the board's I/O line: before the pages, held low
// 100 ms and given 70 ms to come up; after the last page held low 500 ms,
// and the job ends without waiting for it.
constexpr DWORD kStartResetLowMs = 100;
constexpr DWORD kStartResetSettleMs = 70;
constexpr DWORD kFinalResetLowMs = 500;
constexpr DWORD kFinishedPauseMs = 20;

CString Formatted(const char* format, int value) {
  CString s;
  s.Format(format, value);
  return s;
}

}  // namespace

u32 GetByteSum(const BYTE* buffer, u32 length) {
  u32 sum = 0;
  for (u32 i = 0; i < length; ++i) sum += buffer[i];
  return sum;
}

int PagePercent(int index, int pageCount) {
  return static_cast<int>(static_cast<float>(index) * 80.0f / static_cast<float>(pageCount) + 10.0f);
}

bool CPercentRule::Next(int index, int pageCount, int* percent) {
  const int p = PagePercent(index, pageCount);
  if (p < m_nLastPercent + 2) return false;
  m_nLastPercent = p;
  *percent = p;
  return true;
}

CProgramJob::CProgramJob(CJobOwner& owner, const CWorkerThread& worker, const CJobImage& image,
                         u32 password)
    : m_owner(owner), m_worker(worker), m_image(image), m_nPassword(password) {}

BOOL CProgramJob::Execute(const std::function<void()>& body) {
  try {
    body();
    return TRUE;
  } catch (const CJobFailure& failure) {
    if (failure.code == kFailComm || failure.code == kFailVerify) {
      Post(static_cast<WPARAM>(failure.code), 0);
    }
    return FALSE;
  }
}

void CProgramJob::Fail(int code, const CString& text) {
  if (!text.IsEmpty()) Engine().WriteLog(text);
  throw CJobFailure{code};
}

void CProgramJob::Begin(CCommonInterface& backEnd) {
  m_nPageSize = backEnd.GetPageSize();
  if (m_nPageSize <= 0 || m_nPageSize > kMaxPageSize) {
    Fail(kFailSetup, Formatted("Page Size %d Not Supported", m_nPageSize));
  }
  Post(kProgressStart, 0);
  const unsigned long long limit = backEnd.GetAddressSpaceSize();
  if (!ImageFitsAddressSpace(m_image.m_nStartAddress, m_image.m_nImageSize, m_nPageSize, limit)) {
    CString text;
    text.Format("Address Range Fail! 0x%X + 0x%X > 0x%llX", m_image.m_nStartAddress,
                static_cast<unsigned>(m_image.m_nPageCount * m_nPageSize), limit);
    Fail(kFailSetup, text);
  }
}

void CProgramJob::HonourStopRequest() {
  if (m_worker.IsStopRequested()) Fail(kFailSetup);
}

bool CProgramJob::FillPage(int index, int* remaining) {
  const BYTE* src = m_image.m_buffer.data() + static_cast<size_t>(index) * m_nPageSize;
  if (*remaining > m_nPageSize) {
    std::memcpy(m_page, src, static_cast<size_t>(m_nPageSize));
    *remaining -= m_nPageSize;
    return true;
  }
  std::memset(m_page, 0xFF, static_cast<size_t>(m_nPageSize));
  std::memcpy(m_page, src, static_cast<size_t>(*remaining));
  *remaining = 0;
  return false;
}

void CProgramJob::ProgramOverCom(CCOMBase& com) {
  Post(kProgressEraseEnd, 100);
  if (com.IsPasswordRequired()) {
    if (com.SendKeyinPasswordCmd(m_nPassword) != kStatusAck) {
      Fail(kFailLate, "SendKeyinPasswordCmd Fail!");
    }
    Sleep(kPasswordSettleMs);
  }
  Post(kProgressUpdating, 10);

  CPercentRule percent;
  int remaining = m_image.m_nImageSize;
  for (int i = 0; i < m_image.m_nPageCount && remaining > 0; ++i) {
    HonourStopRequest();
    const u32 address = m_image.m_nStartAddress + static_cast<u32>(i * m_nPageSize);
    const bool fullPage = FillPage(i, &remaining);
    com.ConvertPageByteOrder(m_page, m_nPageSize);
    if (com.SendWritePageCmd(address, m_page) != kStatusAck) {
      bool written = false;
      if (fullPage) {
        Sleep(kRetrySleepMs);
        written = com.SendWritePageCmd(address, m_page) == kStatusAck;
      }
      if (!written) Fail(kFailComm, Formatted("Page Index %d Write Fail", i + 1));
    }
    int p = 0;
    if (percent.Next(i, m_image.m_nPageCount, &p)) Post(kProgressUpdating, p);
    UartCheckPage(com, i, address);
  }

  if (com.SendAllDataChecksumCmd(m_image.m_nStartAddress, m_image.m_buffer.data(),
                                 static_cast<u32>(m_image.m_nImageSize)) == kStatusChecksumFail) {
    Fail(kFailVerify, "Alll Data Checksum Fail");
  }
  if (!com.ProcessAfterEraseAndWrite()) Fail(kFailSetup, "ProcessAfterEraseAndWrite Fail");
  Post(kProgressUpdating, 100);
}

void CProgramJob::UartCheckPage(CCOMBase& com, int index, u32 address) {
  // The device answers in one of its two checksum forms: 0xFF XOR the bytes,
  // or the low byte of their sum.
  BYTE x = 0xFF;
  for (int k = 0; k < m_nPageSize; ++k) x ^= m_page[k];
  const u32 address16 = address & 0xFFFF;
  int status = com.SendPageChecksumCmd(address16, 1, x);
  if (status == kStatusChecksumOk) return;
  status = com.SendPageChecksumCmd(address16, 1,
                                   LOBYTE(GetByteSum(m_page, static_cast<u32>(m_nPageSize))));
  if (status == kStatusChecksumOk) return;
  Fail(status == kStatusChecksumFail ? kFailVerify : kFailComm,
       Formatted("Page Index %d Write Checksum Fail", index + 1));
}

void CProgramJob::ResetTargetOverUsb() {
  if (ResetTargetByBoardIo(kStartResetLowMs, kStartResetSettleMs) != 0) Fail(kFailComm);
}

void CProgramJob::EraseOverUsb(CQvIcBase& ic) {
  Post(kProgressEraseBegin, 10);
  if (ic.EraseChip() != 0) Fail(kFailComm);
  Sleep(kEraseSettleMs);
  Post(kProgressEraseEnd, 100);
}

void CProgramJob::ProgramOverUsb(CQvIcBase& ic) {
  Post(kProgressUpdating, 10);
  CPercentRule percent;
  int remaining = m_image.m_nImageSize;
  const u32 length = static_cast<u32>(m_nPageSize);
  for (int i = 0; i < m_image.m_nPageCount && remaining > 0; ++i) {
    HonourStopRequest();
    const u32 address = m_image.m_nStartAddress + static_cast<u32>(i * m_nPageSize);
    const bool fullPage = FillPage(i, &remaining);
    // Any result but 0 fails, a negative one too.
    int result = ic.WriteBlock(address, length, m_page);
    if (result != 0 && fullPage) {
      Sleep(kRetrySleepMs);
      result = ic.WriteBlock(address, length, m_page);
    }
    if (result != 0) Fail(kFailComm);
    // Pages are paced to at least 20 ms each, the post included.
    int p = 0;
    if (percent.Next(i, m_image.m_nPageCount, &p)) {
      const DWORD tick = GetTickCount();
      Post(kProgressUpdating, p);
      const DWORD spent = GetTickCount() - tick;
      if (spent < kUsbPagePaceMs) Sleep(kUsbPagePaceMs - spent);
    } else {
      Sleep(kUsbPagePaceMs);
    }
    if (!ic.VerifyBlock(m_page, address, length)) Fail(kFailVerify);
  }
  Post(kProgressUpdateFinished, 0);
  Sleep(kFinishedPauseMs);
  if (ResetTargetByBoardIo(kFinalResetLowMs, 0) != 0) Fail(kFailLate);
  Post(kProgressUpdating, 100);
}
