#include "app/ic_type_list.h"

#include "isp/config_keys.h"
#include "isp/engine.h"
#include "isp/online_com_update_thread.h"

std::vector<CString> SplitIcTypeList(const CString& list) {
  std::vector<CString> items;
  CString rest = list;
  for (int comma = rest.Find(','); comma > 0; comma = rest.Find(',')) {
    CString item = rest.Left(comma);
    items.push_back(item.Trim());
    rest = rest.Mid(comma + 1);
  }
  if (!rest.IsEmpty()) items.push_back(rest);
  return items;
}

std::vector<CString> ReadIcTypeList() {
  return SplitIcTypeList(CConfigIni(Engine().m_szAppDir).Read(cfg::kList));
}

void ApplyIcTypePreset(const CString& icType, IcTypeChoice* choice) {
  const CConfigIni ini(Engine().m_szAppDir);
  choice->icType = icType;
  choice->ramSizeK = ini.Read(cfg::kRam, icType);
  choice->flashSizeK = ini.Read(cfg::kFlash, icType);
  choice->partNo = ini.Read(cfg::kPartNo, icType);
  choice->k55 = ReadUseK55UartIsp(icType) ? 1 : 0;
  choice->w24a = ReadUseW24AUartIsp(icType) ? 1 : 0;
  choice->interface = ReadComInterfaceFlag(icType) ? 0 : 1;
  choice->qv7t0 = 0;
  if (choice->interface == 1) {
    choice->qv7t0 = ReadUseQv7T0UsbIsp(icType) ? 1 : 0;
    choice->slaveAddress = ReadSlaveAddress(icType);
  }
}
