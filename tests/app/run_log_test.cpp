#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "app/settings.h"
#include "app/taravik_app.h"
#include "isp/app_config.h"
#include "platform/core/program_folder.h"
#include "tests/support/pty_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

class RunLog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.Ok());
    folder_ = temp_.Path();
    SYSTEMTIME st{2026, 3, 6, 14, 9, 5, 7, 0};
    qv::SetLocalTimeForTesting(&st);
    app_ = std::make_unique<CTaravikApp>();
    app_->LoadAppDir();
  }
  void TearDown() override {
    app_.reset();
    SetEngine(&theApp);
    qv::SetLocalTimeForTesting(nullptr);
  }
  fs::path LogPath() const { return folder_ / "Log" / "Runlog.txt"; }

  qv::TempProgramFolder temp_;
  fs::path folder_;
  std::unique_ptr<CTaravikApp> app_;
};

TEST_F(RunLog, ProgramFolderIsTheExecutablesFolder) {
  EXPECT_EQ(std::string(app_->m_szAppDir), folder_.string());
  EXPECT_EQ(GetAppDirectory(), folder_.string().c_str());
}

TEST(ProgramFolderAtRoot, KeepsItsSlashWhileTheShortFormDropsIt) {
  qv::SetProgramFolderForTesting("/");
  {
    CTaravikApp app;
    app.LoadAppDir();
    EXPECT_STREQ(app.m_szAppDir, "/");
    EXPECT_EQ(GetAppDirectory(), "");
    EXPECT_EQ(qv::ProgramFolder(), "/");
  }
  qv::SetProgramFolderForTesting("");
  SetEngine(&theApp);
}

// The program folder is whole up to the room that the names put after it
// need, and refused beyond (a cut would name an outer folder); the short
// form is whole too.
TEST(ProgramFolderLength, IsHeldWholeOrRefused) {
  struct Case {
    size_t length;
    BOOL held;
  };
  const Case cases[] = {{207, TRUE}, {300, TRUE}, {kProgramFolderMax, TRUE}, {kProgramFolderMax + 1, FALSE},
                        {PATH_MAX + 100, FALSE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    const std::string folder = "/" + std::string(c.length - 1, 'f');
    qv::SetProgramFolderForTesting(folder);
    {
      CTaravikApp app;
      EXPECT_EQ(app.LoadAppDir(), c.held);
      EXPECT_EQ(std::string(app.m_szAppDir), c.held ? folder : "");
    }
    if (c.held) {
      EXPECT_EQ(GetAppDirectory().str(), folder);
    }
  }
  qv::SetProgramFolderForTesting("");
  SetEngine(&theApp);
}

// The settings record of a folder far longer than 260 bytes is read from
// that folder (its path had been refused for the 260-byte buffer).
TEST(ProgramFolderLength, TheSettingsRecordOfALongFolderIsItsOwn) {
  qv::TempFolder temp;
  std::string folder = temp.path();
  for (int i = 0; i < 3; ++i) folder += "/" + std::string(120, static_cast<char>('a' + i));
  ASSERT_TRUE(fs::create_directories(folder));
  std::ofstream(folder + "/Appconfig.dat", std::ios::binary) << std::string(72, '\x5A');
  qv::SetProgramFolderForTesting(folder);
  g_AppConfig = kAppConfigInitial;
  EXPECT_EQ(LoadAppConfig(), TRUE);
  EXPECT_EQ(g_AppConfig.bySlaveAddr, 0x5A);
  g_AppConfig = kAppConfigInitial;
  qv::SetProgramFolderForTesting("");
}

TEST_F(RunLog, EntryBytesAreStampThenTextUnchanged) {
  ASSERT_TRUE(app_->OpenRunLog());
  app_->WriteLog("Page Index 3 Write Fail");
  app_->WriteLog("100% \\ %s %d");
  app_->WriteLog("");
  EXPECT_EQ(temp_.Folder().Get("Log/Runlog.txt"),
            "\r\n26-03-14 09:05:07\r\nPage Index 3 Write Fail\r\n"
            "\r\n26-03-14 09:05:07\r\n100% \\ %s %d\r\n"
            "\r\n26-03-14 09:05:07\r\n\r\n");
}

TEST_F(RunLog, LaterRunsAppendAndNeverTruncate) {
  ASSERT_TRUE(app_->OpenRunLog());
  app_->WriteLog("first run");
  app_ = std::make_unique<CTaravikApp>();
  app_->LoadAppDir();
  ASSERT_TRUE(app_->OpenRunLog());
  app_->WriteLog("second run");
  EXPECT_EQ(temp_.Folder().Get("Log/Runlog.txt"),
            "\r\n26-03-14 09:05:07\r\nfirst run\r\n\r\n26-03-14 09:05:07\r\nsecond run\r\n");
}

TEST_F(RunLog, EntriesAreDroppedWhenTheLogIsNotOpen) {
  app_->WriteLog("lost");  // must neither crash nor create anything
  EXPECT_FALSE(fs::exists(LogPath()));
}

TEST_F(RunLog, ALogThatCannotBeOpenedDropsEntries) {
  fs::create_directories(LogPath());  // a folder where the file should be
  EXPECT_FALSE(app_->OpenRunLog());
  app_->WriteLog("lost");
}

// A FIFO, a device or a folder where the log should be means no log, at
// once: the open must never wait for a reader. The test holds the FIFO open
// for reading and writing itself, so that an open that would wait returns
// instead, and anything written into the FIFO stays there to be seen.
TEST_F(RunLog, OnlyARegularFileIsALog) {
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> make;
  };
  const Case cases[] = {
      {"a FIFO", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }},
      {"a device", [](const fs::path& p) { fs::create_symlink("/dev/null", p); }},
      {"a folder", [](const fs::path& p) { fs::create_directories(p); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(folder_ / "Log");
    fs::create_directories(folder_ / "Log");
    c.make(LogPath());
    const int fifo = fs::is_fifo(LogPath()) ? ::open(LogPath().c_str(), O_RDWR | O_NONBLOCK) : -1;
    app_ = std::make_unique<CTaravikApp>();
    app_->LoadAppDir();
    EXPECT_FALSE(app_->OpenRunLog());
    app_->WriteLog("lost");
    if (fifo >= 0) {
      char byte = 0;
      EXPECT_EQ(::read(fifo, &byte, 1), -1) << "the entry went into the FIFO";
      ::close(fifo);
    }
  }
}

TEST_F(RunLog, AWriteThatThrowsDropsItsEntryAndReleasesTheLock) {
  ASSERT_TRUE(app_->OpenRunLog());
  WriteLogGuarded(app_->m_csLog, [this] {
    app_->m_fileLog.Write("part", 4);
    throw std::runtime_error("disk gone");
  });
  WriteLogGuarded(app_->m_csLog, [] { throw 7; });
  // Another thread takes the lock at once: it was released.
  bool free = false;
  std::thread other([&] {
    free = app_->m_csLog.m.try_lock();
    if (free) app_->m_csLog.m.unlock();
  });
  other.join();
  EXPECT_TRUE(free);
  app_->WriteLog("next");
  EXPECT_EQ(temp_.Folder().Get("Log/Runlog.txt"), "part\r\n26-03-14 09:05:07\r\nnext\r\n");
}

TEST_F(RunLog, EntriesFromTwoThreadsNeverInterleave) {
  ASSERT_TRUE(app_->OpenRunLog());
  const int kPerThread = 200;
  auto writer = [this](char tag) {
    for (int i = 0; i < kPerThread; ++i) app_->WriteLog(CString(tag, 40));
  };
  std::thread a(writer, 'a');
  std::thread b(writer, 'b');
  a.join();
  b.join();
  const std::string entryA = "\r\n26-03-14 09:05:07\r\n" + std::string(40, 'a') + "\r\n";
  const std::string entryB = "\r\n26-03-14 09:05:07\r\n" + std::string(40, 'b') + "\r\n";
  std::string all = temp_.Folder().Get("Log/Runlog.txt");
  ASSERT_EQ(all.size(), 2 * kPerThread * entryA.size());
  int as = 0;
  for (size_t pos = 0; pos < all.size(); pos += entryA.size()) {
    std::string entry = all.substr(pos, entryA.size());
    ASSERT_TRUE(entry == entryA || entry == entryB) << "at " << pos;
    as += entry == entryA;
  }
  EXPECT_EQ(as, kPerThread);
}

}  // namespace
