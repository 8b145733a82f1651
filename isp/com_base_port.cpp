// The port layer of the serial back ends: open and configure, exact reads
// against one deadline, locked writes, and the RTS reset pulse.
#include "isp/com_base.h"

#include "platform/core/clock.h"

namespace {

// The scratch buffer size of FlushInput, hence the most it takes at once.
constexpr u32 kFlushChunk = 300;

}  // namespace

CCOMBase::CCOMBase(std::unique_ptr<qv::ISerialPort> port)
    : m_pPort(port ? std::move(port) : qv::CreateSystemSerialPort()) {
  InitializeCriticalSection(&m_csWrite);
}

CCOMBase::~CCOMBase() {
  m_pPort->Close();
  if (m_hWriteEvent != nullptr) CloseHandle(m_hWriteEvent);
  if (m_hReadEvent != nullptr) CloseHandle(m_hReadEvent);
  DeleteCriticalSection(&m_csWrite);
}

BOOL CCOMBase::Init(u32 port, u32 baud, u32, BOOL rtsEnable) {
  if (port < 1 || port > 255) return FALSE;
  m_nPort = port;
  if (m_hWriteEvent == nullptr) m_hWriteEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (m_hWriteEvent == nullptr) return FALSE;
  if (m_hReadEvent == nullptr) m_hReadEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (m_hReadEvent == nullptr) return FALSE;

  m_pPort->Close();
  if (!m_pPort->Open(port)) return FALSE;
  m_pPort->Purge();
  if (!m_pPort->Configure(baud, rtsEnable != 0)) {
    m_pPort->Close();
    return FALSE;
  }
  FlushInput();
  return 1;  // callers compare with 1
}

void CCOMBase::FlushInput() {
  if (!IsOpen()) return;
  BYTE scratch[kFlushChunk];
  while (m_pPort->QueuedInput() > 0) {
    if (m_pPort->ReadQueued(scratch, kFlushChunk) <= 0) break;
  }
}

BOOL CCOMBase::DoWriteDataBlockToCOM(const BYTE* data, u32 length, u32 timeoutMs) {
  if (!IsOpen()) return FALSE;
  EnterCriticalSection(&m_csWrite);
  BOOL ok = m_pPort->Write(data, length, timeoutMs) ? TRUE : FALSE;
  LeaveCriticalSection(&m_csWrite);
  return ok;
}

BOOL CCOMBase::DoReadDataBlockFromCOM(BYTE* data, u32* length, u32 timeoutMs) {
  if (!IsOpen() || length == nullptr) return FALSE;
  const u32 want = *length;
  // Nothing to read is never a success here; there is nothing to wait for.
  if (want == 0) return FALSE;
  const DWORD start = GetTickCount();
  for (;;) {
    int queued = m_pPort->QueuedInput();
    if (queued < 0) {
      // The device is gone; no byte will come before the deadline.
      *length = 0;
      return FALSE;
    }
    if (static_cast<u32>(queued) >= want) {
      int got = m_pPort->ReadQueued(data, want);
      if (got == static_cast<int>(want)) return TRUE;
      *length = 0;
      return FALSE;
    }
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return FALSE;
    m_pPort->WaitForInput(want, timeoutMs - elapsed);
  }
}

BOOL CCOMBase::IsOpen() const { return m_pPort->IsOpen() ? TRUE : FALSE; }

void CCOMBase::SetRts(BOOL high) {
  if (IsOpen()) m_pPort->SetRts(high != 0);
}

void CCOMBase::ResetTargetByRts() {
  SetRts(FALSE);
  Sleep(70);
  SetRts(TRUE);
  Sleep(100);
}
