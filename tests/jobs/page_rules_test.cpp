// The page loop's rules, each seen on the wire or on the clock: a full page
// is retried once and the last page never, an image smaller than a page is
// one padded page, a whole-image check without an answer lets the job go
// on, and the pauses the jobs take.

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <set>

#include "isp/bridge_device.h"
#include "isp/online_com_update_thread.h"
#include "isp/online_update_thread.h"
#include "isp/progress.h"
#include "isp/qv_ic_7t0.h"
#include "platform/core/clock.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "tests/jobs/jobs_fixture.h"
#include "tests/support/sleep_recorder.h"

namespace jobs_test {
namespace {

constexpr BYTE kGenericWrite = 0x97;
constexpr BYTE kW24aImageCrc = 0x16;

using qv::SleepRecorder;

// A fake port with a chip behind it, where the test decides which frames the
// chip never sees: those of a command it drops unanswered, and the write
// frames (counted from 0) it refuses with status 0.
class Line {
 public:
  explicit Line(qv::sim::UartChip& chip) : chip_(chip) {
    auto port = std::make_unique<qv::FakeSerialPort>();
    port_ = port.get();
    chip.SetSink([this](const BYTE* data, std::size_t size) { port_->Feed(Bytes(data, data + size)); });
    port_->OnWrite([this](const Bytes& frame) { OnFrame(frame); });
    owned_ = std::move(port);
  }
  std::unique_ptr<qv::ISerialPort> TakePort() { return std::move(owned_); }

  std::set<int> refusedWrites;
  int droppedCommand = -1;
  int Writes() const { return writes_; }

 private:
  void OnFrame(const Bytes& frame) {
    const bool command = frame.size() > 4 && frame[0] == 0x55 && frame[1] == 0xAA;
    if (command && frame[2] == droppedCommand) return;
    if (command && frame[2] == kGenericWrite && refusedWrites.count(writes_++) != 0) {
      const BYTE status = 0x00;
      port_->Feed({0x55, 0xAA, kGenericWrite, 0x01, status, static_cast<BYTE>(0xFF ^ kGenericWrite ^ 0x01 ^ status)});
      return;
    }
    chip_.Receive(frame);
    chip_.LineIdle();
  }

  qv::sim::UartChip& chip_;
  qv::FakeSerialPort* port_ = nullptr;
  std::unique_ptr<qv::ISerialPort> owned_;
  int writes_ = 0;
};

class PageRules : public ::testing::Test {
 protected:
  // Runs the Write page's serial job for image on a chip of family.
  BOOL RunJob(Serial family, const Bytes& image, const std::function<void(Line&)>& setUp = nullptr) {
    chip_ = MakeChip(family);
    line_ = std::make_unique<Line>(*chip_);
    if (setUp) setUp(*line_);
    engine_.m_pCOMBase = MakeBackEnd(family, line_->TakePort());
    engine_.m_pInterface = engine_.m_pCOMBase;
    COnlineUpdateThread worker(&owner_);
    if (!worker.SetJob(folder_.WriteFile("fw.bin", ImageFile(family, image)).c_str(), 0, FALSE,
                       kDefaultPassword)) {
      return FALSE;
    }
    clock_.Clear();
    // Where each post fell among the sleeps.
    owner_.onPost = [this](WPARAM stage, LPARAM value) {
      const std::size_t at = clock_.Sleeps().size();
      std::lock_guard<std::mutex> lock(marksLock_);
      marks_.emplace_back(Stage(stage, value), at);
    };
    return worker.UpdateOverCom();
  }
  // The sleeps after the post of from and before that of to (or the end).
  std::vector<DWORD> SleepsBetween(Stage from, Stage to) const {
    const std::vector<DWORD> all = clock_.Sleeps();
    std::size_t begin = all.size();
    std::size_t end = all.size();
    std::lock_guard<std::mutex> lock(marksLock_);
    for (const auto& [stage, at] : marks_) {
      if (stage == from && begin == all.size()) begin = at;
      if (stage == to) end = at;
    }
    return std::vector<DWORD>(all.begin() + static_cast<long>(begin), all.begin() + static_cast<long>(std::max(begin, end)));
  }
  // From the first percent on: the page loop and what follows it.
  std::vector<DWORD> PageLoopSleeps() const { return SleepsBetween({kProgressUpdating, 10}, {~WPARAM{0}, 0}); }

  SleepRecorder clock_;
  ProgramFolder folder_;
  RecordingEngine engine_{folder_.Path()};
  RecordingOwner owner_;
  std::unique_ptr<qv::sim::UartChip> chip_;
  std::unique_ptr<Line> line_;
  mutable std::mutex marksLock_;
  std::vector<std::pair<Stage, std::size_t>> marks_;
};

struct RetryCase {
  const char* name;
  std::size_t imageBytes;  // of 128-byte pages
  std::set<int> refused;   // write frames refused, counted from 0
  int writes;              // write frames sent in all
  std::size_t retries;     // pauses before a retry
  const char* failure;     // nullptr: the job completes
};

class PageRetry : public PageRules, public ::testing::WithParamInterface<RetryCase> {};

TEST_P(PageRetry, AFullPageHasOneRetryAndTheLastPageNone) {
  const RetryCase& c = GetParam();
  const Bytes image = Pattern(c.imageBytes, 11);
  const BOOL completed = RunJob(Serial::kGeneric, image, [&](Line& line) { line.refusedWrites = c.refused; });
  EXPECT_EQ(line_->Writes(), c.writes);
  // A retry waits 20 ms first; nothing else in the page loop sleeps.
  EXPECT_EQ(PageLoopSleeps(), std::vector<DWORD>(c.retries, 20));
  if (c.failure == nullptr) {
    EXPECT_TRUE(completed);
    EXPECT_EQ(Head(chip_->Flash(), image.size()), image);
  } else {
    EXPECT_FALSE(completed);
    EXPECT_EQ(engine_.Entries().back(), c.failure);
    EXPECT_EQ(owner_.Codes().back(), kProgressCommError);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PageRetry,
    ::testing::Values(
        RetryCase{"FullPageRefusedOnce", 128 * 4 + 64, {1}, 6, 1, nullptr},
        RetryCase{"FullPageRefusedTwice", 128 * 4 + 64, {1, 2}, 3, 1, "Page Index 2 Write Fail"},
        RetryCase{"LastPaddedPageRefusedOnce", 128 * 4 + 64, {4}, 5, 0, "Page Index 5 Write Fail"},
        // A whole number of pages: the last one is still the last page, with
        // no retry, and no 0xFF fill byte lands in it.
        RetryCase{"ExactMultipleLastPageRefusedOnce", 128 * 4, {3}, 4, 0, "Page Index 4 Write Fail"},
        RetryCase{"ExactMultipleThirdPageRefusedOnce", 128 * 4, {2}, 5, 1, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PageRules, AnImageSmallerThanAPageIsOnePaddedPagePostingOnly10And100) {
  const Bytes image = Pattern(20, 12);
  EXPECT_TRUE(RunJob(Serial::kGeneric, image));
  EXPECT_EQ(owner_.Posts(), (Stages{{kProgressStart, 0},
                                    {kProgressEraseBegin, 10},
                                    {kProgressEraseEnd, 100},
                                    {kProgressUpdating, 10},
                                    {kProgressUpdating, 100}}));
  EXPECT_EQ(line_->Writes(), 1);
  const Bytes& flash = chip_->Flash();
  EXPECT_EQ(Head(flash, 20), image);
  EXPECT_EQ(Bytes(flash.begin() + 20, flash.begin() + 128), Bytes(108, 0xFF));
}

TEST_F(PageRules, AWholeImageCheckWithoutAnAnswerLetsTheJobGoOn) {
  const Bytes image = Pattern(1024 * 2, 13);
  EXPECT_TRUE(RunJob(Serial::kW24A, image, [](Line& line) { line.droppedCommand = kW24aImageCrc; }));
  EXPECT_EQ(owner_.Posts().back(), Stage(kProgressUpdating, 100));
  EXPECT_FALSE(engine_.Logged("Alll Data Checksum Fail"));
  EXPECT_EQ(Head(chip_->Flash(), image.size()), image);
  // It waited out its reply time-out, after the pages and before the finish.
  bool waited = false;
  for (DWORD ms : PageLoopSleeps()) waited = waited || ms >= 1000;
  EXPECT_TRUE(waited);
}

TEST_F(PageRules, ASerialJobPausesForItsResetPulseAndAfterThePassword) {
  EXPECT_TRUE(RunJob(Serial::kK55, Pattern(32 * 3, 14)));
  // The RTS pulse (low 70 ms, then 100 ms to start) before the handshake;
  // 100 ms after the accepted password; the pages never sleep.
  const std::vector<DWORD> sleeps = clock_.Sleeps();
  ASSERT_GE(sleeps.size(), 2u);
  EXPECT_EQ(std::vector<DWORD>(sleeps.begin(), sleeps.begin() + 2), (std::vector<DWORD>{70, 100}));
  EXPECT_EQ(SleepsBetween({kProgressEraseEnd, 100}, {kProgressUpdating, 10}), std::vector<DWORD>{100});
  EXPECT_TRUE(PageLoopSleeps().empty());
}

TEST(UsbPauses, AUsbJobPacesItsPagesAndWaitsOutResetAndErase) {
  SleepRecorder clock;
  ProgramFolder folder;
  RecordingEngine engine(folder.Path());
  RecordingOwner owner;
  ostrelusb::Configure({true, {qv::sim::ChipFamily::k7T0, 64, 0x70}});
  g_BridgeDevice.SetHandle(nullptr);
  ASSERT_EQ(g_BridgeDevice.Open(), QV_OK);
  ASSERT_EQ(g_BridgeDevice.SetSlaveAddr(0x70), QV_OK);
  engine.m_nInterface = 1;
  g_pIcBase = new CQvIc7T0(0x70);
  engine.m_pInterface = g_pIcBase;
  COnlineUpdateThread worker(&owner);
  ASSERT_TRUE(worker.SetJob(folder.WriteFile("fw.bin", Pattern(1024 * 2)).c_str(), 0, TRUE, 0));
  clock.Clear();
  EXPECT_TRUE(worker.UpdateOverUsb());
  // Reset pulse 100 + 70; erase settles 500; page 0 posts nothing and sleeps
  // 20, page 1 posts 50 and sleeps what is left of 20; 20 after the last
  // page; the final reset holds the line low 500.
  EXPECT_EQ(clock.Sleeps(), (std::vector<DWORD>{100, 70, 500, 20, 20, 20, 500}));
  g_BridgeDevice.SetHandle(nullptr);
  ostrelusb::Configure({});
}

}  // namespace
}  // namespace jobs_test
