#pragma once
// The Write page's worker, and the steps that it shares with the download
// worker: the job image, the percent rule, and the erase-write-verify job
// itself over a serial or an I2C back end.

#include <functional>
#include <vector>

#include "isp/common_interface.h"
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
  // job whose pages reach beyond the first limit bytes of the device's address
  // space (instead of wrapping round onto its start).
  void Begin(CCommonInterface& backEnd, unsigned long long limit);

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

// The address space of a back end in bytes, as far as its frames can reach.
unsigned long long SerialAddressLimit(CCOMBase& com);
unsigned long long I2cAddressLimit(CQvIcBase& ic);
// The address space of the back end that a Write page job runs on (the
// engine's interface); no limit without that back end, whose job then
// fails on its own.
unsigned long long WriteJobAddressLimit();
// TRUE when the pages of an image of size bytes, in whole pages from start,
// stay within the first limit bytes of the device's address space.
bool ImageFitsAddressSpace(u32 start, long long size, int pageSize, unsigned long long limit);

// What both programming workers share: the polling loop, and the job chosen
// by the engine's interface (0 serial, 1 USB).
class CProgramWorker : public CWorkerThread {
 public:
  void Run() override { ServeJobs(); }
  virtual BOOL UpdateOverCom() = 0;
  virtual BOOL UpdateOverUsb() = 0;

 protected:
  void RunJob() override;
};

class COnlineUpdateThread : public CProgramWorker {
 public:
  explicit COnlineUpdateThread(CJobOwner* owner);
  ~COnlineUpdateThread() override;

  // Queues a job for the image file at path. FALSE (no job queued) when the
  // file does not open or holds no byte beyond the back end's header and
  // trailer. All fields are stored before the job flag is raised.
  BOOL SetJob(const CString& path, u32 start, BOOL erase, u32 password);

  BOOL UpdateOverUsb() override;
  BOOL UpdateOverCom() override;

 private:
  // The end-of-job actions: the job flag lowered, the owner re-enabled, and
  // after a job that ran to its end its views repainted.
  BOOL Finish(BOOL completed);

  CJobOwner* m_pOwner;
  CString m_strPath;
  CJobImage m_image;
  BOOL m_bErase = FALSE;
  u32 m_nPassword = 0;
};
