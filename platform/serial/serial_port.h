#pragma once
// The narrow seam between the serial back ends and the operating system: one
// interface, the termios implementation beside it, a fake one in the tests.

#include <functional>
#include <memory>
#include <string>

#include "platform/core/wintypes.h"

namespace qv {

class ISerialPort {
 public:
  virtual ~ISerialPort() = default;

  // Opens COMn exclusively (a port that another program holds counts as absent).
  virtual bool Open(u32 portNumber) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Raw 8N1 at any baud rate, no flow control, DTR low, RTS high when rtsEnable.
  virtual bool Configure(u32 baud, bool rtsEnable) = 0;
  // Discards what is queued in both directions.
  virtual void Purge() = 0;
  // Bytes queued on the input (0 while closed); -1 when the device is gone,
  // until the next Open.
  virtual int QueuedInput() = 0;
  // Takes at most max bytes that are already queued, never waits. Count, or
  // -1 when closed or gone.
  virtual int ReadQueued(BYTE* data, u32 max) = 0;
  // Writes the whole frame within timeoutMs; on a time-out flushes the output
  // and fails, so that nothing stays outstanding.
  virtual bool Write(const BYTE* data, u32 length, u32 timeoutMs) = 0;
  // Waits until at least count bytes are queued or timeoutMs passed; TRUE when
  // they are. FALSE at once when closed or gone. Wakes as the bytes arrive.
  virtual bool WaitForInput(u32 count, u32 timeoutMs) = 0;
  // Raises or lowers RTS on the open port; a line without RTS (a pty) ignores it.
  virtual void SetRts(bool high) = 0;
};

// What COMn stands for: <program folder>/ports/COMn when that exists (even as
// a link to nothing), else the device of its range (COM1-32 /dev/ttyS0-31,
// COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31); empty beyond them.
struct ComDevice {
  std::string path;
  int ttySIndex = -1;  // n of a /dev/ttySn node, whose hardware sysfs shows
};
ComDevice ResolveComDevice(u32 portNumber);
// The device path alone.
std::string ResolveComName(u32 portNumber);
// The name of the kernel driver behind ttyS<index>, as sysfs links it
// (class/tty/ttySn/device/driver); empty when sysfs shows none.
std::string TtySDriver(int index);
// Tests put a fake sysfs and /dev in place; empty strings restore the real ones.
void SetSystemRootsForTesting(const std::string& sysRoot, const std::string& devRoot);
// Tests answer the probe's UART question (a known UART type behind the open
// descriptor) themselves; an empty function restores TIOCGSERIAL.
void SetUartCheckForTesting(std::function<bool(int fd)> check);

// The operating system's serial port.
std::unique_ptr<ISerialPort> CreateSystemSerialPort();

}  // namespace qv

// Tries to open COM1..COM128 (each held only for the moment of the test);
// flags[i] = 1 when COM(i+1) opened. A /dev/ttyS node counts only when sysfs
// shows a device with a driver behind it and TIOCGSERIAL reports a UART type
// other than unknown, whichever driver that is: most machines have dozens of
// ttyS nodes that open without any UART, each of which would cost a port
// search seconds. Returns the count found.
int ProbeComPorts(u32 flags[128], u32 ignored);
