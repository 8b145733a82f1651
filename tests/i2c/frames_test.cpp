// The exact frames the two I2C back ends put on the bridge.

#include "isp/qv_ic_7t0.h"
#include "tests/i2c/i2c_fixture.h"

namespace {

using qv::sim::ChipFamily;

struct ChunkCase {
  u32 address;
  u32 length;
  std::vector<u32> sizes;     // frame sizes, header included
  std::vector<u32> addresses;  // as the frames carry them
  std::vector<BYTE> flags;
};

class Chunks7T0 : public BridgeTest, public ::testing::WithParamInterface<ChunkCase> {};

TEST_P(Chunks7T0, SplitsIntoFlaggedChunks) {
  const ChunkCase& c = GetParam();
  UseBoard(ChipFamily::k7T0);
  CQvIc7T0 ic(kSlave);
  const Bytes data = Pattern(c.length, 3);
  ASSERT_EQ(ic.WriteBlock(c.address, c.length, data.data()), 0);

  const auto log = Log();
  ASSERT_EQ(log.size(), c.sizes.size());
  u32 offset = 0;
  for (std::size_t i = 0; i < log.size(); ++i) {
    const Bytes& f = log[i].written;
    ASSERT_EQ(f.size(), c.sizes[i]) << "frame " << i;
    EXPECT_EQ(Bytes(f.begin(), f.begin() + 3), (Bytes{0xBF, 0x79, 0xB9}));
    EXPECT_EQ((u32{f[3]} << 16) | (u32{f[4]} << 8) | f[5], c.addresses[i]) << "frame " << i;
    EXPECT_EQ(f[6], c.flags[i]) << "frame " << i;
    EXPECT_TRUE(std::equal(f.begin() + 7, f.end(), data.begin() + offset));
    EXPECT_EQ(log[i].readCount, 0u);
    offset += c.sizes[i] - 7;
  }
  // The chip took every byte that went out.
  const Bytes flash = ostrelusb::ReadFlash();
  EXPECT_TRUE(std::equal(data.begin(), data.begin() + offset, flash.begin() + c.address));
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, Chunks7T0,
    ::testing::Values(
        ChunkCase{0, 1024, {263, 263, 263, 263}, {0x90000, 0x90100, 0x90200, 0x90300}, {0, 1, 1, 2}},
        ChunkCase{0, 256, {263}, {0x90000}, {2}},
        ChunkCase{0x400, 300, {263, 51}, {0x90400, 0x90500}, {0, 2}},
        ChunkCase{0x800, 1, {8}, {0x90800}, {2}},
        ChunkCase{0, 0, {}, {}, {}},
        // The length is 16 bits: 0x10000 + 10 sends 10 bytes.
        ChunkCase{0, 0x1000A, {17}, {0x90000}, {2}}));

TEST_F(BridgeTest, BaseWriteBlockIsOneFrameWithAddressAndLength) {
  UseBoard(ChipFamily::kPage128);
  CQvIcBase ic(kSlave);
  const Bytes data = Pattern(128, 9);
  ASSERT_EQ(ic.WriteBlock(0x1280, 128, data.data()), 0);
  const auto log = Log();
  ASSERT_EQ(log.size(), 1u);
  Bytes expected{0xBF, 0x12, 0x80, 0x00, 0x80};
  expected.insert(expected.end(), data.begin(), data.end());
  EXPECT_EQ(log[0].written, expected);
}

TEST_F(BridgeTest, BaseWriteBlockBeyondTheFrameBufferSendsNothing) {
  UseBoard(ChipFamily::kPage128);
  CQvIcBase ic(kSlave);
  // The 512-byte frame buffer holds 5 header bytes and 507 data bytes.
  const Bytes data(508, 0x11);
  const struct {
    u32 length;
    int result;
  } cases[] = {
      {507, 0},
      {508, kI2cBlockTooLong},
      // Not cut to the frame's 16-bit length field, which would send 10 bytes.
      {0x10000 + 10, kI2cBlockTooLong},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ic.WriteBlock(0, c.length, data.data()), c.result) << c.length;
  }
  ASSERT_EQ(Log().size(), 1u);
  EXPECT_EQ(Log()[0].written.size(), 512u);
}

TEST_F(BridgeTest, ReadBlockAddressesTheReadWindow) {
  for (ChipFamily family : {ChipFamily::kPage128, ChipFamily::k7T0}) {
    UseBoard(family);
    const Bytes image = Pattern(256, 1);
    ASSERT_TRUE(ostrelusb::WriteFlash(0, image));
    CQvIc7T0 ic7(kSlave);
    CQvIcBase icBase(kSlave);
    CQvIcBase& ic = family == ChipFamily::k7T0 ? ic7 : icBase;
    ostrelusb::ClearLogs();

    Bytes out(128, 0);
    ASSERT_EQ(ic.ReadBlock(0, 128, out.data()), 0);
    const auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].written, (Bytes{0xFF, 0x03, 0x10, 0x00, 0x80}));
    EXPECT_TRUE(log[1].written.empty());
    EXPECT_EQ(log[1].readCount, 128u);
    EXPECT_EQ(out, Bytes(image.begin(), image.begin() + 128));
  }
}

TEST_F(BridgeTest, ChipIdAndEraseFrames) {
  const struct {
    ChipFamily family;
    Bytes erase;
    u32 idLength;
  } cases[] = {{ChipFamily::kPage128, {0xFF, 0x91}, 2}, {ChipFamily::k7T0, {0xFF, 0x91, 0x97, 0xCE}, 4}};
  for (const auto& c : cases) {
    UseBoard(c.family);
    CQvIc7T0 ic7(kSlave);
    CQvIcBase icBase(kSlave);
    CQvIcBase& ic = c.family == ChipFamily::k7T0 ? ic7 : icBase;
    ASSERT_TRUE(ostrelusb::WriteFlash(0, Bytes(64, 0x00)));
    ostrelusb::ClearLogs();

    BYTE id[4] = {};
    EXPECT_EQ(ic.ReadChipId(id), 0);
    EXPECT_EQ(ic.EraseChip(), 0);
    const auto log = Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].written, (Bytes{0xFF, 0x90}));
    EXPECT_EQ(log[1].readCount, c.idLength);
    EXPECT_EQ(Bytes(id, id + c.idLength), log[1].readBack);
    EXPECT_EQ(log[2].written, c.erase);
    // The erase goes out at byte delay 2.
    EXPECT_EQ(log[2].byteDelay, 2);
    const Bytes flash = ostrelusb::ReadFlash();
    EXPECT_EQ(std::count(flash.begin(), flash.end(), 0xFF), static_cast<long>(flash.size()));
  }
}

struct Sum8Case {
  Bytes block;
  BYTE sum;
};

TEST_F(BridgeTest, BaseVerifyComparesTheEightBitSum) {
  // The length counts as 16 bits: all 300 bytes are summed, not the 44 of its low byte.
  Bytes longBlock(256, 0x01);
  longBlock.resize(300, 0x00);
  const Sum8Case cases[] = {
      {{0x01, 0x02, 0x03}, 0x06}, {Bytes(256, 0xFF), 0x00}, {Bytes(128, 0x80), 0x00}, {longBlock, 0x00}};
  for (const Sum8Case& c : cases) {
    UseBoard(ChipFamily::kPage128);
    CQvIcBase ic(kSlave);
    ASSERT_EQ(ic.WriteBlock(0x40, static_cast<u32>(c.block.size()), c.block.data()), 0);
    ostrelusb::ClearLogs();

    EXPECT_TRUE(ic.VerifyBlock(c.block.data(), 0x40, static_cast<u32>(c.block.size())));
    auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].written, (Bytes{0xFF, 0xCC}));  // no address
    EXPECT_EQ(log[1].readBack, Bytes{c.sum});

    // The chip answering any other byte fails the verify.
    ostrelusb::InjectWrongSum(1);
    EXPECT_FALSE(ic.VerifyBlock(c.block.data(), 0x40, static_cast<u32>(c.block.size())));
  }
}

TEST_F(BridgeTest, SevenT0VerifySendsRangeAndComparesThirtyTwoBitSum) {
  UseBoard(ChipFamily::k7T0);
  CQvIc7T0 ic(kSlave);
  const Bytes block(1024, 0xFF);
  ASSERT_TRUE(ostrelusb::WriteFlash(0x400, block));

  EXPECT_TRUE(ic.VerifyBlock(block.data(), 0x400, 1024));
  auto log = Log();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].written, (Bytes{0xFF, 0x62, 0x09, 0x04, 0x00, 0x04, 0x00}));
  EXPECT_EQ(log[1].readCount, 17u);
  // 255 x 1024, least significant byte first.
  EXPECT_EQ(Bytes(log[1].readBack.begin(), log[1].readBack.begin() + 4), (Bytes{0x00, 0xFC, 0x03, 0x00}));

  u32 sum = 0;
  EXPECT_EQ(ic.ReadChipChecksum(&sum, 0x400, 1024), 0);
  EXPECT_EQ(sum, 255u * 1024u);

  ostrelusb::InjectWrongSum(1);
  EXPECT_FALSE(ic.VerifyBlock(block.data(), 0x400, 1024));
  // One byte of the host's data off fails as well.
  Bytes other = block;
  other[1000] = 0xFE;
  EXPECT_FALSE(ic.VerifyBlock(other.data(), 0x400, 1024));
}

TEST_F(BridgeTest, ConstructorGivesTheBridgeItsSlaveAddressOnlyWhenOpen) {
  UseBoard(ChipFamily::k7T0);
  CQvIc7T0 ic(0x2A);
  EXPECT_EQ(ic.GetSlaveAddr(), 0x2A);
  EXPECT_EQ(g_BridgeDevice.GetSlaveAddr(), 0x2A);
  EXPECT_EQ(ostrelusb::Settings().slaveAddr, 0x2A);

  // An address the bridge refuses is not remembered.
  CQvIcBase refused(0x80);
  EXPECT_EQ(g_BridgeDevice.GetSlaveAddr(), 0x2A);

  // Built without an address, it leaves the bridge's own alone.
  CQvIcBase unaddressed;
  EXPECT_EQ(unaddressed.GetSlaveAddr(), 0);
  EXPECT_EQ(g_BridgeDevice.GetSlaveAddr(), 0x2A);
  EXPECT_EQ(ostrelusb::Settings().slaveAddr, 0x2A);

  g_BridgeDevice.Close();
  CQvIcBase closed(0x33);
  EXPECT_EQ(closed.GetSlaveAddr(), 0x33);
  EXPECT_EQ(g_BridgeDevice.GetSlaveAddr(), 0x2A);
}

}  // namespace
