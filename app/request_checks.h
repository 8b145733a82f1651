#pragma once
// The checks of what the operator typed before a write or a read is handed
// on: the start address, the password and the read area. Each refusal has
// its message; nothing is handed on after one.

#include "isp/common_interface.h"
#include "isp/online_read_thread.h"
#include "platform/core/cstring.h"
#include "platform/core/wintypes.h"

// The password every page presets for chips that ask for one.
inline constexpr char kDefaultPasswordText[] = "3B8E61C4";

inline constexpr char kInvalidPasswordText[] = "Input Password is invalid!";

// A password text as the jobs take it: empty gives 0 (no password sent);
// otherwise hex digits that give a nonzero value. FALSE for "0" or a text with
// any other character.
BOOL ParsePasswordText(const CString& text, u32* password);

// ---- Write ----

struct CWriteRequest {
  u32 start = 0;
  u32 password = 0;
};

enum class WriteCheck {
  kOk,
  kAddressNotHex,     // "Update Part" with an address that is not all hex digits
  kAddressNotOnPage,  // not a multiple of the page size
  kBadPassword,
  kImageDoesNotFit,   // pages from the start address beyond what the back end addresses
};

// The start address is the edit's only when updatePart is set, else 0; the
// password only when the back end asks for one.
WriteCheck CheckWriteRequest(BOOL updatePart, const CString& addressText,
                             const CString& passwordText, CCommonInterface& backEnd,
                             CWriteRequest* request);
// The refusal's message and caption (the caption empty: the application's title).
CString WriteCheckText(WriteCheck check, int pageSize);
const char* WriteCheckCaption(WriteCheck check);

// ---- Read ----

enum class ReadArea { kNone, kAll, kCustom };

enum class ReadCheck {
  kOk,
  kNoArea,          // neither All Area nor Custom Area chosen
  kEndBeforeStart,  // a custom range whose end lies before its start
  kTooBig,          // more than the usable flash, the request holds or the back end reaches
  kBadPassword,
};

// All Area reads the usable flash from 0; Custom Area from..to, both ends
// included, as hex digits without a prefix (any other text counts as 0).
// reachBytes: the addresses the reader's back end can reach from 0.
ReadCheck CheckReadRequest(ReadArea area, const CString& fromText, const CString& toText,
                           const CString& passwordText, long long usableBytes,
                           unsigned long long reachBytes, CCommonInterface& backEnd,
                           CReadRequest* request);
// The refusal's message; every one is shown under the application's title.
CString ReadCheckText(ReadCheck check);
