// Plug and unplug of the simulated board reach the registered window as
// WM_DEVICECHANGE through the window layer, on the window's own thread.

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "app/device_events.h"
#include "platform/ostrelusb/OstrelUsb.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "platform/win32/application.h"
#include "platform/win32/cwnd.h"

namespace {

class ListeningWnd : public CWnd {
 public:
  std::vector<WPARAM> events;
  std::vector<unsigned> counts;  // the devices counted in each handler
  std::vector<std::thread::id> threads;

 protected:
  LRESULT OnDeviceChange(WPARAM event, LPARAM) {
    events.push_back(event);
    unsigned count = 9;
    QV_GetNumDevices(&count);
    counts.push_back(count);
    threads.push_back(std::this_thread::get_id());
    return TRUE;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ListeningWnd, CWnd)
  ON_MESSAGE(WM_DEVICECHANGE, OnDeviceChange)
END_MESSAGE_MAP()

TEST(DeliverDeviceChanges, PlugAndUnplugFromAnotherThreadReachTheWindowOnItsThread) {
  qv::Application();
  ostrelusb::Configure({true, {}});
  ListeningWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "main", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0));
  DeliverDeviceChanges();
  RegisterNotification(wnd.m_hWnd, nullptr);
  std::thread board([] {
    ostrelusb::Unplug();
    ostrelusb::Plug();
  });
  board.join();
  // Bounded so that a broken build cannot hang; no assertion on time.
  for (int i = 0; i < 100000 && wnd.events.size() < 2; ++i) qv::PumpMessages();
  EXPECT_EQ(wnd.events, (std::vector<WPARAM>{DBT_DEVICEREMOVECOMPLETE, DBT_DEVICEARRIVAL}));
  // Posted: by the time the window hears of the removal the board is back.
  EXPECT_EQ(wnd.counts, (std::vector<unsigned>{1, 1}));
  for (const std::thread::id& id : wnd.threads) EXPECT_EQ(id, std::this_thread::get_id());
  wnd.DestroyWindow();
  // A window that has gone is told nothing, and nothing breaks.
  ostrelusb::Unplug();
  qv::PumpMessages();
  EXPECT_EQ(wnd.events.size(), 2u);
  ostrelusb::Configure({});
}

}  // namespace
