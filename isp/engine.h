#pragma once
// What the engine needs of the application object, without knowing it: the
// connection settings, the back ends, the program folder and the run log. The
// application object derives from CEngineContext and installs itself; the
// tests install a recorder.

#include <climits>

#include "isp/common_interface.h"
#include "platform/core/cstring.h"

class CCOMBase;
class CQvIcBase;

class CEngineContext {
 public:
  virtual ~CEngineContext() = default;

  // Appends one time-stamped entry to the run log.
  virtual void WriteLog(CString text) = 0;

  // The program folder, held whole at any length the system allows.
  char m_szAppDir[PATH_MAX] = {};
  u32 m_nInterface = 0;    // 0 = serial port, 1 = USB bridge
  u32 m_nComPort = 0;      // 1-based
  u32 m_nBaudRate = 0;
  u32 m_nEntryMethod = 1;  // 1 = "Timeout Entry", 2 = "CheckPin Entry"
  CCOMBase* m_pCOMBase = nullptr;
  CCommonInterface* m_pInterface = nullptr;
};

inline constexpr u32 TIMEOUT_ENTRY_METHOD = 1;

// The context in force; a context that logs nothing until one is installed.
CEngineContext& Engine();
void SetEngine(CEngineContext* context);

// Chip parameters of the chosen IC type.
extern CQvIcBase* g_pIcBase;
extern char g_szIcType[132];
extern int g_nRamSizeK;
extern int g_nFlashSizeK;

// A text of hex digits as an unsigned value; any other character gives 0.
u32 HexTextToInt(const CString& text);
