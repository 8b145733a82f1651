// Which ports the probe counts, against a fake sysfs and /dev: a ttyS node
// only with hardware behind it, every other kind of port when it opens.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/serial/serial_port.h"
#include "tests/support/pty_fixture.h"

namespace {

namespace fs = std::filesystem;

class PortProbe : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.Ok());
    fs::create_directories(Sys() + "/bus/platform/drivers/serial8250");
    fs::create_directories(Sys() + "/bus/amba/drivers/uart-pl011");
    fs::create_directories(Dev());
    qv::SetSystemRootsForTesting(Sys(), Dev());
  }
  void TearDown() override {
    qv::SetUartCheckForTesting(nullptr);
    qv::SetSystemRootsForTesting("", "");
  }

  std::string Sys() const { return folder_.Path() + "/sys"; }
  std::string Dev() const { return folder_.Path() + "/dev"; }
  // sysfs's class entry of ttyS<n>, its device linked to driver ("" for a
  // device without one).
  void SysTtyS(int n, const std::string& driverPath) const {
    const std::string device = Sys() + "/class/tty/ttyS" + std::to_string(n) + "/device";
    fs::create_directories(device);
    if (!driverPath.empty()) fs::create_directory_symlink(Sys() + driverPath, device + "/driver");
  }
  // A terminal that opens, as /dev/<name>.
  void DevNode(const std::string& name, const qv::PtyPair& pty) const {
    fs::create_symlink(pty.SlavePath(), Dev() + "/" + name);
  }
  // The COM numbers whose flags are set; every flag is 0 or 1.
  static std::vector<u32> Present(const u32 flags[128]) {
    std::vector<u32> present;
    for (u32 i = 0; i < 128; ++i) {
      EXPECT_LE(flags[i], 1u) << i;
      if (flags[i] != 0) present.push_back(i + 1);
    }
    return present;
  }

  qv::TempProgramFolder folder_;
  qv::PtyPair a_, b_, c_, d_, e_, f_;
};

TEST_F(PortProbe, CountsATtySNodeOnlyWithHardwareBehindIt) {
  for (const qv::PtyPair* p : {&a_, &b_, &c_, &d_, &e_, &f_}) ASSERT_TRUE(p->Ok());
  DevNode("ttyS0", a_);  // no sysfs entry at all
  SysTtyS(1, "");        // a device without a driver
  DevNode("ttyS1", b_);
  // Phantom ports report the unknown UART type (a terminal that answers no
  // serial ioctl counts as such), whichever driver holds them.
  SysTtyS(2, "/bus/platform/drivers/serial8250");
  DevNode("ttyS2", c_);
  SysTtyS(3, "/bus/amba/drivers/uart-pl011");
  DevNode("ttyS3", d_);
  SysTtyS(4, "/bus/amba/drivers/uart-pl011");  // with no node
  DevNode("ttyUSB0", e_);                      // COM33: no sysfs rule, no UART question
  fs::create_symlink(f_.SlavePath(), folder_.PortsPath() + "/COM5");  // a link wins over ttyS4
  fs::create_symlink(folder_.Path() + "/nowhere", folder_.PortsPath() + "/COM6");

  u32 flags[128];
  std::fill(std::begin(flags), std::end(flags), 7u);
  EXPECT_EQ(ProbeComPorts(flags, 0), 2);
  EXPECT_EQ(Present(flags), (std::vector<u32>{5, 33}));
}

// sysfs as the kernel lays it out: class/tty/ttySn/device links to the port's
// device, whose driver link names the 8250 driver or one of its front ends
// (PNP, PCI), or, since the serial-base bus, that bus's "port" driver for
// every ttyS port, a phantom one too. Only the UART type tells them apart.
TEST_F(PortProbe, AskEveryTtySPortForItsUartWhateverItsDriver) {
  struct Case {
    const char* what;
    const char* device;  // under sysfs
    const char* driver;  // under sysfs; nullptr: no driver link
    bool uart;           // a known UART type behind the node
    bool present;
  };
  const Case cases[] = {
      {"8250 platform port with a UART", "/devices/platform/serial8250", "/bus/platform/drivers/serial8250",
       true, true},
      {"8250 platform phantom", "/devices/platform/serial8250", "/bus/platform/drivers/serial8250", false, false},
      {"8250 PNP port with a UART", "/devices/pnp0/00:04", "/bus/pnp/drivers/serial", true, true},
      {"8250 PNP port of unknown type", "/devices/pnp0/00:05", "/bus/pnp/drivers/serial", false, false},
      {"serial-base port with a UART", "/devices/pnp0/00:00/00:00:0/00:00:0.0", "/bus/serial-base/drivers/port",
       true, true},
      {"serial-base phantom", "/devices/platform/serial8250/serial8250:0/serial8250:0.1",
       "/bus/serial-base/drivers/port", false, false},
      {"serial-base device without a driver", "/devices/platform/serial8250/serial8250:0/serial8250:0.2", nullptr,
       true, false},
  };
  std::vector<std::unique_ptr<qv::PtyPair>> nodes;
  std::set<dev_t> uarts;
  std::vector<u32> expected;
  for (int n = 0; n < static_cast<int>(std::size(cases)); ++n) {
    const Case& c = cases[n];
    nodes.push_back(std::make_unique<qv::PtyPair>());
    ASSERT_TRUE(nodes.back()->Ok());
    const std::string device = Sys() + c.device;
    const std::string entry = Sys() + "/class/tty/ttyS" + std::to_string(n);
    fs::create_directories(device);
    fs::create_directories(entry);
    fs::create_directory_symlink(device, entry + "/device");
    if (c.driver != nullptr) {
      fs::create_directories(Sys() + c.driver);
      if (!fs::exists(device + "/driver")) fs::create_directory_symlink(Sys() + c.driver, device + "/driver");
    }
    DevNode("ttyS" + std::to_string(n), *nodes.back());
    struct stat st {};
    ASSERT_EQ(::fstat(nodes.back()->SlaveFd(), &st), 0);
    if (c.uart) uarts.insert(st.st_rdev);
    if (c.present) expected.push_back(static_cast<u32>(n + 1));
  }
  qv::SetUartCheckForTesting([uarts](int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && uarts.count(st.st_rdev) != 0;
  });
  u32 flags[128] = {};
  const int found = ProbeComPorts(flags, 0);
  qv::SetUartCheckForTesting(nullptr);
  EXPECT_EQ(found, static_cast<int>(expected.size()));
  const std::vector<u32> present = Present(flags);
  for (int n = 0; n < static_cast<int>(std::size(cases)); ++n) {
    SCOPED_TRACE(cases[n].what);
    const bool seen = std::find(present.begin(), present.end(), static_cast<u32>(n + 1)) != present.end();
    EXPECT_EQ(seen, cases[n].present);
  }
}

TEST_F(PortProbe, ReadsTheDriverNameFromSysfsAndTheNodeFromDev) {
  SysTtyS(7, "/bus/platform/drivers/serial8250");
  EXPECT_EQ(qv::TtySDriver(7), "serial8250");
  EXPECT_EQ(qv::TtySDriver(8), "");
  EXPECT_EQ(qv::ResolveComDevice(8).path, Dev() + "/ttyS7");
  EXPECT_EQ(qv::ResolveComDevice(8).ttySIndex, 7);
  EXPECT_EQ(qv::ResolveComDevice(40).path, Dev() + "/ttyUSB7");
  EXPECT_EQ(qv::ResolveComDevice(40).ttySIndex, -1);
}

}  // namespace
