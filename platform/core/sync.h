#pragma once
// Kernel objects in place of Win32's: events (manual or auto reset, optionally
// named within the process), waits with time-outs, critical sections, and the
// single-instance mutex as a lock file.

#include <mutex>
#include <string>

#include "platform/core/wintypes.h"

// Every handle the layer gives out points at one of these; CloseHandle drops a
// reference and the last one deletes the object.
struct QvKernelObject {
  virtual ~QvKernelObject() = default;
};

// lpEventAttributes is ignored. A name already in use gives the existing event
// and sets the last error to ERROR_ALREADY_EXISTS.
HANDLE CreateEventA(void* lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                    const char* lpName);
BOOL SetEvent(HANDLE h);
BOOL ResetEvent(HANDLE h);
// WAIT_OBJECT_0 or WAIT_TIMEOUT; WAIT_FAILED for a handle that is not an event.
// Under a virtual clock a wait that would time out advances the clock instead.
DWORD WaitForSingleObject(HANDLE h, DWORD ms);
BOOL CloseHandle(HANDLE h);

DWORD GetLastError();
void SetLastError(DWORD code);

// A recursive lock like Win32's critical section.
struct CRITICAL_SECTION {
  std::recursive_mutex m;
};
inline void InitializeCriticalSection(CRITICAL_SECTION*) {}
inline void DeleteCriticalSection(CRITICAL_SECTION*) {}
inline void EnterCriticalSection(CRITICAL_SECTION* cs) { cs->m.lock(); }
inline void LeaveCriticalSection(CRITICAL_SECTION* cs) { cs->m.unlock(); }

namespace qv {

// The named mutex of a single-instance program: an exclusive flock on
// <name>.lock in $XDG_RUNTIME_DIR (else a per-user name in /tmp, so that two
// users never block each other), held until Release or exit. Only a lock that
// another process holds counts as taken: a lock file that cannot be opened or
// locked for any other reason (a folder in its place, another user's file)
// leaves the lock unavailable, and the program runs without it.
class InstanceLock {
 public:
  enum class State { kAcquired, kHeldElsewhere, kUnavailable };

  explicit InstanceLock(const std::string& name);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // The lock file of name for this process's user.
  static std::string PathFor(const std::string& name);

  State GetState() const { return state_; }
  bool Acquired() const { return state_ == State::kAcquired; }
  void Release();

 private:
  int fd_ = -1;
  State state_ = State::kUnavailable;
};

}  // namespace qv
