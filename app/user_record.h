#pragma once
// The operator's last choices that the Write and Read pages keep in the
// "UserRecord" section of config.ini in the program folder.

#include <optional>

#include "app/request_checks.h"
#include "platform/core/cstring.h"
#include "platform/core/wintypes.h"

class CUserRecord {
 public:
  CUserRecord();

  // "ERASE" and "VERIFYBIN": exactly "TRUE" or "FALSE"; any other value (an
  // empty one, "true") leaves the box as it is.
  std::optional<BOOL> Erase() const;
  std::optional<BOOL> VerifyBin() const;
  BOOL SetErase(BOOL checked) const;
  BOOL SetVerifyBin(BOOL checked) const;

  // "BINPATH": the image file loaded last; empty when none.
  CString BinPath() const;
  BOOL SetBinPath(const CString& path) const;

  // "ReadOperateArea": 5 All Area, 4 Custom Area, read as a decimal number;
  // absent, empty or any other value chooses neither (kNone).
  ReadArea ReadOperateArea() const;
  // Stores 5 or 4; kNone stores nothing.
  BOOL SetReadOperateArea(ReadArea area) const;

 private:
  CString m_strFolder;
};
