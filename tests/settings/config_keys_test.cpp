#include "isp/config_keys.h"

#include <gtest/gtest.h>

#include <string>

#include "isp/engine.h"
#include "tests/support/temp_folder.h"

namespace {

using qv::TempFolder;

class ConfigIni : public ::testing::Test {
 protected:
  void Put(const std::string& text) { dir_.Put("config.ini", text); }
  CConfigIni Ini() const { return CConfigIni(dir_.path().c_str()); }
  TempFolder dir_;
};

struct DefaultCase {
  const ConfigTextKey* key;
  const char* expect;
};

// With no file every key gives its default; these are what the dialogs and
// the download job decide on when a type's section lacks a key.
TEST_F(ConfigIni, MissingFileGivesEveryDefault) {
  const DefaultCase cases[] = {
      {&cfg::kReadOperateArea, ""}, {&cfg::kBinPath, ""},          {&cfg::kErase, ""},
      {&cfg::kVerifyBin, ""},       {&cfg::kList, ""},             {&cfg::kPartNo, ""},
      {&cfg::kUseK55UartIsp, "FALSE"}, {&cfg::kUseW24AUartIsp, "FALSE"}, {&cfg::kCom, "TRUE"},
      {&cfg::kUseQv7T0UsbIsp, "FALSE"}, {&cfg::kSlaveAddress, "0X50"}, {&cfg::kBootLoadInRom, "FALSE"},
  };
  for (const DefaultCase& c : cases) {
    SCOPED_TRACE(c.key->name);
    EXPECT_EQ(Ini().Read(*c.key, "QV7T0-A"), c.expect);
  }
  EXPECT_EQ(Ini().Read(cfg::kRam, "QV7T0-A"), 0);
  EXPECT_EQ(Ini().Read(cfg::kFlash, "QV7T0-A"), 0);
  EXPECT_TRUE(IsExactTrue(Ini().Read(cfg::kCom, "QV7T0-A")));
  EXPECT_EQ(HexTextToInt(Ini().Read(cfg::kSlaveAddress, "QV7T0-A")), 0u);
}

struct FlagCase {
  const char* value;
  BOOL exact;
  BOOL anyCase;
};

// ERASE and "COM " count only an exact "TRUE"; BootLoadInRom any case.
TEST_F(ConfigIni, FlagTextsCompareAsTheirReadersDo) {
  const FlagCase cases[] = {
      {"TRUE", TRUE, TRUE},   {"true", FALSE, TRUE},   {"True", FALSE, TRUE},
      {"FALSE", FALSE, FALSE}, {"TRUE1", FALSE, FALSE}, {"", FALSE, FALSE},
  };
  for (const FlagCase& c : cases) {
    SCOPED_TRACE(c.value);
    Put(std::string("[UserRecord]\r\nERASE=") + c.value + "\r\n[T]\r\nCOM =" + c.value + "\r\nBootLoadInRom=" +
        c.value + "\r\n");
    EXPECT_EQ(IsExactTrue(Ini().Read(cfg::kErase)), c.exact);
    EXPECT_EQ(IsExactTrue(Ini().Read(cfg::kCom, "T")), c.exact);
    EXPECT_EQ(IsAnyCaseTrue(Ini().Read(cfg::kBootLoadInRom, "T")), c.anyCase);
  }
}

TEST_F(ConfigIni, ReadsATypesSectionCutToEachKeysRoom) {
  Put("[ICTYPELIST]\nLIST=QV7T0-A, QV55, W24A\n"
      "[QV7T0-A]\nRAM=8\nFLASH=64\nPARTNO=" + std::string(80, 'p') + "\n"
      "COM =FALSE\nUSE_QV7T0_USBISP=TRUE\nSLAVE_ADDRESS=A0\nUSE_K55_UARTISP=TRUE-AND-MORE\n");
  EXPECT_EQ(Ini().Read(cfg::kList), "QV7T0-A, QV55, W24A");
  EXPECT_EQ(Ini().Read(cfg::kRam, "QV7T0-A"), 8);
  EXPECT_EQ(Ini().Read(cfg::kFlash, "QV7T0-A"), 64);
  EXPECT_EQ(Ini().Read(cfg::kPartNo, "QV7T0-A"), CString(std::string(50, 'p')));
  EXPECT_EQ(Ini().Read(cfg::kCom, "QV7T0-A"), "FALSE");
  EXPECT_EQ(Ini().Read(cfg::kUseQv7T0UsbIsp, "QV7T0-A"), "TRUE");
  EXPECT_EQ(HexTextToInt(Ini().Read(cfg::kSlaveAddress, "QV7T0-A")), 0xA0u);
  // Room 10: the value is cut to nine characters, which are not "TRUE".
  EXPECT_EQ(Ini().Read(cfg::kUseK55UartIsp, "QV7T0-A"), "TRUE-AND-");
}

TEST_F(ConfigIni, WritesOnlyKeysOfAFixedSection) {
  Put("[QV7T0-A]\nRAM=8\n");
  EXPECT_TRUE(Ini().Write(cfg::kErase, FlagText(TRUE)));
  EXPECT_TRUE(Ini().Write(cfg::kVerifyBin, FlagText(FALSE)));
  EXPECT_FALSE(Ini().Write(cfg::kCom, "FALSE"));
  EXPECT_EQ(dir_.Get("config.ini"), "[QV7T0-A]\nRAM=8\n[UserRecord]\nERASE=TRUE\nVERIFYBIN=FALSE\n");
  EXPECT_EQ(Ini().Path(), CString(dir_.File("config.ini")));
}

}  // namespace
