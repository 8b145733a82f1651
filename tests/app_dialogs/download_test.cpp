#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/dlg_download.h"
#include "app/taravik_app.h"
#include "isp/online_com_update_thread.h"
#include "platform/core/program_folder.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/window.h"
#include "res/app_ids.h"
#include "sim/uart_generic_chip.h"
#include "sim/uart_k55_chip.h"
#include "sim/uart_pty_runner.h"
#include "sim/uart_w24a_chip.h"
#include "tests/app_dialogs/dialogs_fixture.h"

namespace {

using app_test::Click;
using app_test::ItemText;
using app_test::Operator;
using Bytes = std::vector<BYTE>;

constexpr char kConfig[] =
    "[ICTYPELIST]\r\nLIST=GEN,W24,K55,I2C128,T7T0\r\n"
    "[GEN]\r\nRAM=4\r\nFLASH=64\r\n"
    "[W24]\r\nUSE_W24A_UARTISP=TRUE\r\n"
    "[K55]\r\nUSE_K55_UARTISP=TRUE\r\n"
    "[I2C128]\r\nCOM=FALSE\r\n"
    "[T7T0]\r\nCOM=FALSE\r\nUSE_QV7T0_USBISP=TRUE\r\nSLAVE_ADDRESS=70\r\n";

Bytes Pattern(std::size_t size, unsigned seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>((i * 37 + seed * 11 + (i >> 8)) & 0xFF);
  return bytes;
}

Bytes Head(const Bytes& bytes, std::size_t n) { return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(n)); }

enum class Target { kGeneric, kW24A, kK55, kPage128, k7T0 };

struct FamilyCase {
  const char* name;
  Target target;
  const char* icType;
  std::size_t imageBytes;
  std::size_t trailerBytes;  // of the file, never programmed
};

// What a person sees when the job has ended, and Close pressed.
struct Seen {
  bool closeShown = false;
  bool enabled = false;
  std::string name, size, progress;
};

// Waits for the Close button of the dialog (the active window when dialog is
// null), takes down what the dialog shows, saves a snapshot and presses Close.
Operator CloseWhenDone(Seen* seen, const std::string& snapshot, const CWnd* dialog = nullptr) {
  return Operator([seen, snapshot, dialog](HWND active) {
    const HWND d = dialog != nullptr ? dialog->m_hWnd : active;
    if (d == nullptr || GetDlgItem(d, IDC_DOWNLOAD_CLOSE) == nullptr) return false;
    if (!IsWindowVisible(GetDlgItem(d, IDC_DOWNLOAD_CLOSE))) return false;
    seen->closeShown = true;
    seen->enabled = IsWindowEnabled(d) != FALSE;
    seen->name = ItemText(d, IDC_DOWNLOAD_NAME);
    seen->size = ItemText(d, IDC_DOWNLOAD_SIZE);
    seen->progress = ItemText(d, IDC_DOWNLOAD_PROGRESS);
    if (!snapshot.empty()) {
      EXPECT_TRUE(app_test::SaveSnapshot(d, snapshot));
    }
    Click(d, IDC_DOWNLOAD_CLOSE);
    return true;
  });
}

class Download : public app_test::DialogTest, public ::testing::WithParamInterface<FamilyCase> {
 protected:
  void SetUp() override {
    app_test::DialogTest::SetUp();
    WriteConfig(kConfig);
  }
};

std::unique_ptr<qv::sim::UartChip> MakeChip(Target target) {
  switch (target) {
    case Target::kW24A: return std::make_unique<qv::sim::UartW24aChip>();
    case Target::kK55: return std::make_unique<qv::sim::UartK55Chip>();
    default: return std::make_unique<qv::sim::UartGenericChip>();
  }
}

// taravik started with switches, as a production line runs it: the
// command-line mode programs the chip in the download dialog, never shows the
// IC type dialog, and ends when the operator presses Close.
TEST_P(Download, StartUpWithSwitchesProgramsTheChip) {
  const FamilyCase& c = GetParam();
  const Bytes image = Pattern(c.imageBytes, 3);
  Bytes file = image;
  file.resize(image.size() + c.trailerBytes, 0xEE);
  const std::string path = WriteFile("fw.bin", file);

  const bool serial = c.target == Target::kGeneric || c.target == Target::kW24A || c.target == Target::kK55;
  std::unique_ptr<qv::sim::UartChip> chip;
  std::unique_ptr<qv::sim::UartPtyRunner> runner;
  if (serial) {
    chip = MakeChip(c.target);
    runner = std::make_unique<qv::sim::UartPtyRunner>(*chip);
    ASSERT_TRUE(runner->Start());
    ASSERT_TRUE(runner->LinkAs(folder_.Path() + "/ports/COM1"));
  } else {
    const auto family = c.target == Target::kPage128 ? qv::sim::ChipFamily::kPage128 : qv::sim::ChipFamily::k7T0;
    ostrelusb::Configure({true, {family, 64, 0x70}});
  }

  auto app = std::make_unique<CTaravikApp>();
  const std::vector<std::string> args = {"taravik", "-c", c.icType, "-i", path, "-p", "115200", "-pwd", "3B8E61C4"};
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  app->SetCommandLine(static_cast<int>(argv.size()), argv.data());
  bool otherDialog = false;
  Operator watch(
      [&](HWND d) {
        if (d != nullptr && GetDlgItem(d, IDC_DOWNLOAD_CLOSE) == nullptr) otherDialog = true;
        return false;
      },
      120000);
  Seen seen;
  {
    Operator op = CloseWhenDone(&seen, std::string("download_dialog_") + c.name);
    EXPECT_FALSE(app->InitInstance());
  }
  EXPECT_FALSE(otherDialog);
  EXPECT_TRUE(seen.closeShown);
  EXPECT_TRUE(seen.enabled);
  EXPECT_EQ(seen.name, "Name: " + path);
  EXPECT_EQ(seen.size, "Size: " + std::to_string(file.size()));
  EXPECT_EQ(seen.progress, "Updating...100%");
  app->ExitInstance();
  app.reset();
  SetEngine(&theApp);
  if (serial) {
    runner->Stop();
    runner->Access([&](qv::sim::UartChip& ch) { EXPECT_EQ(Head(ch.Flash(), image.size()), image); });
  } else {
    EXPECT_EQ(Head(ostrelusb::ReadFlash(), image.size()), image);
  }
  // The run log holds the type and then the path; the settings record is
  // written back only after a job with an I2C back end.
  const std::string log = folder_.Folder().Get("Log/Runlog.txt");
  const size_t type = log.find(std::string("\r\n") + c.icType + "\r\n");
  const size_t imageEntry = log.find("\r\n" + path + "\r\n");
  EXPECT_NE(type, std::string::npos) << log;
  EXPECT_NE(imageEntry, std::string::npos) << log;
  EXPECT_LT(type, imageEntry);
  EXPECT_EQ(folder_.Folder().Has("Appconfig.dat"), !serial);
}

INSTANTIATE_TEST_SUITE_P(
    Families, Download,
    ::testing::Values(FamilyCase{"Generic", Target::kGeneric, "GEN", 128 * 9 + 20, 0},
                      FamilyCase{"W24A", Target::kW24A, "W24", 1024 * 2 + 100, 0},
                      FamilyCase{"K55", Target::kK55, "K55", 32 * 20 + 8, 768},
                      FamilyCase{"I2C128", Target::kPage128, "I2C128", 128 * 5 + 9, 0},
                      FamilyCase{"I2C7T0", Target::k7T0, "T7T0", 1024 * 2 + 9, 0}),
    [](const ::testing::TestParamInfo<FamilyCase>& info) { return std::string(info.param.name); });

// A generic chip at COM1 and an image of 100 pages for it: a job long enough
// to act on while it runs.
class DownloadDialog : public app_test::DialogTest {
 protected:
  void SetUp() override {
    app_test::DialogTest::SetUp();
    WriteConfig(kConfig);
  }
  void StartChip() {
    ASSERT_TRUE(runner_.Start());
    ASSERT_TRUE(runner_.LinkAs(folder_.Path() + "/ports/COM1"));
    path_ = WriteFile("big.bin", image_);
  }
  // Once the job's first page is in the flash the chip answers nothing more
  // until the test has acted (bounded well inside the job's 2500 ms reply
  // time-out), so that however loaded the machine, the job is still running
  // when the test's input comes.
  void HoldAfterFirstPage() {
    runner_.SetIdleHook([this](qv::sim::UartChip& chip) {
      if (held_ || !std::equal(image_.begin(), image_.begin() + 128, chip.Flash().begin())) return;
      held_ = true;
      std::unique_lock<std::mutex> lock(gateLock_);
      gate_.wait_for(lock, std::chrono::milliseconds(2000), [this] { return released_; });
    });
  }
  void Release() {
    {
      std::lock_guard<std::mutex> lock(gateLock_);
      released_ = true;
    }
    gate_.notify_all();
  }

  qv::sim::UartGenericChip chip_;
  qv::sim::UartPtyRunner runner_{chip_};
  const Bytes image_ = Pattern(128 * 100, 5);
  std::string path_;
  bool held_ = false;  // the runner's thread only
  std::mutex gateLock_;
  std::condition_variable gate_;
  bool released_ = false;
};

TEST_F(DownloadDialog, EnterEscAndCloseAreRefusedWhileTheJobRuns) {
  StartChip();
  HoldAfterFirstPage();
  CDlgDownload dlg("GEN", path_.c_str(), 0, 115200, 0, kDefaultPassword);
  bool refused = false;
  bool stillOpen = false;
  int phase = 0;
  Operator op([&](HWND) {
    const HWND d = dlg.m_hWnd;
    if (d == nullptr) return false;
    if (phase == 0) {
      if (dlg.GetWorker() == nullptr || dlg.GetWorker()->GetJobFlag() == 0) return false;
      if (IsWindowVisible(GetDlgItem(d, IDC_DOWNLOAD_CLOSE))) return false;
      SetFocus(d);
      qv::PressKey(VK_ESCAPE);
      qv::PressKey(VK_RETURN);
      SendMessage(d, WM_COMMAND, IDCANCEL, 0);
      SendMessage(d, WM_COMMAND, IDOK, 0);
      SendMessage(d, WM_SYSCOMMAND, SC_CLOSE, 0);
      refused = IsWindow(d) && IsWindowVisible(d);
      Release();
      phase = 1;
      return false;
    }
    stillOpen = IsWindow(d) != FALSE;
    if (!IsWindowVisible(GetDlgItem(d, IDC_DOWNLOAD_CLOSE))) return false;
    Click(d, IDC_DOWNLOAD_CLOSE);
    return true;
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);  // ended by Close, not by Esc
  EXPECT_TRUE(refused);
  EXPECT_TRUE(stillOpen);
  runner_.Stop();
  EXPECT_EQ(Head(chip_.Flash(), image_.size()), image_);
}

// The teardown of a dialog whose job still runs (ended from outside its own
// refusal): the worker is asked to stop and joined, not cut off; the job
// ends at its next page and nothing is left running.
TEST_F(DownloadDialog, EndingTheDialogUnderARunningJobStopsAndJoinsTheWorker) {
  StartChip();
  HoldAfterFirstPage();
  CDlgDownload dlg("GEN", path_.c_str(), 0, 115200, 0, kDefaultPassword);
  bool closeShownWhenEnded = true;
  Operator op([&](HWND) {
    const HWND d = dlg.m_hWnd;
    if (d == nullptr || dlg.GetWorker() == nullptr || dlg.GetWorker()->GetJobFlag() == 0) return false;
    // The job has begun: its start cleared the bar.
    if (ItemText(d, IDC_DOWNLOAD_PROGRESS).empty()) return false;
    closeShownWhenEnded = IsWindowVisible(GetDlgItem(d, IDC_DOWNLOAD_CLOSE)) != FALSE;
    EndDialog(d, IDCANCEL);
    Release();
    return true;
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_FALSE(closeShownWhenEnded);
  EXPECT_EQ(dlg.GetWorker(), nullptr);  // stopped, joined and deleted
  runner_.Stop();
  // The job stopped part-way: the last page was never written.
  EXPECT_NE(Bytes(chip_.Flash().begin() + 128 * 99, chip_.Flash().begin() + 128 * 100),
            Bytes(image_.end() - 128, image_.end()));
}

// A program folder far longer than 256 bytes (five nested folders of 120
// characters) is held whole through start-up: config.ini is read there (its
// K55 type, else the job would speak to the K55 chip as a generic one and
// fail) and Log/Runlog.txt is created there, not in an outer folder.
TEST_F(DownloadDialog, ALongProgramFolderIsHeldWholeThroughStartUp) {
  std::string folder = folder_.Path();
  for (int i = 0; i < 5; ++i) folder += "/" + std::string(120, static_cast<char>('a' + i));
  ASSERT_TRUE(std::filesystem::create_directories(folder + "/ports"));
  qv::SetProgramFolderForTesting(folder);
  std::ofstream(folder + "/config.ini", std::ios::binary) << kConfig;
  std::filesystem::remove(folder_.Folder().File("config.ini"));
  qv::sim::UartK55Chip chip;
  qv::sim::UartPtyRunner runner(chip);
  ASSERT_TRUE(runner.Start());
  ASSERT_TRUE(runner.LinkAs(folder + "/ports/COM1"));
  const Bytes image = Pattern(32 * 20 + 8, 7);
  Bytes file = image;
  file.resize(image.size() + 768, 0xEE);  // the K55 trailer, never programmed
  const std::string path = WriteFile("fw.bin", file);

  auto app = std::make_unique<CTaravikApp>();
  const char* argv[] = {"taravik", "-c", "K55", "-i", path.c_str(), "-p", "115200"};
  app->SetCommandLine(7, argv);
  Seen seen;
  {
    Operator op = CloseWhenDone(&seen, "");
    EXPECT_FALSE(app->InitInstance());
  }
  EXPECT_STREQ(app->m_szAppDir, folder.c_str());
  app->ExitInstance();
  app.reset();
  SetEngine(&theApp);
  qv::SetProgramFolderForTesting(folder_.Path());
  runner.Stop();
  EXPECT_EQ(seen.progress, "Updating...100%");
  runner.Access([&](qv::sim::UartChip& ch) { EXPECT_EQ(Head(ch.Flash(), image.size()), image); });
  std::ifstream log(folder + "/Log/Runlog.txt", std::ios::binary);
  const std::string entries((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_NE(entries.find("\r\nK55\r\n"), std::string::npos) << entries;
  for (std::string outer = folder_.Path(); outer.size() < folder.size(); outer += "/" + std::string(120, 'a')) {
    EXPECT_FALSE(std::filesystem::exists(outer + "/Log")) << outer;
  }
}

// A folder that the system cannot hold with the names put after it is
// refused with a message before anything is read or created; no dialog shows.
TEST_F(DownloadDialog, AProgramFolderThatCannotBeHeldIsRefusedWithAMessage) {
  const std::string folder = folder_.Path() + "/" + std::string(kProgramFolderMax, 'd');
  qv::SetProgramFolderForTesting(folder);
  app_test::MessageBoxes boxes;
  bool dialog = false;
  Operator op(
      [&](HWND d) {
        if (d != nullptr && IsWindowVisible(d) && boxes.Calls().empty()) {
          dialog = true;
          EndDialog(d, IDCANCEL);
        }
        return false;
      },
      60000);
  auto app = std::make_unique<CTaravikApp>();
  const char* argv[] = {"taravik", "-c", "GEN", "-i", "fw.bin"};
  app->SetCommandLine(5, argv);
  EXPECT_FALSE(app->InitInstance());
  EXPECT_STREQ(app->m_szAppDir, "");
  app->ExitInstance();
  app.reset();
  SetEngine(&theApp);
  qv::SetProgramFolderForTesting(folder_.Path());
  EXPECT_FALSE(dialog);
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text,
            "The program folder cannot be used: its path cannot be read or is longer than 4032 bytes. "
            "Move the program to a folder with a shorter path.");
  EXPECT_EQ(boxes.Calls()[0].type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
  EXPECT_EQ(folder_.Folder().Count(), 2u);  // ports/ and config.ini: no Log anywhere
}

// An image that does not open as a regular file: "Size:" stays as in the
// template and no job is queued. A FIFO is refused at once rather than
// waited on for ever (the test holds it open for reading and writing, so that
// an open that would wait returns instead and shows a size), a device is
// not measured, and a folder is no image.
TEST_F(DownloadDialog, AnImageThatDoesNotOpenQueuesNoJobAndEnterEndsTheDialog) {
  struct Case {
    const char* what;
    const char* name;
    std::function<void(const std::string&)> make;
    const char* snapshot;
  };
  const Case cases[] = {
      {"missing", "missing.bin", [](const std::string&) {}, "download_dialog_missing_image"},
      {"a FIFO", "fifo.bin", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }, nullptr},
      {"a device", "device.bin", [](const std::string& p) { ASSERT_EQ(::symlink("/dev/zero", p.c_str()), 0); },
       nullptr},
      {"a folder", "folder.bin", [](const std::string& p) { ASSERT_EQ(::mkdir(p.c_str(), 0755), 0); }, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = folder_.Folder().File(c.name);
    c.make(path);
    struct stat st {};
    const int fifo = ::stat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode) ? ::open(path.c_str(), O_RDWR) : -1;
    CDlgDownload dlg("GEN", path.c_str(), 0, 115200, 0, kDefaultPassword);
    std::string name, size, progress;
    bool closeHidden = false;
    int ticks = 0;
    Operator op([&](HWND) {
      const HWND d = dlg.m_hWnd;
      if (d == nullptr || !IsWindowVisible(d)) return false;
      // Long enough for a job to have started, had one been queued.
      if (++ticks < 60) return false;
      name = ItemText(d, IDC_DOWNLOAD_NAME);
      size = ItemText(d, IDC_DOWNLOAD_SIZE);
      progress = ItemText(d, IDC_DOWNLOAD_PROGRESS);
      closeHidden = !IsWindowVisible(GetDlgItem(d, IDC_DOWNLOAD_CLOSE));
      if (c.snapshot != nullptr) {
        EXPECT_TRUE(app_test::SaveSnapshot(d, c.snapshot));
      }
      // No control can take the focus (Close is hidden): the operator's click
      // on the dialog gives it the focus.
      SetFocus(d);
      qv::PressKey(VK_RETURN);
      return true;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    if (fifo >= 0) ::close(fifo);
    EXPECT_EQ(name, "Name: " + path);
    EXPECT_EQ(size, "Size:");
    EXPECT_EQ(progress, "");
    EXPECT_TRUE(closeHidden);
  }
}

}  // namespace
