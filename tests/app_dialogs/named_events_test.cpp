// The named events of a run as other code finds them by name: start-up's
// manual-reset "Device_ResetEvent", created signalled.

#include <gtest/gtest.h>

#include <memory>

#include "app/taravik_app.h"
#include "platform/core/sync.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/window.h"
#include "tests/app_dialogs/dialogs_fixture.h"

namespace {

class NamedEvents : public app_test::DialogTest {};

TEST_F(NamedEvents, StartUpCreatesTheDeviceResetEventSignalledAndManualReset) {
  auto app = std::make_unique<CTaravikApp>();
  const char* argv[] = {"taravik", "x"};
  app->SetCommandLine(2, argv);
  {
    // Any parameter runs the download dialog; with nothing to do it ends with Enter.
    app_test::Operator op([](HWND d) {
      if (d == nullptr || !IsWindowVisible(d)) return false;
      SetFocus(d);
      qv::PressKey(VK_RETURN);
      return true;
    });
    EXPECT_FALSE(app->InitInstance());
  }
  const HANDLE same = CreateEventA(nullptr, FALSE, FALSE, "Device_ResetEvent");
  ASSERT_NE(same, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(same, g_hDeviceResetEvent);
  // Signalled, and a wait does not reset it.
  EXPECT_EQ(WaitForSingleObject(same, 0), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(WaitForSingleObject(same, 0), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(same);
  app->ExitInstance();
  app.reset();
  SetEngine(&theApp);
}

}  // namespace
