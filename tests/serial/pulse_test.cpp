// The reset pulse and the time-outs the port layer hands on, as the fake
// port saw them on a virtual clock.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "isp/com_base.h"
#include "platform/core/clock.h"
#include "tests/support/fake_serial_port.h"

namespace {

TEST(ResetPulse, RtsLowFor70msThen100msBeforeTheCallerGoesOn) {
  qv::ScopedVirtualClock clock;
  auto owned = std::make_unique<qv::FakeSerialPort>();
  qv::FakeSerialPort& port = *owned;
  CCOMBase com(std::move(owned));
  ASSERT_EQ(com.Init(2, 9600, 2, TRUE), 1);
  const std::uint64_t start = clock.clock().NowMs();
  com.ResetTargetByRts();
  const BYTE sync = 0x55;
  ASSERT_TRUE(com.DoWriteDataBlockToCOM(&sync, 1, 300));
  const auto rts = port.RtsTimes();
  ASSERT_EQ(rts.size(), 2u);
  EXPECT_FALSE(rts[0].high);
  EXPECT_EQ(rts[0].atMs - start, 0u);
  EXPECT_TRUE(rts[1].high);
  EXPECT_EQ(rts[1].atMs - start, 70u);
  ASSERT_EQ(port.Writes().size(), 1u);
  EXPECT_EQ(port.Writes()[0].atMs - start, 170u);
}

// The port layer passes each caller's time-out on unchanged: the write's to
// the port, the read's as the whole wait from its start.
TEST(PortTimeOuts, WritesAndReadsUseTheTimeOutTheyAreGiven) {
  for (u32 timeout : {1u, 300u, 500u, 2500u}) {
    qv::ScopedVirtualClock clock;
    auto owned = std::make_unique<qv::FakeSerialPort>();
    qv::FakeSerialPort& port = *owned;
    CCOMBase com(std::move(owned));
    ASSERT_EQ(com.Init(2, 9600, 2, FALSE), 1);
    const BYTE frame[] = {0x55, 0xAA};
    ASSERT_TRUE(com.DoWriteDataBlockToCOM(frame, 2, timeout));
    ASSERT_EQ(port.Writes().size(), 1u);
    EXPECT_EQ(port.Writes()[0].timeoutMs, timeout);
    const std::uint64_t start = clock.clock().NowMs();
    BYTE in[3] = {};
    u32 length = 3;
    EXPECT_FALSE(com.DoReadDataBlockFromCOM(in, &length, timeout));
    EXPECT_EQ(clock.clock().NowMs() - start, timeout);
    ASSERT_EQ(port.Waits().size(), 1u);
    EXPECT_EQ(port.Waits()[0].count, 3u);
    EXPECT_EQ(port.Waits()[0].timeoutMs, timeout);
  }
}

}  // namespace
