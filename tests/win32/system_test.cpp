// The small system services: code pages, strings, the registry and version
// probes, the beep and the shell's "open".

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QObject>
#include <QUrl>
#include <string>

#include "platform/win32/application.h"
#include "platform/win32/system/system.h"

namespace {

struct WideCase {
  const char* text;
  std::wstring wide;  // with the terminator's place counted by the result
};

TEST(CodePage, Utf8ToWideAndBack) {
  const WideCase cases[] = {
      {"abc", L"abc"},
      {"caf\xC3\xA9", L"caf\u00e9"},
      {"\xE5\xAE\x8B\xE4\xBD\x93", L"\u5b8b\u4f53"},
      {"\xF0\x9F\x98\x80", L"\U0001F600"},
      {"a\xFF" "b", L"a\uFFFDb"},
      {"\xC3", L"\uFFFD"},
  };
  for (const WideCase& c : cases) {
    WCHAR out[16] = {};
    const int n = MultiByteToWideChar(CP_ACP, 0, c.text, -1, out, 16);
    EXPECT_EQ(n, static_cast<int>(c.wide.size()) + 1) << c.text;
    EXPECT_EQ(std::wstring(out), c.wide) << c.text;
    EXPECT_EQ(MultiByteToWideChar(CP_THREAD_ACP, 0, c.text, -1, nullptr, 0), n) << "the size asked for";
  }
  WCHAR small[2] = {};
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, small, 2), 0) << "too small";
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 2, small, 2), 2) << "a length without the terminator";

  char narrow[16] = {};
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"\u5b8b\U0001F600", -1, narrow, sizeof(narrow), nullptr, nullptr), 8);
  EXPECT_STREQ(narrow, "\xE5\xAE\x8B\xF0\x9F\x98\x80");
}

TEST(Strings, LengthsAndComparisons) {
  EXPECT_EQ(lstrlenA(nullptr), 0);
  EXPECT_EQ(lstrlenA("abc"), 3);
  EXPECT_EQ(lstrlenW(L"ab"), 2);
  EXPECT_EQ(lstrcmpiA("Windows Classic.theme", "WINDOWS CLASSIC.THEME"), 0);
  EXPECT_LT(lstrcmpiA("abc", "ABD"), 0);
  EXPECT_GT(lstrcmpiA("abcd", "ABC"), 0);
  EXPECT_NE(lstrcmpA("abc", "ABC"), 0);
}

TEST(Probes, NoThemeKeyAndTheNtFamilySix) {
  HKEY key = reinterpret_cast<HKEY>(1);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Plus!\\Themes\\Current", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);
  DWORD size = 0;
  EXPECT_NE(RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);

  const DWORD version = GetVersion();
  EXPECT_EQ(version & 0x80000000u, 0u) << "the NT family";
  EXPECT_EQ(LOBYTE(version), 6);
  OSVERSIONINFOA info{};
  EXPECT_FALSE(GetVersionExA(&info)) << "the size must be set";
  info.dwOSVersionInfoSize = sizeof(info);
  ASSERT_TRUE(GetVersionExA(&info));
  EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
  EXPECT_EQ(info.dwMajorVersion, 6u);
}

class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QUrl opened;
 public slots:
  void Open(const QUrl& url) { opened = url; }
};

TEST(Shell, OpenGoesToTheDesktopsHandlerAndOtherVerbsFail) {
  qv::Application();
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler("qvtest", &catcher, "Open");
  const auto result = [](HINSTANCE h) { return reinterpret_cast<std::uintptr_t>(h); };
  EXPECT_GT(result(ShellExecuteA(nullptr, "open", "qvtest://board/manual", nullptr, nullptr, 1)), 32u);
  EXPECT_EQ(catcher.opened, QUrl("qvtest://board/manual"));
  EXPECT_EQ(result(ShellExecuteA(nullptr, "print", "qvtest://x", nullptr, nullptr, 1)),
            static_cast<std::uintptr_t>(SE_ERR_NOASSOC));
  EXPECT_EQ(result(ShellExecuteA(nullptr, nullptr, "", nullptr, nullptr, 1)), static_cast<std::uintptr_t>(SE_ERR_FNF));
  SHELLEXECUTEINFOA info{};
  info.cbSize = 60;
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = "open";
  info.lpFile = "qvtest://again";
  EXPECT_TRUE(ShellExecuteExA(&info));
  EXPECT_EQ(catcher.opened, QUrl("qvtest://again"));
  QDesktopServices::unsetUrlHandler("qvtest");

  const unsigned before = qv::MessageBeepCount();
  EXPECT_TRUE(MessageBeep(0xFFFFFFFF));
  EXPECT_EQ(qv::MessageBeepCount(), before + 1);
}

}  // namespace

#include "system_test.moc"
