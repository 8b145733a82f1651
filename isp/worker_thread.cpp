#include "isp/worker_thread.h"

#include <system_error>

CWorkerThread::CWorkerThread() : m_hQuitEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

CWorkerThread::~CWorkerThread() {
  Stop(true, 0);
  CloseHandle(m_hQuitEvent);
}

bool CWorkerThread::Start(int /*priority*/, u32 /*creationFlags*/) {
  if (m_thread.joinable()) return false;
  m_bStopped.store(false, std::memory_order_release);
  try {
    m_thread = std::thread(&CWorkerThread::ThreadProc, this);
  } catch (const std::system_error&) {
    m_bStopped.store(true, std::memory_order_release);
    return false;
  }
  return true;
}

void CWorkerThread::Stop(bool wait, u32 /*timeoutMs*/) {
  if (!wait) return;
  m_bStopRequested.store(true, std::memory_order_release);
  m_bStopped.store(true, std::memory_order_release);
  SetEvent(m_hQuitEvent);
  if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) m_thread.join();
}

void CWorkerThread::ServeJobs(DWORD sliceMs) {
  if (IsStopped()) return;
  for (;;) {
    if (WaitForSingleObject(m_hQuitEvent, sliceMs) == WAIT_OBJECT_0) return;
    if (GetJobFlag() != 0) {
      m_bJobEnded = false;
      RunJob();
      if (!m_bJobEnded) EndJob();
    }
    if (IsStopped()) return;
  }
}

void CWorkerThread::EndJob() {
  m_bJobEnded = true;
  m_nJobFlag.store(0, std::memory_order_release);
}

unsigned CWorkerThread::ThreadProc(CWorkerThread* self) {
  self->Run();
  self->m_bStopped.store(true, std::memory_order_release);
  return 0;
}
