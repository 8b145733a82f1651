#include "app/user_record.h"

#include <cstdlib>

#include "isp/config_keys.h"
#include "isp/engine.h"

namespace {

constexpr long kAllAreaValue = 5;
constexpr long kCustomAreaValue = 4;

std::optional<BOOL> ExactFlag(const CString& value) {
  if (value == cfg::kTrueText) return TRUE;
  if (value == cfg::kFalseText) return FALSE;
  return std::nullopt;
}

}  // namespace

CUserRecord::CUserRecord() : m_strFolder(Engine().m_szAppDir) {}

std::optional<BOOL> CUserRecord::Erase() const {
  return ExactFlag(CConfigIni(m_strFolder).Read(cfg::kErase));
}

std::optional<BOOL> CUserRecord::VerifyBin() const {
  return ExactFlag(CConfigIni(m_strFolder).Read(cfg::kVerifyBin));
}

BOOL CUserRecord::SetErase(BOOL checked) const {
  return CConfigIni(m_strFolder).Write(cfg::kErase, FlagText(checked));
}

BOOL CUserRecord::SetVerifyBin(BOOL checked) const {
  return CConfigIni(m_strFolder).Write(cfg::kVerifyBin, FlagText(checked));
}

CString CUserRecord::BinPath() const { return CConfigIni(m_strFolder).Read(cfg::kBinPath); }

BOOL CUserRecord::SetBinPath(const CString& path) const {
  return CConfigIni(m_strFolder).Write(cfg::kBinPath, path);
}

ReadArea CUserRecord::ReadOperateArea() const {
  const CString value = CConfigIni(m_strFolder).Read(cfg::kReadOperateArea);
  if (value.IsEmpty()) return ReadArea::kNone;
  switch (std::strtol(value, nullptr, 10)) {
    case kAllAreaValue: return ReadArea::kAll;
    case kCustomAreaValue: return ReadArea::kCustom;
    default: return ReadArea::kNone;
  }
}

BOOL CUserRecord::SetReadOperateArea(ReadArea area) const {
  CString value;
  switch (area) {
    case ReadArea::kNone: return FALSE;
    case ReadArea::kAll: value.Format("%ld", kAllAreaValue); break;
    case ReadArea::kCustom: value.Format("%ld", kCustomAreaValue); break;
  }
  return CConfigIni(m_strFolder).Write(cfg::kReadOperateArea, value);
}
