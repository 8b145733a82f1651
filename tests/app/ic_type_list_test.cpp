#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ic_type_list.h"
#include "tests/support/recording_engine.h"
#include "tests/support/temp_folder.h"

namespace {

std::vector<std::string> Split(const char* list) {
  std::vector<std::string> items;
  for (const CString& item : SplitIcTypeList(list)) items.push_back(item.str());
  return items;
}

using Items = std::vector<std::string>;

TEST(IcTypeList, Splits) {
  EXPECT_EQ(Split("X, Y, Z"), (Items{"X", "Y", " Z"}));  // the last keeps its blank
  EXPECT_EQ(Split("X,,Y"), (Items{"X", ",Y"}));
  EXPECT_EQ(Split(",X,Y"), (Items{",X,Y"}));
  EXPECT_EQ(Split(""), Items{});
  EXPECT_EQ(Split("A,"), (Items{"A"}));
  EXPECT_EQ(Split("  A B , C D "), (Items{"A B", " C D "}));
  EXPECT_EQ(Split("A, ,B"), (Items{"A", "", "B"}));  // a blank name is trimmed to nothing
  EXPECT_EQ(Split(",,,"), (Items{",,,"}));
}

class IcTypePresets : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.Ok());
    std::snprintf(engine_.m_szAppDir, sizeof engine_.m_szAppDir, "%s", folder_.path().c_str());
    folder_.Put("config.ini",
                "[ICTYPELIST]\r\nLIST=SER, K55, USB5D, USB15D, USBDEF, W24\r\n"
                "[SER]\r\nRAM=4\r\nFLASH=64\r\nPARTNO=QV-SER-01\r\nCOM=TRUE\r\n"
                "[K55]\r\nRAM=2\r\nFLASH=32\r\nUSE_K55_UARTISP=TRUE\r\nUSE_W24A_UARTISP=TRUE\r\n"
                "[USB5D]\r\nCOM=FALSE\r\nUSE_QV7T0_USBISP=TRUE\r\nSLAVE_ADDRESS=5d\r\n"
                "[USB15D]\r\nCOM=true\r\nSLAVE_ADDRESS=15D\r\n"
                "[USBDEF]\r\nCOM=False\r\n"
                "[W24]\r\nUSE_W24A_UARTISP=TRUE\r\nUSE_QV7T0_USBISP=TRUE\r\nSLAVE_ADDRESS=22\r\n");
  }

  qv::TempFolder folder_;
  qv::RecordingEngine engine_;
};

TEST_F(IcTypePresets, ListComesFromConfigIni) {
  std::vector<std::string> items;
  for (const CString& item : ReadIcTypeList()) items.push_back(item.str());
  EXPECT_EQ(items, (Items{"SER", "K55", "USB5D", "USB15D", "USBDEF", " W24"}));
}

IcTypeChoice Preset(const char* type, u8 previousSlave) {
  IcTypeChoice choice;
  choice.slaveAddress = previousSlave;
  choice.qv7t0 = 1;
  ApplyIcTypePreset(type, &choice);
  return choice;
}

TEST_F(IcTypePresets, SerialTypeKeepsThePreviousSlaveAddress) {
  const IcTypeChoice ser = Preset("SER", 0x33);
  EXPECT_EQ(ser.icType.str(), "SER");
  EXPECT_EQ(ser.ramSizeK, 4);
  EXPECT_EQ(ser.flashSizeK, 64);
  EXPECT_EQ(ser.partNo.str(), "QV-SER-01");
  EXPECT_EQ(ser.interface, 0u);
  EXPECT_EQ(ser.k55 + ser.w24a + ser.qv7t0, 0u);
  EXPECT_EQ(ser.slaveAddress, 0x33);
  const IcTypeChoice k55 = Preset("K55", 0);
  EXPECT_EQ(k55.k55, 1u);
  EXPECT_EQ(k55.w24a, 1u);
  EXPECT_EQ(k55.interface, 0u);
  // A serial type never reads the USB keys.
  const IcTypeChoice w24 = Preset("W24", 7);
  EXPECT_EQ(w24.qv7t0, 0u);
  EXPECT_EQ(w24.slaveAddress, 7);
}

TEST_F(IcTypePresets, UsbTypesReadTheLowByteOfTheirSlaveAddress) {
  const IcTypeChoice a = Preset("USB5D", 0x33);
  EXPECT_EQ(a.interface, 1u);
  EXPECT_EQ(a.qv7t0, 1u);
  EXPECT_EQ(a.slaveAddress, 0x5D);
  const IcTypeChoice b = Preset("USB15D", 0x33);
  EXPECT_EQ(b.interface, 1u);  // "true" is not "TRUE"
  EXPECT_EQ(b.qv7t0, 0u);
  EXPECT_EQ(b.slaveAddress, 0x5D);
  // The default "0X50" is not hex digits only: address 0.
  EXPECT_EQ(Preset("USBDEF", 0x33).slaveAddress, 0);
}

TEST_F(IcTypePresets, MissingSectionGivesDefaults) {
  const IcTypeChoice p = Preset("NOPE", 9);
  EXPECT_EQ(p.ramSizeK, 0);
  EXPECT_EQ(p.flashSizeK, 0);
  EXPECT_TRUE(p.partNo.IsEmpty());
  EXPECT_EQ(p.interface, 0u);  // "COM " defaults to "TRUE"
  EXPECT_EQ(p.slaveAddress, 9);
}

}  // namespace
