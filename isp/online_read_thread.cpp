#include "isp/online_read_thread.h"

#include <cstring>
#include <functional>
#include <new>

#include "isp/bridge_device.h"
#include "isp/com_base.h"
#include "isp/engine.h"
#include "isp/progress.h"
#include "isp/qv_ic_base.h"
#include "isp/serial_entry.h"
#include "platform/core/clock.h"

namespace {

// A thrown failure code, caught by the read that threw it: code 21 tells
// the page, code 0 tells nobody.
struct CReadFailure {
  int code;
};

constexpr DWORD kStepPauseMs = 15;
constexpr DWORD kRetryPauseMs = 10;
constexpr DWORD kPasswordSettleMs = 100;
// The target's reset on the board's I/O line before a read: held low
// 500 ms, then given 70 ms to come up.
constexpr DWORD kResetLowMs = 500;
constexpr DWORD kResetSettleMs = 70;
constexpr int kBridgeStep = 128;

}  // namespace

unsigned long long ReadAddressLimit() {
  CEngineContext& engine = Engine();
  if (engine.m_nInterface == 1) return g_pIcBase != nullptr ? 0x10000 - CQvIcBase::kReadWindow : 0;
  return engine.m_pCOMBase != nullptr ? engine.m_pCOMBase->GetAddressSpaceSize() : 0;
}

COnlineReadThread::COnlineReadThread(CReadOwner* owner) : m_pOwner(owner) {}

// Joined here, while the request and the buffer are still alive.
COnlineReadThread::~COnlineReadThread() { Stop(true, 5000); }

BOOL COnlineReadThread::SetRequest(const CReadRequest& request) {
  if (IsReading() || request.size <= 0) return FALSE;
  try {
    m_buffer.assign(static_cast<size_t>(request.size), 0);
  } catch (const std::bad_alloc&) {
    m_buffer.clear();
    return FALSE;
  }
  m_request = request;
  RaiseJobFlag();
  return TRUE;
}

void COnlineReadThread::RunJob() {
  if (Engine().m_nInterface == 1) {
    ReadChipOverBridge();
  } else {
    ReadChipOverUart();
  }
}

BOOL COnlineReadThread::RunRead(const std::function<void()>& body) {
  try {
    body();
  } catch (const CReadFailure& failure) {
    if (failure.code == kFailLate) m_pOwner->SendProgress(kProgressReadError, 0);
    return FALSE;
  }
  m_pOwner->SendProgress(kProgressReading, 100);
  // The code has room for the low 16 bits of the length only; the page takes
  // the whole length from Size().
  m_pOwner->SendProgress(kProgressReadData | (static_cast<WPARAM>(m_request.size) & 0xFFFF), 0);
  return TRUE;
}

void COnlineReadThread::ReadInSteps(int step, int steps, const std::function<bool(u32, int)>& readStep,
                                    const std::function<void(int)>& onFail) {
  int remaining = m_request.size;
  for (int i = 0; i < steps && remaining > 0; ++i) {
    // A stop request ends the read between steps, telling nobody.
    if (IsStopRequested()) throw CReadFailure{kFailSetup};
    const int offset = i * step;
    const u32 address = m_request.start + static_cast<u32>(offset);
    const int n = remaining > step ? step : remaining;
    const bool last = remaining <= step;
    remaining -= n;
    bool ok = readStep(address, n);
    if (!ok && !last) {
      Sleep(kRetryPauseMs);
      ok = readStep(address, n);
    }
    if (!ok) {
      onFail(i);
      throw CReadFailure{kFailLate};
    }
    std::memcpy(m_buffer.data() + offset, m_byPageBuf, static_cast<size_t>(n));
    m_pOwner->SendProgress(kProgressReading, static_cast<LPARAM>(i * 90 / steps));
    Sleep(kStepPauseMs);
  }
}

BOOL COnlineReadThread::ReadChipOverUart() {
  return RunRead([this] {
    CEngineContext& engine = Engine();
    CCOMBase* com = engine.m_pCOMBase;
    if (com == nullptr) throw CReadFailure{kFailSetup};
    const int page = com->GetPageSize();
    if (page <= 0 || page > kPageBufSize) throw CReadFailure{kFailSetup};
    m_pOwner->SendProgress(kProgressStart, 0);
    if (!EnterSerialBootloaderLogged(*com, engine.m_nComPort, engine.m_nBaudRate, engine.m_nEntryMethod)) {
      throw CReadFailure{kFailSetup};
    }
    if (com->IsPasswordRequired() && !m_request.password.IsEmpty()) {
      if (com->SendKeyinPasswordCmd(HexTextToInt(m_request.password)) != kStatusAck) {
        engine.WriteLog("SendKeyinPasswordCmd Fail!");
        throw CReadFailure{kFailLate};
      }
      Sleep(kPasswordSettleMs);
    }
    m_pOwner->SendProgress(kProgressReading, 10);
    // The last step also reads a whole page and keeps the bytes wanted.
    ReadInSteps(
        page, m_request.pages,
        [&](u32 address, int) { return com->SendReadPageCmd(address, m_byPageBuf) == kStatusAck; },
        [&](int index) {
          CString text;
          text.Format("Page Index %d Read Fail", index + 1);
          engine.WriteLog(text);
        });
  });
}

BOOL COnlineReadThread::ReadChipOverBridge() {
  return RunRead([this] {
    CQvIcBase* ic = g_pIcBase;
    if (ResetTargetByBoardIo(kResetLowMs, kResetSettleMs) != 0) throw CReadFailure{kFailLate};
    if (ic == nullptr) throw CReadFailure{kFailLate};
    m_pOwner->SendProgress(kProgressReading, 0);
    const int steps = m_request.size / kBridgeStep + (m_request.size % kBridgeStep != 0 ? 1 : 0);
    ReadInSteps(
        kBridgeStep, steps,
        [&](u32 address, int n) { return ic->ReadBlock(address, static_cast<u32>(n), m_byPageBuf) == 0; },
        [](int) {});
  });
}
