#pragma once
// Small system services: the registry and version probes, code-page
// conversion and string helpers, the beep and the shell's "open".
//
// The registry is empty: every key is absent, as the theme key of a machine
// with no theme set. The version is the NT family 6.1. The system code page,
// CP_ACP and CP_THREAD_ACP included, is UTF-8; wide characters are WCHAR.

#include "platform/win32/resource/resource.h"
#include "platform/win32/winuser.h"

struct QvRegistryKey;
using HKEY = QvRegistryKey*;
using PHKEY = HKEY*;
using REGSAM = DWORD;
#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u)))
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr DWORD REG_SZ = 1;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegQueryValueExA(HKEY key, LPCSTR name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
LONG RegCloseKey(HKEY key);

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148);
using OSVERSIONINFO = OSVERSIONINFOA;
inline constexpr DWORD VER_PLATFORM_WIN32s = 0;
inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
// Major version in the low byte, minor in the next, the build in the high word;
// the high bit clear (the NT family).
DWORD GetVersion();
// FALSE unless dwOSVersionInfoSize is 148.
BOOL GetVersionExA(OSVERSIONINFOA* info);

inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_OEMCP = 1;
inline constexpr UINT CP_THREAD_ACP = 3;
inline constexpr UINT CP_UTF8 = 65001;
// Lengths are in characters with -1 meaning up to and with the terminator;
// a zero output size returns the size needed. 0 on failure (output too small).
// Invalid UTF-8 becomes U+FFFD.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, WCHAR* out, int outSize);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR text, int length, LPSTR out, int outSize,
                        LPCSTR defaultChar, BOOL* usedDefault);

int lstrlenA(LPCSTR s);  // 0 for null
int lstrlenW(LPCWSTR s);
// Case-insensitive in ASCII; other bytes compare as they are.
int lstrcmpiA(LPCSTR a, LPCSTR b);
int lstrcmpA(LPCSTR a, LPCSTR b);
inline int lstrlen(LPCSTR s) { return lstrlenA(s); }
inline int lstrcmpi(LPCSTR a, LPCSTR b) { return lstrcmpiA(a, b); }

// The system sound of that kind (MB_OK, 0xFFFFFFFF ...): the desktop's beep.
BOOL MessageBeep(UINT type);

// "open" (or a null verb) of a file or URL through the desktop's handler.
// Greater than 32 on success, SE_ERR_NOASSOC for other verbs, SE_ERR_FNF when
// nothing opened it.
inline constexpr int SE_ERR_FNF = 2;
inline constexpr int SE_ERR_NOASSOC = 31;
HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int show);
inline HINSTANCE ShellExecute(HWND h, LPCSTR v, LPCSTR f, LPCSTR p, LPCSTR d, int s) {
  return ShellExecuteA(h, v, f, p, d, s);
}
inline constexpr ULONG SEE_MASK_FLAG_NO_UI = 0x00000400;
struct SHELLEXECUTEINFOA {
  DWORD cbSize;
  ULONG fMask;
  HWND hwnd;
  LPCSTR lpVerb;
  LPCSTR lpFile;
  LPCSTR lpParameters;
  LPCSTR lpDirectory;
  int nShow;
  HINSTANCE hInstApp;  // out: as ShellExecuteA's result
};
BOOL ShellExecuteExA(SHELLEXECUTEINFOA* info);

namespace qv {

// How many times MessageBeep sounded in this process (tests listen for it).
unsigned MessageBeepCount();

}  // namespace qv
