// The system serial port on termios: every descriptor non-blocking, so that
// nothing ever stays outstanding and every wait has its own deadline.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <mutex>
#include <utility>

#include "platform/serial/line_settings.h"
#include "platform/serial/serial_port.h"

namespace qv {

namespace {

using SteadyClock = std::chrono::steady_clock;

int RemainingMs(SteadyClock::time_point deadline) {
  auto left = deadline - SteadyClock::now();
  if (left <= SteadyClock::duration::zero()) return 0;
  // Round up, so that a wait never ends just before its deadline and spins.
  return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

bool IsDeviceGone(int err) { return err == EIO || err == ENXIO || err == ENODEV || err == EBADF; }

// Opens path as a serial port that no one else may use: the flock keeps out
// the other programs that honour it, TIOCEXCL the rest (except root). -1 when
// the port is absent, is no terminal, or is held elsewhere.
int OpenExclusive(const std::string& path) {
  if (path.empty()) return -1;
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  if (!::isatty(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

void CloseExclusive(int fd) {
  // The exclusive flag belongs to the terminal, not to this descriptor: a
  // terminal that someone else keeps open would stay locked after us.
  (void)::ioctl(fd, TIOCNXCL);
  ::close(fd);
}

void SetModemLine(int fd, int line, bool high) {
  (void)::ioctl(fd, high ? TIOCMBIS : TIOCMBIC, &line);
}

class PosixSerialPort : public ISerialPort {
 public:
  ~PosixSerialPort() override { Close(); }

  bool Open(u32 portNumber) override {
    Close();
    int fd = OpenExclusive(ResolveComName(portNumber));
    if (fd < 0) return false;
    serial::TryLowLatency(fd);
    minChars_ = -1;
    gone_.store(false, std::memory_order_release);
    fd_.store(fd, std::memory_order_release);
    return true;
  }

  void Close() override {
    int fd = fd_.exchange(-1, std::memory_order_acq_rel);
    if (fd >= 0) CloseExclusive(fd);
  }

  bool IsOpen() const override { return fd_.load(std::memory_order_acquire) >= 0; }

  bool Configure(u32 baud, bool rtsEnable) override {
    int fd = fd_.load(std::memory_order_acquire);
    if (fd < 0 || !serial::SetRawLine(fd, baud)) return false;
    minChars_ = 0;
    SetModemLine(fd, TIOCM_DTR, false);
    SetModemLine(fd, TIOCM_RTS, rtsEnable);
    return true;
  }

  void Purge() override {
    int fd = fd_.load(std::memory_order_acquire);
    if (fd >= 0) ::tcflush(fd, TCIOFLUSH);
  }

  int QueuedInput() override {
    int fd = fd_.load(std::memory_order_acquire);
    if (fd < 0) return 0;
    if (gone_.load(std::memory_order_acquire)) return -1;
    int n = 0;
    if (::ioctl(fd, FIONREAD, &n) != 0) return MarkGone();
    if (n == 0) {
      // An unplugged adapter (or a far end that hung up) may still report an
      // empty queue; the descriptor's state tells.
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return MarkGone();
    }
    return n;
  }

  int ReadQueued(BYTE* data, u32 max) override {
    int fd = fd_.load(std::memory_order_acquire);
    if (fd < 0 || gone_.load(std::memory_order_acquire)) return -1;
    for (;;) {
      ssize_t n = ::read(fd, data, max);
      if (n >= 0) return static_cast<int>(n);
      if (errno == EINTR) continue;
      if (errno == EAGAIN) return 0;
      return MarkGone();
    }
  }

  bool Write(const BYTE* data, u32 length, u32 timeoutMs) override {
    int fd = fd_.load(std::memory_order_acquire);
    if (fd < 0 || gone_.load(std::memory_order_acquire)) return false;
    auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    u32 done = 0;
    while (done < length) {
      ssize_t n = ::write(fd, data + done, length - done);
      if (n > 0) {
        done += static_cast<u32>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno != EAGAIN) {
        if (IsDeviceGone(errno)) MarkGone();
        return false;
      }
      pollfd p{fd, POLLOUT, 0};
      int r = ::poll(&p, 1, RemainingMs(deadline));
      if (r < 0 && errno == EINTR) continue;
      if (r < 0 || (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        MarkGone();
        return false;
      }
      if (r == 0) {
        // Nothing may stay outstanding once the caller has given up on it.
        ::tcflush(fd, TCOFLUSH);
        return false;
      }
    }
    return true;
  }

  bool WaitForInput(u32 count, u32 timeoutMs) override {
    int fd = fd_.load(std::memory_order_acquire);
    if (fd < 0) return false;
    auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    // With VMIN at the count, poll wakes only once that many bytes are queued
    // instead of at every byte of a reply that trickles in. (VMIN stops at
    // 255; no frame of the protocols is that long.)
    BYTE wake = static_cast<BYTE>(count == 0 ? 1 : (count > 255 ? 255 : count));
    if (minChars_ != wake && serial::SetMinChars(fd, wake)) minChars_ = wake;
    for (;;) {
      int queued = QueuedInput();
      if (queued < 0) return false;
      if (static_cast<u32>(queued) >= count) return true;
      int left = RemainingMs(deadline);
      if (left == 0) return false;
      pollfd p{fd, POLLIN, 0};
      int r = ::poll(&p, 1, left);
      if (r < 0 && errno != EINTR) {
        MarkGone();
        return false;
      }
      if (r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        MarkGone();
        return false;
      }
    }
  }

  void SetRts(bool high) override {
    int fd = fd_.load(std::memory_order_acquire);
    if (fd >= 0) SetModemLine(fd, TIOCM_RTS, high);
  }

 private:
  int MarkGone() {
    gone_.store(true, std::memory_order_release);
    return -1;
  }

  std::atomic<int> fd_{-1};
  std::atomic<bool> gone_{false};
  int minChars_ = -1;  // VMIN in force; only the reading thread touches it
};

}  // namespace

std::unique_ptr<ISerialPort> CreateSystemSerialPort() { return std::make_unique<PosixSerialPort>(); }

}  // namespace qv

namespace qv {
namespace {

std::mutex g_uartCheckLock;
std::function<bool(int)> g_uartCheck;  // a test's stand-in for TIOCGSERIAL

bool HasUartBehind(int fd) {
  std::function<bool(int)> check;
  {
    std::lock_guard<std::mutex> lock(g_uartCheckLock);
    check = g_uartCheck;
  }
  return check ? check(fd) : serial::HasKnownUart(fd);
}

bool IsPresent(const ComDevice& device) {
  // A ttyS node needs a device in sysfs and a UART that its driver knows.
  // The UART type is asked whatever the driver link names: the 8250 driver,
  // its PNP or PCI front ends, or (on kernels with the serial-base bus) the
  // bus's "port" driver, behind which every phantom port sits too.
  if (device.ttySIndex >= 0 && TtySDriver(device.ttySIndex).empty()) return false;
  const int fd = OpenExclusive(device.path);
  if (fd < 0) return false;
  const bool present = device.ttySIndex < 0 || HasUartBehind(fd);
  CloseExclusive(fd);
  return present;
}

}  // namespace

void SetUartCheckForTesting(std::function<bool(int fd)> check) {
  std::lock_guard<std::mutex> lock(g_uartCheckLock);
  g_uartCheck = std::move(check);
}

}  // namespace qv

int ProbeComPorts(u32 flags[128], u32) {
  if (flags == nullptr) return 0;
  int found = 0;
  for (u32 n = 1; n <= 128; ++n) {
    const bool present = qv::IsPresent(qv::ResolveComDevice(n));
    flags[n - 1] = present ? 1 : 0;
    if (present) ++found;
  }
  return found;
}
