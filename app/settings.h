#pragma once
// The settings files beside config.ini: the settings record's file
// Appconfig.dat and QvSel.inc, which gives the version and title shown in
// the main window's title bar.

#include "platform/core/cstring.h"
#include "platform/core/wintypes.h"

// Reads Appconfig.dat of the program folder into g_AppConfig: a shorter file
// replaces only the bytes it has, bytes beyond the record are ignored. FALSE
// (the record untouched) when the file is missing, is no regular file, or
// may not be both read and written (a read-only file, for root too).
BOOL LoadAppConfig();
// Writes all of g_AppConfig to Appconfig.dat through a temporary file and a
// rename. FALSE when it could not; the old file then stays whole.
BOOL SaveAppConfig();

// Reads the version (times ten) and the title from "<folder>/QvSel.inc",
// looking at no more than 20 lines. FALSE when the file does not open or a
// negative version stopped the reading; what was read before stays set.
BOOL ReadQvSelInc(const char* folder, u16& version, CString& title);

// One line of text and the positions of its tokens.
class CLineInfo {
 public:
  static constexpr int kTableSize = 32;
  static constexpr int kFirstToken = 3;  // entries 1 and 2 are not used
  static constexpr size_t kTextRoom = 300;
  // Lines are cut to this, so that every position and length fits in a byte.
  static constexpr size_t kMaxLineChars = 254;

  CLineInfo();
  virtual ~CLineInfo() = default;

  // Clears entries 1 to 31 of both tables and both texts, then copies the
  // line (cut to kMaxLineChars) into both texts.
  void SetLine(const CString& line);
  // Fills the tables from the work text. A ';' anywhere makes the whole line
  // a comment (entry 0) with no tokens; otherwise tokens are runs between
  // blanks and tabs, entry 3 on, at most 29 of them.
  void Parse();
  // Token 1 of the work text, trimmed; empty when there is none.
  CString GetFirstToken() const;

  // Entry 0: the comment mark; entries 3-31: the start of each token.
  u8 m_byTokenStart[kTableSize] = {};
  // Entry 0: from the comment mark to the end; entries 3-31: each token's
  // length plus one (for the blank, tab or zero after it).
  u8 m_byTokenLength[kTableSize] = {};
  char m_szLine[kTextRoom] = {};
  char m_szText[kTextRoom] = {};
};
