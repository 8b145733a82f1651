#pragma once
// A byte string with the MFC CString operations the tool uses. Text is in the
// system code page, which is UTF-8 here.

#include <cstdarg>
#include <string>

#include "platform/core/wintypes.h"

class CString {
 public:
  CString() = default;
  CString(const char* s) : s_(s ? s : "") {}  // NOLINT: implicit like MFC's
  CString(const std::string& s) : s_(s) {}    // NOLINT
  CString(const char* s, int length) : s_(s ? std::string(s, static_cast<size_t>(length)) : "") {}
  CString(char c, int repeat) : s_(static_cast<size_t>(repeat > 0 ? repeat : 0), c) {}

  int GetLength() const { return static_cast<int>(s_.size()); }
  bool IsEmpty() const { return s_.empty(); }
  void Empty() { s_.clear(); }
  const char* GetString() const { return s_.c_str(); }
  operator const char*() const { return s_.c_str(); }  // NOLINT: like MFC's LPCTSTR
  const std::string& str() const { return s_; }

  char GetAt(int i) const { return s_[static_cast<size_t>(i)]; }
  char operator[](int i) const { return GetAt(i); }
  void SetAt(int i, char c) { s_[static_cast<size_t>(i)] = c; }

  // printf-style; the result replaces the text.
  void Format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(const char* fmt, va_list args);
  void AppendFormat(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

  CString& operator=(const char* s) {
    s_ = s ? s : "";
    return *this;
  }
  CString& operator+=(const CString& o) {
    s_ += o.s_;
    return *this;
  }
  CString& operator+=(const char* o) {
    s_ += o ? o : "";
    return *this;
  }
  CString& operator+=(char c) {
    s_ += c;
    return *this;
  }
  friend CString operator+(const CString& a, const CString& b) { return CString(a.s_ + b.s_); }
  friend CString operator+(const CString& a, const char* b) { return CString(a.s_ + (b ? b : "")); }
  friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.s_); }
  friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
  friend bool operator==(const CString& a, const char* b) { return a.s_ == (b ? b : ""); }

  int Compare(const char* o) const { return s_.compare(o ? o : ""); }
  int CompareNoCase(const char* o) const;
  int Find(char c, int start = 0) const;
  int Find(const char* sub, int start = 0) const;
  int ReverseFind(char c) const;
  CString Left(int n) const;
  CString Right(int n) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString& MakeUpper();
  CString& MakeLower();
  CString& Trim();
  CString& TrimLeft();
  CString& TrimRight();

  // The string table's entry (qv::RegisterStrings); FALSE, and the text
  // unchanged, when there is none.
  BOOL LoadString(UINT id);
  int Replace(const char* from, const char* to);

 private:
  std::string s_;
};
