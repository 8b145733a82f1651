#include "isp/online_com_update_thread.h"

#include "isp/app_config.h"
#include "isp/back_end_factory.h"
#include "isp/bridge_device.h"
#include "isp/com_base.h"
#include "isp/config_keys.h"
#include "isp/engine.h"
#include "isp/program_job.h"
#include "isp/progress.h"
#include "isp/qv_ic_base.h"
#include "isp/serial_entry.h"
#include "platform/serial/serial_port.h"

namespace {

constexpr int kPortTable = 128;

CString ReadTypeKey(const ConfigTextKey& key, const CString& section) {
  return CConfigIni(Engine().m_szAppDir).Read(key, section);
}

}  // namespace

// Deletes the back ends the engine holds; m_pInterface is one of the others.
void DeleteEngineBackEnds() {
  CEngineContext& engine = Engine();
  CCommonInterface* com = engine.m_pCOMBase;
  CCommonInterface* ic = g_pIcBase;
  CCommonInterface* other = engine.m_pInterface;
  delete com;
  if (ic != com) delete ic;
  if (other != com && other != ic) delete other;
  engine.m_pCOMBase = nullptr;
  engine.m_pInterface = nullptr;
  g_pIcBase = nullptr;
}

BOOL ReadComInterfaceFlag(const CString& section) { return IsExactTrue(ReadTypeKey(cfg::kCom, section)); }

BOOL ReadUseK55UartIsp(const CString& section) {
  return IsExactTrue(ReadTypeKey(cfg::kUseK55UartIsp, section));
}

BOOL ReadUseW24AUartIsp(const CString& section) {
  return IsExactTrue(ReadTypeKey(cfg::kUseW24AUartIsp, section));
}

BOOL ReadUseQv7T0UsbIsp(const CString& section) {
  return IsExactTrue(ReadTypeKey(cfg::kUseQv7T0UsbIsp, section));
}

BYTE ReadSlaveAddress(const CString& section) {
  return static_cast<BYTE>(HexTextToInt(ReadTypeKey(cfg::kSlaveAddress, section)));
}

COnlineComUpdateThread::COnlineComUpdateThread(CJobOwner* owner)
    : m_pOwner(owner), m_portProbe([](u32 flags[128]) { return ProbeComPorts(flags, 0); }) {}

COnlineComUpdateThread::~COnlineComUpdateThread() { Stop(true, 2000); }

void COnlineComUpdateThread::InstallBackEnd(const CString& section) {
  DeleteEngineBackEnds();
  CBackEndChoice flags;
  flags.serial = ReadComInterfaceFlag(section);
  flags.k55 = ReadUseK55UartIsp(section);
  flags.w24a = ReadUseW24AUartIsp(section);
  flags.qv7t0 = ReadUseQv7T0UsbIsp(section);
  flags.slaveAddress = ReadSlaveAddress(section);
  // The plain chip is made without an address, so nothing reaches the
  // bridge; the job sets one after opening it.
  flags.plainChipTakesAddress = FALSE;
  const CBackEnd backEnd = CreateBackEnd(flags);
  CEngineContext& engine = Engine();
  engine.m_nInterface = flags.serial ? 0 : 1;
  engine.m_pCOMBase = backEnd.com;
  g_pIcBase = backEnd.ic;
  engine.m_pInterface = backEnd.Interface();
}

BOOL COnlineComUpdateThread::LoadImage(int mode, u32 start, u32 end, u32 skip) {
  CCommonInterface& backEnd = *Engine().m_pInterface;
  const long long length = ImageFileLength(m_strPath);
  if (length < 0) return FALSE;
  const long long header = backEnd.GetFileHeaderSize();
  const int pageSize = backEnd.GetPageSize();
  if (mode == kModeWholeFile) {
    const long long size = length - header - backEnd.GetFileTrailerSize() - skip;
    if (IsNothingToProgram(size)) return FALSE;
    return m_image.Load(m_strPath, header + skip, size, pageSize, start);
  }
  if (mode == kModeRange) {
    const long long size = static_cast<long long>(end) - start + 1;
    if (size <= 0) return FALSE;
    return m_image.Load(m_strPath, header + start, size, pageSize, start);
  }
  return FALSE;
}

void COnlineComUpdateThread::SetJob(const CString& section, const CString& path, int mode, u32 start,
                                    u32 end, u32 baudRate, u32 skip, u32 password) {
  InstallBackEnd(section);
  m_strSection = section;
  m_strPath = path;
  m_image.Release();
  if (!LoadImage(mode, start, end, skip)) return;
  if (mode == kModeWholeFile) m_nSkip = skip;
  m_nBaudRate = baudRate;
  m_nPassword = password;
  RaiseJobFlag();
}

BOOL COnlineComUpdateThread::Finish(BOOL completed) {
  EndJob();
  m_pOwner->EnableOwner();
  m_pOwner->ShowCloseButton();
  return completed;
}

BOOL COnlineComUpdateThread::UpdateOverCom() {
  CCOMBase* com = Engine().m_pCOMBase;
  CProgramJob job(*m_pOwner, *this, m_image, m_nPassword);
  return Finish(job.Execute([&] {
    if (com == nullptr) job.Fail(kFailComm);
    job.Begin(*com);
    job.Post(kProgressEraseBegin, 10);

    // The first present port whose target answers the before-write step and
    // acknowledges the erase is the target's. Nothing is logged meanwhile.
    u32 flags[kPortTable] = {};
    m_portProbe(flags);
    const u32 entryMethod = Engine().m_nEntryMethod;
    bool found = false;
    for (u32 i = 0; i < kPortTable && !found; ++i) {
      if (flags[i] == 0) continue;
      job.HonourStopRequest();
      // A target that misses the handshake may still answer what follows.
      if (EnterSerialBootloader(*com, i + 1, m_nBaudRate, entryMethod) == SerialEntry::kPortFailed) continue;
      if (!com->ProceseBeforeEraseAndWrite()) continue;
      found = com->SendEraseCmd(m_image.m_nStartAddress, static_cast<u32>(m_image.m_nImageSize)) ==
              kStatusAck;
    }
    if (!found) job.Fail(kFailComm);
    job.ProgramOverCom(*com);
  }));
}

void COnlineComUpdateThread::SetUpBridge() {
  if (!SetUpBridgeBoard()) return;
  // A 7T0 type names its own address; otherwise the one the settings keep.
  BYTE address = 0;
  if (ReadUseQv7T0UsbIsp(m_strSection)) address = ReadSlaveAddress(m_strSection);
  if (address == 0) address = g_AppConfig.bySlaveAddr;
  g_BridgeDevice.SetSlaveAddr(address);
}

BOOL COnlineComUpdateThread::UpdateOverUsb() {
  CQvIcBase* ic = g_pIcBase;
  CProgramJob job(*m_pOwner, *this, m_image, m_nPassword);
  return Finish(job.Execute([&] {
    if (ic == nullptr) job.Fail(kFailComm);
    job.Begin(*ic);
    if (g_BridgeDevice.Open() != 0) job.Fail(kFailComm);
    g_bBridgeConnected.store(1, std::memory_order_release);
    SetUpBridge();
    job.ResetTargetOverUsb();
    BYTE id[4] = {};
    ic->ReadChipId(id);
    if (m_image.m_nStartAddress == 0) job.EraseOverUsb(*ic);
    job.ProgramOverUsb(*ic);
  }));
}
