#pragma once
// Line settings through the kernel's termios2, which takes any baud rate.
// Kept apart because <asm/termbits.h> and <termios.h> cannot meet in one
// translation unit; this header includes neither.

#include "platform/core/wintypes.h"

namespace qv::serial {

// Raw 8N1 at baud (standard or not), receiver on, modem lines ignored, no flow
// control, VMIN 0 and VTIME 0. False when the driver refuses.
bool SetRawLine(int fd, u32 baud);
// The output baud rate in force, or 0 when it cannot be read.
u32 LineSpeed(int fd);
// Sets VMIN, which also makes poll report input only once that many bytes
// are queued (in non-canonical mode with VTIME 0).
bool SetMinChars(int fd, BYTE count);
// Asks a real UART driver to hand over received bytes at once; a pty or a
// driver without the flag refuses, which is harmless.
void TryLowLatency(int fd);
// TRUE when the driver reports a UART of a known type (TIOCGSERIAL): an 8250
// port without a chip behind it reports the unknown type.
bool HasKnownUart(int fd);

}  // namespace qv::serial
