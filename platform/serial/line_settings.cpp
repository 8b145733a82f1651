// Only the kernel's own terminal definitions here (see line_settings.h).
#include "platform/serial/line_settings.h"

#include <asm/termbits.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

namespace qv::serial {

bool SetRawLine(int fd, u32 baud) {
  if (baud == 0) return false;  // B0 would hang the line up
  termios2 tio{};
  if (::ioctl(fd, TCGETS2, &tio) != 0) return false;
  tio.c_iflag = 0;
  tio.c_oflag = 0;
  tio.c_lflag = 0;
  tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT) | CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL);
  tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT) | CS8 | CREAD | CLOCAL;
  tio.c_ispeed = baud;
  tio.c_ospeed = baud;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  return ::ioctl(fd, TCSETS2, &tio) == 0;
}

u32 LineSpeed(int fd) {
  termios2 tio{};
  if (::ioctl(fd, TCGETS2, &tio) != 0) return 0;
  return tio.c_ospeed;
}

bool SetMinChars(int fd, BYTE count) {
  termios2 tio{};
  if (::ioctl(fd, TCGETS2, &tio) != 0) return false;
  if (tio.c_cc[VMIN] == count) return true;
  tio.c_cc[VMIN] = count;
  return ::ioctl(fd, TCSETS2, &tio) == 0;
}

void TryLowLatency(int fd) {
  serial_struct ss{};
  if (::ioctl(fd, TIOCGSERIAL, &ss) != 0) return;
  ss.flags |= ASYNC_LOW_LATENCY;
  (void)::ioctl(fd, TIOCSSERIAL, &ss);
}

bool HasKnownUart(int fd) {
  serial_struct ss{};
  return ::ioctl(fd, TIOCGSERIAL, &ss) == 0 && ss.type != PORT_UNKNOWN;
}

}  // namespace qv::serial
