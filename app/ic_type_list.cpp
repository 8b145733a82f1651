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

IcTypePreset ReadIcTypePreset(const CString& icType, u8 previousSlaveAddress) {
  const CConfigIni ini(Engine().m_szAppDir);
  IcTypePreset preset;
  preset.ramSizeK = ini.Read(cfg::kRam, icType);
  preset.flashSizeK = ini.Read(cfg::kFlash, icType);
  preset.partNo = ini.Read(cfg::kPartNo, icType);
  preset.k55 = ReadUseK55UartIsp(icType) ? 1 : 0;
  preset.w24a = ReadUseW24AUartIsp(icType) ? 1 : 0;
  preset.interface = ReadComInterfaceFlag(icType) ? 0 : 1;
  preset.slaveAddress = previousSlaveAddress;
  if (preset.interface == 1) {
    preset.qv7t0 = ReadUseQv7T0UsbIsp(icType) ? 1 : 0;
    preset.slaveAddress = ReadSlaveAddress(icType);
  }
  return preset;
}
