#include "sim/uart_pty_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace qv::sim {

UartPtyRunner::UartPtyRunner(UartChip& chip, u32 idleGapMs) : m_chip(chip), m_nIdleGapMs(idleGapMs) {}

UartPtyRunner::~UartPtyRunner() {
  Stop();
  for (int fd : {m_master, m_slave, m_wake[0], m_wake[1]}) {
    if (fd >= 0) {
      close(fd);
    }
  }
}

bool UartPtyRunner::Start() {
  if (m_master >= 0) {
    return false;
  }
  m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
    return false;
  }
  char name[128] = {};
  if (ptsname_r(m_master, name, sizeof name) != 0) {
    return false;
  }
  m_slavePath = name;
  // The runner keeps the slave open, so the master never sees a hang-up
  // while the host has its port closed, and the line is raw from the start.
  m_slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m_slave < 0) {
    return false;
  }
  termios tio{};
  if (tcgetattr(m_slave, &tio) == 0) {
    cfmakeraw(&tio);
    tcsetattr(m_slave, TCSANOW, &tio);
  }
  if (pipe2(m_wake, O_CLOEXEC) != 0) {
    return false;
  }
  m_chip.SetSink([this](const BYTE* data, std::size_t size) { Send(data, size); });
  m_bStop.store(false, std::memory_order_release);
  m_thread = std::thread([this] { Run(); });
  return true;
}

void UartPtyRunner::Stop() {
  if (!m_thread.joinable()) {
    return;
  }
  m_bStop.store(true, std::memory_order_release);
  const char wake = 1;
  [[maybe_unused]] const ssize_t n = write(m_wake[1], &wake, 1);
  m_thread.join();
}

bool UartPtyRunner::LinkAs(const std::string& linkPath) const {
  if (m_slavePath.empty()) {
    return false;
  }
  unlink(linkPath.c_str());
  return symlink(m_slavePath.c_str(), linkPath.c_str()) == 0;
}

void UartPtyRunner::Access(const ChipFunction& fn) {
  std::lock_guard<std::mutex> guard(m_lock);
  fn(m_chip);
}

void UartPtyRunner::SetIdleHook(ChipFunction hook) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_idleHook = std::move(hook);
}

void UartPtyRunner::Send(const BYTE* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = write(m_master, data + done, size - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
      return;  // the line is gone; the host sees silence
    }
  }
}

void UartPtyRunner::ReleaseStaleLine() {
  // A host holds the port with an flock and the terminal's exclusive flag,
  // and clears the flag when it closes. A host that was killed left the flag
  // behind (the terminal stays open here), which refuses every later open by
  // an ordinary user. Its flock went with it: when the lock is free while the
  // flag is set, nobody holds the port, and the line is made new.
  int exclusive = 0;
  if (ioctl(m_slave, TIOCGEXCL, &exclusive) != 0 || exclusive == 0) {
    return;
  }
  if (flock(m_slave, LOCK_EX | LOCK_NB) != 0) {
    return;
  }
  ioctl(m_slave, TIOCNXCL);
  tcflush(m_slave, TCIOFLUSH);
  flock(m_slave, LOCK_UN);
}

void UartPtyRunner::Run() {
  bool heardSinceIdle = false;
  while (!m_bStop.load(std::memory_order_acquire)) {
    pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
    const int timeout = static_cast<int>(heardSinceIdle ? m_nIdleGapMs : kStaleLineCheckMs);
    const int ready = poll(fds, 2, timeout);
    if (ready < 0) {
      if (errno == EINTR) {
        continue;
      }
      return;
    }
    if (fds[1].revents != 0) {
      return;
    }
    if (ready == 0 && !heardSinceIdle) {
      ReleaseStaleLine();
      continue;
    }
    if (ready == 0) {
      std::lock_guard<std::mutex> guard(m_lock);
      m_chip.LineIdle();
      if (m_idleHook) {
        m_idleHook(m_chip);
      }
      heardSinceIdle = false;
      continue;
    }
    BYTE buffer[512];
    const ssize_t n = read(m_master, buffer, sizeof buffer);
    if (n > 0) {
      std::lock_guard<std::mutex> guard(m_lock);
      m_chip.Receive(buffer, static_cast<std::size_t>(n));
      heardSinceIdle = true;
    } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
      return;
    }
  }
}

}  // namespace qv::sim
