// Which ports the probe counts, against a fake sysfs and /dev: a ttyS node
// only with hardware behind it, every other kind of port when it opens.

#include <gtest/gtest.h>

#include <filesystem>
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
  void TearDown() override { qv::SetSystemRootsForTesting("", ""); }

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

  qv::TempProgramFolder folder_;
  qv::PtyPair a_, b_, c_, d_, e_, f_;
};

TEST_F(PortProbe, CountsATtySNodeOnlyWithHardwareBehindIt) {
  for (const qv::PtyPair* p : {&a_, &b_, &c_, &d_, &e_, &f_}) ASSERT_TRUE(p->Ok());
  DevNode("ttyS0", a_);  // no sysfs entry at all
  SysTtyS(1, "");        // a device without a driver
  DevNode("ttyS1", b_);
  // The 8250 driver keeps phantom ports that report the unknown UART type
  // (a terminal that answers no serial ioctl counts as such).
  SysTtyS(2, "/bus/platform/drivers/serial8250");
  DevNode("ttyS2", c_);
  SysTtyS(3, "/bus/amba/drivers/uart-pl011");  // another driver: a real port
  DevNode("ttyS3", d_);
  SysTtyS(4, "/bus/amba/drivers/uart-pl011");  // with no node
  DevNode("ttyUSB0", e_);                      // COM33: no sysfs rule
  fs::create_symlink(f_.SlavePath(), folder_.PortsPath() + "/COM5");  // a link wins over ttyS4
  fs::create_symlink(folder_.Path() + "/nowhere", folder_.PortsPath() + "/COM6");

  u32 flags[128];
  std::fill(std::begin(flags), std::end(flags), 7u);
  EXPECT_EQ(ProbeComPorts(flags, 0), 3);
  std::vector<u32> present;
  for (u32 i = 0; i < 128; ++i) {
    ASSERT_LE(flags[i], 1u) << i;
    if (flags[i] != 0) present.push_back(i + 1);
  }
  EXPECT_EQ(present, (std::vector<u32>{4, 5, 33}));
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
