#pragma once
// The framework's application object: the program's parameters, their
// parsing into a command-line object, and the life cycle that the program's
// main() drives: InitInstance, then Run or ExitInstance.

#include <string>
#include <vector>

#include "platform/core/cstring.h"
#include "platform/core/wintypes.h"

class CWnd;

class CCommandLineInfo {
 public:
  CCommandLineInfo() = default;
  virtual ~CCommandLineInfo() = default;
  CCommandLineInfo(const CCommandLineInfo&) = delete;
  CCommandLineInfo& operator=(const CCommandLineInfo&) = delete;

  // One parameter, its leading '-' or '/' removed when flag is TRUE; last is
  // TRUE for the final parameter. The framework's own object keeps nothing.
  virtual void ParseParam(const char* param, BOOL flag, BOOL last);
  // Whether text (a parameter without its leading '/') names a switch. A
  // '/' is dropped only then, so that an absolute path keeps its first '/'.
  virtual BOOL IsSwitch(const char* text) const;
};

class CWinApp {
 public:
  // appName nullptr: the executable's name. Message boxes show it as their title.
  explicit CWinApp(const char* appName = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // TRUE: the framework runs its message loop (Run); FALSE: it calls ExitInstance.
  virtual BOOL InitInstance();
  // The process's exit code.
  virtual int ExitInstance();
  // The message loop until the last window has gone, then ExitInstance.
  virtual int Run();

  // Hands every parameter, in order, to info.ParseParam: a leading '-' is
  // always removed (flag TRUE); a leading '/' only when the rest is a switch
  // for info.
  void ParseCommandLine(CCommandLineInfo& info) const;
  // Nothing of the program is stored under the key.
  void SetRegistryKey(const char* key);

  // The process's parameters as main() received them, before anything else
  // reads them. argv[0] names the executable and gives the default title.
  void SetCommandLine(int argc, const char* const* argv);

  CString m_pszAppName;
  CString m_pszRegistryKey;
  // The parameters after the program name, joined by blanks.
  CString m_lpCmdLine;
  CWnd* m_pMainWnd = nullptr;

 private:
  std::vector<std::string> m_params;
  bool m_bDefaultName = true;
  CWinApp* m_pPrevApp;
};

// The one application object of the process, nullptr before it is built.
CWinApp* AfxGetApp();
// The framework's entry: takes the parameters, starts the GUI host with none
// of them, then InitInstance and Run or ExitInstance. Returns the exit code.
int AfxWinMain(int argc, char** argv);
