#include "tools/demo/console_owner.h"

#include <cstdio>

#include "isp/progress.h"

namespace {

constexpr char kCommunicationError[] = "Communication Error!";  // string 102
constexpr char kIdError[] = "ID Error!";                         // string 103
constexpr char kVerifyError[] = "Verify Error!";                 // string 104

std::string WithValue(const char* format, LPARAM value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, static_cast<int>(value));
  return buffer;
}

}  // namespace

bool ProgressText(WPARAM stage, LPARAM value, std::string* text) {
  switch (stage) {
    case 0: *text = ""; return true;
    case 1: case 8: case 40: case 43: case 50: case 56: *text = kCommunicationError; return true;
    case 2: *text = WithValue("Updating...%d%%", value); return true;
    case 3: *text = kIdError; return true;
    case 4: case 53: *text = kVerifyError; return true;
    case 5: *text = "Update Finished"; return true;
    case 6: *text = WithValue("Verifying...%d%%", value); return true;
    case 7: *text = "Verify Fail!"; return true;
    case 30: *text = WithValue("Begin Erasing...%d%%", value); return true;
    case 31: *text = WithValue("End Erasing...%d%%", value); return true;
    case 32: *text = "Erase Error!"; return true;
    case 41: case 44: case 51: *text = WithValue("Updating SW && HW...%d%%", value); return true;
    case 42: *text = "Verify Software Param Fail!"; return true;
    case 45: *text = "Verify Hardward Param Fail!"; return true;
    case 54: *text = WithValue("Verifying HW && SW...%d%%", value); return true;
    case 55: *text = "Verify SW && HW Param Fail!"; return true;
    default: return false;
  }
}

void CConsoleOwner::PostProgress(WPARAM stage, LPARAM value) {
  {
    std::lock_guard<std::mutex> lock(m_);
    queue_.emplace_back(stage, value);
  }
  cv_.notify_one();
}

void CConsoleOwner::EnableOwner() {
  {
    std::lock_guard<std::mutex> lock(m_);
    enabled_ = true;
  }
  cv_.notify_one();
}

void CConsoleOwner::ShowCloseButton() {
  {
    std::lock_guard<std::mutex> lock(m_);
    closeShown_ = true;
  }
  cv_.notify_one();
}

std::pair<WPARAM, LPARAM> CConsoleOwner::PrintUntilJobEnd() {
  std::pair<WPARAM, LPARAM> last{~WPARAM{0}, 0};
  std::unique_lock<std::mutex> lock(m_);
  for (;;) {
    cv_.wait(lock, [&] { return !queue_.empty() || (enabled_ && closeShown_); });
    if (queue_.empty()) return last;
    last = queue_.front();
    queue_.pop_front();
    lock.unlock();
    std::string text;
    if (ProgressText(last.first, last.second, &text)) {
      std::printf("[%2u] %s\n", static_cast<unsigned>(last.first), text.c_str());
      std::fflush(stdout);
    }
    lock.lock();
  }
}
