// isp-sim: one simulated UART chip on a pseudo-terminal, linked as
// <program folder>/ports/COMn, so that the tool programs it like a real one.

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "sim/uart_flash_file.h"
#include "sim/uart_generic_chip.h"
#include "sim/uart_k55_chip.h"
#include "sim/uart_pty_runner.h"
#include "sim/uart_w24a_chip.h"

namespace {

const char kUsage[] =
    "usage: isp-sim [options]\n"
    "Runs a simulated UART boot loader on a pseudo-terminal and links it as\n"
    "<folder>/ports/COM<n>. Ends on SIGINT or SIGTERM, saving the flash.\n"
    "\n"
    "  --chip generic|w24a|k55   the chip family (default generic)\n"
    "  --folder DIR              the program folder (default: the current folder)\n"
    "  --port N                  the COM number, 1 to 255 (default 1)\n"
    "  --flash-size BYTES        flash size, decimal or 0x hex (default: the family's)\n"
    "  --load FILE               initial flash contents (the rest stays erased)\n"
    "  --save FILE               saves the flash when a command sequence ends and on exit\n"
    "  --checksum-mode 0|1       generic chip: XOR form (0) or byte-sum form (1)\n"
    "  --password HEX            k55 chip: the password (default 3B8E61C4)\n"
    "  --verbose                 prints every frame received on stderr\n"
    "  --help                    this text\n";

struct Options {
  std::string chip = "generic";
  std::string folder = ".";
  unsigned long port = 1;
  unsigned long flashSize = 0;
  std::string load;
  std::string save;
  unsigned long checksumMode = 0;
  unsigned long password = qv::sim::UartK55Chip::kDefaultPassword;
  bool verbose = false;
};

bool ParseNumber(const char* text, int base, unsigned long* value) {
  errno = 0;
  char* end = nullptr;
  *value = std::strtoul(text, &end, base);
  return errno == 0 && end != text && *end == '\0';
}

// 0: run; 1: bad arguments; 2: help shown.
int ParseOptions(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 2;
    }
    if (arg == "--verbose") {
      o->verbose = true;
      continue;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "isp-sim: %s needs a value (or is unknown)\n", arg.c_str());
      return 1;
    }
    const char* value = argv[++i];
    bool ok = true;
    if (arg == "--chip") {
      o->chip = value;
      ok = o->chip == "generic" || o->chip == "w24a" || o->chip == "k55";
    } else if (arg == "--folder") {
      o->folder = value;
    } else if (arg == "--port") {
      ok = ParseNumber(value, 10, &o->port) && o->port >= 1 && o->port <= 255;
    } else if (arg == "--flash-size") {
      ok = ParseNumber(value, 0, &o->flashSize) && o->flashSize > 0 && o->flashSize <= 0x1000000;
    } else if (arg == "--load") {
      o->load = value;
    } else if (arg == "--save") {
      o->save = value;
    } else if (arg == "--checksum-mode") {
      ok = ParseNumber(value, 10, &o->checksumMode) && o->checksumMode <= 1;
    } else if (arg == "--password") {
      ok = ParseNumber(value, 16, &o->password) && o->password <= 0xFFFFFFFFul;
    } else {
      ok = false;
    }
    if (!ok) {
      std::fprintf(stderr, "isp-sim: bad option %s %s\n%s", arg.c_str(), value, kUsage);
      return 1;
    }
  }
  return 0;
}

std::unique_ptr<qv::sim::UartChip> MakeChip(const Options& o) {
  if (o.chip == "w24a") {
    return std::make_unique<qv::sim::UartW24aChip>(o.flashSize ? o.flashSize
                                                               : qv::sim::UartW24aChip::kDefaultFlashBytes);
  }
  if (o.chip == "k55") {
    return std::make_unique<qv::sim::UartK55Chip>(
        static_cast<u32>(o.password), o.flashSize ? o.flashSize : qv::sim::UartK55Chip::kDefaultFlashBytes);
  }
  return std::make_unique<qv::sim::UartGenericChip>(
      static_cast<u32>(o.checksumMode), o.flashSize ? o.flashSize : qv::sim::UartGenericChip::kDefaultFlashBytes);
}

void PrintFrame(const std::vector<BYTE>& frame) {
  std::string line = "isp-sim: rx";
  char hex[4];
  for (BYTE b : frame) {
    std::snprintf(hex, sizeof hex, " %02X", b);
    line += hex;
  }
  std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  const int parsed = ParseOptions(argc, argv, &o);
  if (parsed != 0) {
    return parsed == 2 ? 0 : 2;
  }
  auto chip = MakeChip(o);
  if (!o.load.empty() && !qv::sim::LoadFlashFile(o.load, chip->Flash())) {
    std::fprintf(stderr, "isp-sim: cannot read %s\n", o.load.c_str());
    return 1;
  }
  if (o.verbose) {
    chip->SetFrameObserver(PrintFrame);
  }

  // The signals are taken by sigwait on this thread, so the runner's thread
  // must start with them blocked.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  qv::sim::UartPtyRunner runner(*chip);
  if (!runner.Start()) {
    std::fprintf(stderr, "isp-sim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
    return 1;
  }
  const std::string ports = o.folder + "/ports";
  mkdir(ports.c_str(), 0755);
  const std::string link = ports + "/COM" + std::to_string(o.port);
  if (!runner.LinkAs(link)) {
    std::fprintf(stderr, "isp-sim: cannot link %s: %s\n", link.c_str(), std::strerror(errno));
    return 1;
  }

  bool saveFailed = false;
  u32 saved = chip->FlashGeneration();
  if (!o.save.empty()) {
    // Saved on the runner's thread whenever the line falls quiet after the
    // flash changed: at the end of every job, at the latest.
    runner.SetIdleHook([&o, &saved, &saveFailed](qv::sim::UartChip& c) {
      if (c.FlashGeneration() != saved) {
        saved = c.FlashGeneration();
        saveFailed = !qv::sim::SaveFlashFile(o.save, c.Flash());
      }
    });
  }
  std::printf("isp-sim: %s chip on %s as %s\n", o.chip.c_str(), runner.SlavePath().c_str(), link.c_str());
  std::fflush(stdout);

  int received = 0;
  sigwait(&stopSignals, &received);
  runner.Stop();

  // Leave the folder as it was, unless someone else has relinked the port.
  char target[256] = {};
  const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
  if (n > 0 && runner.SlavePath() == std::string(target, static_cast<std::size_t>(n))) {
    unlink(link.c_str());
  }
  if (!o.save.empty()) {
    saveFailed = !qv::sim::SaveFlashFile(o.save, chip->Flash());
    if (saveFailed) {
      std::fprintf(stderr, "isp-sim: cannot save %s\n", o.save.c_str());
    }
  }
  return saveFailed ? 1 : 0;
}
