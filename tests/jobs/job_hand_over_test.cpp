// The hand-over between the page and its worker at a job's end: an owner
// that queues the next job as soon as it is enabled again (the operator's
// Write pressed the moment the page comes back) gets that job run, whatever
// the first job's outcome, and the page enabled again after it.

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "isp/com_base.h"
#include "isp/online_update_thread.h"
#include "isp/progress.h"
#include "platform/core/clock.h"
#include "sim/uart_generic_chip.h"
#include "tests/jobs/jobs_fixture.h"

namespace jobs_test {
namespace {

// Queues a job from its first enable call, on the worker's thread, where the
// old hand-over lost it.
class QueuingOwner : public RecordingOwner {
 public:
  void EnableOwner() override {
    RecordingOwner::EnableOwner();
    if (queueNext) std::exchange(queueNext, nullptr)();
  }
  std::function<void()> queueNext;
};

// The Write page's worker with a short polling slice, so that the second job
// does not wait half a second for its turn.
class QuickWorker : public COnlineUpdateThread {
 public:
  using COnlineUpdateThread::COnlineUpdateThread;
  void Run() override { ServeJobs(1); }
};

struct HandOverCase {
  const char* what;
  BOOL imageLoaded;
  bool portOpens;
  Stages oneJob;  // what each of the two jobs posts
  int repaints;
};

class JobHandOver : public ::testing::Test {
 protected:
  qv::ScopedVirtualClock clock_;
  ProgramFolder folder_;
  RecordingEngine engine_{folder_.Path()};
};

TEST_F(JobHandOver, AJobQueuedAsTheOwnerIsEnabledRuns) {
  const HandOverCase cases[] = {
      {"no image loaded", FALSE, true, {}, 2},
      {"a port that does not open", TRUE, false, {{kProgressStart, 0}}, 0},
      {"a chip programmed", TRUE, true,
       {{kProgressStart, 0},
        {kProgressEraseBegin, 10},
        {kProgressEraseEnd, 100},
        {kProgressUpdating, 10},
        {kProgressUpdating, 50},
        {kProgressUpdating, 100}},
       2},
  };
  for (const HandOverCase& c : cases) {
    SCOPED_TRACE(c.what);
    qv::sim::UartGenericChip chip;
    auto port = std::make_unique<qv::FakeSerialPort>();
    Attach(*port, chip);
    port->FailOpen(!c.portOpens);
    engine_.m_pCOMBase = new CCOMBase(std::move(port));
    engine_.m_pInterface = engine_.m_pCOMBase;
    const std::string path = folder_.WriteFile("fw.bin", Pattern(256, 3));
    QueuingOwner owner;
    owner.imageLoaded = c.imageLoaded;
    QuickWorker worker(&owner);
    owner.queueNext = [&] { EXPECT_TRUE(worker.SetJob(path.c_str(), 0, FALSE, 0)); };
    ASSERT_TRUE(worker.SetJob(path.c_str(), 0, FALSE, 0));
    ASSERT_TRUE(worker.Start(0, 0));
    EXPECT_TRUE(owner.WaitEnabled(2));
    worker.Stop(true, 2000);

    EXPECT_EQ(owner.Enabled(), 2);
    Stages both = c.oneJob;
    both.insert(both.end(), c.oneJob.begin(), c.oneJob.end());
    EXPECT_EQ(owner.Posts(), both);
    EXPECT_EQ(owner.Repainted(), c.repaints);
    EXPECT_EQ(worker.GetJobFlag(), 0u);
    delete engine_.m_pCOMBase;
    engine_.m_pCOMBase = nullptr;
    engine_.m_pInterface = nullptr;
  }
}

}  // namespace
}  // namespace jobs_test
