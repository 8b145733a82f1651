#include "platform/core/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

using qv::TempFolder;

// Joins lines with the given terminator, so one table runs on both styles.
std::string Lines(const std::vector<std::string>& lines, const std::string& eol) {
  std::string s;
  for (const auto& l : lines) s += l + eol;
  return s;
}

const std::vector<std::string> kIni = {
    "; settings of the tool",
    "[UserRecord]",
    "ERASE=TRUE",
    "  BINPATH =  /tmp/fw.bin  ",
    "VERIFYBIN=\"FALSE\"",
    "Quoted=' spaced '",
    "Half=\"open",
    ";Commented=1",
    "Empty=",
    "NoEquals",
    "erase=a later line of the same key",
    "",
    "[ QV7T0-A ]",
    "COM =FALSE",
    "USE_QV7T0_USBISP=TRUE",
    "PARTNO=abcdefghijklmnopqrstuvwxyz",
    "[Numbers]",
    "RAM=8",
    "FLASH= -12abc",
    "Plus=+5",
    "Wrap=4294967297",
    "Word=abc",
    "Blank=",
    "Hex=0x1F",
    "Octal=0o17",
    "Binary=0b1012",
    "NegativeHex=-0x10",
    "LeadingZero=010",
    "BarePrefix=0x",
    "[userrecord]",
    "Late=second section of the same name",
    "ERASE=from the second section",
};

struct ReadCase {
  const char* section;
  const char* key;
  const char* def;
  DWORD size;
  const char* expect;
};

const ReadCase kReads[] = {
    {"UserRecord", "ERASE", "", 255, "TRUE"},
    {"USERRECORD", "erase", "", 255, "TRUE"},
    {" UserRecord ", " BINPATH", "", 255, "/tmp/fw.bin"},
    {"UserRecord", "VERIFYBIN", "", 255, "FALSE"},
    {"UserRecord", "Quoted", "", 255, " spaced "},
    {"UserRecord", "Half", "", 255, "\"open"},
    {"UserRecord", "Commented", "dflt", 255, "dflt"},
    {"UserRecord", ";Commented", "dflt", 255, "dflt"},
    {"UserRecord", "Empty", "dflt", 255, ""},
    {"UserRecord", "NoEquals", "dflt", 255, ""},
    {"UserRecord", "Late", "", 255, "second section of the same name"},
    {"QV7T0-A", "COM ", "TRUE", 10, "FALSE"},
    {"qv7t0-a", "USE_QV7T0_USBISP ", "FALSE", 10, "TRUE"},
    {"QV7T0-A", "SLAVE_ADDRESS", "0X50", 10, "0X50"},
    {"QV7T0-A", "PARTNO", "", 10, "abcdefghi"},
    {"QV7T0-A", "PARTNO", "", 1, ""},
    {"QV7T0-A", "ERASE", "none", 255, "none"},
    {"Missing", "ERASE", "none  ", 255, "none"},
    {"Missing", "ERASE", nullptr, 255, ""},
    {"Missing", "ERASE", "abcdefghijkl", 4, "abc"},
    {"UserRecord", nullptr, "dflt", 255, "dflt"},
};

struct IntCase {
  const char* key;
  int def;
  UINT expect;
};

const IntCase kInts[] = {
    {"RAM", 0, 8},
    {"flash", 0, static_cast<UINT>(-12)},
    {"Plus", 0, 5},
    {"Wrap", 0, 1},
    {"Word", 7, 0},
    {"Blank", 7, 7},
    {"Hex", 0, 31},
    {"Octal", 0, 15},
    {"Binary", 0, 5},
    {"NegativeHex", 0, static_cast<UINT>(-16)},
    {"LeadingZero", 0, 10},
    {"BarePrefix", 7, 0},
    {"Missing", 77, 77},
    {"Missing", -3, static_cast<UINT>(-3)},
};

class ProfileRead : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { dir_.Put("config.ini", Lines(kIni, GetParam())); }
  std::string Path() const { return dir_.File("config.ini"); }
  TempFolder dir_;
};

TEST_P(ProfileRead, FindsValuesByNameWithoutCaseOrBlanks) {
  for (const ReadCase& c : kReads) {
    SCOPED_TRACE(std::string(c.section) + "/" + (c.key ? c.key : "(null)"));
    char buf[300];
    std::memset(buf, 'X', sizeof(buf));
    DWORD n = GetPrivateProfileStringA(c.section, c.key, c.def, buf, c.size, Path().c_str());
    EXPECT_STREQ(buf, c.expect);
    EXPECT_EQ(n, std::strlen(c.expect));
    EXPECT_EQ(buf[c.size], 'X') << "wrote beyond the buffer's room";
  }
}

TEST_P(ProfileRead, ReadsIntegersAsWindowsDoes) {
  for (const IntCase& c : kInts) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(GetPrivateProfileIntA("Numbers", c.key, c.def, Path().c_str()), c.expect);
  }
}

INSTANTIATE_TEST_SUITE_P(LineEnds, ProfileRead, ::testing::Values("\r\n", "\n", "\r"));

struct LineEndCase {
  const char* what;
  const char* bytes;
  const char* key;
  const char* expect;
};

// A line ends at CR, LF or CR LF, wherever it stands: a value never holds a CR.
const LineEndCase kLineEnds[] = {
    {"the last line ends in a lone CR", "[K55]\r\nUSE_K55_UARTISP=TRUE\r", "USE_K55_UARTISP", "TRUE"},
    {"a path on a last line ending in CR", "[K55]\nBINPATH=x\r", "BINPATH", "x"},
    {"a lone CR between two lines", "[K55]\r\nCOM=FALSE\rRAM=4\r\n", "RAM", "4"},
    {"the line before a lone CR", "[K55]\r\nCOM=FALSE\rRAM=4\r\n", "COM", "FALSE"},
    {"CR CR LF is a line and an empty one", "[K55]\r\r\nFLASH=64\r\r\n", "FLASH", "64"},
    {"a section header ended by CR", "[OTHER]\rPARTNO=1\r[K55]\rPARTNO=2\r", "PARTNO", "2"},
};

TEST(ProfileFile, ALineEndsAtCrLfOrCrLf) {
  for (const LineEndCase& c : kLineEnds) {
    SCOPED_TRACE(c.what);
    TempFolder dir;
    dir.Put("config.ini", c.bytes);
    char buf[64] = {};
    GetPrivateProfileStringA("K55", c.key, "none", buf, sizeof buf, dir.File("config.ini").c_str());
    EXPECT_STREQ(buf, c.expect);
  }
}

TEST(ProfileFile, BadOrMissingFilesGiveTheDefault) {
  TempFolder dir;
  const char kBinary[] = "\0\x01\xff[UserRecord\0]\nERASE\0=TRUE\n\x80\x81";
  std::string binary(kBinary, sizeof(kBinary) - 1);
  std::string longLine = "[S]\nLONG=" + std::string(10000, 'v') + "\n";
  dir.Put("empty.ini", "");
  dir.Put("binary.ini", binary);
  dir.Put("long.ini", longLine);
  std::filesystem::create_directory(dir.File("folder.ini"));

  for (const char* name : {"absent.ini", "empty.ini", "binary.ini", "folder.ini", "nodir/x.ini"}) {
    SCOPED_TRACE(name);
    char buf[16];
    EXPECT_EQ(GetPrivateProfileStringA("UserRecord", "ERASE", "dflt", buf, sizeof(buf),
                                       dir.File(name).c_str()),
              4u);
    EXPECT_STREQ(buf, "dflt");
    EXPECT_EQ(GetPrivateProfileIntA("UserRecord", "ERASE", 9, dir.File(name).c_str()), 9u);
  }

  char buf[255];
  EXPECT_EQ(GetPrivateProfileStringA("S", "LONG", "", buf, sizeof(buf), dir.File("long.ini").c_str()), 254u);
  EXPECT_EQ(std::string(buf), std::string(254, 'v'));
}

TEST(ProfileFile, EveryReadSeesTheFileAsItIsNow) {
  TempFolder dir;
  const std::string path = dir.File("config.ini");
  char buf[16];
  dir.Put("config.ini", "[A]\nk=1\n");
  GetPrivateProfileStringA("A", "k", "", buf, sizeof(buf), path.c_str());
  EXPECT_STREQ(buf, "1");
  dir.Put("config.ini", "[A]\nk=2\n");
  GetPrivateProfileStringA("A", "k", "", buf, sizeof(buf), path.c_str());
  EXPECT_STREQ(buf, "2");
}

struct WriteCase {
  const char* what;
  const char* before;  // nullptr: no file
  const char* section;
  const char* key;
  const char* value;
  const char* after;  // nullptr: still no file
};

const WriteCase kWrites[] = {
    {"creates the file with CR LF", nullptr, "UserRecord", "ERASE", "TRUE", "[UserRecord]\r\nERASE=TRUE\r\n"},
    {"an empty file is new", "", "A", "k", "v", "[A]\r\nk=v\r\n"},
    {"replaces in place, keeping all else", "; c\n[A]\nx=1\n  Y = 2 \nz=3\n\n[B]\ny=9\n", "A", "y", "5",
     "; c\n[A]\nx=1\n  Y=5\nz=3\n\n[B]\ny=9\n"},
    {"matches names without case or blanks", "[UserRecord]\nERASE=FALSE\n", " userrecord", "erase ", "TRUE",
     "[UserRecord]\nERASE=TRUE\n"},
    {"adds a key at the end of its section", "[A]\nx=1\n\n[B]\ny=2\n", "A", "new", "v",
     "[A]\nx=1\nnew=v\n\n[B]\ny=2\n"},
    {"adds a section, ending the last line", "[A]\r\nx=1", "B", "k", "v", "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
    {"adds a key to a section at the end without a final line end", "[A]\nx=1", "A", "k", "v",
     "[A]\nx=1\nk=v\n"},
    // A lone CR ending the file is that line's end, kept as it was.
    {"a lone CR ending the file stays, a section added", "[S]\nK=abc\r", "T", "k", "v",
     "[S]\nK=abc\r[T]\nk=v\n"},
    {"a lone CR ending the file stays, a key added", "[S]\r\nK=abc\r", "S", "j", "v",
     "[S]\r\nK=abc\rj=v\r\n"},
    {"a lone CR inside the file ends the key's line", "[S]\r\nK=abc\rJ=1\r\n", "S", "k", "x",
     "[S]\r\nK=x\rJ=1\r\n"},
    {"keeps a byte-order mark", "\xEF\xBB\xBFk=0\n[A]\nk=1\n", "A", "k", "2", "\xEF\xBB\xBFk=0\n[A]\nk=2\n"},
    {"a value is one line", "[A]\nk=1\n", "A", "k", "2\n[B]\nj=3", "[A]\nk=2\n"},
    {"an empty value", "[A]\nk=1\n", "A", "k", "", "[A]\nk=\n"},
    {"NULL value deletes the key", "[A]\nk=1\nj=2\n", "A", "K", nullptr, "[A]\nj=2\n"},
    {"NULL key deletes the section", "[A]\nk=1\n[B]\nj=2\n", "a", nullptr, nullptr, "[B]\nj=2\n"},
    {"deleting nothing creates nothing", nullptr, "A", "k", nullptr, nullptr},
};

TEST(ProfileWrite, ChangesOnlyWhatItWrites) {
  for (const WriteCase& c : kWrites) {
    SCOPED_TRACE(c.what);
    TempFolder dir;
    if (c.before) dir.Put("config.ini", c.before);
    EXPECT_EQ(WritePrivateProfileStringA(c.section, c.key, c.value, dir.File("config.ini").c_str()), TRUE);
    EXPECT_EQ(dir.Has("config.ini"), c.after != nullptr);
    if (c.after) {
      EXPECT_EQ(dir.Get("config.ini"), c.after);
    }
    EXPECT_EQ(dir.Count(), c.after ? 1u : 0u) << "a temporary file was left behind";
  }
}

TEST(ProfileWrite, AnUntouchedValueEndingInALoneCrKeepsItsBytes) {
  TempFolder dir;
  const std::string path = dir.File("config.ini");
  dir.Put("config.ini", "[S]\nK=abc\r");
  char before[16] = {};
  EXPECT_EQ(GetPrivateProfileStringA("S", "K", "", before, sizeof before, path.c_str()), 3u);
  EXPECT_STREQ(before, "abc");
  ASSERT_TRUE(WritePrivateProfileStringA("T", "k", "v", path.c_str()));
  char after[16] = {};
  EXPECT_EQ(GetPrivateProfileStringA("S", "K", "", after, sizeof after, path.c_str()), 3u);
  EXPECT_STREQ(after, before);
  EXPECT_EQ(dir.Get("config.ini"), "[S]\nK=abc\r[T]\nk=v\n");
}

TEST(ProfileWrite, WrittenValuesReadBack) {
  TempFolder dir;
  const std::string path = dir.File("config.ini");
  ASSERT_TRUE(WritePrivateProfileStringA("UserRecord", "BINPATH", "/home/op/fw 1.bin", path.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("UserRecord", "ReadOperateArea", "5", path.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("UserRecord", "BINPATH", "/home/op/fw 2.bin", path.c_str()));
  char buf[255];
  GetPrivateProfileStringA("UserRecord", "BINPATH", "", buf, sizeof(buf), path.c_str());
  EXPECT_STREQ(buf, "/home/op/fw 2.bin");
  EXPECT_EQ(GetPrivateProfileIntA("UserRecord", "ReadOperateArea", 0, path.c_str()), 5u);
}

TEST(ProfileWrite, KeepsTheFilesPermissionsAndItsLink) {
  TempFolder dir;
  const std::string path = dir.File("config.ini");
  dir.Put("shared.ini", "[A]\nk=1\n");
  ASSERT_EQ(::chmod(dir.File("shared.ini").c_str(), 0600), 0);
  std::filesystem::create_symlink("shared.ini", path);
  ASSERT_TRUE(WritePrivateProfileStringA("A", "k", "2", path.c_str()));
  EXPECT_TRUE(std::filesystem::is_symlink(path));
  EXPECT_EQ(dir.Get("shared.ini"), "[A]\nk=2\n");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(dir.Count(), 2u);
}

TEST(ProfileWrite, AWriteThatCannotBeDoneFailsAndLeavesTheOldFile) {
  TempFolder dir;
  dir.Put("plain", "not a folder");
  std::filesystem::create_directory(dir.File("folder.ini"));
  dir.Put("folder.ini/keep", "kept");
  const size_t entries = dir.Count();

  for (const char* name : {"nodir/config.ini", "plain/config.ini", "folder.ini"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(WritePrivateProfileStringA("A", "k", "v", dir.File(name).c_str()), FALSE);
    EXPECT_EQ(dir.Count(), entries) << "a temporary file was left behind";
  }
  EXPECT_EQ(dir.Get("plain"), "not a folder");
  EXPECT_EQ(dir.Get("folder.ini/keep"), "kept");
  EXPECT_EQ(WritePrivateProfileStringA(nullptr, "k", "v", dir.File("x.ini").c_str()), FALSE);
  EXPECT_EQ(WritePrivateProfileStringA("A", "k", "v", nullptr), FALSE);
}

}  // namespace
