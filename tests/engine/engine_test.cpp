#include <gtest/gtest.h>

#include "isp/common_interface.h"
#include "isp/engine.h"

namespace {

struct HexCase {
  const char* text;
  u32 value;
};

class HexText : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexText, Parses) { EXPECT_EQ(HexTextToInt(CString(GetParam().text)), GetParam().value); }

INSTANTIATE_TEST_SUITE_P(
    Cases, HexText,
    ::testing::Values(HexCase{"", 0}, HexCase{"7f", 127}, HexCase{"1A2b", 6699},
                      HexCase{"FFFFFFFF", 4294967295u}, HexCase{"100000000", 0},
                      HexCase{"123456789", 0x23456789}, HexCase{"0X50", 0}, HexCase{" 12", 0},
                      HexCase{"12 ", 0}, HexCase{"-1", 0}, HexCase{"3B8E61C4", 0x3B8E61C4},
                      HexCase{"g", 0}, HexCase{"\xb0\xa1", 0}));

TEST(CommonInterface, DefaultsOfABackEndThatOverridesNothing) {
  CCommonInterface b;
  EXPECT_EQ(b.GetPageSize(), 128);
  EXPECT_TRUE(b.ProceseBeforeEraseAndWrite());
  EXPECT_TRUE(b.ProcessAfterEraseAndWrite());
  EXPECT_TRUE(b.IsWriteAddressSupported());
  EXPECT_FALSE(b.IsReadSupported());
  EXPECT_FALSE(b.IsPasswordRequired());
  EXPECT_EQ(b.GetFileHeaderSize(), 0);
  EXPECT_EQ(b.GetFileTrailerSize(), 0);
  EXPECT_EQ(b.GetBootLoaderSizeKB(), 4);
  EXPECT_EQ(b.SendKeyinPasswordCmd(0x12345678), kStatusAck);
  BYTE page[4] = {1, 2, 3, 4};
  b.ConvertPageByteOrder(page, 4);
  EXPECT_EQ(page[0], 1);
}

}  // namespace
