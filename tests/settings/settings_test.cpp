#include "app/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "isp/app_config.h"
#include "platform/core/program_folder.h"
#include "tests/support/temp_folder.h"

namespace {

using qv::TempFolder;

std::string Bytes(const APPCONFIG& c) { return std::string(reinterpret_cast<const char*>(&c), sizeof(c)); }

// The initial record, byte by byte as the file holds it.
const unsigned char kInitialImage[72] = {
    0, 0, 0, 0, 2, 0x70, 0, 0x04, 0xFF, 0x01, 0x00, 0x01, 0, 0, 0, 0, 0, 0,  //
    0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                    //
    11, 0, 0x20, 0x03, 0, 0x05,                                              //
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

TEST(AppConfigRecord, InitialImageIsTheStoredLayout) {
  EXPECT_EQ(Bytes(kAppConfigInitial), std::string(reinterpret_cast<const char*>(kInitialImage), 72));
}

class AppConfigFile : public ::testing::Test {
 protected:
  void SetUp() override {
    qv::SetProgramFolderForTesting(dir_.path());
    g_AppConfig = kAppConfigInitial;
  }
  void TearDown() override {
    qv::SetProgramFolderForTesting("");
    g_AppConfig = kAppConfigInitial;
  }
  TempFolder dir_;
};

TEST_F(AppConfigFile, LoadReplacesOnlyTheBytesTheFileHas) {
  struct Case {
    size_t size;
    size_t replaced;
  };
  for (Case c : {Case{10, 10}, Case{72, 72}, Case{100, 72}, Case{0, 0}}) {
    SCOPED_TRACE(c.size);
    g_AppConfig = kAppConfigInitial;
    std::string file(c.size, '\0');
    for (size_t i = 0; i < c.size; ++i) file[i] = static_cast<char>(0xA0 + i);
    dir_.Put("Appconfig.dat", file);
    EXPECT_EQ(LoadAppConfig(), TRUE);
    std::string expect = Bytes(kAppConfigInitial);
    expect.replace(0, c.replaced, file.substr(0, c.replaced));
    EXPECT_EQ(Bytes(g_AppConfig), expect);
  }
}

TEST_F(AppConfigFile, LoadWithoutAUsableFileKeepsTheRecord) {
  EXPECT_EQ(LoadAppConfig(), FALSE);  // missing
  std::filesystem::create_directory(dir_.File("Appconfig.dat"));
  EXPECT_EQ(LoadAppConfig(), FALSE);  // not a file
  EXPECT_EQ(Bytes(g_AppConfig), Bytes(kAppConfigInitial));
}

TEST_F(AppConfigFile, SaveWritesAllBytesAndLoadsBack) {
  dir_.Put("Appconfig.dat", std::string(200, 'o'));
  g_AppConfig.bySlaveAddr = 0x50;
  g_AppConfig.bSkipBridgeSetup = 1;
  g_AppConfig.byVccCode = 3;
  g_AppConfig.wReserved42[2][4] = 0xBEEF;
  const std::string saved = Bytes(g_AppConfig);
  ASSERT_EQ(SaveAppConfig(), TRUE);
  EXPECT_EQ(dir_.Get("Appconfig.dat"), saved);
  EXPECT_EQ(dir_.Count(), 1u);
  g_AppConfig = kAppConfigInitial;
  ASSERT_EQ(LoadAppConfig(), TRUE);
  EXPECT_EQ(Bytes(g_AppConfig), saved);
}

TEST_F(AppConfigFile, AFailedSaveLeavesWhatWasThere) {
  std::filesystem::create_directory(dir_.File("Appconfig.dat"));
  dir_.Put("Appconfig.dat/keep", "kept");
  EXPECT_EQ(SaveAppConfig(), FALSE);
  EXPECT_EQ(dir_.Get("Appconfig.dat/keep"), "kept");
  EXPECT_EQ(dir_.Count(), 1u);

  for (const std::string& folder : {dir_.File("missing"), dir_.path() + "/" + std::string(250, 'd')}) {
    qv::SetProgramFolderForTesting(folder);
    EXPECT_EQ(SaveAppConfig(), FALSE);
    EXPECT_EQ(LoadAppConfig(), FALSE);
  }
}

struct QvSelCase {
  const char* what;
  std::string text;  // empty: no file
  BOOL result;
  u16 version;
  std::string title;
};

std::string EmptyLines(int n) { return std::string(static_cast<size_t>(n), '\n'); }

const QvSelCase kQvSel[] = {
    {"no file", "", FALSE, 0, ""},
    {"keyword in lower case", "#version\n1.2\n", TRUE, 12, ""},
    {"tenths are cut", "#VERSION\r\n2.55\r\n", TRUE, 25, ""},
    {"title whole and unchanged", "#IDETITLE\r\n  Taking ; care  \r\n", TRUE, 0, "  Taking ; care  "},
    {"both, blanks around the keyword", "  #IdeTitle\t \n Tool\n\t#VERSION x\n 3.7abc\n", TRUE, 37, " Tool"},
    {"negative stops the reading", "#VERSION\n-1\n#IDETITLE\nLate\n", FALSE, 0, ""},
    {"what came before stays", "#IDETITLE\nEarly\n#VERSION\n-0.5\n", FALSE, 0, "Early"},
    {"a ';' makes a comment", "#IDETITLE ; the title\nT\n#VERSION;\n1\n", TRUE, 0, ""},
    {"kept in 16 bits", "#VERSION\n7000\n", TRUE, 4464, ""},
    // The tenths are what the text says, not what a single-precision product gives.
    {"2.3 is ver 2.3", "#VERSION\n2.3\n", TRUE, 23, ""},
    {"0.7 is ver 0.7", "#VERSION\n 0.7\n", TRUE, 7, ""},
    {"a sign and an exponent", "#VERSION\n+23e-1\n", TRUE, 23, ""},
    {"an exponent that moves the point right", "#VERSION\n0.0023E3x\n", TRUE, 23, ""},
    {"an 'e' without digits is not an exponent", "#VERSION\n4.1e\n", TRUE, 41, ""},
    {"leading zeros, no digit before the point", "#VERSION\n00.29\n", TRUE, 2, ""},
    {"a large value kept in 16 bits", "#VERSION\n6553.79\n", TRUE, 1, ""},
    {"a huge value kept in 16 bits", "#VERSION\n1e30\n", TRUE, 0, ""},
    {"hexadecimal as atof reads it", "#VERSION\n0x1.8p1\n", TRUE, 30, ""},
    {"too large for single precision", "#VERSION\n1e39\n", TRUE, 0, ""},
    {"no number", "#VERSION\nver\n", TRUE, 0, ""},
    {"keyword on line 20 has its value read", EmptyLines(19) + "#IDETITLE\nLast\n", TRUE, 0, "Last"},
    {"line 21 is not looked at", EmptyLines(20) + "#IDETITLE\nLate\n", TRUE, 0, ""},
    {"a value line is not a keyword line", "#IDETITLE\n#VERSION\n5\n", TRUE, 0, "#VERSION"},
    {"long keyword line is cut", "#IDETITLE" + std::string(400, ' ') + "x\n" + std::string(1000, 't') + "\n",
     TRUE, 0, std::string(1000, 't')},
    {"keyword past the cut", std::string(260, ' ') + "#IDETITLE\nT\n", TRUE, 0, ""},
    {"binary bytes", std::string("\0#IDETITLE\n\xff\x01\n", 14), TRUE, 0, ""},
};

TEST(QvSelInc, ReadsVersionAndTitle) {
  for (const QvSelCase& c : kQvSel) {
    SCOPED_TRACE(c.what);
    TempFolder dir;
    if (!c.text.empty()) dir.Put("QvSel.inc", c.text);
    u16 version = 0;
    CString title;
    EXPECT_EQ(ReadQvSelInc(dir.path().c_str(), version, title), c.result);
    EXPECT_EQ(version, c.version);
    EXPECT_EQ(title.str(), c.title);
  }
}

struct Token {
  int start;
  int length;
};

struct LineCase {
  std::string line;
  std::vector<Token> tokens;
  int commentAt;  // -1: no comment
  const char* first;
};

std::string ManyTokens(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "a ";
  s.pop_back();
  return s;
}

std::vector<Token> TwoApart(int n) {
  std::vector<Token> t;
  for (int i = 0; i < n; ++i) t.push_back({2 * i, 2});
  return t;
}

TEST(LineInfo, ParseFindsTokensAndComments) {
  const LineCase cases[] = {
      {"", {}, -1, ""},
      {" \t ", {}, -1, ""},
      {"#VERSION", {{0, 9}}, -1, "#VERSION"},
      {"A B", {{0, 2}, {2, 2}}, -1, "A"},
      {"\tKEY\t\tV", {{1, 4}, {6, 2}}, -1, "KEY"},
      {"A ", {{0, 2}, {2, 1}}, -1, "A"},
      {"A  ", {{0, 2}, {3, 1}}, -1, "A"},
      {"X ; c", {}, 2, ""},
      {";", {}, 0, ""},
      {ManyTokens(30), TwoApart(29), -1, "a"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE("[" + c.line + "]");
    CLineInfo info;
    info.SetLine(CString(c.line));
    info.Parse();
    EXPECT_STREQ(info.m_szLine, c.line.c_str());
    for (int k = CLineInfo::kFirstToken; k < CLineInfo::kTableSize; ++k) {
      size_t i = static_cast<size_t>(k - CLineInfo::kFirstToken);
      Token want = i < c.tokens.size() ? c.tokens[i] : Token{0xFF, 0xFF};
      EXPECT_EQ(info.m_byTokenStart[k], want.start) << "token " << k;
      EXPECT_EQ(info.m_byTokenLength[k], want.length) << "token " << k;
    }
    if (c.commentAt >= 0) {
      EXPECT_EQ(info.m_byTokenStart[0], c.commentAt);
      EXPECT_EQ(info.m_byTokenLength[0], static_cast<int>(c.line.size()) - c.commentAt);
    }
    EXPECT_EQ(info.GetFirstToken(), c.first);
  }
}

TEST(LineInfo, ALineIsCutSoPositionsFitInAByte) {
  CLineInfo info;
  EXPECT_EQ(info.m_byTokenStart[1], 0xFF);
  EXPECT_EQ(info.m_byTokenLength[31], 0xFF);
  EXPECT_EQ(info.m_szText[0], '\0');

  info.SetLine(CString(std::string(253, ' ') + "AB" + std::string(100, 'c')));
  info.Parse();
  EXPECT_EQ(std::strlen(info.m_szText), CLineInfo::kMaxLineChars);
  EXPECT_EQ(info.m_byTokenStart[3], 253);
  EXPECT_EQ(info.m_byTokenLength[3], 2);
  EXPECT_EQ(info.GetFirstToken(), "A");
}

}  // namespace
