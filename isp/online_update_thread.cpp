#include "isp/online_update_thread.h"

#include <climits>

#include "isp/com_base.h"
#include "isp/engine.h"
#include "isp/program_job.h"
#include "isp/progress.h"
#include "isp/qv_ic_base.h"
#include "isp/serial_entry.h"

unsigned long long WriteJobAddressLimit() {
  CEngineContext& engine = Engine();
  if (engine.m_nInterface == 0 && engine.m_pCOMBase != nullptr) return engine.m_pCOMBase->GetAddressSpaceSize();
  if (engine.m_nInterface == 1 && g_pIcBase != nullptr) return g_pIcBase->GetAddressSpaceSize();
  return ULLONG_MAX;
}

COnlineUpdateThread::COnlineUpdateThread(CJobOwner* owner) : m_pOwner(owner) {}

COnlineUpdateThread::~COnlineUpdateThread() { Stop(true, 2000); }

BOOL COnlineUpdateThread::SetJob(const CString& path, u32 start, BOOL erase, u32 password) {
  m_strPath = path;
  m_image.Release();
  if (m_pOwner->IsImageLoaded()) {
    CCommonInterface* backEnd = Engine().m_pInterface;
    if (backEnd == nullptr) return FALSE;
    const long long length = ImageFileLength(path);
    if (length < 0) return FALSE;
    const int header = backEnd->GetFileHeaderSize();
    const long long size = length - header - backEnd->GetFileTrailerSize();
    if (IsNothingToProgram(size)) return FALSE;
    if (!m_image.Load(path, header, size, backEnd->GetPageSize(), start)) return FALSE;
  }
  m_bErase = erase;
  m_nPassword = password;
  RaiseJobFlag();
  return TRUE;
}

BOOL COnlineUpdateThread::Finish(BOOL completed) {
  EndJob();
  m_pOwner->EnableOwner();
  if (completed) m_pOwner->RepaintViews();
  return completed;
}

BOOL COnlineUpdateThread::UpdateOverCom() {
  if (!m_pOwner->IsImageLoaded()) return Finish(TRUE);
  CCOMBase* com = Engine().m_pCOMBase;
  CProgramJob job(*m_pOwner, *this, m_image, m_nPassword);
  return Finish(job.Execute([&] {
    if (com == nullptr) job.Fail(kFailSetup, kComInitFailLog);
    job.Begin(*com);
    const CEngineContext& engine = Engine();
    if (!EnterSerialBootloaderLogged(*com, engine.m_nComPort, engine.m_nBaudRate, engine.m_nEntryMethod)) {
      job.Fail(kFailSetup);
    }
    job.Post(kProgressEraseBegin, 10);
    if (!com->ProceseBeforeEraseAndWrite()) job.Fail(kFailSetup, "ProceseBeforeEraseAndWrite Fail");
    if (com->SendEraseCmd(m_image.m_nStartAddress, static_cast<u32>(m_image.m_nImageSize)) !=
        kStatusAck) {
      job.Fail(kFailSetup, "SendEraseCmd Fail!");
    }
    job.ProgramOverCom(*com);
  }));
}

BOOL COnlineUpdateThread::UpdateOverUsb() {
  if (!m_pOwner->IsImageLoaded()) return Finish(TRUE);
  CQvIcBase* ic = g_pIcBase;
  CProgramJob job(*m_pOwner, *this, m_image, m_nPassword);
  return Finish(job.Execute([&] {
    if (ic == nullptr) job.Fail(kFailComm);
    job.Begin(*ic);
    job.ResetTargetOverUsb();
    BYTE id[4] = {};
    ic->ReadChipId(id);
    if (m_image.m_nStartAddress == 0 && m_bErase) job.EraseOverUsb(*ic);
    job.ProgramOverUsb(*ic);
  }));
}
