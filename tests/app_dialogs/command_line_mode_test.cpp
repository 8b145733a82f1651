// Start-up with parameters: any one parameter, even one no switch knows,
// runs the command-line mode; a job that fails says so in the download
// dialog and offers Close.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/taravik_app.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "platform/win32/dialog/dialog.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/window.h"
#include "tests/app_dialogs/dialogs_fixture.h"

namespace {

using app_test::ItemText;
using app_test::Operator;

// The download dialog's controls: name, size, progress bar and Close.
constexpr int kName = 1520;
constexpr int kSize = 1521;
constexpr int kProgress = 1039;
constexpr int kClose = 1070;
// The IC type dialog's type list.
constexpr int kTypeList = 1501;

class CommandLineMode : public app_test::DialogTest {
 protected:
  void TearDown() override {
    if (app_ != nullptr) app_->ExitInstance();
    app_.reset();
    SetEngine(&theApp);
    app_test::DialogTest::TearDown();
  }

  // Starts the program with these parameters; step works every dialog shown
  // meanwhile. Remembers whether the IC type dialog ever appeared.
  BOOL Start(const std::vector<std::string>& params, const std::function<bool(HWND)>& step) {
    app_ = std::make_unique<CTaravikApp>();
    std::vector<const char*> argv{"taravik"};
    for (const std::string& p : params) argv.push_back(p.c_str());
    app_->SetCommandLine(static_cast<int>(argv.size()), argv.data());
    Operator op([&](HWND d) {
      if (d == nullptr) return false;
      if (GetDlgItem(d, kTypeList) != nullptr) {
        icTypeDialogShown_ = true;
        EndDialog(d, IDCANCEL);
        return true;
      }
      if (GetDlgItem(d, kName) == nullptr) return false;
      return step(d);
    });
    return app_->InitInstance();
  }

  std::unique_ptr<CTaravikApp> app_;
  bool icTypeDialogShown_ = false;
};

TEST_F(CommandLineMode, OneUnknownParameterRunsTheDownloadDialog) {
  std::string name, size, progress;
  bool closeHidden = false;
  int ticks = 0;
  EXPECT_FALSE(Start({"x"}, [&](HWND d) {
    // Long enough for a job to have begun, had one been queued.
    if (++ticks < 30) return false;
    name = ItemText(d, kName);
    size = ItemText(d, kSize);
    progress = ItemText(d, kProgress);
    closeHidden = !IsWindowVisible(GetDlgItem(d, kClose));
    // Without a job the dialog ends with Enter.
    SetFocus(d);
    qv::PressKey(VK_RETURN);
    return true;
  }));
  EXPECT_FALSE(icTypeDialogShown_);
  // No switch: no type, no path, so no job.
  EXPECT_EQ(name, "Name: ");
  EXPECT_EQ(size, "Size:");
  EXPECT_EQ(progress, "");
  EXPECT_TRUE(closeHidden);
}

TEST_F(CommandLineMode, AFailedJobShowsCommunicationErrorAndClose) {
  WriteConfig("[ICTYPELIST]\r\nLIST=I2C\r\n[I2C]\r\nCOM=FALSE\r\n");
  ostrelusb::Configure({false, {}});  // no bridge: the job cannot reach the chip
  const std::string path = WriteFile("fw.bin", std::vector<BYTE>(300, 0x5A));
  std::string progress;
  bool enabled = false;
  EXPECT_FALSE(Start({"-c", "I2C", "-i", path}, [&](HWND d) {
    if (!IsWindowVisible(GetDlgItem(d, kClose))) return false;
    progress = ItemText(d, kProgress);
    enabled = IsWindowEnabled(d) != FALSE;
    EXPECT_TRUE(app_test::SaveSnapshot(d, "download_dialog_failed"));
    app_test::Click(d, kClose);
    return true;
  }));
  EXPECT_FALSE(icTypeDialogShown_);
  EXPECT_EQ(progress, "Communication Error!");
  EXPECT_TRUE(enabled);
}

}  // namespace
