#include "app/command_line.h"

#include <cstdlib>
#include <cstring>

#include "app/dlg_download.h"
#include "isp/engine.h"
#include "isp/online_com_update_thread.h"

namespace {

// The rates a command line may name; 57600 is not among them.
constexpr const char* kBaudTexts[] = {"9600",  "14400",  "19200",  "38400",
                                      "56000", "115200", "128000", "256000"};

bool Is(const char* text, const char* lower, const char* upper) {
  return std::strcmp(text, lower) == 0 || std::strcmp(text, upper) == 0;
}

}  // namespace

void CMyCommandLineInfo::ParseParam(const char* param, BOOL, BOOL) {
  if (m_nCount >= kSlots) return;
  std::strncpy(m_szParam[m_nCount], param, kSlotRoom - 1);
  m_szParam[m_nCount][kSlotRoom - 1] = '\0';
  ++m_nCount;
}

BOOL CMyCommandLineInfo::IsSwitch(const char* text) const { return IsDownloadSwitch(text); }

BOOL IsDownloadSwitch(const char* text) {
  return Is(text, "c", "C") || Is(text, "i", "I") || Is(text, "a", "A") || Is(text, "p", "P") ||
         Is(text, "b", "B") || Is(text, "pwd", "PWD");
}

DownloadCommand ParseDownloadCommand(const CMyCommandLineInfo& info) {
  DownloadCommand command;
  command.password = kDefaultPassword;
  const int count = info.GetCount();
  int i = 0;
  while (i < count) {
    const char* sw = info.GetSlot(i);
    if (!IsDownloadSwitch(sw)) {
      ++i;
      continue;
    }
    const char* value = i + 1 < count ? info.GetSlot(i + 1) : "";
    if (Is(sw, "c", "C")) {
      command.icType = value;
      Engine().WriteLog(value);
    } else if (Is(sw, "i", "I")) {
      command.imagePath = value;
      Engine().WriteLog(value);
    } else if (Is(sw, "a", "A")) {
      command.startAddress = static_cast<u32>(std::atoi(value));
    } else if (Is(sw, "p", "P")) {
      for (const char* rate : kBaudTexts) {
        if (std::strcmp(value, rate) == 0) command.baudRate = static_cast<u32>(std::atoi(rate));
      }
    } else if (Is(sw, "b", "B")) {
      command.skip = static_cast<u32>(std::atoi(value));
    } else {
      command.password = HexTextToInt(value);
    }
    i += 2;
  }
  return command;
}

void RunCommandLineMode(const CMyCommandLineInfo& info) {
  const DownloadCommand command = ParseDownloadCommand(info);
  CDlgDownload dlg(command.icType, command.imagePath, command.startAddress, command.baudRate,
                   command.skip, command.password, nullptr);
  dlg.DoModal();
}
