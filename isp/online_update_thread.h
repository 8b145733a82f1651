#pragma once
// The Write page's worker: it takes one job at a time from the page, reads
// its image, and runs the erase-write-verify job over the engine's serial or
// I2C back end.

#include "isp/job_image.h"
#include "isp/job_owner.h"
#include "isp/program_worker.h"
#include "platform/core/cstring.h"

// The address space of the back end that a Write page job runs on (the
// engine's interface); no limit without that back end, whose job then
// fails on its own.
unsigned long long WriteJobAddressLimit();

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
