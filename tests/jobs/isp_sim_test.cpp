// isp-sim as a person or a script runs it: its fault switches seen through a
// download job, and its refusal of ports the tool never searches.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "isp/online_com_update_thread.h"
#include "isp/progress.h"
#include "tests/jobs/jobs_fixture.h"

extern char** environ;

namespace jobs_test {
namespace {

namespace fs = std::filesystem;

// One isp-sim process with its output in files of the folder; ended with
// SIGTERM (as a person ends it) and waited for.
class IspSim {
 public:
  IspSim(const std::string& folder, std::vector<std::string> args) : folder_(folder) {
    args.insert(args.begin(), QV_ISP_SIM);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, (folder + "/isp-sim.out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, (folder + "/isp-sim.err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&pid_, QV_ISP_SIM, &files, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&files);
  }
  ~IspSim() { Stop(); }

  // Waits (bounded) for the link to its pty.
  bool WaitLinked(u32 port) const {
    for (int i = 0; i < 500 && pid_ > 0; ++i) {
      if (fs::is_symlink(folder_ + "/ports/COM" + std::to_string(port))) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  // The exit status once it ended by itself (bounded), or -1.
  int WaitExit() {
    for (int i = 0; i < 500 && pid_ > 0; ++i) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }
  void Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
  }
  std::string Err() const { return Read(folder_ + "/isp-sim.err"); }

 private:
  static std::string Read(const std::string& path) {
    std::string s;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
      char buf[512];
      size_t n = 0;
      while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
      std::fclose(f);
    }
    return s;
  }

  std::string folder_;
  pid_t pid_ = -1;
};

struct FaultSwitch {
  const char* name;
  std::vector<std::string> args;
  WPARAM lastCode;
  const char* lastLog;
  const char* icType = "GEN";
};

class IspSimFaults : public ::testing::TestWithParam<FaultSwitch> {
 protected:
  ProgramFolder folder_;
  RecordingEngine engine_{folder_.Path()};
  RecordingOwner owner_;
};

TEST_P(IspSimFaults, FailTheJobWhereTheyStart) {
  const FaultSwitch& c = GetParam();
  std::vector<std::string> args = {"--folder", folder_.Path(), "--port", "9"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  IspSim sim(folder_.Path(), args);
  ASSERT_TRUE(sim.WaitLinked(9)) << sim.Err();

  COnlineComUpdateThread worker(&owner_);
  worker.SetPortProbe([](u32 flags[128]) {
    flags[8] = 1;
    return 1;
  });
  worker.SetJob(c.icType, folder_.WriteFile("fw.bin", Pattern(128 * 4)).c_str(), 5, 0, 0, 115200, 0, 0);
  ASSERT_EQ(worker.GetJobFlag(), 1u);
  EXPECT_FALSE(worker.UpdateOverCom());
  sim.Stop();

  EXPECT_EQ(owner_.Codes().back(), c.lastCode);
  const std::vector<std::string> log = engine_.Entries();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), c.lastLog) << sim.Err();
}

INSTANTIATE_TEST_SUITE_P(
    Switches, IspSimFaults,
    ::testing::Values(
        // Silent from the after-write step on: the pages went through, the job fails late.
        FaultSwitch{"SilentFromTheFinish", {"--chip", "w24a", "--silent-from", "18"}, kProgressUpdating,
                    "ProcessAfterEraseAndWrite Fail", "W24"},
        FaultSwitch{"WrongWriteStatus", {"--status-for", "97=00"}, kProgressCommError, "Page Index 1 Write Fail"},
        FaultSwitch{"CorruptThirdPage", {"--corrupt-page", "2"}, kProgressVerifyError,
                    "Page Index 3 Write Checksum Fail"},
        FaultSwitch{"GarbageFromThePageCheck", {"--garbage-from", "81"}, kProgressCommError,
                    "Page Index 1 Write Checksum Fail"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IspSimPorts, APortBeyondTheSearchIsRefusedWithAClearMessage) {
  ProgramFolder folder;
  for (const char* port : {"129", "255"}) {
    IspSim sim(folder.Path(), {"--folder", folder.Path(), "--port", port});
    EXPECT_EQ(sim.WaitExit(), 2) << port;
    EXPECT_NE(sim.Err().find("searches COM1 to COM128 only"), std::string::npos) << sim.Err();
    EXPECT_FALSE(fs::exists(folder.Path() + "/ports/COM" + std::string(port)));
  }
  IspSim last(folder.Path(), {"--folder", folder.Path(), "--port", "128"});
  EXPECT_TRUE(last.WaitLinked(128)) << last.Err();
}

}  // namespace
}  // namespace jobs_test
