// CCOMBase's port layer on the system port, with a pty as the line.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "isp/com_base.h"
#include "platform/serial/line_settings.h"
#include "tests/support/pty_fixture.h"

namespace {

using qv::PtyPortTest;

constexpr u32 kBaud = 115200;

// Shows the events that Init creates.
class InspectableComBase : public CCOMBase {
 public:
  HANDLE WriteEvent() const { return m_hWriteEvent; }
  HANDLE ReadEvent() const { return m_hReadEvent; }
};

class ComBasePtyTest : public PtyPortTest {
 protected:
  void InitOpen() { ASSERT_EQ(com_.Init(kCom, kBaud, kCom, FALSE), 1); }
  void QueueAtPort(const std::vector<BYTE>& bytes) {
    ASSERT_TRUE(pty_.WriteToPort(bytes));
    ASSERT_TRUE(pty_.WaitQueuedAtPort(bytes.size(), 1000));
  }
  InspectableComBase com_;
};

TEST_F(ComBasePtyTest, InitOutsideOneTo255IsRefusedWithoutOpening) {
  for (u32 port : {0u, 256u}) {
    EXPECT_EQ(com_.Init(port, kBaud, 0, FALSE), FALSE) << port;
  }
  EXPECT_FALSE(com_.IsOpen());
  EXPECT_EQ(com_.GetPortNumber(), 0u);
  EXPECT_EQ(com_.WriteEvent(), nullptr);
  // Nothing touched the line: a port opened now is the only holder.
  InitOpen();
}

TEST_F(ComBasePtyTest, InitOpensConfiguresAndDropsStaleInput) {
  QueueAtPort({0xEE, 0xEE, 0xEE});
  ASSERT_EQ(com_.Init(kCom, 256000, 0, TRUE), 1);
  EXPECT_TRUE(com_.IsOpen());
  EXPECT_EQ(com_.GetPortNumber(), kCom);
  EXPECT_EQ(qv::serial::LineSpeed(pty_.SlaveFd()), 256000u);
  EXPECT_EQ(pty_.QueuedAtPort(), 0);
}

TEST_F(ComBasePtyTest, ReInitClosesFirstAndMakesTheEventsOnce) {
  InitOpen();
  HANDLE write = com_.WriteEvent();
  HANDLE read = com_.ReadEvent();
  ASSERT_NE(write, nullptr);
  ASSERT_NE(read, nullptr);
  // A second open of a held port would fail, so success shows the close.
  InitOpen();
  EXPECT_EQ(com_.WriteEvent(), write);
  EXPECT_EQ(com_.ReadEvent(), read);
}

TEST_F(ComBasePtyTest, APortHeldByAnotherBackEndCountsAsAbsent) {
  InitOpen();
  {
    CCOMBase other;
    EXPECT_EQ(other.Init(kCom, kBaud, 0, FALSE), FALSE);
    EXPECT_FALSE(other.IsOpen());
    EXPECT_EQ(other.GetPortNumber(), kCom);
  }
  // The refused back end took nothing from the holder.
  EXPECT_TRUE(com_.IsOpen());
  const BYTE ping = 0x55;
  EXPECT_EQ(com_.DoWriteDataBlockToCOM(&ping, 1, 500), TRUE);
}

TEST_F(ComBasePtyTest, TheDestructorReleasesThePort) {
  {
    CCOMBase first;
    ASSERT_EQ(first.Init(kCom, kBaud, 0, FALSE), 1);
  }
  InitOpen();
}

TEST_F(ComBasePtyTest, AFrameIsWrittenWhole) {
  InitOpen();
  const std::vector<BYTE> frame{0x55, 0xAA, 0x98, 0x04, 0x00, 0x00, 0x10, 0x00, 0x44};
  ASSERT_EQ(com_.DoWriteDataBlockToCOM(frame.data(), static_cast<u32>(frame.size()), 500), TRUE);
  EXPECT_EQ(pty_.ReadFromPort(frame.size(), 1000), frame);
}

TEST_F(ComBasePtyTest, AReadOfSixWhenOnlyFiveCameFailsAndConsumesNothing) {
  InitOpen();
  QueueAtPort({1, 2, 3, 4, 5});
  BYTE buf[6] = {};
  u32 length = 6;
  EXPECT_EQ(com_.DoReadDataBlockFromCOM(buf, &length, 40), FALSE);
  EXPECT_EQ(pty_.QueuedAtPort(), 5);
}

TEST_F(ComBasePtyTest, AReadOfOneTakesExactlyOne) {
  InitOpen();
  std::vector<BYTE> bytes(40);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<BYTE>(0x80 + i);
  QueueAtPort(bytes);
  BYTE buf[40] = {};
  u32 length = 1;
  ASSERT_EQ(com_.DoReadDataBlockFromCOM(buf, &length, 500), TRUE);
  EXPECT_EQ(length, 1u);
  EXPECT_EQ(buf[0], 0x80);
  EXPECT_EQ(buf[1], 0x00);
  EXPECT_EQ(pty_.QueuedAtPort(), 39);
}

TEST_F(ComBasePtyTest, AReadWaitsForAReplyThatComesLater) {
  InitOpen();
  std::thread chip([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    pty_.WriteToPort({0xA4, 0, 0, 0, 0, 0xA4});
  });
  BYTE buf[6] = {};
  u32 length = 6;
  EXPECT_EQ(com_.DoReadDataBlockFromCOM(buf, &length, 2000), TRUE);
  EXPECT_EQ(length, 6u);
  EXPECT_EQ(buf[5], 0xA4);
  chip.join();
}

TEST_F(ComBasePtyTest, FlushInputEmptiesAThousandBytes) {
  InitOpen();
  QueueAtPort(std::vector<BYTE>(1000, 0x42));
  com_.FlushInput();
  EXPECT_EQ(pty_.QueuedAtPort(), 0);
}

TEST_F(ComBasePtyTest, AClosedPortWritesReadsAndFlushesNothing) {
  QueueAtPort({9, 9, 9});
  BYTE buf[3] = {1, 2, 3};
  u32 length = 3;
  EXPECT_EQ(com_.DoWriteDataBlockToCOM(buf, 3, 100), FALSE);
  EXPECT_EQ(com_.DoReadDataBlockFromCOM(buf, &length, 20), FALSE);
  com_.FlushInput();
  com_.SetRts(TRUE);
  EXPECT_EQ(pty_.QueuedAtPort(), 3);
  EXPECT_EQ(pty_.QueuedFromPort(), 0);
  EXPECT_EQ(buf[0], 1);
}

TEST_F(ComBasePtyTest, AnUnpluggedAdapterFailsReadsAndWrites) {
  InitOpen();
  pty_.CloseMaster();
  BYTE buf[6] = {};
  u32 length = 6;
  EXPECT_EQ(com_.DoReadDataBlockFromCOM(buf, &length, 5000), FALSE);
  EXPECT_EQ(com_.DoWriteDataBlockToCOM(buf, 6, 5000), FALSE);
}

}  // namespace
