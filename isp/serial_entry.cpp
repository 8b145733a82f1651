#include "isp/serial_entry.h"

#include "isp/com_base.h"
#include "isp/engine.h"

SerialEntry EnterSerialBootloader(CCOMBase& com, u32 port, u32 baud, u32 entryMethod) {
  const BOOL timeoutEntry = entryMethod == TIMEOUT_ENTRY_METHOD ? TRUE : FALSE;
  if (com.Init(port, baud, 0, timeoutEntry) != 1) return SerialEntry::kPortFailed;
  if (timeoutEntry) com.ResetTargetByRts();
  return com.AutoBautRateDetect() ? SerialEntry::kEntered : SerialEntry::kHandshakeFailed;
}

BOOL EnterSerialBootloaderLogged(CCOMBase& com, u32 port, u32 baud, u32 entryMethod) {
  switch (EnterSerialBootloader(com, port, baud, entryMethod)) {
    case SerialEntry::kPortFailed:
      Engine().WriteLog(kComInitFailLog);
      return FALSE;
    case SerialEntry::kHandshakeFailed:
      Engine().WriteLog(entryMethod == TIMEOUT_ENTRY_METHOD ? "TIMEOUT_ENTRY_METHOD AutoBautRateDetect Fail!"
                                                            : "AutoBautRateDetect Fail!");
      return TRUE;
    case SerialEntry::kEntered:
      break;
  }
  return TRUE;
}
