#include "platform/core/sync.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <map>

#include "platform/core/clock.h"

namespace {

thread_local DWORD t_lastError = 0;

class Event : public QvKernelObject {
 public:
  Event(bool manual, bool initial, std::string name)
      : name_(std::move(name)), manual_(manual), signalled_(initial) {}

  void Set() {
    {
      std::lock_guard<std::mutex> lock(m_);
      signalled_ = true;
    }
    if (manual_) {
      cv_.notify_all();
    } else {
      cv_.notify_one();
    }
  }
  void Reset() {
    std::lock_guard<std::mutex> lock(m_);
    signalled_ = false;
  }
  bool Wait(DWORD ms) {
    std::unique_lock<std::mutex> lock(m_);
    auto ready = [this] { return signalled_; };
    bool got;
    if (ms == INFINITE) {
      cv_.wait(lock, ready);
      got = true;
    } else if (qv::CurrentClock().IsVirtual()) {
      got = signalled_;
      if (!got) {
        lock.unlock();
        qv::CurrentClock().SleepMs(ms);
        lock.lock();
        got = signalled_;
      }
    } else {
      got = cv_.wait_for(lock, std::chrono::milliseconds(ms), ready);
    }
    if (got && !manual_) signalled_ = false;
    return got;
  }

  const std::string name_;
  int refs = 1;  // guarded by the registry lock

 private:
  std::mutex m_;
  std::condition_variable cv_;
  bool manual_;
  bool signalled_;
};

// Handles are counted so that a named event lives while any holder has it.
struct Registry {
  std::mutex m;
  std::map<std::string, Event*> named;
};
Registry& registry() {
  static Registry r;
  return r;
}

Event* AsEvent(HANDLE h) {
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return nullptr;
  return dynamic_cast<Event*>(h);
}

}  // namespace

HANDLE CreateEventA(void*, BOOL bManualReset, BOOL bInitialState, const char* lpName) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.m);
  if (lpName != nullptr && *lpName != '\0') {
    auto it = r.named.find(lpName);
    if (it != r.named.end()) {
      ++it->second->refs;
      t_lastError = ERROR_ALREADY_EXISTS;
      return it->second;
    }
  }
  auto* e = new Event(bManualReset != 0, bInitialState != 0, lpName ? lpName : "");
  if (!e->name_.empty()) r.named[e->name_] = e;
  t_lastError = ERROR_SUCCESS;
  return e;
}

BOOL SetEvent(HANDLE h) {
  Event* e = AsEvent(h);
  if (!e) return FALSE;
  e->Set();
  return TRUE;
}

BOOL ResetEvent(HANDLE h) {
  Event* e = AsEvent(h);
  if (!e) return FALSE;
  e->Reset();
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE h, DWORD ms) {
  Event* e = AsEvent(h);
  if (!e) return WAIT_FAILED;
  return e->Wait(ms) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

BOOL CloseHandle(HANDLE h) {
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return FALSE;
  if (Event* e = AsEvent(h)) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.m);
    if (--e->refs > 0) return TRUE;
    if (!e->name_.empty()) r.named.erase(e->name_);
    delete e;
    return TRUE;
  }
  delete h;
  return TRUE;
}

DWORD GetLastError() { return t_lastError; }
void SetLastError(DWORD code) { t_lastError = code; }

namespace qv {

std::string InstanceLock::PathFor(const std::string& name) {
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  if (dir != nullptr && *dir != '\0') return std::string(dir) + "/" + name + ".lock";
  return "/tmp/" + name + "-" + std::to_string(::geteuid()) + ".lock";
}

InstanceLock::InstanceLock(const std::string& name) {
  // Not through a link, never waiting on a FIFO, and only a regular file of
  // our own: anyone may have put something at a name in /tmp.
  const std::string path = PathFor(name);
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  if (fd_ < 0) return;
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
    Release();
    return;
  }
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    const bool held = errno == EWOULDBLOCK;
    Release();
    if (held) state_ = State::kHeldElsewhere;
    return;
  }
  state_ = State::kAcquired;
}

InstanceLock::~InstanceLock() { Release(); }

void InstanceLock::Release() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  state_ = State::kUnavailable;
}

}  // namespace qv
