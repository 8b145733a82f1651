// The way into the serial boot loader: what reaches the port for each entry
// method, and what each caller that logs writes to the run log when the
// handshake goes unanswered.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "isp/online_com_update_thread.h"
#include "isp/online_read_thread.h"
#include "isp/online_update_thread.h"
#include "isp/serial_entry.h"
#include "platform/core/clock.h"
#include "tests/jobs/jobs_fixture.h"

namespace jobs_test {
namespace {

using Log = std::vector<std::string>;

// Each case installs its own engine context, whose back ends it deletes.
class SerialEntryTest : public ::testing::Test {
 protected:
  // A back end of family on a fake port with a chip of that family behind it,
  // installed in engine; the port stays the back end's.
  qv::FakeSerialPort& Install(RecordingEngine& engine, Serial family, bool portOpens, bool chipAnswers) {
    chip_ = MakeChip(family);
    chip_->SetSilent(!chipAnswers);
    auto port = std::make_unique<qv::FakeSerialPort>();
    qv::FakeSerialPort& fake = *port;
    Attach(fake, *chip_);
    fake.FailOpen(!portOpens);
    delete engine.m_pCOMBase;
    engine.m_pCOMBase = MakeBackEnd(family, std::move(port));
    engine.m_pInterface = engine.m_pCOMBase;
    return fake;
  }

  qv::ScopedVirtualClock clock_;  // an unanswered handshake waits seconds
  ProgramFolder folder_;
  RecordingOwner owner_;
  std::unique_ptr<qv::sim::UartChip> chip_;
};

TEST_F(SerialEntryTest, OpensPulsesAndShakesHandsByEntryMethod) {
  struct Case {
    const char* name;
    u32 method;
    bool portOpens;
    bool chipAnswers;
    SerialEntry result;
    bool rtsEnabled;
    std::vector<bool> rts;  // true = raised, in order
    bool handshakeSent;
  };
  const Case cases[] = {
      {"timeout entry", 1, true, true, SerialEntry::kEntered, true, {false, true}, true},
      {"checkpin entry", 2, true, true, SerialEntry::kEntered, false, {}, true},
      {"timeout entry, silent target", 1, true, false, SerialEntry::kHandshakeFailed, true, {false, true}, true},
      {"checkpin entry, silent target", 2, true, false, SerialEntry::kHandshakeFailed, false, {}, true},
      {"timeout entry, no port", 1, false, true, SerialEntry::kPortFailed, false, {}, false},
      {"checkpin entry, no port", 2, false, true, SerialEntry::kPortFailed, false, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingEngine engine(folder_.Path());
    qv::FakeSerialPort& port = Install(engine, Serial::kGeneric, c.portOpens, c.chipAnswers);
    EXPECT_EQ(EnterSerialBootloader(*engine.m_pCOMBase, 6, 57600, c.method), c.result);
    EXPECT_EQ(port.OpenCalls(), std::vector<u32>{6});
    if (c.portOpens) {
      ASSERT_EQ(port.ConfigureCalls().size(), 1u);
      EXPECT_EQ(port.ConfigureCalls()[0].baud, 57600u);
      EXPECT_EQ(port.ConfigureCalls()[0].rtsEnable, c.rtsEnabled);
    }
    EXPECT_EQ(port.RtsCalls(), c.rts);
    EXPECT_EQ(!port.Frames().empty(), c.handshakeSent);
  }
}

// The Write page's job logs an unanswered handshake in its entry method's
// words and goes on to the erase, which a silent target then refuses; the
// download job's port search logs nothing.
TEST_F(SerialEntryTest, AJobLogsAnUnansweredHandshakeInItsOwnWords) {
  struct Case {
    u32 method;
    Log writeJob;
  };
  const Case cases[] = {
      {1, {"TIMEOUT_ENTRY_METHOD AutoBautRateDetect Fail!", "SendEraseCmd Fail!"}},
      {2, {"AutoBautRateDetect Fail!", "SendEraseCmd Fail!"}},
  };
  const std::string path = folder_.WriteFile("fw.bin", Pattern(256));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    {
      RecordingEngine engine(folder_.Path());
      engine.m_nEntryMethod = c.method;
      Install(engine, Serial::kGeneric, true, false);
      COnlineUpdateThread worker(&owner_);
      ASSERT_TRUE(worker.SetJob(path.c_str(), 0, FALSE, 0));
      EXPECT_FALSE(worker.UpdateOverCom());
      EXPECT_EQ(engine.Entries(), c.writeJob);
    }
    {
      RecordingEngine engine(folder_.Path());
      engine.m_nEntryMethod = c.method;
      COnlineComUpdateThread worker(&owner_);
      worker.SetPortProbe([](u32 flags[128]) {
        flags[6] = 1;
        return 1;
      });
      worker.SetJob("GEN", path.c_str(), 5, 0, 0, 115200, 0, 0);
      // The setter made the type's back end; a silent target is put behind its port.
      Install(engine, Serial::kGeneric, true, false);
      EXPECT_FALSE(worker.UpdateOverCom());
      EXPECT_EQ(engine.Entries(), Log{});
    }
  }
}

class RecordingReadOwner : public CReadOwner {
 public:
  void SendProgress(WPARAM, LPARAM) override {}
};

// The Read page's reader logs as the Write page's job does, and a port that
// does not open as "m_pCOMBase::Init Fail!".
TEST_F(SerialEntryTest, TheReaderLogsTheEntryAsTheWriteJobDoes) {
  struct Case {
    const char* name;
    u32 method;
    bool portOpens;
    Log log;
  };
  const Case cases[] = {
      // The K55 handshake logs its own first loop before the reader's text.
      {"timeout entry", 1, true,
       {"Loop 1: Wait for 0xAA Fail, no data received", "TIMEOUT_ENTRY_METHOD AutoBautRateDetect Fail!",
        "Page Index 1 Read Fail"}},
      {"checkpin entry", 2, true,
       {"Loop 1: Wait for 0xAA Fail, no data received", "AutoBautRateDetect Fail!", "Page Index 1 Read Fail"}},
      {"no port", 1, false, {"m_pCOMBase::Init Fail!"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingEngine engine(folder_.Path());
    engine.m_nEntryMethod = c.method;
    Install(engine, Serial::kK55, c.portOpens, false);
    RecordingReadOwner owner;
    COnlineReadThread reader(&owner);
    ASSERT_TRUE(reader.SetRequest(CReadRequest{0, 32, 1, CString()}));
    EXPECT_FALSE(reader.ReadChipOverUart());
    EXPECT_EQ(engine.Entries(), c.log);
  }
}

}  // namespace
}  // namespace jobs_test
