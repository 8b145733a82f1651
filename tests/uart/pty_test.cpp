// Each back end programs a small image through a real terminal into its
// simulated chip, the way the jobs drive it; K55 also reads it back.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "isp/com_base_k55.h"
#include "isp/com_base_w24a.h"
#include "sim/uart_generic_chip.h"
#include "sim/uart_k55_chip.h"
#include "sim/uart_pty_runner.h"
#include "sim/uart_w24a_chip.h"
#include "tests/support/pty_fixture.h"
#include "tests/uart/uart_rig.h"

namespace uart_test {
namespace {

constexpr u32 kCom = 5;
constexpr u32 kPassword = 0x3B8E61C4;

Bytes Image(std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<BYTE>((i * 131) ^ (i >> 8));
  return b;
}

// The serial job's road: handshake, bracket, erase, password, pages with
// their checks, the whole-image check, the after-write step.
bool Program(CCOMBase& b, u32 start, const Bytes& image) {
  const u32 pageSize = static_cast<u32>(b.GetPageSize());
  if (!b.AutoBautRateDetect() || !b.ProceseBeforeEraseAndWrite()) return false;
  if (b.SendEraseCmd(start, static_cast<u32>(image.size())) != kStatusAck) return false;
  if (b.IsPasswordRequired() && b.SendKeyinPasswordCmd(kPassword) != kStatusAck) return false;
  for (u32 offset = 0; offset < image.size(); offset += pageSize) {
    Bytes page(pageSize, 0xFF);
    std::copy(image.begin() + offset, image.begin() + std::min<std::size_t>(image.size(), offset + pageSize),
              page.begin());
    b.ConvertPageByteOrder(page.data(), static_cast<int>(pageSize));
    if (b.SendWritePageCmd(start + offset, page.data()) != kStatusAck) return false;
    // The chip takes one of two forms of the page sum: XOR first, byte sum second.
    BYTE x = 0xFF;
    BYTE sum = 0;
    for (BYTE v : page) {
      x ^= v;
      sum = static_cast<BYTE>(sum + v);
    }
    const u32 address = (start + offset) & 0xFFFF;
    if (b.SendPageChecksumCmd(address, 1, x) != kStatusChecksumOk &&
        b.SendPageChecksumCmd(address, 1, sum) != kStatusChecksumOk) {
      return false;
    }
  }
  return b.SendAllDataChecksumCmd(start, image.data(), static_cast<u32>(image.size())) != kStatusChecksumFail &&
         b.ProcessAfterEraseAndWrite();
}

struct PtyCase {
  const char* name;
  Family family;
  std::function<std::unique_ptr<qv::sim::UartChip>()> chip;
  u32 start;
  std::size_t size;
};

class PtyProgramTest : public ::testing::TestWithParam<PtyCase> {};

TEST_P(PtyProgramTest, ImageLandsInTheChip) {
  const PtyCase& c = GetParam();
  qv::TempProgramFolder folder;
  ASSERT_TRUE(folder.Ok());
  auto chip = c.chip();
  qv::sim::UartPtyRunner runner(*chip);
  ASSERT_TRUE(runner.Start());
  ASSERT_TRUE(runner.LinkAs(folder.PortsPath() + "/COM" + std::to_string(kCom)));

  auto backend = MakeBackend(c.family, qv::CreateSystemSerialPort());
  ASSERT_EQ(backend->Init(kCom, 115200, kCom, TRUE), 1);
  const Bytes image = Image(c.size);
  ASSERT_TRUE(Program(*backend, c.start, image));

  if (backend->IsReadSupported()) {
    const u32 pageSize = static_cast<u32>(backend->GetPageSize());
    Bytes back;
    for (u32 offset = 0; offset < image.size(); offset += pageSize) {
      Bytes page(pageSize);
      ASSERT_EQ(backend->SendReadPageCmd(c.start + offset, page.data()), kStatusAck);
      back.insert(back.end(), page.begin(), page.end());
    }
    back.resize(image.size());
    EXPECT_EQ(back, image);
  }
  runner.Stop();
  const Bytes& flash = chip->Flash();
  EXPECT_EQ(Bytes(flash.begin() + c.start, flash.begin() + c.start + image.size()), image);
  // The rest of the last page is erased flash.
  const std::size_t page = chip->PageSize();
  const std::size_t end = c.start + image.size();
  const std::size_t pageEnd = (end + page - 1) / page * page;
  EXPECT_EQ(Bytes(flash.begin() + end, flash.begin() + pageEnd), Bytes(pageEnd - end, 0xFF));
}

const PtyCase kPtyCases[] = {
    {"Generic", Family::Generic, [] { return std::make_unique<qv::sim::UartGenericChip>(); }, 0x1000, 1000},
    {"GenericSumFormChip", Family::Generic, [] { return std::make_unique<qv::sim::UartGenericChip>(1); }, 0, 300},
    {"W24a", Family::W24A, [] { return std::make_unique<qv::sim::UartW24aChip>(); }, 0x800, 2500},
    {"K55", Family::K55, [] { return std::make_unique<qv::sim::UartK55Chip>(); }, 0, 200},
};

INSTANTIATE_TEST_SUITE_P(Uart, PtyProgramTest, ::testing::ValuesIn(kPtyCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Whether an ordinary user (nobody, when the suite runs as root) opens path
// now; the terminal's exclusive flag refuses anyone but root.
bool OpensAsAnOrdinaryUser(const std::string& path) {
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ::_exit(fd >= 0 ? 0 : 1);
  }
  int status = 0;
  return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Bounded: the runner looks at a quiet line ten times a second.
bool BecomesOpenable(const std::string& path) {
  for (int i = 0; i < 200; ++i) {
    if (OpensAsAnOrdinaryUser(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(PtyRunnerTest, AHostKilledMidFrameLeavesAUsableLineForTheNext) {
  qv::TempProgramFolder folder;
  ASSERT_TRUE(folder.Ok());
  qv::sim::UartGenericChip chip;
  qv::sim::UartPtyRunner runner(chip);
  ASSERT_TRUE(runner.Start());
  ASSERT_TRUE(runner.LinkAs(folder.PortsPath() + "/COM" + std::to_string(kCom)));
  // The slave of a pty belongs to its maker; let the ordinary user in.
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(runner.SlavePath().c_str(), 65534, 65534), 0);
  }
  ASSERT_TRUE(OpensAsAnOrdinaryUser(runner.SlavePath()));

  // A host holds the port exclusively, sends half a frame and is killed.
  const pid_t host = ::fork();
  ASSERT_GE(host, 0);
  if (host == 0) {
    auto port = qv::CreateSystemSerialPort();
    const BYTE half[] = {0x55, 0xAA, 0x97};
    if (port->Open(kCom) && port->Configure(115200, false)) port->Write(half, sizeof half, 100);
    ::raise(SIGKILL);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(host, &status, 0), host);
  ASSERT_TRUE(WIFSIGNALED(status));

  EXPECT_TRUE(BecomesOpenable(runner.SlavePath()));
  auto backend = MakeBackend(Family::Generic, qv::CreateSystemSerialPort());
  ASSERT_EQ(backend->Init(kCom, 115200, kCom, TRUE), 1);
  EXPECT_TRUE(Program(*backend, 0, Image(200)));
  // While this host holds the port, it stays its own.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(OpensAsAnOrdinaryUser(runner.SlavePath()));
  runner.Stop();
  EXPECT_EQ(Bytes(chip.Flash().begin(), chip.Flash().begin() + 200), Image(200));
}

}  // namespace
}  // namespace uart_test
