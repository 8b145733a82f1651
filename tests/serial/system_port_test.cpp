// The termios port against a real pseudo-terminal.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <thread>
#include <vector>

#include "platform/serial/line_settings.h"
#include "platform/serial/serial_port.h"
#include "tests/support/pty_fixture.h"

namespace {

using qv::PtyPortTest;

class SystemPortTest : public PtyPortTest {
 protected:
  void SetUp() override {
    PtyPortTest::SetUp();
    port_ = qv::CreateSystemSerialPort();
  }
  void OpenConfigured() {
    ASSERT_TRUE(port_->Open(kCom));
    ASSERT_TRUE(port_->Configure(115200, true));
  }
  std::unique_ptr<qv::ISerialPort> port_;
};

class BaudRateTest : public SystemPortTest, public ::testing::WithParamInterface<u32> {};

TEST_P(BaudRateTest, AnyRateIsTakenAsItIs) {
  ASSERT_TRUE(port_->Open(kCom));
  ASSERT_TRUE(port_->Configure(GetParam(), false));
  EXPECT_EQ(qv::serial::LineSpeed(pty_.SlaveFd()), GetParam());
}

INSTANTIATE_TEST_SUITE_P(StandardAndNot, BaudRateTest,
                         ::testing::Values(9600u, 14400u, 56000u, 115200u, 128000u, 256000u, 1000000u));

TEST_F(SystemPortTest, RateZeroIsRefused) {
  ASSERT_TRUE(port_->Open(kCom));
  EXPECT_FALSE(port_->Configure(0, false));
}

TEST_F(SystemPortTest, APortHeldElsewhereCountsAsAbsentUntilReleased) {
  OpenConfigured();
  auto other = qv::CreateSystemSerialPort();
  EXPECT_FALSE(other->Open(kCom));
  EXPECT_FALSE(other->IsOpen());
  port_->Close();
  EXPECT_TRUE(other->Open(kCom));
}

TEST_F(SystemPortTest, ANumberWithoutADeviceOrANonTerminalDoesNotOpen) {
  std::filesystem::create_symlink("/dev/null", folder_.PortsPath() + "/COM9");
  EXPECT_FALSE(port_->Open(9));
  EXPECT_FALSE(port_->Open(120));
  EXPECT_FALSE(port_->IsOpen());
}

TEST_F(SystemPortTest, WritesReachTheFarEndAndRepliesAreReadWithoutWaiting) {
  OpenConfigured();
  const std::vector<BYTE> frame{0x55, 0xAA, 0x97, 0x00, 0x0D, 0x0A, 0x11};
  ASSERT_TRUE(port_->Write(frame.data(), static_cast<u32>(frame.size()), 500));
  EXPECT_EQ(pty_.ReadFromPort(frame.size(), 1000), frame);

  BYTE buf[16];
  EXPECT_EQ(port_->ReadQueued(buf, sizeof buf), 0);
  ASSERT_TRUE(pty_.WriteToPort({1, 2, 3}));
  ASSERT_TRUE(port_->WaitForInput(3, 1000));
  EXPECT_EQ(port_->QueuedInput(), 3);
  ASSERT_EQ(port_->ReadQueued(buf, 2), 2);
  EXPECT_EQ(buf[1], 2);
  EXPECT_EQ(port_->QueuedInput(), 1);
}

TEST_F(SystemPortTest, WaitForInputWaitsForTheWholeCountOfATricklingReply) {
  OpenConfigured();
  std::thread peer([this] {
    pty_.WriteToPort({0xA4, 0x00, 0x00});
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    pty_.WriteToPort({0x00, 0x00, 0xA4});
  });
  EXPECT_TRUE(port_->WaitForInput(6, 2000));
  EXPECT_EQ(port_->QueuedInput(), 6);
  peer.join();
}

TEST_F(SystemPortTest, WaitForInputFailsAtItsTimeOutWhenTooFewCame) {
  OpenConfigured();
  ASSERT_TRUE(pty_.WriteToPort({1, 2, 3, 4, 5}));
  ASSERT_TRUE(pty_.WaitQueuedAtPort(5, 1000));
  EXPECT_FALSE(port_->WaitForInput(6, 30));
  EXPECT_EQ(port_->QueuedInput(), 5);
}

TEST_F(SystemPortTest, PurgeDiscardsQueuedInput) {
  OpenConfigured();
  ASSERT_TRUE(pty_.WriteToPort(std::vector<BYTE>(50, 0x5A)));
  ASSERT_TRUE(pty_.WaitQueuedAtPort(50, 1000));
  port_->Purge();
  EXPECT_EQ(port_->QueuedInput(), 0);
}

TEST_F(SystemPortTest, AWriteThatCannotFinishFailsAtItsTimeOutAndTheNextOneGoesThrough) {
  OpenConfigured();
  // The far end reads nothing, so the pty's buffers fill up.
  std::vector<BYTE> big(1 << 20, 0x33);
  EXPECT_FALSE(port_->Write(big.data(), static_cast<u32>(big.size()), 50));
  // What already crossed the line stays there; the rest never follows.
  std::vector<BYTE> crossed = pty_.ReadFromPort(big.size(), 50);
  EXPECT_LT(crossed.size(), big.size());
  const BYTE next[] = {0x55, 0x01};
  ASSERT_TRUE(port_->Write(next, sizeof next, 500));
  EXPECT_EQ(pty_.ReadFromPort(2, 1000), (std::vector<BYTE>{0x55, 0x01}));
}

TEST_F(SystemPortTest, AFarEndThatHangsUpMakesEveryCallFailWithoutWaiting) {
  OpenConfigured();
  pty_.CloseMaster();
  BYTE buf[4] = {0x55};
  EXPECT_EQ(port_->QueuedInput(), -1);
  EXPECT_EQ(port_->ReadQueued(buf, sizeof buf), -1);
  EXPECT_FALSE(port_->WaitForInput(1, 5000));
  EXPECT_FALSE(port_->Write(buf, 1, 5000));
  EXPECT_TRUE(port_->IsOpen());  // it stays held until the owner closes it
}

TEST_F(SystemPortTest, RtsOnAPtyIsHarmless) {
  OpenConfigured();
  port_->SetRts(false);
  port_->SetRts(true);
  EXPECT_TRUE(port_->IsOpen());
}

TEST_F(SystemPortTest, ClosedPortDoesNothing) {
  BYTE buf[4] = {};
  EXPECT_FALSE(port_->IsOpen());
  EXPECT_FALSE(port_->Configure(9600, false));
  EXPECT_EQ(port_->QueuedInput(), 0);
  EXPECT_EQ(port_->ReadQueued(buf, sizeof buf), -1);
  EXPECT_FALSE(port_->Write(buf, 1, 10));
  EXPECT_FALSE(port_->WaitForInput(1, 10));
  port_->Purge();
  port_->SetRts(true);
  port_->Close();
}

TEST_F(SystemPortTest, ProbeFindsTheLinkedPtyButNotWhenHeld) {
  u32 flags[128];
  std::fill(std::begin(flags), std::end(flags), 7u);
  int found = ProbeComPorts(flags, 0);
  EXPECT_EQ(flags[kCom - 1], 1u);
  EXPECT_GE(found, 1);
  int set = 0;
  for (u32 f : flags) {
    EXPECT_TRUE(f == 0 || f == 1);
    set += static_cast<int>(f);
  }
  EXPECT_EQ(set, found);

  OpenConfigured();
  ProbeComPorts(flags, 0);
  EXPECT_EQ(flags[kCom - 1], 0u);
  port_->Close();
  // The probe held the port only for the moment of its test.
  ProbeComPorts(flags, 0);
  EXPECT_TRUE(port_->Open(kCom));
}

}  // namespace
