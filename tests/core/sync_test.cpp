#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "platform/core/clock.h"
#include "platform/core/sync.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(Events, ManualResetStaysSignalledUntilReset) {
  HANDLE e = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
  SetEvent(e);
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
  ResetEvent(e);
  EXPECT_EQ(WaitForSingleObject(e, 10), WAIT_TIMEOUT);
  CloseHandle(e);
}

TEST(Events, AutoResetReleasesOneWait) {
  HANDLE e = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
  CloseHandle(e);
}

TEST(Events, NamedEventIsSharedWithinTheProcess) {
  HANDLE a = CreateEventA(nullptr, TRUE, FALSE, "TouchEvent");
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  HANDLE b = CreateEventA(nullptr, TRUE, FALSE, "TouchEvent");
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(a, b);
  SetEvent(a);
  CloseHandle(a);
  // The second holder keeps the object alive and signalled.
  EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_OBJECT_0);
  CloseHandle(b);
  HANDLE c = CreateEventA(nullptr, TRUE, FALSE, "TouchEvent");
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  EXPECT_EQ(WaitForSingleObject(c, 0), WAIT_TIMEOUT);
  CloseHandle(c);
}

TEST(Events, WaitWakesWhenAnotherThreadSets) {
  HANDLE e = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  std::thread t([e] { SetEvent(e); });
  EXPECT_EQ(WaitForSingleObject(e, 5000), WAIT_OBJECT_0);
  t.join();
  CloseHandle(e);
}

TEST(Events, NotAnEventFailsTheWait) {
  EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
  EXPECT_FALSE(SetEvent(nullptr));
}

TEST(VirtualTime, SleepsAndTimedOutWaitsAdvanceTheClockAtOnce) {
  qv::ScopedVirtualClock vc;
  DWORD start = GetTickCount();
  Sleep(2500);
  EXPECT_EQ(GetTickCount() - start, 2500u);
  HANDLE e = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  EXPECT_EQ(WaitForSingleObject(e, 500), WAIT_TIMEOUT);
  EXPECT_EQ(GetTickCount() - start, 3000u);
  SetEvent(e);
  EXPECT_EQ(WaitForSingleObject(e, 500), WAIT_OBJECT_0);
  EXPECT_EQ(GetTickCount() - start, 3000u);
  CloseHandle(e);
}

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstReleases) {
  qv::InstanceLock first("QvTPToolTest");
  ASSERT_TRUE(first.Acquired());
  qv::InstanceLock second("QvTPToolTest");
  EXPECT_FALSE(second.Acquired());
  first.Release();
  qv::InstanceLock third("QvTPToolTest");
  EXPECT_TRUE(third.Acquired());
}

// $XDG_RUNTIME_DIR set to value (unset for nullptr) while the object lives.
class RuntimeDir {
 public:
  explicit RuntimeDir(const char* value) {
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) old_ = old;
    if (value != nullptr) {
      ::setenv("XDG_RUNTIME_DIR", value, 1);
    } else {
      ::unsetenv("XDG_RUNTIME_DIR");
    }
  }
  ~RuntimeDir() {
    if (old_) {
      ::setenv("XDG_RUNTIME_DIR", old_->c_str(), 1);
    } else {
      ::unsetenv("XDG_RUNTIME_DIR");
    }
  }
  RuntimeDir(const RuntimeDir&) = delete;
  RuntimeDir& operator=(const RuntimeDir&) = delete;

 private:
  std::optional<std::string> old_;
};

TEST(InstanceLock, LivesInTheRuntimeFolderElsePerUserInTmp) {
  const std::string perUser = "/tmp/QvTPTool-" + std::to_string(::geteuid()) + ".lock";
  {
    RuntimeDir dir("/run/user/5");
    EXPECT_EQ(qv::InstanceLock::PathFor("QvTPTool"), "/run/user/5/QvTPTool.lock");
  }
  {
    RuntimeDir dir(nullptr);
    EXPECT_EQ(qv::InstanceLock::PathFor("QvTPTool"), perUser);
  }
  {
    RuntimeDir dir("");
    EXPECT_EQ(qv::InstanceLock::PathFor("QvTPTool"), perUser);
  }
}

// Only a lock that another holder has counts as taken; whatever else stands
// in the way of the lock file leaves the lock unavailable, not taken.
TEST(InstanceLock, OnlyALockHeldElsewhereCountsAsTaken) {
  using State = qv::InstanceLock::State;
  qv::TempFolder runtime;
  ASSERT_TRUE(runtime.Ok());
  RuntimeDir dir(runtime.path().c_str());
  const std::string path = qv::InstanceLock::PathFor("QvTPTool");
  std::unique_ptr<qv::InstanceLock> holder;
  struct Case {
    const char* what;
    std::function<void()> make;
    State expected;
  };
  const Case cases[] = {
      {"nothing there", [] {}, State::kAcquired},
      {"a lock file left by an instance that ended", [&] { runtime.Put("QvTPTool.lock", ""); }, State::kAcquired},
      {"held by another instance",
       [&] {
         holder = std::make_unique<qv::InstanceLock>("QvTPTool");
         ASSERT_TRUE(holder->Acquired());
       },
       State::kHeldElsewhere},
      {"a folder in its place", [&] { ASSERT_EQ(::mkdir(path.c_str(), 0700), 0); }, State::kUnavailable},
      {"a FIFO in its place", [&] { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }, State::kUnavailable},
      {"a link in its place",
       [&] {
         runtime.Put("elsewhere", "");
         ASSERT_EQ(::symlink(runtime.File("elsewhere").c_str(), path.c_str()), 0);
       },
       State::kUnavailable},
      {"another user's file",
       [&] {
         runtime.Put("QvTPTool.lock", "");
         // Root opens any file: the owner must decide. An ordinary user
         // cannot give a file away, but meets the same refusal in the open.
         if (::geteuid() == 0) {
           ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
         } else {
           ASSERT_EQ(::chmod(path.c_str(), 0), 0);
         }
       },
       State::kUnavailable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(path);
    c.make();
    {
      qv::InstanceLock lock("QvTPTool");
      EXPECT_EQ(lock.GetState(), c.expected);
      EXPECT_EQ(lock.Acquired(), c.expected == State::kAcquired);
    }
    holder.reset();
  }
}

}  // namespace
