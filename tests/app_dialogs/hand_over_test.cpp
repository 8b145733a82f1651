// What the command line asks for reaches the chip: the IC type's back end,
// the image, the start address, the bytes to skip, the baud rate and the
// password of a production line's start, observed in the simulated chip's
// flash and in the line speed that the port was set to (a pseudo-terminal
// keeps the rate it is given, though it sends at none). Every value differs
// from its default (address 0, skip 0, 9600, the preset password). The
// command line names no port: the job finds the chip itself, first at COM1,
// where it sits here (the machine's own ports after it would each cost the
// search a handshake's time-out).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "app/taravik_app.h"
#include "platform/win32/standard/combo_box.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/window.h"
#include "platform/win32/window_object.h"
#include "platform/serial/line_settings.h"
#include "res/app_ids.h"
#include "sim/uart_generic_chip.h"
#include "sim/uart_k55_chip.h"
#include "sim/uart_pty_runner.h"
#include "tests/app_dialogs/dialogs_fixture.h"
#include "tests/support/pattern.h"

namespace {

using Bytes = std::vector<BYTE>;

constexpr char kConfig[] =
    "[ICTYPELIST]\r\nLIST=GEN,K55\r\n"
    "[GEN]\r\nRAM=4\r\nFLASH=64\r\n"
    "[K55]\r\nUSE_K55_UARTISP=TRUE\r\n";

using qv::Pattern;

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t n) {
  return Bytes(bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(from + n));
}

// The rate the line was last set to, read from the far end's own view of it.
u32 LineSpeedOf(const std::string& slavePath) {
  const int fd = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return 0;
  const u32 speed = qv::serial::LineSpeed(fd);
  ::close(fd);
  return speed;
}

class CommandLineHandOver : public app_test::DialogTest {
 protected:
  void SetUp() override {
    app_test::DialogTest::SetUp();
    WriteConfig(kConfig);
  }

  // Starts the program with these switches and presses Close once the job
  // has ended; returns the progress text shown then.
  std::string Run(const std::vector<std::string>& switches) {
    auto app = std::make_unique<CTaravikApp>();
    std::vector<std::string> args{"taravik"};
    args.insert(args.end(), switches.begin(), switches.end());
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    app->SetCommandLine(static_cast<int>(argv.size()), argv.data());
    std::string progress;
    {
      app_test::Operator op([&](HWND d) {
        if (d == nullptr || GetDlgItem(d, IDC_DOWNLOAD_CLOSE) == nullptr) return false;
        if (!IsWindowVisible(GetDlgItem(d, IDC_DOWNLOAD_CLOSE))) return false;
        progress = app_test::ItemText(d, IDC_DOWNLOAD_PROGRESS);
        app_test::Click(d, IDC_DOWNLOAD_CLOSE);
        return true;
      });
      EXPECT_FALSE(app->InitInstance());
    }
    app->ExitInstance();
    app.reset();
    SetEngine(&theApp);
    return progress;
  }
};

// Start address, skip and baud rate of a generic chip's job.
TEST_F(CommandLineHandOver, AddressSkipAndBaudRateReachTheChip) {
  struct Case {
    const char* address;
    u32 start;
    const char* skip;
    std::size_t skipped;
    const char* baud;
    u32 rate;
  };
  const Case cases[] = {
      {"512", 512, "16", 16, "38400", 38400},
      {"1024", 1024, "3", 3, "256000", 256000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    qv::sim::UartGenericChip chip;
    std::fill(chip.Flash().begin(), chip.Flash().begin() + 0x800, 0x22);
    qv::sim::UartPtyRunner runner(chip);
    ASSERT_TRUE(runner.Start());
    ASSERT_TRUE(runner.LinkAs(folder_.Path() + "/ports/COM1"));
    const Bytes file = Pattern(400, c.start);
    const std::string path = WriteFile("fw.bin", file);
    EXPECT_EQ(Run({"-c", "GEN", "-i", path, "-a", c.address, "-b", c.skip, "-p", c.baud}), "Updating...100%");
    EXPECT_EQ(LineSpeedOf(runner.SlavePath()), c.rate);
    runner.Stop();
    runner.Access([&](qv::sim::UartChip& ch) {
      const std::size_t size = file.size() - c.skipped;
      EXPECT_EQ(Slice(ch.Flash(), c.start, size), Slice(file, c.skipped, size));
      EXPECT_EQ(Slice(ch.Flash(), 0, c.start), Bytes(c.start, 0x22));
    });
  }
}

// A K55 chip locked with its own password: the job unlocks it with the
// password the command line gives, and with no other.
TEST_F(CommandLineHandOver, ThePasswordReachesTheChip) {
  struct Case {
    std::vector<std::string> password;
    bool accepted;
  };
  const Case cases[] = {
      {{"-pwd", "5A17C0DE"}, true},
      {{"-PWD", "5a17c0de"}, true},
      {{"-pwd", "5A17C0DF"}, false},
      {{}, false},  // the preset password then
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.password.empty() ? "none" : c.password[1]);
    qv::sim::UartK55Chip chip(0x5A17C0DE, 0x2000);
    qv::sim::UartPtyRunner runner(chip);
    ASSERT_TRUE(runner.Start());
    ASSERT_TRUE(runner.LinkAs(folder_.Path() + "/ports/COM1"));
    const Bytes image = Pattern(32 * 5, 4);
    Bytes file = image;
    file.resize(image.size() + 0x300, 0xEE);
    std::vector<std::string> switches{"-c", "K55", "-i", WriteFile("k55.bin", file), "-p", "19200"};
    switches.insert(switches.end(), c.password.begin(), c.password.end());
    const std::string progress = Run(switches);
    runner.Stop();
    if (c.accepted) {
      EXPECT_EQ(progress, "Updating...100%");
    }
    runner.Access([&](qv::sim::UartChip& ch) { EXPECT_EQ(Slice(ch.Flash(), 0, image.size()) == image, c.accepted); });
  }
}

// An interactive run from the first window to the written chip: the operator
// picks COM, a port and a baud rate in the IC type dialog with the mouse and
// the keyboard; start-up connects there; the Write page writes the image
// that config.ini names as the last one. Each step uses the port and the
// rate chosen at the start.
class InteractiveHandOver : public app_test::DialogTest {};

void ClickOn(HWND dialog, int id) { app_test::ClickWithMouse(dialog, id); }

// The item named text of a combo, picked in its open list with the keys.
void PickInCombo(HWND dialog, int id, const std::string& text) {
  const HWND combo = GetDlgItem(dialog, id);
  int index = -1;
  const int count = static_cast<int>(SendMessage(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char item[64] = {};
    SendMessage(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
    if (text == item) index = i;
  }
  ASSERT_GE(index, 0) << text;
  app_test::PickInCombo(dialog, id, index);
}

// The main window's page that holds the path edit.
HWND WritePageOf(HWND main) {
  for (const HWND child : qv::win32::Lookup(main)->children) {
    if (GetDlgItem(child, 1221) != nullptr) return child;
  }
  return nullptr;
}

TEST_F(InteractiveHandOver, ThePortAndBaudChosenAtTheStartReachTheWritePagesJob) {
  qv::sim::UartGenericChip chip;
  qv::sim::UartPtyRunner runner(chip);
  ASSERT_TRUE(runner.Start());
  ASSERT_TRUE(runner.LinkAs(folder_.Path() + "/ports/COM5"));
  const Bytes image = Pattern(128 * 3 + 40, 8);
  const std::string path = WriteFile("last.bin", image);
  WriteConfig("[ICTYPELIST]\r\nLIST=GEN\r\n[GEN]\r\nRAM=4\r\nFLASH=64\r\n"
              "[UserRecord]\r\nBINPATH=" + path + "\r\n");
  // Two dialogs, a main window and a whole job: under ThreadSanitizer on a
  // busy machine that takes longer than the operator's usual bound, which
  // only keeps a broken build from hanging.
  constexpr int kWholeRunBoundMs = 120000;
  app_test::MessageBoxes boxes;
  auto app = std::make_unique<CTaravikApp>();
  const char* argv[] = {"taravik"};
  app->SetCommandLine(1, argv);
  u32 speedAtStart = 0;
  bool maximised = false;
  bool chipSyncedAtStart = false;
  std::string status, progress;
  int phase = 0;
  app_test::Operator op([&](HWND d) {
    if (d == nullptr || !IsWindowVisible(d)) return false;
    if (phase == 0) {
      if (GetDlgItem(d, IDC_ICTYPE_LIST) == nullptr) return false;
      ClickOn(d, IDC_ICTYPE_COM);
      PickInCombo(d, IDC_ICTYPE_COM_NUM, "COM5");
      PickInCombo(d, IDC_ICTYPE_BAUDRATE, "57600");
      ClickOn(d, IDOK);
      phase = 1;
      return false;
    }
    const HWND page = GetDlgItem(d, IDC_ICTYPE_LIST) == nullptr ? WritePageOf(d) : nullptr;
    if (page == nullptr) return false;
    if (phase == 1) {
      maximised = qv::win32::Lookup(d)->host->isMaximized();
      speedAtStart = LineSpeedOf(runner.SlavePath());
      runner.Access([&](qv::sim::UartChip& c) { chipSyncedAtStart = c.Synced(); });
      ClickOn(page, 1070);  // Write
      phase = 2;
      return false;
    }
    progress = app_test::ItemText(page, 1039);
    if (progress != "Updating...100%" || !IsWindowEnabled(page)) return false;
    ClickOn(d, 1072);  // Exit
    return true;
  }, kWholeRunBoundMs);
  EXPECT_FALSE(app->InitInstance());
  EXPECT_TRUE(op.Done());
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_TRUE(maximised);  // the main window opens maximised
  EXPECT_EQ(speedAtStart, 57600u);
  EXPECT_TRUE(chipSyncedAtStart);
  EXPECT_EQ(app->m_nComPort, 5u);
  EXPECT_EQ(app->m_nBaudRate, 57600u);
  EXPECT_EQ(LineSpeedOf(runner.SlavePath()), 57600u);
  app->ExitInstance();
  app.reset();
  SetEngine(&theApp);
  runner.Stop();
  runner.Access([&](qv::sim::UartChip& c) { EXPECT_EQ(Slice(c.Flash(), 0, image.size()), image); });
}

}  // namespace
