#include "platform/ostrelusb/plug_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

namespace ostrelusb {

std::optional<bool> ReadPlugFile(const std::string& path) {
  // Non-blocking, so that a FIFO put there never holds the board's thread.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  char text[32] = {};
  ssize_t got = -1;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) got = ::read(fd, text, sizeof text - 1);
  ::close(fd);
  if (got <= 0) return std::nullopt;
  std::string word;
  for (ssize_t i = 0; i < got; ++i) {
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      if (!word.empty()) break;
      continue;
    }
    word += c;
  }
  if (word == "plug") return true;
  if (word == "unplug") return false;
  return std::nullopt;
}

void PlugFileWatcher::Start(std::function<std::string()> path, unsigned periodMs,
                            std::function<void(bool plug)> apply) {
  std::lock_guard<std::mutex> lock(m_);
  if (thread_.joinable() || stop_) return;
  thread_ = std::thread(&PlugFileWatcher::Run, this, std::move(path), periodMs, std::move(apply));
}

void PlugFileWatcher::Stop() {
  {
    std::lock_guard<std::mutex> lock(m_);
    stop_ = true;
  }
  cv_.notify_all();
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void PlugFileWatcher::Run(std::function<std::string()> path, unsigned periodMs,
                          std::function<void(bool)> apply) {
  std::unique_lock<std::mutex> lock(m_);
  while (!cv_.wait_for(lock, std::chrono::milliseconds(periodMs), [this] { return stop_; })) {
    lock.unlock();
    if (const std::optional<bool> plug = ReadPlugFile(path())) apply(*plug);
    lock.lock();
  }
}

}  // namespace ostrelusb
