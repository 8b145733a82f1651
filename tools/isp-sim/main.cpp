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
#include <utility>
#include <vector>

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
    "  --port N                  the COM number, 1 to 128 (default 1): the ports\n"
    "                            the tool searches\n"
    "  --flash-size BYTES        flash size, decimal or 0x hex (default: the family's)\n"
    "  --load FILE               initial flash contents (the rest stays erased)\n"
    "  --save FILE               saves the flash when a command sequence ends and on exit\n"
    "  --checksum-mode 0|1       generic chip: XOR form (0) or byte-sum form (1)\n"
    "  --password HEX            k55 chip: the password (default 3B8E61C4)\n"
    "  --verbose                 prints every frame received on stderr\n"
    "Faults (CMD and STATUS are hex bytes, e.g. 97 for a page write):\n"
    "  --silent-from CMD|sync    answers nothing from the first CMD frame on (sync:\n"
    "                            not even the handshake)\n"
    "  --status-for CMD=STATUS   answers STATUS to every CMD frame without doing it\n"
    "  --corrupt-page N          page N (from 0) keeps one byte flipped when written\n"
    "  --garbage-from CMD        sends stray bytes before every answer from the\n"
    "                            first CMD frame on\n"
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
  // Faults; -1: none.
  bool silentFromSync = false;
  int silentFrom = -1;
  std::vector<std::pair<BYTE, BYTE>> statusFor;
  std::vector<unsigned long> corruptPages;
  int garbageFrom = -1;
};

// The highest port number the tool's port search looks at.
constexpr unsigned long kHighestSearchedPort = 128;

// Bytes that no boot loader sends: the host must take them for a bad answer.
const std::vector<BYTE> kGarbage = {0x00, 0x5A, 0xC3};

bool ParseNumber(const char* text, int base, unsigned long* value) {
  errno = 0;
  char* end = nullptr;
  *value = std::strtoul(text, &end, base);
  return errno == 0 && end != text && *end == '\0';
}

bool ParseByte(const char* text, BYTE* value) {
  unsigned long v = 0;
  if (!ParseNumber(text, 16, &v) || v > 0xFF) return false;
  *value = static_cast<BYTE>(v);
  return true;
}

bool ParseCommand(const char* text, int* command) {
  BYTE b = 0;
  if (!ParseByte(text, &b)) return false;
  *command = b;
  return true;
}

// "CMD=STATUS", both hex bytes.
bool ParseStatusFor(const std::string& text, std::pair<BYTE, BYTE>* pair) {
  const std::size_t eq = text.find('=');
  return eq != std::string::npos && ParseByte(text.substr(0, eq).c_str(), &pair->first) &&
         ParseByte(text.substr(eq + 1).c_str(), &pair->second);
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
      if (ok && o->port > kHighestSearchedPort) {
        std::fprintf(stderr,
                     "isp-sim: --port %lu: the tool searches COM1 to COM%lu only; take a port "
                     "from 1 to %lu\n",
                     o->port, kHighestSearchedPort, kHighestSearchedPort);
        return 1;
      }
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
    } else if (arg == "--silent-from") {
      o->silentFromSync = std::strcmp(value, "sync") == 0;
      ok = o->silentFromSync || ParseCommand(value, &o->silentFrom);
    } else if (arg == "--status-for") {
      std::pair<BYTE, BYTE> pair;
      ok = ParseStatusFor(value, &pair);
      if (ok) o->statusFor.push_back(pair);
    } else if (arg == "--corrupt-page") {
      unsigned long page = 0;
      ok = ParseNumber(value, 10, &page);
      if (ok) o->corruptPages.push_back(page);
    } else if (arg == "--garbage-from") {
      ok = ParseCommand(value, &o->garbageFrom);
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

// Sets the faults that hold from the start and watches the frames for the
// command where the others begin (the observer sees each frame before the
// chip answers it).
void ArmFaults(const Options& o, qv::sim::UartChip& chip) {
  chip.SetSilent(o.silentFromSync);
  for (const auto& [command, status] : o.statusFor) chip.SetStatusFor(command, status);
  for (unsigned long page : o.corruptPages) chip.CorruptPage(static_cast<u32>(page * chip.PageSize()));
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
  ArmFaults(o, *chip);
  bool garbling = false;
  qv::sim::UartChip& c = *chip;
  chip->SetFrameObserver([&o, &c, &garbling](const std::vector<BYTE>& frame) {
    if (o.verbose) PrintFrame(frame);
    const int command = frame[2];
    if (command == o.silentFrom) c.SetSilent(true);
    garbling = garbling || command == o.garbageFrom;
    if (garbling) c.SendGarbageBeforeNextReply(kGarbage);
  });

  // The signals are taken by sigwait on this thread, so the runner's thread
  // must start with them blocked.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  // Read before the runner's thread owns the chip.
  u32 saved = chip->FlashGeneration();
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
