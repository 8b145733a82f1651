#pragma once
// The program itself, run as a child process from a program folder of its
// own, with a runtime folder of its own for the instance lock, so that
// nothing else's lock is in the way. Every wait is bounded: a child that
// hangs is killed and the test fails, it never hangs the suite.

#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_folder.h"

namespace taravik_test {

class Taravik : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.Ok());
    ASSERT_TRUE(runtime_.Ok());
    std::filesystem::copy_file(TARAVIK_PATH, folder_.File("taravik"));
    ::setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  void TearDown() override { Kill(); }

  // Starts taravik (the copy in folder_, or exe) with args; false when it
  // could not be started.
  bool Start(const std::vector<std::string>& args, std::string exe = {}) {
    if (exe.empty()) exe = folder_.File("taravik");
    std::vector<char*> argv{const_cast<char*>(exe.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return ::posix_spawn(&pid_, exe.c_str(), nullptr, nullptr, argv.data(), environ) == 0;
  }

  // Polls until done() holds (true) or the child ends or 20 s pass (false).
  bool WaitWhileRunning(const std::function<bool()>& done) {
    for (int i = 0; i < 2000; ++i) {
      if (done()) return true;
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = 0;
        exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -3;
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  // Ends a child that still runs.
  void Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = 0;
  }

  // Runs taravik with args; its exit status, or -1 when it did not end within 20 s.
  int Run(const std::vector<std::string>& args) {
    if (!Start(args)) return -2;
    exitStatus_ = -1;
    WaitWhileRunning([] { return false; });
    Kill();
    return exitStatus_;
  }

  pid_t pid_ = 0;
  int exitStatus_ = -1;  // of a child that ended by itself
  qv::TempFolder folder_;
  qv::TempFolder runtime_;
};

}  // namespace taravik_test
