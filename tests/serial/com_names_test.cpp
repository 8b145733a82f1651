#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/serial/serial_port.h"
#include "tests/support/pty_fixture.h"

namespace {

struct NameCase {
  u32 port;
  const char* device;  // "" = no device
};

class ComNameTest : public ::testing::TestWithParam<NameCase> {
 protected:
  qv::TempProgramFolder folder_;  // with an empty ports/ folder
};

TEST_P(ComNameTest, MapsToTheDeviceOfItsRange) {
  ASSERT_TRUE(folder_.Ok());
  EXPECT_EQ(qv::ResolveComName(GetParam().port), GetParam().device);
}

INSTANTIATE_TEST_SUITE_P(Ranges, ComNameTest,
                         ::testing::Values(NameCase{0, ""}, NameCase{1, "/dev/ttyS0"},
                                           NameCase{32, "/dev/ttyS31"}, NameCase{33, "/dev/ttyUSB0"},
                                           NameCase{64, "/dev/ttyUSB31"}, NameCase{65, "/dev/ttyACM0"},
                                           NameCase{96, "/dev/ttyACM31"}, NameCase{97, ""},
                                           NameCase{128, ""}, NameCase{255, ""}));

TEST(ComNameLinkTest, ALinkInThePortsFolderWinsForItsNumberOnly) {
  qv::TempProgramFolder folder;
  ASSERT_TRUE(folder.Ok());
  for (u32 n : {3u, 40u, 100u}) {
    std::filesystem::create_symlink("/dev/null", folder.PortsPath() + "/COM" + std::to_string(n));
  }
  EXPECT_EQ(qv::ResolveComName(3), folder.PortsPath() + "/COM3");
  EXPECT_EQ(qv::ResolveComName(40), folder.PortsPath() + "/COM40");
  EXPECT_EQ(qv::ResolveComName(100), folder.PortsPath() + "/COM100");
  EXPECT_EQ(qv::ResolveComName(4), "/dev/ttyS3");
}

TEST(ComNameLinkTest, ADanglingLinkStillNamesThePort) {
  qv::TempProgramFolder folder;
  ASSERT_TRUE(folder.Ok());
  std::filesystem::create_symlink(folder.Path() + "/nowhere", folder.PortsPath() + "/COM2");
  EXPECT_EQ(qv::ResolveComName(2), folder.PortsPath() + "/COM2");
}

}  // namespace
