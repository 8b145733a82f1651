// A small image erased, written page by page, verified and read back through
// the simulated board, for each back end.

#include "isp/qv_ic_7t0.h"
#include "sim/i2c_7t0_chip.h"
#include "tests/i2c/i2c_fixture.h"

namespace {

using qv::sim::ChipFamily;

class RoundTrip : public BridgeTest, public ::testing::WithParamInterface<ChipFamily> {};

TEST_P(RoundTrip, WriteVerifyReadBack) {
  UseBoard(GetParam());
  CQvIc7T0 ic7(kSlave);
  CQvIcBase icBase(kSlave);
  CQvIcBase& ic = GetParam() == ChipFamily::k7T0 ? ic7 : icBase;
  const u32 page = static_cast<u32>(ic.GetPageSize());
  const u32 start = 2 * page;
  const Bytes image = Pattern(3 * page, 0x21);
  ASSERT_TRUE(ostrelusb::WriteFlash(0, Bytes(8 * page, 0x00)));

  BYTE id[4] = {};
  ASSERT_EQ(ic.ReadChipId(id), 0);
  ASSERT_EQ(ic.EraseChip(), 0);
  for (u32 offset = 0; offset < image.size(); offset += page) {
    ASSERT_EQ(ic.WriteBlock(start + offset, page, image.data() + offset), 0);
    ASSERT_TRUE(ic.VerifyBlock(image.data() + offset, start + offset, page)) << offset;
  }

  Bytes back(image.size(), 0);
  for (u32 offset = 0; offset < back.size(); offset += 128) {
    ASSERT_EQ(ic.ReadBlock(start + offset, 128, back.data() + offset), 0);
  }
  EXPECT_EQ(back, image);
  const Bytes flash = ostrelusb::ReadFlash();
  EXPECT_EQ(Bytes(flash.begin() + start, flash.begin() + start + image.size()), image);
  // The erase reached the rest of the flash.
  EXPECT_EQ(flash[0], 0xFF);
  EXPECT_EQ(flash[start + image.size()], 0xFF);

  // A page corrupted behind the host's back fails its verify.
  ASSERT_TRUE(ostrelusb::WriteFlash(start, {static_cast<BYTE>(image[0] ^ 0x01)}));
  if (GetParam() == ChipFamily::k7T0) {
    EXPECT_FALSE(ic.VerifyBlock(image.data(), start, page));
  }
  for (const auto& t : Log()) {
    EXPECT_EQ(t.result, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(BackEnds, RoundTrip, ::testing::Values(ChipFamily::kPage128, ChipFamily::k7T0),
                         [](const auto& info) {
                           return std::string(info.param == ChipFamily::k7T0 ? "SevenT0" : "Page128");
                         });

// A chip never holds more flash than its frames can address, whatever size it
// is given.
TEST(SimChips, FlashIsCutToTheAddressSpace) {
  const struct {
    ChipFamily family;
    u32 flashSizeK;
    std::size_t size;
  } cases[] = {
      {ChipFamily::k7T0, 64, 64 * 1024},
      {ChipFamily::k7T0, 0xFFFFFFFFu, 0x1000000 - qv::sim::I2c7T0Chip::kFlashBase},
      {ChipFamily::kPage128, 0xFFFFFFFFu, 0x10000},
  };
  for (const auto& c : cases) {
    qv::sim::ControlBoard board({c.family, c.flashSizeK, 0x70});
    ASSERT_NE(board.Chip(), nullptr);
    EXPECT_EQ(board.Chip()->Flash().size(), c.size) << c.flashSizeK;
  }
}

// The chunk protocol as the chip sees it: what a broken host would send.
TEST(SevenT0Chip, RefusesBrokenChunkSequences) {
  const auto chunk = [](u32 address, BYTE flag, std::size_t n) {
    Bytes f{0xBF, 0x79, 0xB9, static_cast<BYTE>(address >> 16), static_cast<BYTE>(address >> 8),
            static_cast<BYTE>(address), flag};
    f.resize(7 + n, 0x11);
    return f;
  };
  const struct {
    const char* name;
    std::vector<Bytes> frames;
    std::vector<bool> acks;
    bool programmed;
  } cases[] = {
      {"continuation without a block", {chunk(0x90000, 1, 16)}, {false}, false},
      {"gap inside a block", {chunk(0x90000, 0, 16), chunk(0x90020, 2, 16)}, {true, false}, false},
      {"resent chunk", {chunk(0x90000, 0, 16), chunk(0x90000, 0, 16), chunk(0x90010, 2, 16)}, {true, true, true}, true},
      {"open block not programmed", {chunk(0x90000, 0, 16), chunk(0x90010, 1, 16)}, {true, true}, false},
      {"below the flash base", {chunk(0x8FFF0, 2, 16)}, {false}, false},
      {"chunk too long", {chunk(0x90000, 2, 257)}, {false}, false},
      {"unknown flag", {chunk(0x90000, 3, 16)}, {false}, false},
  };
  for (const auto& c : cases) {
    qv::sim::I2c7T0Chip chip(4096);
    chip.ResetIntoIsp();
    for (std::size_t i = 0; i < c.frames.size(); ++i) {
      EXPECT_EQ(chip.Write(c.frames[i].data(), c.frames[i].size()), c.acks[i]) << c.name << " " << i;
    }
    EXPECT_EQ(chip.Flash()[0] == 0x11, c.programmed) << c.name;
  }
}

}  // namespace
