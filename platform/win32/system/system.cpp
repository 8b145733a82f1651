#include "platform/win32/system/system.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <atomic>
#include <cstring>
#include <string>

#include "platform/win32/application.h"

LONG RegOpenKeyExA(HKEY, LPCSTR, DWORD, REGSAM, PHKEY result) {
  if (result) *result = nullptr;
  return ERROR_FILE_NOT_FOUND;
}

LONG RegQueryValueExA(HKEY, LPCSTR, DWORD*, DWORD*, BYTE*, DWORD*) { return ERROR_INVALID_HANDLE; }

LONG RegCloseKey(HKEY) { return ERROR_INVALID_HANDLE; }

namespace {
constexpr DWORD kMajor = 6;
constexpr DWORD kMinor = 1;
constexpr DWORD kBuild = 7601;
}  // namespace

DWORD GetVersion() { return kMajor | (kMinor << 8) | (kBuild << 16); }

BOOL GetVersionExA(OSVERSIONINFOA* info) {
  if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return FALSE;
  info->dwMajorVersion = kMajor;
  info->dwMinorVersion = kMinor;
  info->dwBuildNumber = kBuild;
  info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  std::memset(info->szCSDVersion, 0, sizeof(info->szCSDVersion));
  std::strcpy(info->szCSDVersion, "Service Pack 1");
  return TRUE;
}

namespace {

// One code point from UTF-8 at s[i] (i < n), moving i on; U+FFFD for a bad sequence.
char32_t DecodeUtf8(const unsigned char* s, int n, int& i) {
  const unsigned char b = s[i++];
  if (b < 0x80) return b;
  int extra = 0;
  char32_t cp = 0;
  if ((b & 0xE0) == 0xC0) extra = 1, cp = b & 0x1F;
  else if ((b & 0xF0) == 0xE0) extra = 2, cp = b & 0x0F;
  else if ((b & 0xF8) == 0xF0) extra = 3, cp = b & 0x07;
  else return 0xFFFD;
  for (int k = 0; k < extra; ++k) {
    if (i >= n || (s[i] & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (s[i++] & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
  return cp;
}

void EncodeUtf8(char32_t cp, std::string& out) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

int MultiByteToWideChar(UINT, DWORD, LPCSTR text, int length, WCHAR* out, int outSize) {
  if (!text || outSize < 0 || (outSize > 0 && !out)) return 0;
  const bool withTerminator = length < 0;
  const int n = withTerminator ? static_cast<int>(std::strlen(text)) : length;
  std::wstring wide;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  for (int i = 0; i < n;) wide += static_cast<WCHAR>(DecodeUtf8(s, n, i));
  if (withTerminator) wide += L'\0';
  const int needed = static_cast<int>(wide.size());
  if (outSize == 0) return needed;
  if (needed > outSize) return 0;
  std::copy(wide.begin(), wide.end(), out);
  return needed;
}

int WideCharToMultiByte(UINT, DWORD, LPCWSTR text, int length, LPSTR out, int outSize, LPCSTR, BOOL* usedDefault) {
  if (usedDefault) *usedDefault = FALSE;
  if (!text || outSize < 0 || (outSize > 0 && !out)) return 0;
  const bool withTerminator = length < 0;
  const int n = withTerminator ? lstrlenW(text) : length;
  std::string narrow;
  for (int i = 0; i < n; ++i) EncodeUtf8(static_cast<char32_t>(text[i]), narrow);
  if (withTerminator) narrow += '\0';
  const int needed = static_cast<int>(narrow.size());
  if (outSize == 0) return needed;
  if (needed > outSize) return 0;
  std::memcpy(out, narrow.data(), narrow.size());
  return needed;
}

int lstrlenA(LPCSTR s) { return s ? static_cast<int>(std::strlen(s)) : 0; }

int lstrlenW(LPCWSTR s) {
  if (!s) return 0;
  int n = 0;
  while (s[n]) ++n;
  return n;
}

int lstrcmpiA(LPCSTR a, LPCSTR b) {
  a = a ? a : "";
  b = b ? b : "";
  for (;; ++a, ++b) {
    auto lower = [](char c) {
      const auto u = static_cast<unsigned char>(c);
      return u >= 'A' && u <= 'Z' ? u + 32 : u;
    };
    const int d = static_cast<int>(lower(*a)) - static_cast<int>(lower(*b));
    if (d != 0) return d < 0 ? -1 : 1;
    if (!*a) return 0;
  }
}

int lstrcmpA(LPCSTR a, LPCSTR b) {
  const int d = std::strcmp(a ? a : "", b ? b : "");
  return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

namespace {
std::atomic<unsigned> g_beeps{0};
}  // namespace

BOOL MessageBeep(UINT) {
  g_beeps.fetch_add(1, std::memory_order_relaxed);
  qv::Application();
  QApplication::beep();
  return TRUE;
}

HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, int) {
  auto code = [](int c) { return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(c)); };
  if (verb && lstrcmpiA(verb, "open") != 0) return code(SE_ERR_NOASSOC);
  if (!file || !*file) return code(SE_ERR_FNF);
  qv::Application();
  const QUrl url = QUrl::fromUserInput(QString::fromUtf8(file));
  // Above 32 is success, as the shell's own results are.
  return url.isValid() && QDesktopServices::openUrl(url) ? code(42) : code(SE_ERR_FNF);
}

BOOL ShellExecuteExA(SHELLEXECUTEINFOA* info) {
  if (!info || info->cbSize == 0) return FALSE;
  info->hInstApp = ShellExecuteA(info->hwnd, info->lpVerb, info->lpFile, info->lpParameters, info->lpDirectory, info->nShow);
  return reinterpret_cast<std::uintptr_t>(info->hInstApp) > 32 ? TRUE : FALSE;
}

namespace qv {

unsigned MessageBeepCount() { return g_beeps.load(std::memory_order_relaxed); }

}  // namespace qv
