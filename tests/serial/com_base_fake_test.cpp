// CCOMBase's port layer on the fake port: the order of calls, the failure
// paths, and the long time-outs in virtual time.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "isp/com_base.h"
#include "platform/core/clock.h"
#include "tests/support/fake_serial_port.h"

namespace {

using Bytes = std::vector<BYTE>;

class ComBaseFakeTest : public ::testing::Test {
 protected:
  ComBaseFakeTest() : port_(new qv::FakeSerialPort), com_(std::unique_ptr<qv::ISerialPort>(port_)) {}
  void InitOpen(BOOL rts = FALSE) {
    ASSERT_EQ(com_.Init(3, 9600, 3, rts), 1);
    port_->ClearRecord();
  }
  qv::FakeSerialPort* port_;  // owned by com_
  CCOMBase com_;
};

TEST_F(ComBaseFakeTest, InitOutOfRangeChangesNothing) {
  for (u32 port : {0u, 256u, 0xFFFFFFFFu}) {
    EXPECT_EQ(com_.Init(port, 9600, 0, TRUE), FALSE) << port;
  }
  EXPECT_TRUE(port_->OpenCalls().empty());
  EXPECT_TRUE(port_->ConfigureCalls().empty());
  EXPECT_EQ(com_.GetPortNumber(), 0u);
}

TEST_F(ComBaseFakeTest, InitOpensPurgesConfiguresAndFlushes) {
  struct Case {
    u32 port;
    u32 baud;
    BOOL rts;
    bool rtsEnable;
  };
  for (const Case& c : {Case{1, 115200, 1, true}, Case{255, 14400, 0, false}, Case{12, 56000, 2, true}}) {
    port_->Feed({0xEE, 0xEE});  // stale bytes before the open
    port_->ClearRecord();
    ASSERT_EQ(com_.Init(c.port, c.baud, 99, c.rts), 1);
    EXPECT_EQ(port_->OpenCalls(), std::vector<u32>{c.port});
    ASSERT_EQ(port_->ConfigureCalls().size(), 1u);
    EXPECT_EQ(port_->ConfigureCalls()[0].baud, c.baud);
    EXPECT_EQ(port_->ConfigureCalls()[0].rtsEnable, c.rtsEnable);
    EXPECT_EQ(port_->PurgeCount(), 1);
    EXPECT_EQ(port_->Pending(), 0u);
    EXPECT_EQ(com_.GetPortNumber(), c.port);
  }
}

TEST_F(ComBaseFakeTest, ReInitClosesTheHeldPortFirst) {
  InitOpen();
  ASSERT_EQ(com_.Init(4, 9600, 0, FALSE), 1);
  EXPECT_EQ(port_->CloseCount(), 1);
  EXPECT_EQ(port_->OpenCalls(), std::vector<u32>{4});
}

TEST_F(ComBaseFakeTest, AFailedOpenOrRefusedSettingsLeaveThePortClosed) {
  InitOpen();
  port_->FailConfigure(true);
  EXPECT_EQ(com_.Init(3, 9600, 0, FALSE), FALSE);
  EXPECT_FALSE(com_.IsOpen());
  EXPECT_EQ(port_->CloseCount(), 2);  // the held port, then the refusing one

  port_->FailConfigure(false);
  port_->FailOpen(true);
  EXPECT_EQ(com_.Init(3, 9600, 0, FALSE), FALSE);
  EXPECT_FALSE(com_.IsOpen());
  EXPECT_EQ(port_->ConfigureCalls().size(), 1u);  // only the refused one
}

TEST_F(ComBaseFakeTest, WriteHandsTheFrameToThePort) {
  InitOpen();
  const Bytes frame{0x55, 0xAA, 0x81, 0x01, 0x10, 0x92};
  EXPECT_EQ(com_.DoWriteDataBlockToCOM(frame.data(), static_cast<u32>(frame.size()), 100), TRUE);
  EXPECT_EQ(port_->Frames(), std::vector<Bytes>{frame});
}

TEST_F(ComBaseFakeTest, AWriteThatTimesOutOrIsRefusedFails) {
  qv::ScopedVirtualClock clock;
  InitOpen();
  const BYTE b = 0x55;
  port_->FailWrite(true);
  EXPECT_EQ(com_.DoWriteDataBlockToCOM(&b, 1, 1000), FALSE);
  port_->FailWrite(false);
  port_->TimeOutWrite(true);
  auto before = clock.clock().NowMs();
  EXPECT_EQ(com_.DoWriteDataBlockToCOM(&b, 1, 2500), FALSE);
  EXPECT_EQ(clock.clock().NowMs() - before, 2500u);
  EXPECT_TRUE(port_->Frames().empty());
}

TEST_F(ComBaseFakeTest, ReadsTakeExactlyTheCountAsked) {
  InitOpen();
  port_->Feed({1, 2, 3, 4, 5, 6, 7});
  BYTE buf[8] = {};
  u32 length = 6;
  ASSERT_EQ(com_.DoReadDataBlockFromCOM(buf, &length, 100), TRUE);
  EXPECT_EQ(length, 6u);
  EXPECT_EQ(buf[5], 6);
  EXPECT_EQ(buf[6], 0);
  EXPECT_EQ(port_->Pending(), 1u);
}

TEST_F(ComBaseFakeTest, AShortReplyFailsAtTheDeadlineAndConsumesNothing) {
  qv::ScopedVirtualClock clock;
  InitOpen();
  port_->Feed({1, 2, 3, 4, 5});
  BYTE buf[6] = {};
  u32 length = 6;
  auto before = clock.clock().NowMs();
  EXPECT_EQ(com_.DoReadDataBlockFromCOM(buf, &length, 2500), FALSE);
  EXPECT_EQ(clock.clock().NowMs() - before, 2500u);
  EXPECT_EQ(port_->Pending(), 5u);
  EXPECT_EQ(buf[0], 0);
}

TEST_F(ComBaseFakeTest, BytesThatArriveBeforeTheDeadlineAreRead) {
  InitOpen();
  std::thread chip([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    port_->Feed({0xA4, 0, 0});
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    port_->Feed({0, 0, 0xA4});
  });
  BYTE buf[6] = {};
  u32 length = 6;
  EXPECT_EQ(com_.DoReadDataBlockFromCOM(buf, &length, 2000), TRUE);
  EXPECT_EQ(buf[5], 0xA4);
  chip.join();
}

TEST_F(ComBaseFakeTest, AVanishedDeviceFailsAtOnce) {
  qv::ScopedVirtualClock clock;
  InitOpen();
  port_->Vanish();
  BYTE buf[6] = {};
  u32 length = 6;
  auto before = clock.clock().NowMs();
  EXPECT_EQ(com_.DoReadDataBlockFromCOM(buf, &length, 2500), FALSE);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(clock.clock().NowMs(), before);
  EXPECT_EQ(com_.DoWriteDataBlockToCOM(buf, 1, 2500), FALSE);
  com_.FlushInput();  // must not loop
}

TEST_F(ComBaseFakeTest, FlushInputReadsAtMost300AtATime) {
  InitOpen();
  port_->Feed(Bytes(1000, 0x42));
  com_.FlushInput();
  EXPECT_EQ(port_->Pending(), 0u);
  EXPECT_EQ(port_->ReadSizes(), (std::vector<u32>{300, 300, 300, 300}));
}

TEST_F(ComBaseFakeTest, AClosedPortDoesNothing) {
  port_->Feed({7, 7});
  BYTE buf[2] = {};
  u32 length = 2;
  EXPECT_EQ(com_.DoWriteDataBlockToCOM(buf, 2, 10), FALSE);
  EXPECT_EQ(com_.DoReadDataBlockFromCOM(buf, &length, 10), FALSE);
  com_.FlushInput();
  com_.SetRts(TRUE);
  EXPECT_EQ(port_->Pending(), 2u);
  EXPECT_TRUE(port_->Frames().empty());
  EXPECT_TRUE(port_->RtsCalls().empty());
  EXPECT_FALSE(com_.IsOpen());
}

TEST_F(ComBaseFakeTest, TheResetPulseLowersRtsFor70msThenWaits100ms) {
  qv::ScopedVirtualClock clock;
  InitOpen(TRUE);
  auto before = clock.clock().NowMs();
  com_.ResetTargetByRts();
  EXPECT_EQ(port_->RtsCalls(), (std::vector<bool>{false, true}));
  EXPECT_EQ(clock.clock().NowMs() - before, 170u);
}

TEST_F(ComBaseFakeTest, SetRtsFollowsItsArgument) {
  InitOpen();
  com_.SetRts(TRUE);
  com_.SetRts(FALSE);
  com_.SetRts(5);
  EXPECT_EQ(port_->RtsCalls(), (std::vector<bool>{true, false, true}));
}

TEST_F(ComBaseFakeTest, WritesFromTwoThreadsNeverOverlap) {
  InitOpen();
  std::atomic<int> inside{0};
  std::atomic<int> most{0};
  port_->OnWrite([&](const Bytes&) {
    int now = inside.fetch_add(1) + 1;
    int seen = most.load();
    while (now > seen && !most.compare_exchange_weak(seen, now)) {
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
    inside.fetch_sub(1);
  });
  auto writer = [this](BYTE tag) {
    const Bytes frame(9, tag);
    for (int i = 0; i < 40; ++i) com_.DoWriteDataBlockToCOM(frame.data(), 9, 100);
  };
  std::thread a(writer, 0x11);
  std::thread b(writer, 0x22);
  a.join();
  b.join();
  EXPECT_EQ(most.load(), 1);
  EXPECT_EQ(port_->Frames().size(), 80u);
}

TEST_F(ComBaseFakeTest, AnInProcessChipCanAnswerEachFrame) {
  InitOpen();
  port_->OnWrite([this](const Bytes& frame) { port_->Feed({frame[2], 0, 0, 0, 0, 0xA4}); });
  const BYTE frame[] = {0x55, 0xAA, 0x98};
  ASSERT_EQ(com_.DoWriteDataBlockToCOM(frame, 3, 100), TRUE);
  BYTE reply[6] = {};
  u32 length = 6;
  ASSERT_EQ(com_.DoReadDataBlockFromCOM(reply, &length, 100), TRUE);
  EXPECT_EQ(reply[0], 0x98);
  EXPECT_EQ(reply[5], 0xA4);
}

}  // namespace
