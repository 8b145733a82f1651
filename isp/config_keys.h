#pragma once
// Every key of config.ini in one place: its section, the room of the buffer
// it is read into (the value holds one character fewer; longer values are
// cut), and its default. A key whose section is nullptr lives in the IC
// type's own section, named at the call. The file is never cached: each read
// and write goes to the file.

#include "platform/core/cstring.h"
#include "platform/core/wintypes.h"

struct ConfigTextKey {
  const char* section;
  const char* name;
  DWORD room;
  const char* defaultText;
};

struct ConfigIntKey {
  const char* section;
  const char* name;
  int defaultValue;
};

namespace cfg {

inline constexpr char kUserRecord[] = "UserRecord";
inline constexpr char kIcTypeList[] = "ICTYPELIST";

// The operator's last choices.
inline constexpr ConfigTextKey kReadOperateArea{kUserRecord, "ReadOperateArea", 255, ""};
inline constexpr ConfigTextKey kBinPath{kUserRecord, "BINPATH", 255, ""};
inline constexpr ConfigTextKey kErase{kUserRecord, "ERASE", 255, ""};
inline constexpr ConfigTextKey kVerifyBin{kUserRecord, "VERIFYBIN", 255, ""};

// The IC type names, comma-separated; each also names its section.
inline constexpr ConfigTextKey kList{kIcTypeList, "LIST", 255, ""};

// Per IC type. "COM " and "USE_QV7T0_USBISP " carry their trailing blank as
// the files' tools always passed them; the lookup ignores it.
inline constexpr ConfigIntKey kRam{nullptr, "RAM", 0};
inline constexpr ConfigIntKey kFlash{nullptr, "FLASH", 0};
inline constexpr ConfigTextKey kPartNo{nullptr, "PARTNO", 51, ""};
inline constexpr ConfigTextKey kUseK55UartIsp{nullptr, "USE_K55_UARTISP", 10, "FALSE"};
inline constexpr ConfigTextKey kUseW24AUartIsp{nullptr, "USE_W24A_UARTISP", 10, "FALSE"};
inline constexpr ConfigTextKey kCom{nullptr, "COM ", 10, "TRUE"};
inline constexpr ConfigTextKey kUseQv7T0UsbIsp{nullptr, "USE_QV7T0_USBISP ", 10, "FALSE"};
inline constexpr ConfigTextKey kSlaveAddress{nullptr, "SLAVE_ADDRESS", 10, "0X50"};
inline constexpr ConfigTextKey kBootLoadInRom{nullptr, "BootLoadInRom", 10, "FALSE"};

// The largest room of any key: the read buffer.
inline constexpr DWORD kMaxRoom = 255;

inline constexpr char kTrueText[] = "TRUE";
inline constexpr char kFalseText[] = "FALSE";

}  // namespace cfg

// config.ini in a program folder.
class CConfigIni {
 public:
  // The file "<folder>/config.ini".
  explicit CConfigIni(const char* folder);

  // The value cut to the key's room, or its default. icType names the
  // section of a per-IC-type key and is ignored for the others.
  CString Read(const ConfigTextKey& key, const char* icType = nullptr) const;
  int Read(const ConfigIntKey& key, const char* icType = nullptr) const;
  // Only keys of a fixed section are ever written; FALSE when the file
  // cannot be written (the old one then stays whole).
  BOOL Write(const ConfigTextKey& key, const char* value) const;

  const CString& Path() const { return m_strPath; }

 private:
  const char* SectionOf(const char* keySection, const char* icType) const;

  CString m_strPath;
};

// Exactly "TRUE", case and all.
BOOL IsExactTrue(const CString& value);
// "TRUE" in any case.
BOOL IsAnyCaseTrue(const CString& value);
// The text a flag is written as: "TRUE" or "FALSE".
const char* FlagText(BOOL on);
