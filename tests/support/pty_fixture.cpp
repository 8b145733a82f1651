#include "tests/support/pty_fixture.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/core/program_folder.h"

namespace qv {

namespace {

using SteadyClock = std::chrono::steady_clock;

int RemainingMs(SteadyClock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

int Queued(int fd) {
  int n = 0;
  if (fd < 0 || ::ioctl(fd, FIONREAD, &n) != 0) return -1;
  return n;
}

}  // namespace

TempProgramFolder::TempProgramFolder() {
  if (!folder_.Ok()) return;
  std::error_code ec;
  std::filesystem::create_directory(folder_.File("ports"), ec);
  if (ec) return;
  path_ = folder_.path();
  SetProgramFolderForTesting(path_);
}

TempProgramFolder::~TempProgramFolder() {
  if (!path_.empty()) SetProgramFolderForTesting("");
}

PtyPair::PtyPair() {
  termios raw{};
  ::cfmakeraw(&raw);
  char name[256] = {};
  if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
    master_ = slave_ = -1;
    return;
  }
  ::fcntl(master_, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  slavePath_ = name;
}

PtyPair::~PtyPair() {
  CloseMaster();
  if (slave_ >= 0) ::close(slave_);
}

bool PtyPair::LinkAsCom(const std::string& programFolder, u32 n) const {
  std::error_code ec;
  std::filesystem::create_symlink(slavePath_, programFolder + "/ports/COM" + std::to_string(n), ec);
  return !ec;
}

bool PtyPair::WriteToPort(const std::vector<BYTE>& bytes) const {
  auto deadline = SteadyClock::now() + std::chrono::seconds(2);
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
    pollfd p{master_, POLLOUT, 0};
    if (::poll(&p, 1, RemainingMs(deadline)) <= 0) return false;
  }
  return true;
}

std::vector<BYTE> PtyPair::ReadFromPort(std::size_t count, u32 timeoutMs) const {
  std::vector<BYTE> out;
  auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
  while (out.size() < count) {
    BYTE buf[512];
    std::size_t want = count - out.size() < sizeof(buf) ? count - out.size() : sizeof(buf);
    ssize_t n = ::read(master_, buf, want);
    if (n > 0) {
      out.insert(out.end(), buf, buf + n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) break;
    int left = RemainingMs(deadline);
    if (left == 0) break;
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, left) <= 0) break;
  }
  return out;
}

int PtyPair::QueuedFromPort() const { return Queued(master_); }

int PtyPair::QueuedAtPort() const { return Queued(slave_); }

bool PtyPair::WaitQueuedAtPort(std::size_t count, u32 timeoutMs) const {
  auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int n = QueuedAtPort();
    if (n >= 0 && static_cast<std::size_t>(n) >= count) return true;
    if (SteadyClock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void PtyPair::CloseMaster() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

void PtyPortTest::SetUp() {
  ASSERT_TRUE(folder_.Ok());
  ASSERT_TRUE(pty_.Ok());
  ASSERT_TRUE(pty_.LinkAsCom(folder_.Path(), kCom));
}

}  // namespace qv
