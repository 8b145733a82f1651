// Start-up and shutdown of the application object.

#include <cstring>

#include "app/command_line.h"
#include "app/dlg_online_update_and_read.h"
#include "app/dlg_select_ic_type.h"
#include "app/settings.h"
#include "app/taravik_app.h"
#include "isp/app_config.h"
#include "isp/back_end_factory.h"
#include "isp/bridge_device.h"
#include "isp/com_base.h"
#include "isp/qv_ic_base.h"
#include "isp/serial_entry.h"
#include "platform/win32/dialog/message_box.h"

namespace {

constexpr char kProgramFolderRefused[] =
    "The program folder cannot be used: its path cannot be read or is longer than %d bytes. "
    "Move the program to a folder with a shorter path.";

}  // namespace

BOOL CTaravikApp::InitInstance() {
  CWinApp::InitInstance();
  SetRegistryKey("Local AppWizard-Generated Applications");
  if (!AcquireSingleInstance()) return FALSE;
  // The folder is found before anything is read from it: one that cannot be
  // held whole is refused, never replaced by another.
  if (!LoadAppDir()) {
    CString text;
    text.Format(kProgramFolderRefused, static_cast<int>(kProgramFolderMax));
    AfxMessageBox(text, MB_OK | MB_ICONSTOP);
    return FALSE;
  }
  LoadAppConfig();
  g_hDeviceResetEvent = CreateEventA(nullptr, TRUE, TRUE, "Device_ResetEvent");
  OpenRunLog();

  CMyCommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo);
  if (cmdInfo.GetCount() >= 1) {
    RunCommandLineMode(cmdInfo);
    return FALSE;
  }

  ReadQvSelInc(m_szAppDir, m_wVersion, m_strIdeTitle);
  m_pCOMBase = nullptr;
  m_pInterface = nullptr;
  g_pIcBase = nullptr;
  CDlgSelectICType dlgSelect;
  if (dlgSelect.DoModal() == IDCANCEL) return FALSE;
  AdoptIcTypeChoice(dlgSelect.m_choice);
  ConnectBackEnd();
  CDlgOnlineUpdateAndRead dlgMain;
  m_pMainWnd = &dlgMain;
  dlgMain.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}

BOOL CTaravikApp::AcquireSingleInstance() {
  if (m_pInstanceLock == nullptr) m_pInstanceLock = std::make_unique<qv::InstanceLock>("QvTPTool");
  // Only another running instance ends the start: a lock that cannot be had
  // for any other reason lets the program run without it.
  return m_pInstanceLock->GetState() != qv::InstanceLock::State::kHeldElsewhere ? TRUE : FALSE;
}

void CTaravikApp::AdoptIcTypeChoice(const IcTypeChoice& choice) {
  g_nFlashSizeK = choice.flashSizeK;
  g_nRamSizeK = choice.ramSizeK;
  std::strncpy(g_szIcType, choice.icType.GetString(), sizeof g_szIcType - 1);
  g_szIcType[sizeof g_szIcType - 1] = '\0';
  CBackEndChoice flags;
  flags.serial = choice.interface == 0 ? TRUE : FALSE;
  flags.k55 = choice.k55 != 0 ? TRUE : FALSE;
  flags.w24a = choice.w24a != 0 ? TRUE : FALSE;
  flags.qv7t0 = choice.qv7t0 != 0 ? TRUE : FALSE;
  flags.slaveAddress = choice.slaveAddress;
  // Start-up has cleared all three pointers; the one not made stays null.
  const CBackEnd backEnd = CreateBackEnd(flags);
  m_pCOMBase = backEnd.com;
  g_pIcBase = backEnd.ic;
  m_pInterface = backEnd.Interface();
  m_nInterface = choice.interface;
  m_nComPort = choice.port;
  m_nBaudRate = choice.baudRate;
  m_nEntryMethod = choice.entryMethod;
}

void CTaravikApp::ConnectBackEnd() {
  if (m_nInterface == 0) {
    if (m_pCOMBase == nullptr) return;
    // A port that does not open is the status strip's to show.
    if (EnterSerialBootloader(*m_pCOMBase, m_nComPort, m_nBaudRate, m_nEntryMethod) ==
        SerialEntry::kHandshakeFailed) {
      AfxMessageBox("Auto Detect Baudrate Fail!", MB_OK);
    }
    return;
  }
  if (g_BridgeDevice.Open() != 0) {
    AfxMessageBox("Can not find [Control Board] !", MB_OK);
    return;
  }
  g_bBridgeConnected.store(1, std::memory_order_release);
  SetUpBridgeBoard();
}

int CTaravikApp::ExitInstance() {
  if (m_pCOMBase != nullptr) {
    delete m_pCOMBase;
    m_pCOMBase = nullptr;
  }
  if (g_pIcBase == nullptr) return CWinApp::ExitInstance();
  delete g_pIcBase;
  g_pIcBase = nullptr;
  CloseHandle(g_hDeviceResetEvent);
  g_hDeviceResetEvent = nullptr;
  SaveAppConfig();
  m_fileLog.Close();
  DeleteCriticalSection(&m_csLog);
  return CWinApp::ExitInstance();
}
