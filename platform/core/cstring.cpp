#include "platform/core/cstring.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <strings.h>
#include <vector>

#include "platform/core/string_table.h"

void CString::FormatV(const char* fmt, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  if (n < 0) {
    s_.clear();
    return;
  }
  std::vector<char> buf(static_cast<size_t>(n) + 1);
  std::vsnprintf(buf.data(), buf.size(), fmt, args);
  s_.assign(buf.data(), static_cast<size_t>(n));
}

void CString::Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  FormatV(fmt, args);
  va_end(args);
}

void CString::AppendFormat(const char* fmt, ...) {
  CString tail;
  va_list args;
  va_start(args, fmt);
  tail.FormatV(fmt, args);
  va_end(args);
  s_ += tail.s_;
}

int CString::CompareNoCase(const char* o) const { return ::strcasecmp(s_.c_str(), o ? o : ""); }

int CString::Find(char c, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  size_t p = s_.find(c, static_cast<size_t>(start));
  return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::Find(const char* sub, int start) const {
  if (start < 0 || start > GetLength() || sub == nullptr) return -1;
  size_t p = s_.find(sub, static_cast<size_t>(start));
  return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::ReverseFind(char c) const {
  size_t p = s_.rfind(c);
  return p == std::string::npos ? -1 : static_cast<int>(p);
}

CString CString::Left(int n) const {
  n = std::clamp(n, 0, GetLength());
  return CString(s_.substr(0, static_cast<size_t>(n)));
}

CString CString::Right(int n) const {
  n = std::clamp(n, 0, GetLength());
  return CString(s_.substr(s_.size() - static_cast<size_t>(n)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  first = std::clamp(first, 0, GetLength());
  count = std::clamp(count, 0, GetLength() - first);
  return CString(s_.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString& CString::MakeUpper() {
  for (char& c : s_) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return *this;
}

CString& CString::MakeLower() {
  for (char& c : s_) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return *this;
}

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
}  // namespace

CString& CString::TrimLeft() {
  size_t i = 0;
  while (i < s_.size() && IsBlank(s_[i])) ++i;
  s_.erase(0, i);
  return *this;
}

CString& CString::TrimRight() {
  size_t n = s_.size();
  while (n > 0 && IsBlank(s_[n - 1])) --n;
  s_.resize(n);
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

int CString::Replace(const char* from, const char* to) {
  if (from == nullptr || *from == '\0') return 0;
  std::string f(from), t(to ? to : "");
  int count = 0;
  for (size_t p = s_.find(f); p != std::string::npos; p = s_.find(f, p + t.size())) {
    s_.replace(p, f.size(), t);
    ++count;
  }
  return count;
}

BOOL CString::LoadString(UINT id) {
  std::string text;
  if (!qv::FindString(id, text)) return FALSE;
  s_ = std::move(text);
  return TRUE;
}
