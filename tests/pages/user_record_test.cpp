// The operator's last choices in config.ini.

#include <gtest/gtest.h>

#include <optional>

#include "app/user_record.h"
#include "tests/support/pages_fixture.h"

namespace pages_test {
namespace {

using UserRecordTest = PagesTest;

TEST_F(UserRecordTest, FlagsAreExactlyTrueOrFalse) {
  const CUserRecord record;
  EXPECT_EQ(record.Erase(), std::nullopt);
  struct Case {
    const char* value;
    std::optional<BOOL> flag;
  };
  for (const Case& c : {Case{"TRUE", TRUE}, Case{"FALSE", FALSE}, Case{"true", std::nullopt},
                        Case{"", std::nullopt}, Case{"1", std::nullopt}}) {
    const std::string text = std::string("[UserRecord]\r\nERASE=") + c.value + "\r\nVERIFYBIN=" + c.value + "\r\n";
    WriteFile("config.ini", Bytes(text.begin(), text.end()));
    EXPECT_EQ(record.Erase(), c.flag) << c.value;
    EXPECT_EQ(record.VerifyBin(), c.flag) << c.value;
  }
}

TEST_F(UserRecordTest, WhatIsStoredComesBack) {
  const CUserRecord record;
  ASSERT_TRUE(record.SetErase(TRUE));
  ASSERT_TRUE(record.SetVerifyBin(FALSE));
  ASSERT_TRUE(record.SetBinPath("/tmp/fw image.bin"));
  EXPECT_EQ(record.Erase(), std::optional<BOOL>(TRUE));
  EXPECT_EQ(record.VerifyBin(), std::optional<BOOL>(FALSE));
  EXPECT_EQ(record.BinPath().str(), "/tmp/fw image.bin");
  const std::string config = ReadConfig();
  EXPECT_NE(config.find("ERASE=TRUE"), std::string::npos);
  EXPECT_NE(config.find("VERIFYBIN=FALSE"), std::string::npos);
  // The IC types' sections stay as they were.
  EXPECT_NE(config.find("BootLoadInRom=true"), std::string::npos);
}

TEST_F(UserRecordTest, ReadOperateArea) {
  const CUserRecord record;
  EXPECT_EQ(record.ReadOperateArea(), ReadArea::kNone);
  struct Case {
    const char* value;
    ReadArea area;
  };
  for (const Case& c : {Case{"5", ReadArea::kAll}, Case{"4", ReadArea::kCustom}, Case{"3", ReadArea::kNone},
                        Case{"", ReadArea::kNone}, Case{"x", ReadArea::kNone}, Case{"5x", ReadArea::kAll}}) {
    const std::string text = std::string("[UserRecord]\r\nReadOperateArea=") + c.value + "\r\n";
    WriteFile("config.ini", Bytes(text.begin(), text.end()));
    EXPECT_EQ(record.ReadOperateArea(), c.area) << c.value;
  }
  ASSERT_TRUE(record.SetReadOperateArea(ReadArea::kCustom));
  EXPECT_EQ(record.ReadOperateArea(), ReadArea::kCustom);
  EXPECT_NE(ReadConfig().find("ReadOperateArea=4"), std::string::npos);
  ASSERT_TRUE(record.SetReadOperateArea(ReadArea::kAll));
  EXPECT_EQ(record.ReadOperateArea(), ReadArea::kAll);
  EXPECT_FALSE(record.SetReadOperateArea(ReadArea::kNone));
  EXPECT_EQ(record.ReadOperateArea(), ReadArea::kAll);
}

}  // namespace
}  // namespace pages_test
