// Serial jobs end to end: the Write page's job over a fake port with an
// in-process chip, the download job over a pty with the chip behind it, for
// each serial family; the port search; stopping a worker during a job.

#include <gtest/gtest.h>

#include <atomic>

#include "isp/com_base.h"
#include "isp/online_com_update_thread.h"
#include "isp/online_update_thread.h"
#include "isp/progress.h"
#include "sim/uart_generic_chip.h"
#include "sim/uart_pty_runner.h"
#include "tests/jobs/jobs_fixture.h"

namespace jobs_test {
namespace {

// The stage codes of a serial job that ran to its end, posting percents
// between its 10 and its 100.
Stages CompletedUartStages(const std::vector<int>& percents) {
  Stages s = {{kProgressStart, 0}, {kProgressEraseBegin, 10}, {kProgressEraseEnd, 100},
              {kProgressUpdating, 10}};
  for (int p : percents) s.emplace_back(kProgressUpdating, p);
  s.emplace_back(kProgressUpdating, 100);
  return s;
}

struct SerialCase {
  Serial family;
  std::size_t imageBytes;  // not a whole number of pages: the last one is padded
  int pages;
  std::vector<int> percents;
};

std::string CaseName(const ::testing::TestParamInfo<SerialCase>& info) {
  return IcTypeOf(info.param.family);
}

class SerialJob : public ::testing::TestWithParam<SerialCase> {
 protected:
  ProgramFolder folder_;
  RecordingEngine engine_{folder_.Path()};
  RecordingOwner owner_;
};

TEST_P(SerialJob, WritePageJobProgramsTheChip) {
  const SerialCase& c = GetParam();
  auto chip = MakeChip(c.family);
  auto port = std::make_unique<qv::FakeSerialPort>();
  Attach(*port, *chip);
  engine_.m_pCOMBase = MakeBackEnd(c.family, std::move(port));
  engine_.m_pInterface = engine_.m_pCOMBase;
  const Bytes image = Pattern(c.imageBytes);
  COnlineUpdateThread worker(&owner_);
  ASSERT_TRUE(worker.SetJob(folder_.WriteFile("fw.bin", ImageFile(c.family, image)).c_str(), 0, FALSE,
                            kDefaultPassword));
  ASSERT_TRUE(worker.Start(0, 0));
  ASSERT_TRUE(owner_.WaitEnabled(1));
  // The views are repainted after the owner is enabled: join before looking.
  worker.Stop(true, 2000);

  EXPECT_EQ(owner_.Posts(), CompletedUartStages(c.percents));
  EXPECT_EQ(owner_.Repainted(), 1);
  EXPECT_EQ(owner_.CloseShown(), 0);
  const Bytes& flash = chip->Flash();
  EXPECT_EQ(Head(flash, image.size()), image);
  // The last page was filled up with 0xFF.
  const std::size_t page = chip->PageSize();
  for (std::size_t k = image.size(); k < static_cast<std::size_t>(c.pages) * page; ++k) {
    ASSERT_EQ(flash[k], 0xFF) << k;
  }
  for (const std::string& e : engine_.Entries()) EXPECT_EQ(e.find("Fail"), std::string::npos) << e;
  EXPECT_EQ(worker.GetJobFlag(), 0u);
}

TEST_P(SerialJob, DownloadJobOverAPtyProgramsTheChip) {
  const SerialCase& c = GetParam();
  auto chip = MakeChip(c.family);
  qv::sim::UartPtyRunner runner(*chip);
  ASSERT_TRUE(runner.Start());
  ASSERT_TRUE(runner.LinkAs(folder_.Path() + "/ports/COM4"));
  const Bytes image = Pattern(c.imageBytes, 7);
  const Bytes file = ImageFile(c.family, image);

  COnlineComUpdateThread worker(&owner_);
  worker.SetPortProbe([](u32 flags[128]) {
    flags[3] = 1;
    return 1;
  });
  ASSERT_TRUE(worker.Start(0, 0));
  worker.SetJob(IcTypeOf(c.family), folder_.WriteFile("fw.bin", file).c_str(), 5, 0, 0, 115200, 0,
                kDefaultPassword);
  ASSERT_TRUE(owner_.WaitEnabled(1));
  worker.Stop(true, 2000);
  runner.Stop();

  EXPECT_EQ(owner_.Posts(), CompletedUartStages(c.percents));
  EXPECT_EQ(owner_.CloseShown(), 1);
  EXPECT_EQ(owner_.Repainted(), 0);
  runner.Access([&](qv::sim::UartChip& ch) { EXPECT_EQ(Head(ch.Flash(), image.size()), image); });
}

INSTANTIATE_TEST_SUITE_P(Families, SerialJob,
                         ::testing::Values(SerialCase{Serial::kGeneric, 128 * 9 + 20, 10, kTenPages},
                                           SerialCase{Serial::kW24A, 1024 * 3 + 100, 4, kFourPages},
                                           SerialCase{Serial::kK55, 32 * 9 + 8, 10, kTenPages}),
                         CaseName);

class PortSearch : public ::testing::Test {
 protected:
  ProgramFolder folder_;
  RecordingEngine engine_{folder_.Path()};
  RecordingOwner owner_;
};

// The real probe, limited to the ports this test links, so that ports of the
// machine running the test do not take part.
COnlineComUpdateThread::PortProbe LinkedPortsOnly(std::vector<u32> ports) {
  return [ports](u32 flags[128]) {
    ProbeComPorts(flags, 0);
    int found = 0;
    for (u32 i = 0; i < 128; ++i) {
      bool linked = false;
      for (u32 n : ports) linked = linked || n == i + 1;
      if (!linked) flags[i] = 0;
      found += flags[i] != 0 ? 1 : 0;
    }
    return found;
  };
}

TEST_F(PortSearch, ASilentFirstPortIsPassedOver) {
  qv::PtyPair silent;
  ASSERT_TRUE(silent.Ok());
  ASSERT_TRUE(silent.LinkAsCom(folder_.Path(), 3));
  qv::sim::UartGenericChip chip;
  qv::sim::UartPtyRunner runner(chip);
  ASSERT_TRUE(runner.Start());
  ASSERT_TRUE(runner.LinkAs(folder_.Path() + "/ports/COM5"));
  const Bytes image = Pattern(256, 3);

  COnlineComUpdateThread worker(&owner_);
  worker.SetPortProbe(LinkedPortsOnly({3, 5}));
  worker.SetJob("GEN", folder_.WriteFile("fw.bin", image).c_str(), 5, 0, 0, 115200, 0, 0);
  ASSERT_EQ(worker.GetJobFlag(), 1u);
  EXPECT_TRUE(worker.UpdateOverCom());
  runner.Stop();

  EXPECT_EQ(owner_.Posts(), CompletedUartStages(kTwoPages));
  EXPECT_EQ(engine_.m_pCOMBase->GetPortNumber(), 5u);
  // Nothing is logged during the search; the silent port's handshake logs its own reads only.
  EXPECT_FALSE(engine_.Logged("SendEraseCmd Fail!"));
  EXPECT_EQ(Head(chip.Flash(), 256), image);
}

TEST_F(PortSearch, NoPortAtAllIsACommunicationError) {
  const std::string path = folder_.WriteFile("fw.bin", Pattern(256));
  COnlineComUpdateThread worker(&owner_);
  worker.SetPortProbe(LinkedPortsOnly({}));
  worker.SetJob("GEN", path.c_str(), 5, 0, 0, 115200, 0, 0);
  EXPECT_FALSE(worker.UpdateOverCom());
  EXPECT_EQ(owner_.Codes(), (std::vector<WPARAM>{kProgressStart, kProgressEraseBegin, kProgressCommError}));
  EXPECT_EQ(owner_.Enabled(), 1);
  EXPECT_EQ(owner_.CloseShown(), 1);
  EXPECT_TRUE(engine_.Entries().empty());
}

TEST(StopWorker, ARunningJobEndsAtItsNextPageAndPostsNothing) {
  ProgramFolder folder;
  RecordingEngine engine(folder.Path());
  RecordingOwner owner;
  qv::sim::UartGenericChip chip;
  auto port = std::make_unique<qv::FakeSerialPort>();
  Attach(*port, chip);
  engine.m_pCOMBase = MakeBackEnd(Serial::kGeneric, std::move(port));
  engine.m_pInterface = engine.m_pCOMBase;
  COnlineUpdateThread worker(&owner);
  // The owner asks the worker to stop (from another thread, as a closing
  // dialog does) while the job writes its pages.
  std::atomic<bool> asked{false};
  std::thread stopper;
  owner.onPost = [&](WPARAM stage, LPARAM value) {
    if (stage == kProgressUpdating && value > 10 && !asked.exchange(true)) {
      stopper = std::thread([&] { worker.Stop(true, 2000); });
      // The page after this one is the next the job starts: hold it until the
      // request is out, so that the in-memory chip cannot outrun it.
      while (!worker.IsStopRequested()) std::this_thread::yield();
    }
  };
  ASSERT_TRUE(worker.SetJob(folder.WriteFile("fw.bin", Pattern(128 * 100)).c_str(), 0, FALSE, 0));
  ASSERT_TRUE(worker.Start(0, 0));
  ASSERT_TRUE(owner.WaitEnabled(1));
  stopper.join();

  EXPECT_TRUE(worker.IsStopped());
  const std::vector<WPARAM> codes = owner.Codes();
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.back(), kProgressUpdating);  // no failure code, no 100
  EXPECT_NE(owner.Posts().back().second, 100);
  EXPECT_EQ(owner.Repainted(), 0);
  // The first page went out, the last did not.
  const Bytes blank(128, 0xFF);
  EXPECT_NE(Bytes(chip.Flash().begin(), chip.Flash().begin() + 128), blank);
  EXPECT_EQ(Bytes(chip.Flash().begin() + 128 * 99, chip.Flash().begin() + 128 * 100), blank);
}

TEST(StopWorker, AnIdleWorkerStopsAndStopWithoutWaitLeavesItRunning) {
  RecordingOwner owner;
  COnlineUpdateThread worker(&owner);
  EXPECT_TRUE(worker.IsStopped());
  ASSERT_TRUE(worker.Start(0, 0));
  EXPECT_FALSE(worker.Start(0, 0));
  EXPECT_FALSE(worker.IsStopped());
  worker.Stop(false, 0);
  EXPECT_FALSE(worker.IsStopped());
  worker.Stop(true, 2000);
  EXPECT_TRUE(worker.IsStopped());
  EXPECT_EQ(owner.Enabled(), 0);
}

}  // namespace
}  // namespace jobs_test
