#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/sync.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// A program folder with its own copy of taravik, and a runtime folder of its
// own for the instance lock, so that nothing else's lock is in the way.
class Taravik : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.Ok());
    ASSERT_TRUE(runtime_.Ok());
    fs::copy_file(TARAVIK_PATH, folder_.File("taravik"));
    ::setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }

  // Runs taravik with args; its exit status, or -1 when it did not end within 20 s.
  int Run(const std::vector<std::string>& args) const {
    const std::string exe = folder_.File("taravik");
    std::vector<char*> argv{const_cast<char*>(exe.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -2;
    int status = 0;
    for (int i = 0; i < 2000; ++i) {
      if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -3;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
  }

  qv::TempFolder folder_;
  qv::TempFolder runtime_;
};

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
