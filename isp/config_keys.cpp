#include "isp/config_keys.h"

#include <algorithm>

#include "platform/core/profile.h"

CConfigIni::CConfigIni(const char* folder) : m_strPath(CString(folder) + "/config.ini") {}

const char* CConfigIni::SectionOf(const char* keySection, const char* icType) const {
  if (keySection != nullptr) return keySection;
  return icType != nullptr ? icType : "";
}

CString CConfigIni::Read(const ConfigTextKey& key, const char* icType) const {
  char buf[cfg::kMaxRoom] = {};
  DWORD room = std::min(key.room, cfg::kMaxRoom);
  GetPrivateProfileStringA(SectionOf(key.section, icType), key.name, key.defaultText, buf, room, m_strPath);
  return CString(buf);
}

int CConfigIni::Read(const ConfigIntKey& key, const char* icType) const {
  return static_cast<int>(
      GetPrivateProfileIntA(SectionOf(key.section, icType), key.name, key.defaultValue, m_strPath));
}

BOOL CConfigIni::Write(const ConfigTextKey& key, const char* value) const {
  if (key.section == nullptr) return FALSE;
  return WritePrivateProfileStringA(key.section, key.name, value, m_strPath);
}

BOOL IsExactTrue(const CString& value) { return value == cfg::kTrueText ? TRUE : FALSE; }

BOOL IsAnyCaseTrue(const CString& value) { return value.CompareNoCase(cfg::kTrueText) == 0 ? TRUE : FALSE; }

const char* FlagText(BOOL on) { return on ? cfg::kTrueText : cfg::kFalseText; }
