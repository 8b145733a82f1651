// The Read page's reader: reads over the serial back end and over the
// bridge, what it sends to the page, its failures, reads of 64 KB and more,
// one read at a time, and a stop in the middle of a read.

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "isp/bridge_device.h"
#include "isp/com_base_k55.h"
#include "isp/online_read_thread.h"
#include "isp/progress.h"
#include "isp/qv_ic_base.h"
#include "platform/core/clock.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "sim/uart_k55_chip.h"
#include "tests/support/pages_fixture.h"
#include "tests/support/chip_on_fake_port.h"

namespace pages_test {
namespace {

using Sent = std::vector<std::pair<WPARAM, LPARAM>>;

// Plays the page: records what it is sent and, on the read-data code, copies
// the reader's bytes as the hex view does.
class RecordingPage : public CReadOwner {
 public:
  void SendProgress(WPARAM stage, LPARAM value) override {
    std::function<void(WPARAM)> hook;
    {
      std::lock_guard<std::mutex> lock(m_);
      sent_.emplace_back(stage, value);
      if ((stage & kProgressReadDataMask) == kProgressReadData && reader != nullptr) {
        shown_.assign(reader->Data(), reader->Data() + reader->Size());
      }
      hook = onSend;
    }
    cv_.notify_all();
    if (hook) hook(stage);
  }
  Sent Sends() const {
    std::lock_guard<std::mutex> lock(m_);
    return sent_;
  }
  Bytes Shown() const {
    std::lock_guard<std::mutex> lock(m_);
    return shown_;
  }
  // Waits (bounded) for a message with this stage code.
  bool WaitFor(WPARAM stage) {
    std::unique_lock<std::mutex> lock(m_);
    return cv_.wait_for(lock, std::chrono::seconds(20), [&] {
      for (const auto& s : sent_) {
        if (s.first == stage) return true;
      }
      return false;
    });
  }

  const COnlineReadThread* reader = nullptr;
  std::function<void(WPARAM)> onSend;

 private:
  mutable std::mutex m_;
  std::condition_variable cv_;
  Sent sent_;
  Bytes shown_;
};

// What a read that ran to its end sends over pages steps of size bytes.
Sent CompletedRead(int size, int steps, LPARAM first) {
  Sent s;
  if (first == 10) s.emplace_back(kProgressStart, 0);
  s.emplace_back(kProgressReading, first);
  for (int i = 0; i < steps; ++i) s.emplace_back(kProgressReading, i * 90 / steps);
  s.emplace_back(kProgressReading, 100);
  s.emplace_back(kProgressReadData | (static_cast<WPARAM>(size) & 0xFFFF), 0);
  return s;
}

CReadRequest Request(u32 start, int size, int pageSize, const char* password = "") {
  return CReadRequest{start, size, size / pageSize + (size % pageSize != 0 ? 1 : 0), password};
}

class UartReadTest : public PagesTest {
 protected:
  explicit UartReadTest(std::size_t flashBytes = 0x8000)
      : chip_(qv::sim::UartK55Chip::kDefaultPassword, flashBytes) {
    auto port = std::make_unique<qv::FakeSerialPort>();
    port_ = port.get();
    qv::Attach(*port_, chip_);
    engine_.m_pCOMBase = new CCOMBaseK55(std::move(port));
    engine_.m_pInterface = engine_.m_pCOMBase;
    engine_.m_nComPort = 4;
    engine_.m_nBaudRate = 115200;
    engine_.m_nEntryMethod = TIMEOUT_ENTRY_METHOD;
    chip_.Flash() = Pattern(flashBytes, 7);
    page_.reader = &reader_;
  }
  ~UartReadTest() override {
    reader_.Stop(true, 5000);
    delete engine_.m_pCOMBase;
    engine_.m_pCOMBase = nullptr;
    engine_.m_pInterface = nullptr;
  }
  // The read-page frames written so far.
  int ReadFrames() const {
    int n = 0;
    for (const Bytes& f : port_->Frames()) n += f.size() > 2 && f[2] == 0x83 ? 1 : 0;
    return n;
  }
  Bytes FlashAt(u32 start, int size) const {
    return Bytes(chip_.Flash().begin() + start, chip_.Flash().begin() + start + size);
  }

  qv::sim::UartK55Chip chip_;
  qv::FakeSerialPort* port_ = nullptr;
  RecordingPage page_;
  COnlineReadThread reader_{&page_};
};

class UartReadVirtualTime : public UartReadTest {
 protected:
  qv::ScopedVirtualClock clock_;
};

TEST_F(UartReadVirtualTime, ARangeThatIsNoWholeNumberOfPagesReadsJustThoseBytes) {
  // 100 bytes from 0x40: four steps, the last one a whole page of which 4 bytes are kept.
  ASSERT_TRUE(reader_.SetRequest(Request(0x40, 100, 32, "3B8E61C4")));
  EXPECT_TRUE(reader_.IsReading());
  ASSERT_TRUE(reader_.ReadChipOverUart());
  EXPECT_EQ(page_.Sends(), CompletedRead(100, 4, 10));
  EXPECT_EQ(page_.Shown(), FlashAt(0x40, 100));
  EXPECT_TRUE(chip_.Unlocked());
  for (const std::string& e : engine_.Entries()) EXPECT_EQ(e.find("Fail"), std::string::npos) << e;
}

TEST_F(UartReadVirtualTime, AnEmptyPasswordSendsNoneAndTheLockedChipReadsNothing) {
  ASSERT_TRUE(reader_.SetRequest(Request(0, 64, 32)));
  EXPECT_FALSE(reader_.ReadChipOverUart());
  EXPECT_FALSE(chip_.Unlocked());
  EXPECT_EQ(page_.Sends(), (Sent{{kProgressStart, 0}, {kProgressReading, 10}, {kProgressReadError, 0}}));
  EXPECT_TRUE(engine_.Logged("Page Index 1 Read Fail"));
}

TEST_F(UartReadVirtualTime, AWrongPasswordIsLoggedAndShownAsCommunicationError) {
  ASSERT_TRUE(reader_.SetRequest(Request(0, 64, 32, "12345678")));
  EXPECT_FALSE(reader_.ReadChipOverUart());
  EXPECT_EQ(page_.Sends(), (Sent{{kProgressStart, 0}, {kProgressReadError, 0}}));
  EXPECT_TRUE(engine_.Logged("SendKeyinPasswordCmd Fail!"));
}

TEST_F(UartReadVirtualTime, APortThatDoesNotOpenIsLoggedAndShowsNothing) {
  port_->FailOpen(true);
  ASSERT_TRUE(reader_.SetRequest(Request(0, 64, 32)));
  EXPECT_FALSE(reader_.ReadChipOverUart());
  EXPECT_EQ(page_.Sends(), (Sent{{kProgressStart, 0}}));
  EXPECT_TRUE(engine_.Logged("m_pCOMBase::Init Fail!"));
}

TEST_F(UartReadVirtualTime, AChipGoingSilentMidReadFailsThePageAfterItsRetry) {
  page_.onSend = [this](WPARAM stage) {
    if (stage == kProgressReading && page_.Sends().size() == 3) chip_.SetSilent(true);
  };
  ASSERT_TRUE(reader_.SetRequest(Request(0, 128, 32, "3B8E61C4")));
  EXPECT_FALSE(reader_.ReadChipOverUart());
  // Page 1 was read, page 2 failed twice.
  EXPECT_EQ(page_.Sends(), (Sent{{kProgressStart, 0}, {kProgressReading, 10}, {kProgressReading, 0},
                                 {kProgressReadError, 0}}));
  EXPECT_TRUE(engine_.Logged("Page Index 2 Read Fail"));
  EXPECT_EQ(ReadFrames(), 3);
  EXPECT_TRUE(page_.Shown().empty());
}

TEST_F(UartReadVirtualTime, TheLastPageHasNoRetry) {
  page_.onSend = [this](WPARAM stage) {
    if (stage == kProgressReading && page_.Sends().size() == 3) chip_.SetSilent(true);
  };
  ASSERT_TRUE(reader_.SetRequest(Request(0, 64, 32, "3B8E61C4")));
  EXPECT_FALSE(reader_.ReadChipOverUart());
  EXPECT_TRUE(engine_.Logged("Page Index 2 Read Fail"));
  EXPECT_EQ(ReadFrames(), 2);
  EXPECT_EQ(page_.Sends().back(), std::make_pair(kProgressReadError, LPARAM{0}));
}

// A K55 with 128 KB of flash: a read of more than 64 KB.
class UartRead128K : public UartReadTest {
 protected:
  UartRead128K() : UartReadTest(0x20000) {}
  qv::ScopedVirtualClock clock_;
};

TEST_F(UartRead128K, AReadOf64KBOrMoreReachesThePageWhole) {
  const int size = 0x10000 + 0x40;
  ASSERT_TRUE(reader_.SetRequest(Request(0x100, size, 32, "3B8E61C4")));
  ASSERT_TRUE(reader_.ReadChipOverUart());
  const Sent sent = page_.Sends();
  ASSERT_FALSE(sent.empty());
  // The code keeps its form (the low 16 bits of the length) ...
  EXPECT_EQ(sent.back().first, kProgressReadData | 0x40);
  // ... and the page takes all the bytes from the reader.
  EXPECT_EQ(reader_.Size(), size);
  EXPECT_EQ(page_.Shown(), FlashAt(0x100, size));
}

TEST_F(UartReadVirtualTime, OneReadAtATime) {
  ASSERT_TRUE(reader_.SetRequest(Request(0, 64, 32)));
  EXPECT_FALSE(reader_.SetRequest(Request(0, 96, 32)));
  EXPECT_EQ(reader_.Size(), 64);
  EXPECT_FALSE(COnlineReadThread(&page_).SetRequest(CReadRequest{0, 0, 0, ""}));
}

// The thread itself, in real time: small reads.
TEST_F(UartReadTest, TheReaderPicksUpARequestAndLowersItAtTheEnd) {
  ASSERT_TRUE(reader_.Start(0, 0));
  ASSERT_TRUE(reader_.SetRequest(Request(0x20, 96, 32, "3B8E61C4")));
  ASSERT_TRUE(page_.WaitFor(kProgressReadData | 96));
  reader_.Stop(true, 5000);
  EXPECT_FALSE(reader_.IsReading());
  EXPECT_EQ(page_.Shown(), FlashAt(0x20, 96));
  // The reader can be given the next read once the last has ended.
  EXPECT_TRUE(reader_.SetRequest(Request(0, 32, 32)));
}

TEST_F(UartReadTest, AStopInTheMiddleOfAReadEndsItAtTheNextPageTellingNobody) {
  ASSERT_TRUE(reader_.Start(0, 0));
  ASSERT_TRUE(reader_.SetRequest(Request(0, 32 * 400, 32, "3B8E61C4")));
  ASSERT_TRUE(page_.WaitFor(kProgressReading));
  reader_.Stop(true, 5000);
  const Sent sent = page_.Sends();
  EXPECT_LT(sent.size(), 400u);
  for (const auto& s : sent) {
    EXPECT_NE(s.first, kProgressReadError);
    EXPECT_NE(s.first & kProgressReadDataMask, kProgressReadData);
  }
  EXPECT_TRUE(page_.Shown().empty());
}

class BridgeReadTest : public PagesTest {
 protected:
  BridgeReadTest() {
    ostrelusb::Configure({true, {qv::sim::ChipFamily::kPage128, 64, 0x70}});
    g_BridgeDevice.SetHandle(nullptr);
    engine_.m_nInterface = 1;
    flash_ = Pattern(0x10000, 11);
    ostrelusb::WriteFlash(0, flash_);
    page_.reader = &reader_;
  }
  ~BridgeReadTest() override {
    delete g_pIcBase;
    g_pIcBase = nullptr;
    g_BridgeDevice.SetHandle(nullptr);
    ostrelusb::Configure({});
  }

  qv::ScopedVirtualClock clock_;
  Bytes flash_;
  RecordingPage page_;
  COnlineReadThread reader_{&page_};
};

TEST_F(BridgeReadTest, ReadsIn128ByteStepsAfterAResetPulse) {
  ASSERT_EQ(g_BridgeDevice.Open(), QV_OK);
  g_pIcBase = new CQvIcBase(0x70);
  ASSERT_TRUE(reader_.SetRequest(Request(0x80, 300, 32)));
  ASSERT_TRUE(reader_.ReadChipOverBridge());
  EXPECT_EQ(page_.Sends(), CompletedRead(300, 3, 0));
  EXPECT_EQ(page_.Shown(), Bytes(flash_.begin() + 0x80, flash_.begin() + 0x80 + 300));
  EXPECT_EQ(ostrelusb::IoLineLog(), (std::vector<BYTE>{0, 1}));
}

// The reset before a read holds the line low 500 ms and gives the target
// 70 ms before the first step; a level the board refuses ends the read there.
TEST_F(BridgeReadTest, TheResetPulseHoldsTheLineLowThenLetsTheTargetSettle) {
  struct Case {
    const char* name;
    int refusedLevel;  // -1: none
    std::uint64_t msBeforeFirstSend;
    std::pair<WPARAM, LPARAM> firstSend;
  };
  const Case cases[] = {
      {"both levels taken", -1, 500 + 70, {kProgressReading, 0}},
      {"low refused", 0, 0, {kProgressReadError, 0}},
      {"high refused", 1, 500, {kProgressReadError, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ostrelusb::Configure({true, {qv::sim::ChipFamily::kPage128, 64, 0x70}});
    g_BridgeDevice.SetHandle(nullptr);
    ASSERT_EQ(g_BridgeDevice.Open(), QV_OK);
    delete g_pIcBase;
    g_pIcBase = new CQvIcBase(0x70);
    if (c.refusedLevel >= 0) ostrelusb::InjectFault({qv::sim::FaultTarget::kBoardIo, c.refusedLevel, 1});
    RecordingPage page;
    COnlineReadThread reader(&page);
    const std::uint64_t start = clock_.clock().NowMs();
    std::uint64_t firstSendAt = 0;
    page.onSend = [&](WPARAM) {
      if (page.Sends().size() == 1) firstSendAt = clock_.clock().NowMs();
    };
    ASSERT_TRUE(reader.SetRequest(Request(0, 128, 32)));
    EXPECT_EQ(reader.ReadChipOverBridge(), c.refusedLevel < 0 ? TRUE : FALSE);
    ASSERT_FALSE(page.Sends().empty());
    EXPECT_EQ(page.Sends().front(), c.firstSend);
    EXPECT_EQ(firstSendAt - start, c.msBeforeFirstSend);
  }
}

TEST_F(BridgeReadTest, NoBridgeOpenIsACommunicationError) {
  g_pIcBase = new CQvIcBase();
  ASSERT_TRUE(reader_.SetRequest(Request(0, 128, 32)));
  EXPECT_FALSE(reader_.ReadChipOverBridge());
  EXPECT_EQ(page_.Sends(), (Sent{{kProgressReadError, 0}}));
}

TEST_F(BridgeReadTest, AnUnplugMidReadIsACommunicationError) {
  ASSERT_EQ(g_BridgeDevice.Open(), QV_OK);
  g_pIcBase = new CQvIcBase(0x70);
  page_.onSend = [this](WPARAM) {
    if (page_.Sends().size() == 2) ostrelusb::Unplug();
  };
  ASSERT_TRUE(reader_.SetRequest(Request(0, 128 * 4, 32)));
  EXPECT_FALSE(reader_.ReadChipOverBridge());
  EXPECT_EQ(page_.Sends().back(), std::make_pair(kProgressReadError, LPARAM{0}));
  EXPECT_TRUE(page_.Shown().empty());
}

}  // namespace
}  // namespace pages_test
