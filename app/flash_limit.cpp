#include "app/flash_limit.h"

#include "isp/config_keys.h"
#include "isp/engine.h"

BOOL IsBootLoadInRom(const char* icType) {
  CString value = CConfigIni(Engine().m_szAppDir).Read(cfg::kBootLoadInRom, icType);
  return IsAnyCaseTrue(value);
}

long long UsableFlashKB(CCommonInterface& backEnd) {
  if (IsBootLoadInRom(g_szIcType)) return g_nFlashSizeK;
  return static_cast<long long>(g_nFlashSizeK) - backEnd.GetBootLoaderSizeKB();
}
