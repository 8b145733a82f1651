#include "app/flash_limit.h"

#include "isp/config_keys.h"
#include "isp/engine.h"

BOOL IsBootLoadInRom(const char* icType) {
  CString value = CConfigIni(Engine().m_szAppDir).Read(cfg::kBootLoadInRom, icType);
  return IsAnyCaseTrue(value);
}

int UsableFlashKB(CCommonInterface& backEnd) {
  if (IsBootLoadInRom(g_szIcType)) return g_nFlashSizeK;
  return g_nFlashSizeK - backEnd.GetBootLoaderSizeKB();
}
