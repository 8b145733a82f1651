#include <gtest/gtest.h>

#include <string>

#include "platform/core/sync.h"
#include "tests/taravik/taravik_fixture.h"

namespace {

using taravik_test::Taravik;

TEST_F(Taravik, SecondInstanceEndsAtOnceAndTouchesNothing) {
  folder_.Put("config.ini", "[ICTYPELIST]\r\nLIST=A\r\n");
  folder_.Put("Appconfig.dat", std::string(72, '\x11'));
  qv::InstanceLock first("QvTPTool");
  ASSERT_TRUE(first.Acquired());
  // With switches it would run a job, without them show the IC type dialog:
  // either would never end on its own.
  EXPECT_EQ(Run({"-c", "A", "-i", folder_.File("none.bin")}), 0);
  EXPECT_EQ(Run({}), 0);
  // The parameters are the program's: Qt never sees them (it would give up
  // on a platform it does not have).
  EXPECT_EQ(Run({"-platform", "nosuch", "-c", "A"}), 0);
  EXPECT_FALSE(folder_.Has("Log"));
  EXPECT_EQ(folder_.Get("Appconfig.dat"), std::string(72, '\x11'));
  EXPECT_EQ(folder_.Get("config.ini"), "[ICTYPELIST]\r\nLIST=A\r\n");
}

}  // namespace
