// The USB jobs as the simulated board saw them on a virtual clock: the
// download job's opening and set-up of the bridge, the reset pulses on the
// board line, the chip ID, the erase at its byte delay, each page's chunks
// and verify, and the stage codes, each at its moment.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>

#include "isp/app_config.h"
#include "isp/bridge_device.h"
#include "isp/online_com_update_thread.h"
#include "isp/online_update_thread.h"
#include "isp/qv_ic_7t0.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "tests/jobs/timeline_fixture.h"

namespace jobs_test {
namespace {

using Event = std::pair<std::string, std::uint64_t>;  // what reached the board, and when

// "read 17", or the bytes written before the data, in hex: a chunk's six
// before its flag, a 128-byte family block's five, a command's all.
std::string Label(const qv::sim::I2cTransfer& t) {
  if (t.written.empty()) return "read " + std::to_string(t.readCount);
  const std::vector<BYTE>& w = t.written;
  std::size_t head = w.size();
  if (w[0] == 0xBF) head = w.size() > 3 && w[1] == 0x79 && w[2] == 0xB9 ? 6 : 5;
  std::string s;
  for (std::size_t i = 0; i < w.size() && i < head; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : " %02X", w[i]);
    s += hex;
  }
  return s;
}

// Everything that reached the board, in order: calls as "name args", line
// levels as "io 0", transfers as their label.
std::vector<Event> BoardEvents(std::uint64_t origin) {
  const std::vector<qv::sim::BoardCall> calls = ostrelusb::Calls();
  const std::vector<BYTE> levels = ostrelusb::IoLineLog();
  const std::vector<qv::sim::I2cTransfer> transfers = ostrelusb::Transfers();
  std::vector<Event> events;
  for (const qv::sim::BoardEvent& e : ostrelusb::Timeline()) {
    std::ostringstream what;
    switch (e.kind) {
      case qv::sim::BoardEvent::Kind::kCall: what << calls[e.index]; break;
      case qv::sim::BoardEvent::Kind::kIoLine: what << "io " << int(levels[e.index]); break;
      case qv::sim::BoardEvent::Kind::kTransfer: what << Label(transfers[e.index]); break;
    }
    events.emplace_back(what.str(), e.atMs - origin);
  }
  return events;
}

std::vector<Event> Chunks7T0(int page, std::uint64_t at) {
  std::vector<Event> e;
  for (int k = 0; k < 4; ++k) {
    char label[32];
    std::snprintf(label, sizeof label, "BF 79 B9 09 %02X 00", page * 4 + k);
    e.emplace_back(label, at);
  }
  return e;
}

std::vector<Event> Cat(std::initializer_list<std::vector<Event>> parts) {
  std::vector<Event> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

struct UsbTimeline {
  const char* name;
  bool download;  // the command-line job, which opens the bridge itself
  qv::sim::ChipFamily family;
  std::size_t imageBytes;
  BOOL erase;
  std::function<void()> fault;
  BOOL completed;
  std::vector<Event> board;
  std::vector<TimedPost> posts;
};

class UsbJobTimeline : public ::testing::TestWithParam<UsbTimeline> {
 protected:
  void SetUp() override { g_AppConfig = kAppConfigInitial; }
  void TearDown() override {
    g_BridgeDevice.SetHandle(nullptr);
    ostrelusb::Configure({});
  }
  qv::ScopedVirtualClock clock_;
  ProgramFolder folder_;
  RecordingEngine engine_{folder_.Path()};
  TimedOwner owner_;
};

TEST_P(UsbJobTimeline, ResetsErasesPacesAndVerifiesOnTime) {
  const UsbTimeline& c = GetParam();
  ostrelusb::Configure({true, {c.family, 64, c.download ? BYTE{0x5D} : BYTE{0x70}}});
  g_BridgeDevice.SetHandle(nullptr);
  const std::string path = folder_.WriteFile("fw.bin", Pattern(c.imageBytes, 24));
  BOOL completed = FALSE;
  const auto run = [&](const std::function<BOOL()>& job) {
    if (c.fault) c.fault();
    ostrelusb::ClearLogs();
    const std::uint64_t start = clock_.clock().NowMs();
    owner_.SetOrigin(start);
    completed = job();
    EXPECT_EQ(BoardEvents(start), c.board);
  };
  if (c.download) {
    COnlineComUpdateThread worker(&owner_);
    worker.SetJob(c.family == qv::sim::ChipFamily::k7T0 ? "T7T0" : "I2C128", path.c_str(), 5, 0, 0, 9600, 0, 0);
    ASSERT_EQ(worker.GetJobFlag(), 1u);
    run([&] { return worker.UpdateOverUsb(); });
  } else {
    // The main window opened and addressed the bridge before.
    ASSERT_EQ(g_BridgeDevice.Open(), QV_OK);
    ASSERT_EQ(g_BridgeDevice.SetSlaveAddr(0x70), QV_OK);
    engine_.m_nInterface = 1;
    g_pIcBase = c.family == qv::sim::ChipFamily::k7T0 ? new CQvIc7T0(0x70) : new CQvIcBase(0x70);
    engine_.m_pInterface = g_pIcBase;
    COnlineUpdateThread worker(&owner_);
    ASSERT_TRUE(worker.SetJob(path.c_str(), 0, c.erase, 0));
    run([&] { return worker.UpdateOverUsb(); });
  }
  EXPECT_EQ(completed, c.completed);
  EXPECT_EQ(owner_.TimedPosts(), c.posts);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UsbJobTimeline,
    ::testing::Values(
        // Line low 100 ms, high, 70 ms; the ID; the erase at byte delay 2 and
        // 500 ms; each page 20 ms before its verify; 20 ms after the last, the
        // line low 500 ms and high again.
        UsbTimeline{"SevenT0Erased", false, qv::sim::ChipFamily::k7T0, 2048, TRUE, nullptr, TRUE,
                    Cat({{{"io 0", 0}, {"io 1", 100}, {"FF 90", 170}, {"read 4", 170}, {"QV_Set_IIC_ByteDelay 2", 170},
                          {"FF 91 97 CE", 170}},
                         Chunks7T0(0, 670),
                         {{"FF 62 09 00 00 04 00", 690}, {"read 17", 690}},
                         Chunks7T0(1, 690),
                         {{"FF 62 09 04 00 04 00", 710}, {"read 17", 710}, {"io 0", 730}, {"io 1", 1230}}}),
                    {{0, 0, 0}, {30, 10, 170}, {31, 100, 670}, {2, 10, 670}, {2, 50, 690}, {5, 0, 710},
                     {2, 100, 1230}}},
        UsbTimeline{"Page128NotErased", false, qv::sim::ChipFamily::kPage128, 256, FALSE, nullptr, TRUE,
                    {{"io 0", 0}, {"io 1", 100}, {"FF 90", 170}, {"read 2", 170}, {"BF 00 00 00 80", 170},
                     {"FF CC", 190}, {"read 1", 190}, {"BF 00 80 00 80", 190}, {"FF CC", 210}, {"read 1", 210},
                     {"io 0", 230}, {"io 1", 730}},
                    {{0, 0, 0}, {2, 10, 170}, {2, 50, 190}, {5, 0, 210}, {2, 100, 730}}},
        // A verify that fails ends the job with stage code 4 at once.
        UsbTimeline{"Page128VerifyFails", false, qv::sim::ChipFamily::kPage128, 256, FALSE,
                    [] { ostrelusb::InjectWrongSum(-1); }, FALSE,
                    {{"io 0", 0}, {"io 1", 100}, {"FF 90", 170}, {"read 2", 170}, {"BF 00 00 00 80", 170},
                     {"FF CC", 190}, {"read 1", 190}},
                    {{0, 0, 0}, {2, 10, 170}, {4, 0, 190}}},
        // A page written twice in vain, 20 ms apart, is stage code 1.
        UsbTimeline{"Page128WriteFails", false, qv::sim::ChipFamily::kPage128, 256, FALSE,
                    [] { ostrelusb::InjectFault({qv::sim::FaultTarget::kWriteTransfer, 1, -1}); }, FALSE,
                    {{"io 0", 0}, {"io 1", 100}, {"FF 90", 170}, {"read 2", 170}, {"BF 00 00 00 80", 170},
                     {"BF 00 00 00 80", 190}},
                    {{0, 0, 0}, {2, 10, 170}, {1, 0, 190}}},
        // The line refused at the final reset: a late failure that posts nothing.
        UsbTimeline{"Page128FinalResetFails", false, qv::sim::ChipFamily::kPage128, 128, FALSE,
                    [] { ostrelusb::InjectFault({qv::sim::FaultTarget::kBoardIo, 2, 1}); }, FALSE,
                    {{"io 0", 0}, {"io 1", 100}, {"FF 90", 170}, {"read 2", 170}, {"BF 00 00 00 80", 170},
                     {"FF CC", 190}, {"read 1", 190}},
                    {{0, 0, 0}, {2, 10, 170}, {5, 0, 190}}},
        // The last page is written once: its failure is stage code 1 at once.
        UsbTimeline{"Page128LastPageWriteFails", false, qv::sim::ChipFamily::kPage128, 256, FALSE,
                    [] { ostrelusb::InjectFault({qv::sim::FaultTarget::kWriteTransfer, 3, 1}); }, FALSE,
                    {{"io 0", 0}, {"io 1", 100}, {"FF 90", 170}, {"read 2", 170}, {"BF 00 00 00 80", 170},
                     {"FF CC", 190}, {"read 1", 190}, {"BF 00 80 00 80", 190}},
                    {{0, 0, 0}, {2, 10, 170}, {1, 0, 190}}},
        // The download job opens the bridge and sets it up before the reset
        // pulse, and erases whenever it starts at address 0.
        UsbTimeline{"DownloadSevenT0", true, qv::sim::ChipFamily::k7T0, 2048, FALSE, nullptr, TRUE,
                    Cat({{{"QV_OpenDevice 0", 0}, {"QV_SetInterface 0", 0}, {"QV_Set_IIC_ByteDelay 4", 0},
                          {"QV_I2C_Conf 4", 0}, {"QV_SetBoardVCC_Ctrl 0", 0}, {"QV_SetBoardIOVCC_Ctrl 0 0 0", 0},
                          {"QV_SetSlaveAddr 93", 0}, {"io 0", 0}, {"io 1", 100}, {"FF 90", 170}, {"read 4", 170},
                          {"QV_Set_IIC_ByteDelay 2", 170}, {"FF 91 97 CE", 170}},
                         Chunks7T0(0, 670),
                         {{"FF 62 09 00 00 04 00", 690}, {"read 17", 690}},
                         Chunks7T0(1, 690),
                         {{"FF 62 09 04 00 04 00", 710}, {"read 17", 710}, {"io 0", 730}, {"io 1", 1230}}}),
                    {{0, 0, 0}, {30, 10, 170}, {31, 100, 670}, {2, 10, 670}, {2, 50, 690}, {5, 0, 710},
                     {2, 100, 1230}}},
        // The line refused at the start: stage code 1 before any transfer.
        UsbTimeline{"Page128FirstResetFails", false, qv::sim::ChipFamily::kPage128, 128, FALSE,
                    [] { ostrelusb::InjectFault({qv::sim::FaultTarget::kBoardIo, 1, 1}); }, FALSE,
                    {{"io 0", 0}}, {{0, 0, 0}, {1, 0, 100}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace jobs_test
