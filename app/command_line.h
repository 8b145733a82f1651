#pragma once
// The command-line mode: the parameters collected into ten slots, read as
// switch and value pairs, and the one download job they describe.

#include "platform/core/cstring.h"
#include "platform/core/wintypes.h"
#include "platform/win32/win_app.h"

class CMyCommandLineInfo : public CCommandLineInfo {
 public:
  static constexpr int kSlots = 10;
  static constexpr int kSlotRoom = 255;  // 254 characters and the terminating zero

  CMyCommandLineInfo() = default;
  ~CMyCommandLineInfo() override = default;

  // Copies the text, cut to 254 characters, into the next free slot; an
  // eleventh parameter and any after it are dropped.
  void ParseParam(const char* param, BOOL flag, BOOL last) override;
  // Only the download switches lose a leading '/'.
  BOOL IsSwitch(const char* text) const override;

  int GetCount() const { return m_nCount; }
  const char* GetSlot(int i) const { return m_szParam[i]; }

 private:
  char m_szParam[kSlots][kSlotRoom] = {};
  int m_nCount = 0;
};

// What the switches of a command line give.
struct DownloadCommand {
  CString icType;
  CString imagePath;
  u32 startAddress = 0;
  u32 baudRate = 9600;
  u32 skip = 0;
  u32 password = 0;
};

// One of "c", "C", "i", "I", "a", "A", "p", "P", "b", "B", "pwd", "PWD".
BOOL IsDownloadSwitch(const char* text);

// Reads the slots as switch and value pairs; an unrecognised slot is skipped
// alone, a switch in the last slot has an empty value. Every "c" and "i"
// value is written to the run log, in order, as it is read.
DownloadCommand ParseDownloadCommand(const CMyCommandLineInfo& info);


// Runs the job of the command line in the download dialog and returns when
// the dialog has closed.
void RunCommandLineMode(const CMyCommandLineInfo& info);
