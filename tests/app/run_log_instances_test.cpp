// Two instances of the program in one program folder (two users may run it
// at once: the single-instance lock is per user) share Log/Runlog.txt. Each
// is a real process with its own open of the log; they take turns, so that
// both have opened the log before either writes, which is where a log kept
// at an offset of its own overwrites the other's entries.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "app/taravik_app.h"
#include "tests/support/pty_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr char kStamp[] = "\r\n26-03-14 09:05:07\r\n";

std::string Entry(const std::string& text) { return kStamp + text + "\r\n"; }

// One byte through a pipe: the other process's turn.
bool Pass(int fd) {
  const char token = 't';
  return ::write(fd, &token, 1) == 1;
}
bool Await(int fd) {
  char token = 0;
  return ::read(fd, &token, 1) == 1;
}

class RunLogInstances : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.Ok());
    SYSTEMTIME st{2026, 3, 6, 14, 9, 5, 7, 0};
    qv::SetLocalTimeForTesting(&st);
  }
  void TearDown() override {
    SetEngine(&theApp);
    qv::SetLocalTimeForTesting(nullptr);
  }

  // The instances write texts[i] in turn, the first instance (this process)
  // the even ones, the second (a child) the odd ones, both logs opened first.
  // The log's bytes afterwards.
  std::string RunTwoInstances(const std::vector<std::string>& texts) {
    int toChild[2];
    int toParent[2];
    if (::pipe(toChild) != 0 || ::pipe(toParent) != 0) {
      ADD_FAILURE() << "no pipes";
      return {};
    }
    auto first = std::make_unique<CTaravikApp>();
    first->LoadAppDir();
    EXPECT_TRUE(first->OpenRunLog());
    const pid_t child = ::fork();
    if (child == 0) {
      // The second instance: an application object and a log of its own.
      CTaravikApp second;
      second.LoadAppDir();
      bool ok = second.OpenRunLog() == TRUE && Pass(toParent[1]);
      for (size_t i = 1; ok && i < texts.size(); i += 2) {
        ok = Await(toChild[0]);
        if (ok) second.WriteLog(texts[i].c_str());
        ok = ok && Pass(toParent[1]);
      }
      ::_exit(ok ? 0 : 1);
    }
    EXPECT_GT(child, 0);
    bool ok = child > 0 && Await(toParent[0]);  // the second log is open
    for (size_t i = 0; ok && i < texts.size(); i += 2) {
      first->WriteLog(texts[i].c_str());
      if (i + 1 < texts.size()) ok = Pass(toChild[1]) && Await(toParent[0]);
    }
    ::close(toChild[1]);  // a child still waiting for its turn ends
    int status = -1;
    if (child > 0) ::waitpid(child, &status, 0);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (int fd : {toChild[0], toParent[0], toParent[1]}) ::close(fd);
    first.reset();
    return temp_.Folder().Get("Log/Runlog.txt");
  }

  qv::TempProgramFolder temp_;
};

TEST_F(RunLogInstances, EveryEntryOfBothStaysWholeAndInTheOrderWritten) {
  struct Case {
    const char* what;
    std::string before;  // the log from earlier runs
    std::vector<std::string> texts;
  };
  const Case cases[] = {
      {"a new log", "", {"m_pCOMBase::Init Fail!", "SendEraseCmd Fail!", "Page Index 3 Write Fail",
                         "AutoBautRateDetect Fail!"}},
      {"a log with earlier runs", Entry("an earlier run"),
       {"a", "Page Index 12 Write Checksum Fail", "TIMEOUT_ENTRY_METHOD AutoBautRateDetect Fail!", "b", "c"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(temp_.Path() + "/Log");
    if (!c.before.empty()) {
      std::filesystem::create_directories(temp_.Path() + "/Log");
      temp_.Folder().Put("Log/Runlog.txt", c.before);
    }
    std::string expected = c.before;
    for (const std::string& text : c.texts) expected += Entry(text);
    EXPECT_EQ(RunTwoInstances(c.texts), expected);
  }
}

}  // namespace
