#include "app/settings.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>

#include "app/taravik_app.h"
#include "isp/app_config.h"
#include "platform/core/regular_file.h"
#include "platform/core/replace_file.h"

namespace {

constexpr int kQvSelLines = 20;

// "<folder>/Appconfig.dat", whole; FALSE when the system cannot hold it: a
// cut path would name some other file.
BOOL AppConfigPath(CString& path) {
  path = GetAppDirectory() + "/Appconfig.dat";
  return path.GetLength() < PATH_MAX ? TRUE : FALSE;
}

bool IsSeparator(char c) { return c == ' ' || c == '\t'; }

// The version times ten as its decimal text says it, cut toward zero and kept
// in 16 bits: "2.3" gives 23, where the single-precision 2.3 times ten would
// be cut to 22. The text is read as atof reads it; a hexadecimal number is
// exact in binary and is taken from value. A value too large to be a number
// of any width (or no number) gives 0.
u16 VersionTimesTen(const char* text, float value) {
  if (!std::isfinite(value)) return 0;
  const char* p = text;
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  if (*p == '+' || *p == '-') ++p;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
    const double tenfold = std::trunc(static_cast<double>(value) * 10.0);
    return static_cast<u16>(static_cast<long long>(std::fmod(tenfold, 65536.0)));
  }
  auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  std::string digits;
  long long point = 0;  // how many of the digits stand before the point
  for (; isDigit(*p); ++p, ++point) digits += *p;
  if (*p == '.') {
    for (++p; isDigit(*p); ++p) digits += *p;
  }
  if ((*p == 'e' || *p == 'E') && (isDigit(p[1]) || ((p[1] == '+' || p[1] == '-') && isDigit(p[2])))) {
    const bool negative = *++p == '-';
    if (*p == '+' || *p == '-') ++p;
    long long exponent = 0;
    for (; isDigit(*p); ++p) exponent = std::min(exponent * 10 + (*p - '0'), 100000LL);
    point += negative ? -exponent : exponent;
  }
  const size_t first = std::min(digits.find_first_not_of('0'), digits.size());
  digits.erase(0, first);
  point -= static_cast<long long>(first);
  // Ten to the 16th is a multiple of 65536: zeros beyond 16 add nothing.
  const long long whole = std::min(point + 1, static_cast<long long>(digits.size()) + 16);
  unsigned tenfold = 0;
  for (long long i = 0; i < whole; ++i) {
    const unsigned digit = i < static_cast<long long>(digits.size()) ? static_cast<unsigned>(digits[i] - '0') : 0;
    tenfold = (tenfold * 10 + digit) % 65536;
  }
  return static_cast<u16>(tenfold);
}

// Lines of a text file, CR LF or LF ended; past the end, empty lines.
class CLineReader {
 public:
  explicit CLineReader(std::istream& in) : m_in(in) {}
  CString Next() {
    ++m_nCount;
    std::string line;
    if (!std::getline(m_in, line)) line.clear();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return CString(line);
  }
  int Count() const { return m_nCount; }

 private:
  std::istream& m_in;
  int m_nCount = 0;
};

}  // namespace

BOOL LoadAppConfig() {
  CString path;
  if (!AppConfigPath(path)) return FALSE;
  // Only a regular file that may also be written counts (the record is
  // opened for reading and writing): a read-only one is left alone, for root
  // too.
  qv::FileOpen result = qv::FileOpen::kRefused;
  struct stat st {};
  const int fd = qv::OpenRegularFile(path.str(), &result, &st);
  if (fd < 0) return FALSE;
  u8 bytes[kAppConfigSize];
  ssize_t got = -1;
  if (qv::ModeAllowsWriting(path.str(), st)) {
    do {
      got = ::read(fd, bytes, sizeof(bytes));
    } while (got < 0 && errno == EINTR);
  }
  ::close(fd);
  if (got < 0) return FALSE;
  std::memcpy(&g_AppConfig, bytes, static_cast<size_t>(got));
  return TRUE;
}

BOOL SaveAppConfig() {
  CString path;
  if (!AppConfigPath(path)) return FALSE;
  std::string_view bytes(reinterpret_cast<const char*>(&g_AppConfig), sizeof(g_AppConfig));
  return qv::ReplaceFileContents(path.str(), bytes) ? TRUE : FALSE;
}

BOOL ReadQvSelInc(const char* folder, u16& version, CString& title) {
  std::string bytes;
  if (qv::ReadRegularFile(std::string(folder) + "/QvSel.inc", bytes) != qv::FileOpen::kOpened) return FALSE;
  std::istringstream in(bytes);
  CLineReader reader(in);
  CLineInfo info;
  while (reader.Count() < kQvSelLines) {
    CString line = reader.Next();
    info.SetLine(line.MakeUpper());
    info.Parse();
    CString token = info.GetFirstToken();
    if (token == "#VERSION") {
      CString text = reader.Next();
      text.MakeUpper();
      float value = static_cast<float>(std::atof(text));
      if (value < 0) return FALSE;
      version = VersionTimesTen(text, value);
    } else if (token == "#IDETITLE") {
      title = reader.Next();
    }
  }
  return TRUE;
}

CLineInfo::CLineInfo() {
  std::memset(m_byTokenStart + 1, 0xFF, kTableSize - 1);
  std::memset(m_byTokenLength + 1, 0xFF, kTableSize - 1);
}

void CLineInfo::SetLine(const CString& line) {
  std::memset(m_byTokenStart + 1, 0xFF, kTableSize - 1);
  std::memset(m_byTokenLength + 1, 0xFF, kTableSize - 1);
  std::memset(m_szLine, 0, sizeof(m_szLine));
  std::memset(m_szText, 0, sizeof(m_szText));
  size_t n = std::min(static_cast<size_t>(line.GetLength()), kMaxLineChars);
  std::memcpy(m_szLine, line.GetString(), n);
  std::memcpy(m_szText, line.GetString(), n);
}

void CLineInfo::Parse() {
  size_t n = ::strnlen(m_szText, kMaxLineChars);
  if (const void* mark = std::memchr(m_szText, ';', n)) {
    size_t at = static_cast<size_t>(static_cast<const char*>(mark) - m_szText);
    m_byTokenStart[0] = static_cast<u8>(at);
    m_byTokenLength[0] = static_cast<u8>(n - at);
    return;
  }
  size_t pos = 0;
  for (int k = kFirstToken; k < kTableSize; ++k) {
    while (pos < n && IsSeparator(m_szText[pos])) ++pos;
    if (pos == n && k == kFirstToken) return;  // nothing but blanks
    size_t end = pos;
    while (end < n && !IsSeparator(m_szText[end])) ++end;
    m_byTokenStart[k] = static_cast<u8>(pos);
    m_byTokenLength[k] = static_cast<u8>(end - pos + 1);
    // A line that ends in a blank still yields one more, empty, token at its end.
    if (end == n) return;
    pos = end + 1;
  }
}

CString CLineInfo::GetFirstToken() const {
  size_t start = m_byTokenStart[kFirstToken];
  size_t length = m_byTokenLength[kFirstToken];
  size_t end = std::min(start + length, kTextRoom);
  size_t stop = start;
  while (stop < end && m_szText[stop] != '\0') ++stop;
  CString token(m_szText + start, static_cast<int>(stop - start));
  return token.Trim();
}
