#pragma once
// The application object: program folder, connection settings, back ends,
// version and title, and the run log.

#include <climits>
#include <functional>
#include <memory>

#include "app/ic_type_list.h"
#include "isp/engine.h"
#include "platform/core/cstring.h"
#include "platform/core/file.h"
#include "platform/core/sync.h"
#include "platform/win32/win_app.h"

// The longest program folder, in bytes: every path the program builds from it
// ("<folder>/Log/Runlog.txt", "<folder>/ports/COM128", a settings file's
// temporary "<folder>/Appconfig.dat.tmp-<pid>-<n>") must fit the system's
// PATH_MAX with its terminating zero, so 64 bytes are kept for those names.
inline constexpr size_t kProgramFolderMax = PATH_MAX - 64;

class CTaravikApp : public CWinApp, public CEngineContext {
 public:
  CTaravikApp();
  ~CTaravikApp() override;
  CTaravikApp(const CTaravikApp&) = delete;
  CTaravikApp& operator=(const CTaravikApp&) = delete;

  // Appends "\r\n" stamp "\r\n" text "\r\n" to Runlog.txt; drops the entry
  // silently when the log is not open or cannot be written.
  void WriteLog(CString text) override;

  // The whole life of the program: single instance, settings, run log, then
  // the command-line job or the interactive start. Always FALSE: the modal
  // dialogs are the program's only message loops.
  BOOL InitInstance() override;
  // Deletes the back ends; after a run with an I2C back end also writes the
  // settings record back and closes the log.
  int ExitInstance() override;

  // The "QvTPTool" lock, held for the life of the process; FALSE only when
  // another instance holds it.
  BOOL AcquireSingleInstance();
  // The back end of the chosen type and the connection settings into the
  // application's members and globals.
  void AdoptIcTypeChoice(const IcTypeChoice& choice);
  // Opens the serial port (RTS pulse and handshake) or the bridge (and its
  // board set-up); a failed handshake or a missing bridge is told in a
  // message box, and start-up goes on either way.
  void ConnectBackEnd();

  // Start-up's program folder rule: the module path's folder, whole. FALSE
  // (m_szAppDir empty) when the path cannot be had or the folder is longer
  // than kProgramFolderMax.
  BOOL LoadAppDir();
  // Start-up's log set-up: creates <folder>/Log, opens Log/Runlog.txt for
  // appending (created when absent). FALSE when it cannot; WriteLog then drops entries.
  BOOL OpenRunLog();

  u16 m_wVersion = 0;
  CString m_strIdeTitle;
  CFile m_fileLog;
  CRITICAL_SECTION m_csLog;

 private:
  std::unique_ptr<qv::InstanceLock> m_pInstanceLock;
};

extern CTaravikApp theApp;

// Runs write under lock inside a catch-all guard: whatever write throws, the
// entry is dropped and the lock released. The run log's writer.
void WriteLogGuarded(CRITICAL_SECTION& lock, const std::function<void()>& write) noexcept;

// The manual-reset event "Device_ResetEvent".
extern HANDLE g_hDeviceResetEvent;

// The program folder without a trailing '/'; the short form of a path is its long form here.
CString GetAppDirectory();
