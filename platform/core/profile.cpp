#include "platform/core/profile.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/bounded_text.h"
#include "platform/core/regular_file.h"
#include "platform/core/replace_file.h"

// Names are matched without regard to ASCII case and to blanks around them;
// a value loses its surrounding blanks and one pair of enclosing quotes. A
// section or key name of NULL (the enumerating forms) finds nothing on read.

namespace {

// A missing file reads as empty; one that is no regular file (a FIFO, a
// device, a folder) or cannot be read is refused at once.
using qv::FileOpen;

FileOpen ReadWholeFile(const char* path, std::string& bytes) { return qv::ReadRegularFile(path, bytes); }

// One line of the file: its text and the exact terminator it had ("\r\n",
// "\n", a lone "\r", or "" for a last line without one), so that lines we do
// not touch are written back byte for byte. A line ends at CR, LF or CR LF,
// as Windows reads a profile, so a value never holds a CR.
struct Line {
  std::string text;
  std::string eol;
};

std::vector<Line> SplitLines(const std::string& bytes) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back({bytes.substr(start), ""});
      break;
    }
    size_t next = end + 1;
    if (bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') ++next;
    lines.push_back({bytes.substr(start, end - start), bytes.substr(end, next - end)});
    start = next;
  }
  return lines;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

enum class Kind { kBlank, kComment, kSection, kEntry };

struct ParsedLine {
  Kind kind = Kind::kBlank;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // entry value, trimmed, quotes still on
};

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

ParsedLine Parse(std::string_view text, bool firstLine) {
  if (firstLine && text.starts_with(kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
  std::string_view t = Trim(text);
  ParsedLine p;
  if (t.empty()) return p;
  if (t.front() == ';') {
    p.kind = Kind::kComment;
    return p;
  }
  if (t.front() == '[') {
    p.kind = Kind::kSection;
    std::string_view inner = t.substr(1);
    p.name = Trim(inner.substr(0, inner.find(']')));
    return p;
  }
  p.kind = Kind::kEntry;
  size_t eq = t.find('=');
  p.name = Trim(t.substr(0, eq));
  if (eq != std::string_view::npos) p.value = Trim(t.substr(eq + 1));
  return p;
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v.remove_prefix(1);
    v.remove_suffix(1);
  }
  return v;
}

// Calls visit(index, parsed, inSection) for every line of the file.
template <typename Visit>
void Walk(const std::vector<Line>& lines, std::string_view section, Visit visit) {
  bool inSection = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    ParsedLine p = Parse(lines[i].text, i == 0);
    if (p.kind == Kind::kSection) inSection = SameName(p.name, section);
    visit(i, p, inSection);
  }
}

std::optional<std::string> FindValue(const char* section, const char* key, const char* path) {
  if (section == nullptr || key == nullptr || path == nullptr) return std::nullopt;
  std::string bytes;
  if (ReadWholeFile(path, bytes) != FileOpen::kOpened) return std::nullopt;
  std::vector<Line> lines = SplitLines(bytes);
  std::optional<std::string> found;
  Walk(lines, Trim(section), [&](size_t, const ParsedLine& p, bool inSection) {
    if (!found && inSection && p.kind == Kind::kEntry && SameName(p.name, Trim(key))) {
      std::string_view v = Unquote(p.value);
      found = std::string(v.substr(0, v.find('\0')));
    }
  });
  return found;
}

// Writes are read-modify-write cycles; one at a time within the process.
std::mutex g_writeLock;

// Where a line's own text begins: after a byte-order mark on the first line
// and after the indent.
size_t TextStart(const std::string& text, bool firstLine) {
  size_t i = firstLine && text.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i;
}

// Applies one write to the lines; false when it changes nothing (deleting
// what is not there).
bool ApplyWrite(std::vector<Line>& lines, std::string_view section, const char* key, const char* value) {
  std::string eol = (!lines.empty() && !lines.front().eol.empty()) ? lines.front().eol : "\r\n";
  std::vector<bool> drop(lines.size(), false);
  bool dropAny = false;
  std::optional<size_t> keyLine;
  std::optional<size_t> sectionEnd;  // after the last non-blank line of the first matching section
  bool sawSection = false;
  bool inFirst = false;
  Walk(lines, section, [&](size_t i, const ParsedLine& p, bool inSection) {
    if (p.kind == Kind::kSection) {
      inFirst = inSection && !sawSection;
      sawSection = sawSection || inSection;
    }
    if (!inSection) return;
    if (inFirst && p.kind != Kind::kBlank) sectionEnd = i + 1;
    bool isKey = key != nullptr && p.kind == Kind::kEntry && SameName(p.name, Trim(key));
    if (key == nullptr || (value == nullptr && isKey)) {
      drop[i] = dropAny = true;
    } else if (isKey && !keyLine) {
      keyLine = i;
    }
  });

  if (key == nullptr || value == nullptr) {
    std::vector<Line> kept;
    for (size_t i = 0; i < lines.size(); ++i)
      if (!drop[i]) kept.push_back(std::move(lines[i]));
    lines = std::move(kept);
    return dropAny;
  }

  // A value is one line: a line break in it would forge further lines.
  std::string_view v(value);
  v = v.substr(0, v.find_first_of("\r\n"));
  if (keyLine) {
    Line& line = lines[*keyLine];
    std::string text = line.text.substr(0, TextStart(line.text, *keyLine == 0));
    text.append(Parse(line.text, *keyLine == 0).name).append("=").append(v);
    line.text = std::move(text);
    return true;
  }
  Line entry{std::string(Trim(key)).append("=").append(v), eol};
  size_t at = sectionEnd.value_or(lines.size());
  if (at > 0 && lines[at - 1].eol.empty()) lines[at - 1].eol = eol;
  if (!sectionEnd) {
    lines.push_back({std::string("[").append(section).append("]"), eol});
    at = lines.size();
  }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
  return true;
}

}  // namespace

DWORD GetPrivateProfileStringA(const char* lpAppName, const char* lpKeyName, const char* lpDefault,
                               char* lpReturnedString, DWORD nSize, const char* lpFileName) {
  if (lpReturnedString == nullptr || nSize == 0) return 0;
  std::optional<std::string> value = FindValue(lpAppName, lpKeyName, lpFileName);
  if (value) return static_cast<DWORD>(qv::CopyBoundedText(*value, lpReturnedString, nSize));
  std::string_view fallback = lpDefault ? lpDefault : "";
  while (!fallback.empty() && IsBlank(fallback.back())) fallback.remove_suffix(1);
  return static_cast<DWORD>(qv::CopyBoundedText(fallback, lpReturnedString, nSize));
}

UINT GetPrivateProfileIntA(const char* lpAppName, const char* lpKeyName, int nDefault, const char* lpFileName) {
  std::optional<std::string> value = FindValue(lpAppName, lpKeyName, lpFileName);
  if (!value || value->empty()) return static_cast<UINT>(nDefault);
  const char* p = value->c_str();
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  // Windows reads the number with the base taken from a 0x, 0o or 0b prefix
  // (decimal without one), so "0x40" is 64.
  UINT base = 10;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'o' || p[1] == 'b')) {
    base = p[1] == 'x' ? 16u : p[1] == 'o' ? 8u : 2u;
    p += 2;
  }
  // Leading digits count, the rest is ignored; the sum wraps at 32 bits.
  UINT n = 0;
  for (;; ++p) {
    UINT digit = base;
    if (*p >= '0' && *p <= '9') digit = static_cast<UINT>(*p - '0');
    else if (*p >= 'a' && *p <= 'f') digit = static_cast<UINT>(*p - 'a' + 10);
    else if (*p >= 'A' && *p <= 'F') digit = static_cast<UINT>(*p - 'A' + 10);
    if (digit >= base) break;
    n = n * base + digit;
  }
  return negative ? 0u - n : n;
}

BOOL WritePrivateProfileStringA(const char* lpAppName, const char* lpKeyName, const char* lpString,
                                const char* lpFileName) {
  if (lpAppName == nullptr || lpFileName == nullptr) return FALSE;
  std::lock_guard<std::mutex> lock(g_writeLock);
  std::string bytes;
  // A file that exists but cannot be read is never replaced by a new one.
  if (ReadWholeFile(lpFileName, bytes) == FileOpen::kRefused) return FALSE;
  std::vector<Line> lines = SplitLines(bytes);
  if (!ApplyWrite(lines, Trim(lpAppName), lpKeyName, lpString)) return TRUE;
  std::string out;
  for (const Line& l : lines) out += l.text + l.eol;
  return qv::ReplaceFileContents(lpFileName, out) ? TRUE : FALSE;
}
