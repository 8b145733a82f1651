#pragma once
// The way into a serial target's boot loader, which start-up, both
// programming jobs and the Read page's reader take: the port opened, the
// target reset by an RTS pulse for the "Timeout Entry" method, and the
// auto-baud handshake. What went wrong is a value; each caller says it in
// its own words, or not at all.

#include "platform/core/wintypes.h"

class CCOMBase;

enum class SerialEntry {
  kPortFailed,       // the port did not open: no pulse, no handshake
  kHandshakeFailed,  // the port is open; the target did not answer
  kEntered,
};

// Opens port at baud, with RTS enabled for the "Timeout Entry" method, which
// then resets the target by the RTS pulse before the handshake.
SerialEntry EnterSerialBootloader(CCOMBase& com, u32 port, u32 baud, u32 entryMethod);

// The entry of the Write page's job and the Read page's reader, which log
// what went wrong: FALSE, logged kComInitFailLog, when the port did not open;
// a failed handshake is logged with the entry method's text, and the caller
// goes on.
BOOL EnterSerialBootloaderLogged(CCOMBase& com, u32 port, u32 baud, u32 entryMethod);

inline constexpr char kComInitFailLog[] = "m_pCOMBase::Init Fail!";
