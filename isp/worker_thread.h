#pragma once
// The base of the programming workers: one thread that runs the worker's
// loop, the quit event that ends the loop, the job flag through which the UI
// thread hands over a job, and a request to stop that a running job honours
// at its next page. A worker is stopped and joined, never killed.

#include <atomic>
#include <thread>

#include "platform/core/sync.h"
#include "platform/core/wintypes.h"

class CWorkerThread {
 public:
  CWorkerThread();
  // Stops and joins a thread that still runs; derived workers stop theirs
  // first, while their own members are still alive.
  virtual ~CWorkerThread();
  CWorkerThread(const CWorkerThread&) = delete;
  CWorkerThread& operator=(const CWorkerThread&) = delete;

  // Starts the thread (once). The priority and creation flags of the
  // original callers are always normal and "run at once", which is what a
  // std::thread does, so they are accepted and not used.
  virtual bool Start(int priority, u32 creationFlags);
  // With wait false: nothing. Otherwise sets the stopped flag and the stop
  // request, signals the quit event and joins the thread; a running job ends
  // at its next page, so the wait is bounded by that page's own time-outs.
  // The time-out is kept for the callers' sake: the thread is never cut off.
  virtual void Stop(bool wait, u32 timeoutMs);
  // The worker's loop, on the worker's thread.
  virtual void Run() = 0;

  bool IsStopped() const { return m_bStopped.load(std::memory_order_acquire); }
  bool IsStopRequested() const { return m_bStopRequested.load(std::memory_order_acquire); }
  // 1 while a job is pending or running (the main window's busy state).
  u32 GetJobFlag() const { return m_nJobFlag.load(std::memory_order_acquire); }
  // The manual-reset quit event: setting it ends an idle loop within its
  // current wait; Stop(true, ...) then joins.
  HANDLE GetQuitEvent() const { return m_hQuitEvent; }

 protected:
  // Publishes the job fields stored before it.
  void RaiseJobFlag() { m_nJobFlag.store(1, std::memory_order_release); }
  // The hand-over at a job's end, on the worker's thread: lowers the job
  // flag. A worker calls it before it re-enables its owner, so that a job
  // the owner queues as soon as it is enabled is never lowered with the one
  // that ended.
  void EndJob();
  // The loop every worker shares: returns at once when stopped; waits on the
  // quit event in slices (500 ms for the programming workers); after a slice
  // without quit runs RunJob when the job flag is up, and lowers the flag
  // after it unless the job has done so itself (EndJob).
  void ServeJobs(DWORD sliceMs = kPollSliceMs);
  static constexpr DWORD kPollSliceMs = 500;
  virtual void RunJob() = 0;

 private:
  static unsigned ThreadProc(CWorkerThread* self);

  std::thread m_thread;
  HANDLE m_hQuitEvent = nullptr;
  std::atomic<bool> m_bStopped{true};
  std::atomic<bool> m_bStopRequested{false};
  std::atomic<u32> m_nJobFlag{0};
  bool m_bJobEnded = false;  // the worker thread's own
};
