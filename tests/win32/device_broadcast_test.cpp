// The system's news of serial adapters: which kernel uevents count, and their
// broadcast as WM_DEVICECHANGE to every top-level window on the UI thread.

#include <gtest/gtest.h>

#include <string_view>
#include <thread>
#include <vector>

#include "platform/win32/application.h"
#include "platform/win32/cwnd.h"
#include "platform/win32/devices/device_broadcast.h"

namespace {

using namespace std::string_view_literals;
using qv::win32::DeviceBroadcast;
using qv::win32::DeviceEventOf;

constexpr std::string_view kAdapterIn =
    "add@/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/ttyUSB0/tty/ttyUSB0\0ACTION=add\0"
    "DEVPATH=/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/ttyUSB0/tty/ttyUSB0\0SUBSYSTEM=tty\0"
    "MAJOR=188\0MINOR=0\0DEVNAME=ttyUSB0\0SEQNUM=4711\0"sv;
constexpr std::string_view kAdapterOut =
    "remove@/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/tty/ttyACM3\0ACTION=remove\0"
    "DEVPATH=/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/tty/ttyACM3\0SUBSYSTEM=tty\0"
    "DEVNAME=ttyACM3\0SEQNUM=4712\0"sv;

TEST(DeviceEventOf, OnlyASerialAdaptersPortComingOrGoingCounts) {
  struct Case {
    const char* what;
    std::string_view uevent;
    WPARAM event;
  };
  const Case cases[] = {
      {"ttyUSB added", kAdapterIn, DBT_DEVICEARRIVAL},
      {"ttyACM removed", kAdapterOut, DBT_DEVICEREMOVECOMPLETE},
      {"a device path as name", "add@/x\0ACTION=add\0SUBSYSTEM=tty\0DEVNAME=/dev/ttyUSB12\0"sv, DBT_DEVICEARRIVAL},
      {"the last field without its NUL", "remove@/x\0SUBSYSTEM=tty\0ACTION=remove\0DEVNAME=ttyUSB1"sv,
       DBT_DEVICEREMOVECOMPLETE},
      {"a built-in port", "add@/x\0ACTION=add\0SUBSYSTEM=tty\0DEVNAME=ttyS0\0"sv, 0},
      {"a console", "add@/x\0ACTION=add\0SUBSYSTEM=tty\0DEVNAME=tty7\0"sv, 0},
      {"no number", "add@/x\0ACTION=add\0SUBSYSTEM=tty\0DEVNAME=ttyUSB\0"sv, 0},
      {"not a number", "add@/x\0ACTION=add\0SUBSYSTEM=tty\0DEVNAME=ttyUSB0x\0"sv, 0},
      // The same adapter's other devices come with it: counted once, as its port.
      {"the usb-serial device", "add@/x/ttyUSB0\0ACTION=add\0SUBSYSTEM=usb-serial\0"sv, 0},
      {"the USB interface", "add@/x\0ACTION=add\0SUBSYSTEM=usb\0DEVNAME=bus/usb/001/007\0"sv, 0},
      {"a driver bound", "bind@/x\0ACTION=bind\0SUBSYSTEM=tty\0DEVNAME=ttyUSB0\0"sv, 0},
      {"a change", "change@/x\0ACTION=change\0SUBSYSTEM=tty\0DEVNAME=ttyUSB0\0"sv, 0},
      {"udev's own form", "libudev\0ACTION=add\0SUBSYSTEM=tty\0DEVNAME=ttyUSB0\0"sv, 0},
      {"no header end", "add@/x ACTION=add SUBSYSTEM=tty DEVNAME=ttyUSB0"sv, 0},
      {"empty", ""sv, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(DeviceEventOf(c.uevent), c.event) << c.what;
}

class Listener : public CWnd {
 public:
  std::vector<WPARAM> events;
  std::vector<std::thread::id> threads;

 protected:
  LRESULT OnDeviceChange(WPARAM event, LPARAM) {
    events.push_back(event);
    threads.push_back(std::this_thread::get_id());
    return TRUE;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Listener, CWnd)
  ON_MESSAGE(WM_DEVICECHANGE, OnDeviceChange)
END_MESSAGE_MAP()

class DeviceBroadcastTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qv::Application();
    ASSERT_TRUE(main_.CreateEx(0, nullptr, "main", WS_POPUP, CRect(0, 0, 200, 100), nullptr, 0));
    ASSERT_TRUE(owned_.CreateEx(0, nullptr, "owned", WS_POPUP, CRect(0, 0, 50, 50), &main_, 0));
    ASSERT_TRUE(child_.CreateEx(0, nullptr, "child", WS_CHILD, CRect(0, 0, 20, 20), &main_, 7));
  }
  // Bounded, so that a broken build cannot hang; no assertion on time.
  void PumpUntil(size_t count) {
    for (int i = 0; i < 100000 && main_.events.size() < count; ++i) qv::PumpMessages();
  }

  Listener main_, owned_, child_;
};

TEST_F(DeviceBroadcastTest, AdaptersReachEveryTopLevelWindowOnItsThread) {
  DeviceBroadcast broadcast;
  std::thread system([&] {
    broadcast.Take(kAdapterIn);
    broadcast.Take("add@/x\0ACTION=add\0SUBSYSTEM=tty\0DEVNAME=ttyS4\0"sv);
    broadcast.Take(kAdapterOut);
  });
  system.join();
  PumpUntil(2);
  const std::vector<WPARAM> both = {DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE};
  EXPECT_EQ(main_.events, both);
  EXPECT_EQ(owned_.events, both);  // owned windows are top-level windows too
  EXPECT_TRUE(child_.events.empty());
  for (const Listener* w : {&main_, &owned_})
    for (const std::thread::id& id : w->threads) EXPECT_EQ(id, std::this_thread::get_id());

  // A window that has gone is told nothing, and nothing breaks.
  owned_.DestroyWindow();
  broadcast.Take(kAdapterIn);
  PumpUntil(3);
  EXPECT_EQ(main_.events.size(), 3u);
  EXPECT_EQ(owned_.events.size(), 2u);
}

TEST_F(DeviceBroadcastTest, NewsStillQueuedWhenTheListenerEndsIsDropped) {
  {
    DeviceBroadcast broadcast;
    broadcast.Take(kAdapterIn);
  }
  qv::PumpMessages();
  EXPECT_TRUE(main_.events.empty());
  // A second listener after the first ended works as the first did.
  DeviceBroadcast again;
  again.Take(kAdapterOut);
  PumpUntil(1);
  EXPECT_EQ(main_.events, (std::vector<WPARAM>{DBT_DEVICEREMOVECOMPLETE}));
}

}  // namespace
