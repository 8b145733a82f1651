#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/taravik_app.h"
#include "tests/support/recording_engine.h"

namespace {

using Args = std::vector<std::string>;

// Hands args to the application object as main() would and parses them.
void Parse(const Args& args, CCommandLineInfo& info) {
  std::vector<const char*> argv{"/opt/tool/taravik"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  theApp.SetCommandLine(static_cast<int>(argv.size()), argv.data());
  theApp.ParseCommandLine(info);
}

std::vector<std::string> Slots(const CMyCommandLineInfo& info) {
  std::vector<std::string> slots;
  for (int i = 0; i < info.GetCount(); ++i) slots.emplace_back(info.GetSlot(i));
  return slots;
}

// What the framework hands on: a leading '-' always goes, a '/' only from a switch.
TEST(CommandLine, FrameworkStripsDashAlwaysAndSlashOnlyFromASwitch) {
  struct Recorder : CCommandLineInfo {
    void ParseParam(const char* p, BOOL flag, BOOL last) override {
      seen.push_back(std::string(p) + (flag ? " F" : " -") + (last ? "L" : ""));
    }
    std::vector<std::string> seen;
  };
  CMyCommandLineInfo my;
  Recorder framework;  // the framework's own idea of a switch: every '/'
  Parse({"-c", "/c", "/tmp/fw.bin", "--x", "-", "/PWD", "/pwdx"}, my);
  Parse({"-c", "/tmp/fw.bin"}, framework);
  EXPECT_EQ(Slots(my), (std::vector<std::string>{"c", "c", "/tmp/fw.bin", "-x", "", "PWD", "/pwdx"}));
  EXPECT_EQ(framework.seen, (std::vector<std::string>{"c F", "tmp/fw.bin FL"}));
}

TEST(CommandLine, TenSlotsOf254Characters) {
  Args args;
  for (int i = 0; i < 11; ++i) args.push_back("p" + std::to_string(i));
  args[3] = std::string(300, 'x');
  args[4] = std::string(254, 'y');
  CMyCommandLineInfo info;
  Parse(args, info);
  ASSERT_EQ(info.GetCount(), 10);
  EXPECT_EQ(std::string(info.GetSlot(3)), std::string(254, 'x'));
  EXPECT_EQ(std::string(info.GetSlot(4)), std::string(254, 'y'));
  EXPECT_EQ(std::string(info.GetSlot(9)), "p9");  // the eleventh is dropped
}

TEST(CommandLine, NoParametersFillNoSlot) {
  CMyCommandLineInfo info;
  Parse({}, info);
  EXPECT_EQ(info.GetCount(), 0);
}

struct Case {
  const char* name;
  Args args;
  std::string icType;
  std::string image;
  u32 start;
  u32 baud;
  u32 skip;
  u32 password;
  std::vector<std::string> logged;
};

class DownloadSwitches : public ::testing::TestWithParam<Case> {};

TEST_P(DownloadSwitches, GiveTheJob) {
  const Case& c = GetParam();
  qv::RecordingEngine engine;
  CMyCommandLineInfo info;
  Parse(c.args, info);
  const DownloadCommand job = ParseDownloadCommand(info);
  EXPECT_EQ(job.icType.str(), c.icType);
  EXPECT_EQ(job.imagePath.str(), c.image);
  EXPECT_EQ(job.startAddress, c.start);
  EXPECT_EQ(job.baudRate, c.baud);
  EXPECT_EQ(job.skip, c.skip);
  EXPECT_EQ(job.password, c.password);
  EXPECT_EQ(engine.Entries(), c.logged);
}

constexpr u32 kPreset = 0x3B8E61C4;

INSTANTIATE_TEST_SUITE_P(
    Table, DownloadSwitches,
    ::testing::Values(
        Case{"Full", {"-c", "T01", "-i", "fw.bin", "-p", "115200", "-pwd", "1A2B3C4D"},
             "T01", "fw.bin", 0, 115200, 0, 0x1A2B3C4D, {"T01", "fw.bin"}},
        Case{"UpperCaseAndSlash", {"/C", "T02", "/I", "/tmp/fw.bin", "/A", "256", "/B", "16", "/PWD", "ff"},
             "T02", "/tmp/fw.bin", 256, 9600, 16, 0xFF, {"T02", "/tmp/fw.bin"}},
        Case{"UnlistedRateKeeps9600", {"-p", "57600"}, "", "", 0, 9600, 0, kPreset, {}},
        Case{"UnlistedRateKeepsEarlierRate", {"-p", "256000", "-p", "1200"}, "", "", 0, 256000, 0, kPreset, {}},
        Case{"RateWithTrailingText", {"-p", "9600x"}, "", "", 0, 9600, 0, kPreset, {}},
        Case{"HexStartIsDecimalZero", {"-a", "0x100", "-b", "abc"}, "", "", 0, 9600, 0, kPreset, {}},
        Case{"UnknownParameterSkippedAlone", {"x", "-c", "T01"}, "T01", "", 0, 9600, 0, kPreset, {"T01"}},
        Case{"SwitchTakesASwitchAsValue", {"-c", "-i", "fw.bin"}, "i", "", 0, 9600, 0, kPreset, {"i"}},
        Case{"ValueLosesLeadingDash", {"-c", "-T01", "-i", "-fw.bin"}, "T01", "fw.bin", 0, 9600, 0, kPreset,
             {"T01", "fw.bin"}},
        Case{"SlashValueThatIsASwitchLosesIt", {"-c", "/c"}, "c", "", 0, 9600, 0, kPreset, {"c"}},
        Case{"SwitchInLastSlotHasEmptyValue", {"-i", "a.bin", "-c"}, "", "a.bin", 0, 9600, 0, kPreset,
             {"a.bin", ""}},
        Case{"LaterValueWinsBothLogged", {"-c", "A", "-c", "B"}, "B", "", 0, 9600, 0, kPreset, {"A", "B"}},
        Case{"BadPasswordIsZero", {"-pwd", "12G4"}, "", "", 0, 9600, 0, 0, {}},
        Case{"MixedCaseSwitchIsNotOne", {"-Pwd", "12", "-Ic", "x"}, "", "", 0, 9600, 0, kPreset, {}},
        Case{"EleventhParameterNotRead", {"q", "r", "s", "t", "u", "v", "w", "x", "y", "-c", "T11"},
             "", "", 0, 9600, 0, kPreset, {""}}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Exactly the eight listed texts set the rate; anything else keeps the one before.
TEST(CommandLine, EachListedRateTextAndNoOther) {
  struct Rate {
    const char* text;
    u32 baud;
  };
  const Rate rates[] = {
      {"9600", 9600},     {"14400", 14400},   {"19200", 19200},   {"38400", 38400},
      {"56000", 56000},   {"115200", 115200}, {"128000", 128000}, {"256000", 256000},
      // Not on the command line's list (the dialog's 57600 included): the rate set before stays.
      {"57600", 14400},   {"4800", 14400},    {"115200 ", 14400}, {"0115200", 14400},
  };
  for (const Rate& r : rates) {
    SCOPED_TRACE(r.text);
    qv::RecordingEngine engine;
    CMyCommandLineInfo info;
    Parse({"-p", "14400", "-p", r.text}, info);
    EXPECT_EQ(ParseDownloadCommand(info).baudRate, r.baud);
  }
}

}  // namespace
