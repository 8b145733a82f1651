// OstrelUsb.ini as the library reads it.

#include <gtest/gtest.h>

#include <string>

#include "platform/ostrelusb/OstrelUsbSim.h"
#include "tests/support/temp_folder.h"

namespace {

using qv::sim::ChipFamily;

class BoardConfigFile : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.Ok()); }
  std::string Write(const std::string& text) {
    dir_.Put(ostrelusb::kConfigFileName, text);
    return dir_.File(ostrelusb::kConfigFileName);
  }
  qv::TempFolder dir_;
};

TEST_F(BoardConfigFile, ReadsEveryKeyAndFallsBackOnWhatIsMissingOrWrong) {
  const ostrelusb::BoardConfig d;
  const struct {
    const char* text;
    bool plugged;
    ChipFamily family;
    u32 flashK;
    BYTE slave;
  } cases[] = {
      {"", d.plugged, d.chip.family, d.chip.flashSizeK, d.chip.slaveAddr},
      {"[ControlBoard]\nPlugged=0\n[Chip]\nFamily=page128\nFlashSizeK=32\nSlaveAddr=5D\n", false,
       ChipFamily::kPage128, 32, 0x5D},
      {"[Chip]\nFamily=7T0\nSlaveAddr=0x26\n", true, ChipFamily::k7T0, d.chip.flashSizeK, 0x26},
      {"[Chip]\nFamily=None\n", true, ChipFamily::kNone, d.chip.flashSizeK, d.chip.slaveAddr},
      // An unknown family puts no chip on the bus; a slave address outside 7 bits or not hex is ignored.
      {"[Chip]\nFamily=Z80\nSlaveAddr=80\n", true, ChipFamily::kNone, d.chip.flashSizeK, d.chip.slaveAddr},
      {"[Chip]\nSlaveAddr=7G\n", true, d.chip.family, d.chip.flashSizeK, d.chip.slaveAddr},
      // A negative size would wrap round to billions of KB.
      {"[Chip]\nFlashSizeK=-1\n", true, d.chip.family, d.chip.flashSizeK, d.chip.slaveAddr},
  };
  for (const auto& c : cases) {
    const ostrelusb::BoardConfig got = ostrelusb::LoadBoardConfig(Write(c.text));
    EXPECT_EQ(got.plugged, c.plugged) << c.text;
    EXPECT_EQ(got.chip.family, c.family) << c.text;
    EXPECT_EQ(got.chip.flashSizeK, c.flashK) << c.text;
    EXPECT_EQ(got.chip.slaveAddr, c.slave) << c.text;
  }
  const ostrelusb::BoardConfig missing = ostrelusb::LoadBoardConfig(dir_.File("absent.ini"));
  EXPECT_EQ(missing.chip.family, d.chip.family);
  EXPECT_TRUE(missing.plugged);
}

}  // namespace
