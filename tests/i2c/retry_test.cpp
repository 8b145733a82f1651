// Tries, pauses and results of the I2C back ends when the bridge fails, and
// with no bridge open at all.

#include "isp/qv_ic_7t0.h"
#include "tests/i2c/i2c_fixture.h"

namespace {

using qv::sim::BoardFault;
using qv::sim::ChipFamily;
using qv::sim::FaultTarget;

struct ChunkRetryCase {
  const char* name;
  u32 length;
  BoardFault fault;
  int result;
  std::size_t transfers;
  bool written;  // the chip holds the whole block afterwards
};

class ChunkRetry : public BridgeTest, public ::testing::WithParamInterface<ChunkRetryCase> {};

TEST_P(ChunkRetry, ThreeTriesPerChunk) {
  const ChunkRetryCase& c = GetParam();
  UseBoard(ChipFamily::k7T0);
  CQvIc7T0 ic(kSlave);
  ostrelusb::InjectFault(c.fault);
  const Bytes data = Pattern(c.length, 5);
  EXPECT_EQ(ic.WriteBlock(0, c.length, data.data()), c.result);
  EXPECT_EQ(Log().size(), c.transfers);
  const Bytes flash = ostrelusb::ReadFlash();
  EXPECT_EQ(std::equal(data.begin(), data.end(), flash.begin()), c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ChunkRetry,
    ::testing::Values(
        ChunkRetryCase{"FailsTwiceThenGoes", 256, {FaultTarget::kWriteTransfer, 0, 2, 6}, 0, 3, true},
        ChunkRetryCase{"FailsThriceReturnsCode", 256, {FaultTarget::kWriteTransfer, 0, 3, 6}, 6, 3, false},
        // The rest of the block is not sent after a chunk gave up.
        ChunkRetryCase{"FirstChunkGivesUp", 1024, {FaultTarget::kWriteTransfer, 0, -1, 9}, 9, 3, false},
        ChunkRetryCase{"SecondChunkRetriedOnce", 512, {FaultTarget::kWriteTransfer, 1, 1, 6}, 0, 3, true},
        ChunkRetryCase{"LastChunkGivesUp", 512, {FaultTarget::kWriteTransfer, 1, 3, 7}, 7, 4, false},
        // A negative bridge result is a failed try, also the third.
        ChunkRetryCase{"NegativeThriceFails", 256, {FaultTarget::kWriteTransfer, 0, 3, -1}, kI2cBadBridgeResult, 3, false},
        ChunkRetryCase{"NegativeTwiceThenGoes", 256, {FaultTarget::kWriteTransfer, 0, 2, -1}, 0, 3, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BridgeTest, ChunkRetriesPauseTwentyMillisecondsAfterEachFailedTry) {
  UseBoard(ChipFamily::k7T0);
  CQvIc7T0 ic(kSlave);
  ostrelusb::InjectFault({FaultTarget::kWriteTransfer, 0, 2, 6});
  const Bytes data(16, 1);
  const DWORD before = GetTickCount();
  EXPECT_EQ(ic.WriteBlock(0, 16, data.data()), 0);
  EXPECT_EQ(GetTickCount() - before, 40u);
}

TEST_F(BridgeTest, BaseWriteBlockIsNotRetried) {
  UseBoard(ChipFamily::kPage128);
  CQvIcBase ic(kSlave);
  ostrelusb::InjectFault({FaultTarget::kWriteTransfer, 0, 1, 6});
  const Bytes data(128, 1);
  EXPECT_EQ(ic.WriteBlock(0, 128, data.data()), 6);
  EXPECT_EQ(Log().size(), 1u);
  ostrelusb::InjectFault({FaultTarget::kWriteTransfer, 0, 1, -4});
  EXPECT_EQ(ic.WriteBlock(0, 128, data.data()), kI2cBadBridgeResult);
}

struct VerifyRetryCase {
  const char* name;
  ChipFamily family;
  BoardFault fault;
  BOOL result;
  std::size_t transfers;
};

class VerifyRetry : public BridgeTest, public ::testing::WithParamInterface<VerifyRetryCase> {};

TEST_P(VerifyRetry, ReadIsRetriedOnceAfterFifteenMilliseconds) {
  const VerifyRetryCase& c = GetParam();
  UseBoard(c.family);
  CQvIc7T0 ic7(kSlave);
  CQvIcBase icBase(kSlave);
  CQvIcBase& ic = c.family == ChipFamily::k7T0 ? ic7 : icBase;
  const Bytes block = Pattern(ic.GetPageSize(), 2);
  ASSERT_EQ(ic.WriteBlock(0, static_cast<u32>(block.size()), block.data()), 0);
  ostrelusb::ClearLogs();
  ostrelusb::InjectFault(c.fault);

  const DWORD before = GetTickCount();
  EXPECT_EQ(ic.VerifyBlock(block.data(), 0, static_cast<u32>(block.size())), c.result);
  const auto log = Log();
  ASSERT_EQ(log.size(), c.transfers);
  EXPECT_EQ(GetTickCount() - before, c.transfers == 4 ? 15u : 0u);
  // The retry repeats the same command.
  if (c.transfers == 4) {
    EXPECT_EQ(log[2].written, log[0].written);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, VerifyRetry,
    ::testing::Values(
        VerifyRetryCase{"BaseClean", ChipFamily::kPage128, {FaultTarget::kReadTransfer, 0, 0, 6}, TRUE, 2},
        VerifyRetryCase{"BaseReadFailsOnce", ChipFamily::kPage128, {FaultTarget::kReadTransfer, 0, 1, 6}, TRUE, 4},
        VerifyRetryCase{"BaseReadFailsTwice", ChipFamily::kPage128, {FaultTarget::kReadTransfer, 0, 2, 6}, FALSE, 4},
        VerifyRetryCase{"BaseNegativeReadRetried", ChipFamily::kPage128, {FaultTarget::kReadTransfer, 0, 1, -2}, TRUE, 4},
        VerifyRetryCase{"BaseNegativeTwiceFails", ChipFamily::kPage128, {FaultTarget::kReadTransfer, 0, 2, -2}, FALSE, 4},
        VerifyRetryCase{"SevenT0ReadFailsOnce", ChipFamily::k7T0, {FaultTarget::kReadTransfer, 0, 1, 6}, TRUE, 4},
        VerifyRetryCase{"SevenT0ReadFailsTwice", ChipFamily::k7T0, {FaultTarget::kReadTransfer, 0, 2, 6}, FALSE, 4},
        VerifyRetryCase{"SevenT0NegativeTwiceFails", ChipFamily::k7T0, {FaultTarget::kReadTransfer, 0, 2, -2}, FALSE, 4},
        // The command's own failure is not looked at: the read that follows decides.
        VerifyRetryCase{"SevenT0CommandLost", ChipFamily::k7T0, {FaultTarget::kWriteTransfer, 0, 1, 6}, TRUE, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BridgeTest, ReadResults) {
  enum class Op { kChipId, kBlock };
  const struct {
    Op op;
    BoardFault fault;
    int result;
    std::size_t transfers;
  } cases[] = {
      {Op::kChipId, {FaultTarget::kWriteTransfer, 0, 1, 6}, 6, 1},  // a failed command is returned at once
      {Op::kChipId, {FaultTarget::kReadTransfer, 0, 1, 7}, 7, 2},
      {Op::kChipId, {FaultTarget::kReadTransfer, 0, 1, -3}, kI2cBadBridgeResult, 2},
      // The command's result is not looked at: the read goes out and its result
      // counts (here the chip's refusal, as it never heard the command).
      {Op::kBlock, {FaultTarget::kWriteTransfer, 0, 1, 6}, QV_ERR_NACK, 2},
      {Op::kBlock, {FaultTarget::kReadTransfer, 0, 1, 7}, 7, 2},
      {Op::kBlock, {FaultTarget::kReadTransfer, 0, 1, -3}, kI2cBadBridgeResult, 2},
  };
  for (const auto& c : cases) {
    UseBoard(ChipFamily::k7T0);
    CQvIc7T0 ic(kSlave);
    ostrelusb::InjectFault(c.fault);
    BYTE in[128] = {};
    const int result = c.op == Op::kChipId ? ic.ReadChipId(in) : ic.ReadBlock(0, sizeof in, in);
    EXPECT_EQ(result, c.result) << static_cast<int>(c.op) << " " << c.fault.code;
    EXPECT_EQ(Log().size(), c.transfers);
  }
}

TEST_F(BridgeTest, ChecksumLeavesTheSumAloneOnFailure) {
  UseBoard(ChipFamily::k7T0);
  CQvIc7T0 ic(kSlave);
  ostrelusb::InjectFault({FaultTarget::kReadTransfer, 0, 1, 6});
  u32 sum = 0xDEADBEEF;
  EXPECT_EQ(ic.ReadChipChecksum(&sum, 0, 1024), 6);
  EXPECT_EQ(sum, 0xDEADBEEFu);
}

// Every operation answers 3 without a bridge and sends nothing; the verifies
// still take their pause before the second look.
TEST_F(BridgeTest, NoBridgeOpenAnswersThreeAndSendsNothing) {
  for (ChipFamily family : {ChipFamily::kPage128, ChipFamily::k7T0}) {
    UseBoard(family, /*open=*/false);
    CQvIc7T0 ic7(kSlave);
    CQvIcBase icBase(kSlave);
    CQvIcBase& ic = family == ChipFamily::k7T0 ? ic7 : icBase;
    Bytes buffer(1024, 0xAB);
    BYTE id[4] = {};

    EXPECT_EQ(ic.EraseChip(), 3);
    EXPECT_EQ(ic.WriteBlock(0, 1024 / (family == ChipFamily::k7T0 ? 1 : 8), buffer.data()), 3);
    EXPECT_EQ(ic.ReadBlock(0, 128, buffer.data()), 3);
    EXPECT_EQ(ic.ReadChipId(id), 3);
    const DWORD before = GetTickCount();
    EXPECT_FALSE(ic.VerifyBlock(buffer.data(), 0, 128));
    EXPECT_EQ(GetTickCount() - before, 15u);
    if (family == ChipFamily::k7T0) {
      u32 sum = 77;
      EXPECT_EQ(ic7.ReadChipChecksum(&sum, 0, 128), 3);
      EXPECT_EQ(sum, 77u);
    }
    EXPECT_EQ(buffer[0], 0xAB);  // the read left the buffer alone
    EXPECT_TRUE(Log().empty());
    EXPECT_TRUE(ostrelusb::IoLineLog().empty());
    EXPECT_EQ(ostrelusb::Settings().byteDelay, 0);
    EXPECT_EQ(g_BridgeDevice.BoardIoCtrl(0), 3);
    EXPECT_EQ(g_BridgeDevice.SetInterface(0), 3);
    EXPECT_EQ(g_BridgeDevice.SetSlaveAddr(kSlave), 3);
    EXPECT_EQ(g_BridgeDevice.SetIICByteDelay(4), 3);
    EXPECT_EQ(g_BridgeDevice.I2CConf(4), 3);
  }
}

}  // namespace
