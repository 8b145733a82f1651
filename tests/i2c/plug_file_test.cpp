// The plug file through which a person or a script plugs and unplugs the
// simulated board under a running program.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/core/program_folder.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "platform/ostrelusb/plug_file.h"
#include "tests/i2c/i2c_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(ReadPlugFile, TheFirstWord) {
  qv::TempFolder folder;
  struct Case {
    const char* text;
    std::optional<bool> plug;
  };
  for (const Case& c : {Case{"plug\n", true}, Case{"unplug\n", false}, Case{"  unplug", false},
                        Case{"plug now", true}, Case{"\r\nplug\r\n", true}, Case{"", std::nullopt},
                        Case{"Plug", std::nullopt}, Case{"plugged", std::nullopt}, Case{"0", std::nullopt}}) {
    folder.Put("OstrelUsb.plug", c.text);
    EXPECT_EQ(ostrelusb::ReadPlugFile(folder.File("OstrelUsb.plug")), c.plug) << c.text;
  }
  EXPECT_EQ(ostrelusb::ReadPlugFile(folder.File("missing")), std::nullopt);
  EXPECT_EQ(ostrelusb::ReadPlugFile(folder.path()), std::nullopt);
  // A FIFO never holds the reader.
  ASSERT_EQ(::mkfifo(folder.File("fifo").c_str(), 0600), 0);
  EXPECT_EQ(ostrelusb::ReadPlugFile(folder.File("fifo")), std::nullopt);
}

// Polls until done or about 10 s have passed.
bool Eventually(const std::function<bool()>& done) {
  for (int i = 0; i < 1000; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

TEST_F(BridgeTest, TheBoardFollowsThePlugFileWhileAWindowListens) {
  qv::TempFolder folder;
  qv::SetProgramFolderForTesting(folder.path());
  UseBoard(qv::sim::ChipFamily::k7T0, /*open=*/true);
  std::mutex m;
  std::vector<unsigned> heard;
  std::vector<std::thread::id> threads;
  ostrelusb::SetDeviceChangeSink([&](void*, unsigned event) {
    std::lock_guard<std::mutex> lock(m);
    heard.push_back(event);
    threads.push_back(std::this_thread::get_id());
  });
  // Nobody listens: the file is left alone.
  folder.Put("OstrelUsb.plug", "unplug\n");
  std::this_thread::sleep_for(std::chrono::milliseconds(3 * ostrelusb::kPlugFilePeriodMs));
  EXPECT_TRUE(ostrelusb::IsPlugged());

  int window = 0;
  RegisterNotification(&window, nullptr);
  EXPECT_TRUE(Eventually([] { return !ostrelusb::IsPlugged(); }));
  // The open handle went with the board.
  unsigned count = 9;
  EXPECT_EQ(QV_GetNumDevices(&count), QV_OK);
  EXPECT_EQ(count, 0u);
  folder.Put("OstrelUsb.plug", "plug\n");
  EXPECT_TRUE(Eventually([] { return ostrelusb::IsPlugged(); }));
  {
    std::lock_guard<std::mutex> lock(m);
    EXPECT_EQ(heard, (std::vector<unsigned>{DBT_DEVICEREMOVECOMPLETE, DBT_DEVICEARRIVAL}));
    // From the board's own thread.
    for (const std::thread::id& id : threads) EXPECT_NE(id, std::this_thread::get_id());
  }
  ostrelusb::Configure({});  // no window any more: the file is not looked at
  qv::SetProgramFolderForTesting("");
}

}  // namespace
