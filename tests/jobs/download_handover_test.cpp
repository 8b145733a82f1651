// The download job's port search as the fake port saw it: every present
// port in turn at the job's own baud rate, the entry method's RTS pulse on
// each, a silent port passed over when its time-outs say, and a worker that
// takes its job at the end of its first 500 ms wait.

#include <gtest/gtest.h>

#include "isp/com_base.h"
#include "isp/online_com_update_thread.h"
#include "isp/online_update_thread.h"
#include "tests/jobs/timeline_fixture.h"
#include "tests/support/sleep_recorder.h"

namespace jobs_test {
namespace {

struct Search {
  const char* name;
  Serial family;
  u32 entryMethod;
  u32 baud;
  u32 answering;  // the port with the target; COM4 is present and silent
  std::vector<std::pair<bool, std::uint64_t>> rts;  // level and moment
  std::uint64_t secondPortAt;  // when the answering port is opened
  std::vector<TimedPost> posts;
};

class DownloadSearch : public ::testing::TestWithParam<Search>, protected TimedJobPeers {};

TEST_P(DownloadSearch, TriesEachPresentPortWithTheJobsSettings) {
  const Search& c = GetParam();
  engine_.m_nEntryMethod = c.entryMethod;
  engine_.m_nBaudRate = 115200;  // the Write page's setting: not the download job's
  COnlineComUpdateThread worker(&owner_);
  // Flag i stands for COM(i + 1).
  worker.SetPortProbe([answering = c.answering](u32 flags[128]) {
    flags[3] = 1;
    flags[answering - 1] = 1;
    return 2;
  });
  const std::size_t pageSize = c.family == Serial::kW24A ? 1024 : 128;
  const Bytes image = Pattern(2 * pageSize, 23);
  worker.SetJob(IcTypeOf(c.family), folder_.WriteFile("fw.bin", image).c_str(), 5, 0, 0, c.baud, 0, 0);
  ASSERT_EQ(worker.GetJobFlag(), 1u);
  // The job's own back end, on a fake port whose far end answers on COM7 only.
  auto chip = MakeChip(c.family);
  auto owned = std::make_unique<qv::FakeSerialPort>();
  qv::FakeSerialPort& port = *owned;
  qv::sim::UartChip& target = *chip;
  port.OnWrite([&port, &target, answering = c.answering](const Bytes& frame) {
    if (port.OpenCalls().back() != answering) return;
    target.Receive(frame);
    target.LineIdle();
  });
  chip->SetSink([&port](const BYTE* data, std::size_t size) { port.Feed(Bytes(data, data + size)); });
  delete engine_.m_pCOMBase;
  engine_.m_pCOMBase = MakeBackEnd(c.family, std::move(owned));
  engine_.m_pInterface = engine_.m_pCOMBase;
  const std::uint64_t start = clock_.clock().NowMs();
  owner_.SetOrigin(start);
  EXPECT_TRUE(worker.UpdateOverCom());

  EXPECT_EQ(port.OpenCalls(), (std::vector<u32>{4, c.answering}));
  const auto configured = port.ConfigureCalls();
  ASSERT_EQ(configured.size(), 2u);
  for (const auto& call : configured) {
    EXPECT_EQ(call.baud, c.baud);
    EXPECT_EQ(call.rtsEnable, c.entryMethod == 1);
  }
  std::vector<std::pair<bool, std::uint64_t>> rts;
  for (const auto& r : port.RtsTimes()) rts.emplace_back(r.high, r.atMs - start);
  EXPECT_EQ(rts, c.rts);
  // The answering port's first frame is its handshake's 0x55, after its pulse.
  for (const auto& w : port.Writes()) {
    if (w.atMs - start >= c.secondPortAt) {
      EXPECT_EQ(w.frame, Bytes{0x55});
      EXPECT_EQ(w.atMs - start, c.secondPortAt + (c.entryMethod == 1 ? 170 : 0));
      break;
    }
  }
  EXPECT_EQ(owner_.TimedPosts(), c.posts);
  // The job logs nothing during the search; the answering port's handshake
  // logs the byte it received.
  EXPECT_EQ(engine_.Entries(), std::vector<std::string>{"Index: 1 Recevied: 163"});
  EXPECT_EQ(Head(target.Flash(), image.size()), image);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadSearch,
    ::testing::Values(
        // COM4: pulse 170, 0x55, 50, 2000 without a byte, the erase twice 2500.
        Search{"GenericTimeoutEntry", Serial::kGeneric, 1, 19200, 7,
               {{false, 0}, {true, 70}, {false, 7220}, {true, 7290}}, 7220,
               {{0, 0, 0}, {30, 10, 0}, {31, 100, 7460}, {2, 10, 7460}, {2, 50, 7460}, {2, 100, 7460}}},
        // The last of the 128 ports searched.
        Search{"GenericCheckPinEntry", Serial::kGeneric, 2, 57600, 128, {}, 7050,
               {{0, 0, 0}, {30, 10, 0}, {31, 100, 7120}, {2, 10, 7120}, {2, 50, 7120}, {2, 100, 7120}}},
        // COM4: 0x55 and 2000 without a byte; 0x19 twice 2500 with 100
        // between fails the before-write step, so COM4 is never erased.
        Search{"W24aCheckPinEntry", Serial::kW24A, 2, 38400, 7, {}, 7100,
               {{0, 0, 0}, {30, 10, 0}, {31, 100, 7120}, {2, 10, 7120}, {2, 50, 7120}, {2, 100, 7120}}}),
    [](const auto& info) { return std::string(info.param.name); });

// A worker looks for its job after each 500 ms wait on its quit event.
TEST(WorkerSlices, AJobQueuedBeforeTheStartRunsAfterTheFirst500ms) {
  qv::SleepRecorder clock;
  ProgramFolder folder;
  RecordingEngine engine(folder.Path());
  engine.m_nEntryMethod = 2;
  TimedOwner owner;
  auto chip = MakeChip(Serial::kGeneric);
  auto owned = std::make_unique<qv::FakeSerialPort>();
  Attach(*owned, *chip);
  engine.m_pCOMBase = MakeBackEnd(Serial::kGeneric, std::move(owned));
  engine.m_pInterface = engine.m_pCOMBase;
  COnlineUpdateThread worker(&owner);
  ASSERT_TRUE(worker.SetJob(folder.WriteFile("fw.bin", Pattern(128)).c_str(), 0, FALSE, 0));
  owner.SetOrigin(clock.NowMs());
  ASSERT_TRUE(worker.Start(0, 0));
  ASSERT_TRUE(owner.WaitEnabled(1));
  worker.Stop(true, 2000);
  const std::vector<TimedPost> posts = owner.TimedPosts();
  ASSERT_FALSE(posts.empty());
  EXPECT_EQ(posts[0], (TimedPost{0, 0, 500}));
  // The wait, then the handshake's two pauses; idle again, waits of 500.
  const std::vector<DWORD> sleeps = clock.Sleeps();
  ASSERT_GE(sleeps.size(), 3u);
  EXPECT_EQ(std::vector<DWORD>(sleeps.begin(), sleeps.begin() + 3), (std::vector<DWORD>{500, 50, 20}));
  for (std::size_t i = 3; i < sleeps.size(); ++i) ASSERT_EQ(sleeps[i], 500u) << i;
}

}  // namespace
}  // namespace jobs_test
