// A process killed between writing a settings file's temporary copy and the
// rename leaves "<name>.tmp-<pid>-<n>" behind. The next save of that file
// removes those whose process has gone, and nothing else: not another
// file's, not one of a process that runs, not a name that only looks alike,
// not a link (nor what it names), a folder or a FIFO.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "isp/app_config.h"
#include "platform/core/profile.h"
#include "platform/core/program_folder.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// The pid of a process that has ended (killed, and reaped).
pid_t EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) {
    ::pause();
    ::_exit(0);
  }
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  return child;
}

enum class Kind { kFile, kLinkToFile, kFolder, kFifo };

struct Entry {
  std::string name;
  Kind kind;
  bool removed;
};

class StaleTemporaries : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.Ok());
    qv::SetProgramFolderForTesting(dir_.path());
    g_AppConfig = kAppConfigInitial;
    dead_ = std::to_string(EndedProcess());
  }
  void TearDown() override {
    qv::SetProgramFolderForTesting("");
    g_AppConfig = kAppConfigInitial;
  }

  // The entries a save of file finds beside it.
  std::vector<Entry> Entries(const std::string& file) const {
    const std::string own = std::to_string(::getpid());
    return {
        {file + ".tmp-" + dead_ + "-0", Kind::kFile, true},
        {file + ".tmp-" + dead_ + "-17", Kind::kFile, true},
        {file + ".tmp-" + own + "-3", Kind::kFile, false},  // this process's
        {file + ".tmp-1-0", Kind::kFile, false},             // init runs
        {file + ".tmp-" + dead_, Kind::kFile, false},
        {file + ".tmp-" + dead_ + "-", Kind::kFile, false},
        {file + ".tmp-" + dead_ + "-1x", Kind::kFile, false},
        {file + ".tmp-x" + dead_ + "-1", Kind::kFile, false},
        {"x" + file + ".tmp-" + dead_ + "-1", Kind::kFile, false},
        {file + ".tmp-" + dead_ + "-2", Kind::kLinkToFile, false},
        {file + ".tmp-" + dead_ + "-4", Kind::kFolder, false},
        {file + ".tmp-" + dead_ + "-5", Kind::kFifo, false},
    };
  }
  void Make(const Entry& e) const {
    const std::string path = dir_.File(e.name);
    switch (e.kind) {
      case Kind::kFile: dir_.Put(e.name, "half a save"); break;
      case Kind::kLinkToFile: fs::create_symlink(dir_.File("victim"), path); break;
      case Kind::kFolder: fs::create_directory(path); break;
      case Kind::kFifo: ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); break;
    }
  }

  qv::TempFolder dir_;
  std::string dead_;
};

TEST_F(StaleTemporaries, TheNextSaveRemovesOnlyItsOwnOfEndedProcesses) {
  struct Save {
    const char* file;
    const char* other;  // another settings file, whose leftovers stay
    std::function<bool(const std::string& folder)> save;
  };
  const Save saves[] = {
      {"config.ini", "Appconfig.dat",
       [](const std::string& folder) {
         return WritePrivateProfileStringA("UserRecord", "ERASE", "TRUE", (folder + "/config.ini").c_str()) ==
                TRUE;
       }},
      {"Appconfig.dat", "config.ini", [](const std::string&) { return SaveAppConfig() == TRUE; }},
  };
  for (const Save& s : saves) {
    SCOPED_TRACE(s.file);
    for (const auto& e : fs::directory_iterator(dir_.path())) fs::remove_all(e.path());
    dir_.Put("victim", "named by a link");
    std::vector<Entry> entries = Entries(s.file);
    entries.push_back({std::string(s.other) + ".tmp-" + dead_ + "-0", Kind::kFile, false});
    for (const Entry& e : entries) Make(e);

    ASSERT_TRUE(s.save(dir_.path()));
    for (const Entry& e : entries) {
      EXPECT_EQ(!fs::exists(fs::symlink_status(dir_.File(e.name))), e.removed) << e.name;
    }
    EXPECT_EQ(dir_.Get("victim"), "named by a link");
    EXPECT_TRUE(dir_.Has(s.file));
  }
}

}  // namespace
