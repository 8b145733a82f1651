#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/core/clock.h"
#include "platform/core/sync.h"

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

}  // namespace
