// What stands where the program expects a file, or its lock, never holds up
// or silently ends its start: taravik gets to its dialog and waits there for
// the operator.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>

#include "tests/taravik/taravik_fixture.h"

namespace {

using taravik_test::Taravik;

// True when the child's main thread waits in its event loop (a modal
// dialog's, the only loops the program has), not in an open that never ends.
bool MainThreadWaitsForEvents(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/syscall");
  long number = -1;
  if (!(in >> number)) return false;
#ifdef SYS_poll
  if (number == SYS_poll) return true;
#endif
  return number == SYS_ppoll;
}

struct FifoCase {
  const char* what;
  bool fifoLog;
};

// A FIFO named as the image (the download dialog's size probe) or as
// Log/Runlog.txt is refused at once; before, either blocked in open() before
// any window showed.
TEST_F(Taravik, AFifoAsImageOrRunLogNeverHoldsUpTheStart) {
  const FifoCase cases[] = {{"a FIFO image", false}, {"a FIFO image and a FIFO run log", true}};
  for (const FifoCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(folder_.File("Log"));
    std::filesystem::remove_all(folder_.File("fifo.bin"));
    ASSERT_EQ(::mkfifo(folder_.File("fifo.bin").c_str(), 0644), 0);
    if (c.fifoLog) {
      ASSERT_EQ(::mkdir(folder_.File("Log").c_str(), 0755), 0);
      ASSERT_EQ(::mkfifo(folder_.File("Log/Runlog.txt").c_str(), 0644), 0);
    }
    ASSERT_TRUE(Start({"-c", "T", "-i", folder_.File("fifo.bin")}));
    EXPECT_TRUE(WaitWhileRunning([this] { return MainThreadWaitsForEvents(pid_); }));
    Kill();
    struct stat st {};
    ASSERT_EQ(::stat(folder_.File("Log/Runlog.txt").c_str(), &st), 0);
    EXPECT_EQ(S_ISFIFO(st.st_mode), c.fifoLog);
    if (!c.fifoLog) {
      const std::string log = folder_.Get("Log/Runlog.txt");
      EXPECT_NE(log.find("\r\nT\r\n"), std::string::npos) << log;
      EXPECT_NE(log.find("\r\n" + folder_.File("fifo.bin") + "\r\n"), std::string::npos) << log;
    }
  }
}

struct LockCase {
  const char* what;
  std::function<void(const std::string&)> make;
};

// Only a lock that another running instance holds ends the start; a lock
// file that cannot be opened lets the program run (before, it ended at once
// with status 0, no window and no log).
TEST_F(Taravik, ALockThatCannotBeHadLetsTheProgramRun) {
  const LockCase cases[] = {
      {"a folder in its place", [](const std::string& p) { ASSERT_EQ(::mkdir(p.c_str(), 0700), 0); }},
      {"another user's lock file",
       [](const std::string& p) {
         std::ofstream(p).put('\0');
         // Root opens any file: the owner must decide. An ordinary user
         // cannot give a file away, but meets the same refusal in the open.
         if (::geteuid() == 0) {
           ASSERT_EQ(::chown(p.c_str(), 65534, 65534), 0);
         } else {
           ASSERT_EQ(::chmod(p.c_str(), 0), 0);
         }
       }},
  };
  const std::string lock = runtime_.File("QvTPTool.lock");
  for (const LockCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(lock);
    std::filesystem::remove_all(folder_.File("Log"));
    c.make(lock);
    ASSERT_TRUE(Start({"-c", "T", "-i", folder_.File("none.bin")}));
    // The command-line mode logs the type and the path, then shows its dialog.
    EXPECT_TRUE(WaitWhileRunning([this] {
      return folder_.Get("Log/Runlog.txt").find("none.bin") != std::string::npos &&
             MainThreadWaitsForEvents(pid_);
    })) << "exit status " << exitStatus_;
    Kill();
  }
}

// The program run from a folder far longer than 256 bytes takes that folder
// whole as its own: its run log is created there, not in an outer folder
// (a folder of 207 bytes had been swapped for its parent).
TEST_F(Taravik, ALongProgramFolderIsItsOwn) {
  std::string folder = folder_.path();
  for (int i = 0; i < 5; ++i) folder += "/" + std::string(120, static_cast<char>('a' + i));
  ASSERT_TRUE(std::filesystem::create_directories(folder));
  std::filesystem::copy_file(TARAVIK_PATH, folder + "/taravik");
  ASSERT_TRUE(Start({"-c", "T", "-i", "none.bin"}, folder + "/taravik"));
  EXPECT_TRUE(WaitWhileRunning([&] {
    return std::filesystem::exists(folder + "/Log/Runlog.txt") && MainThreadWaitsForEvents(pid_);
  })) << "exit status " << exitStatus_;
  Kill();
  for (std::string outer = folder_.path(); outer.size() < folder.size(); outer += "/" + std::string(120, 'a')) {
    EXPECT_FALSE(std::filesystem::exists(outer + "/Log")) << outer;
  }
}

}  // namespace
