#pragma once
// The steps of one programming run that the Write page's and the download
// worker's jobs share: the percent rule, the page loop with its checks over
// a serial or an I2C back end, and the failure codes that end a run.

#include <functional>

#include "isp/common_interface.h"
#include "isp/job_image.h"
#include "isp/job_owner.h"
#include "isp/worker_thread.h"
#include "platform/core/cstring.h"

class CCOMBase;
class CQvIcBase;

// The 32-bit sum of the bytes; 0 for length 0.
u32 GetByteSum(const BYTE* buffer, u32 length);

// The percent posted after page index (0-based) of pageCount pages:
// trunc(index * 80 / pageCount + 10) in single precision.
int PagePercent(int index, int pageCount);

// Posts a percent only when it has grown by at least 2 since the last one
// (10 before the first page), which bounds a job to about 40 messages.
class CPercentRule {
 public:
  // TRUE with *percent set when the percent after page index is to be posted.
  bool Next(int index, int pageCount, int* percent);

 private:
  int m_nLastPercent = 10;
};

// The largest page any job handles: its page buffer.
inline constexpr int kMaxPageSize = 1024;

// One run of a job: the steps both workers share. A step that fails throws
// its failure code; Execute catches it, posts codes 1 and 4 and reports FALSE.
class CProgramJob {
 public:
  CProgramJob(CJobOwner& owner, const CWorkerThread& worker, const CJobImage& image, u32 password);

  // TRUE when body ran to its end.
  BOOL Execute(const std::function<void()>& body);

  void Post(WPARAM stage, LPARAM value) { m_owner.PostProgress(stage, value); }
  // Writes text to the run log (when given) and ends the job with code.
  [[noreturn]] void Fail(int code, const CString& text = CString());

  // The first steps of every job: the back end's page size (the job fails
  // when the page buffer cannot hold it), kProgressStart, and the failure of a
  // job whose pages reach beyond the back end's address space (instead of
  // wrapping round onto its start).
  void Begin(CCommonInterface& backEnd);

  // The serial job from the successful erase on: password, pages with their
  // checks, the whole-image check and the after-write step.
  void ProgramOverCom(CCOMBase& com);

  // The target's reset pulse on the bridge's board I/O line before the job.
  void ResetTargetOverUsb();
  // The chip erase of the I2C jobs, bracketed by its stage codes.
  void EraseOverUsb(CQvIcBase& ic);
  // The I2C job from the pages on: paced pages with their verify, the final
  // reset of the target.
  void ProgramOverUsb(CQvIcBase& ic);

  // Ends the job, posting nothing, when the worker is being stopped.
  void HonourStopRequest();

 private:
  // Copies page index into the page buffer, the last one 0xFF-filled; returns
  // TRUE for a full page (one with a retry).
  bool FillPage(int index, int* remaining);
  void UartCheckPage(CCOMBase& com, int index, u32 address);

  CJobOwner& m_owner;
  const CWorkerThread& m_worker;
  const CJobImage& m_image;
  u32 m_nPassword;
  int m_nPageSize = 0;
  BYTE m_page[kMaxPageSize] = {};
};
