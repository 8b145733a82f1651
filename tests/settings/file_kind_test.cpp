// Settings files, images and the run log that are not plain files: every
// reader and writer refuses a FIFO, a device and a folder at once and leaves it as it
// was, follows a link to a regular file, and leaves a read-only file whole.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "isp/app_config.h"
#include "isp/job_image.h"
#include "platform/core/file.h"
#include "platform/core/profile.h"
#include "platform/core/program_folder.h"
#include "sim/uart_flash_file.h"
#include "tests/support/temp_folder.h"
#include "tests/support/recording_engine.h"

namespace {

namespace fs = std::filesystem;
using qv::TempFolder;

const char* const kNames[] = {"config.ini", "Appconfig.dat", "QvSel.inc", "image.bin", "Runlog.txt"};
const std::string kIni = "[A]\r\nk=old\r\n";

enum class Kind { kFifo, kDevice, kFolder, kLinkToFile, kLinkToDevice, kReadOnly };

struct KindCase {
  const char* name;
  Kind kind;
};

class FileKinds : public ::testing::TestWithParam<KindCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.Ok());
    qv::SetProgramFolderForTesting(dir_.path());
    g_AppConfig = kAppConfigInitial;
  }
  void TearDown() override {
    qv::SetProgramFolderForTesting("");
    g_AppConfig = kAppConfigInitial;
  }
  // Makes name the case's kind of thing; false when this machine cannot.
  bool Make(const std::string& name) {
    const std::string path = dir_.File(name);
    switch (GetParam().kind) {
      case Kind::kFifo: return ::mkfifo(path.c_str(), 0644) == 0;
      case Kind::kDevice: return MakeDevice(path);
      case Kind::kFolder: return fs::create_directory(path);
      case Kind::kLinkToFile:
        dir_.Put("real-" + name, kIni);
        fs::create_symlink("real-" + name, path);
        return true;
      case Kind::kLinkToDevice:
        if (!MakeDevice(dir_.File("dev-" + name))) return false;
        fs::create_symlink("dev-" + name, path);
        return true;
      case Kind::kReadOnly:
        dir_.Put(name, kIni);
        return ::chmod(path.c_str(), 0444) == 0;
    }
    return false;
  }
  // A node of the null device of our own: one that a broken writer could
  // replace without harm to the machine.
  static bool MakeDevice(const std::string& path) { return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; }

  // The file type and bytes under name, link not followed, link target too.
  std::string Snapshot(const std::string& name) const {
    std::string s;
    for (const std::string& n : {name, "real-" + name, "dev-" + name}) {
      struct stat st {};
      if (::lstat(dir_.File(n).c_str(), &st) != 0) continue;
      s += n + ":" + std::to_string(st.st_mode) + ":";
      if (S_ISREG(st.st_mode)) s += dir_.Get(n);
      s += ";";
    }
    return s;
  }

  TempFolder dir_;
};

bool Refused(Kind k) { return k == Kind::kFifo || k == Kind::kDevice || k == Kind::kFolder || k == Kind::kLinkToDevice; }

TEST_P(FileKinds, EveryReaderAndWriterTreatsThemAsWindowsWould) {
  const Kind kind = GetParam().kind;
  for (const char* name : kNames) {
    if (!Make(name)) GTEST_SKIP() << "cannot make a " << GetParam().name << " here";
  }
  std::vector<std::string> before;
  for (const char* name : kNames) before.push_back(Snapshot(name));
  const std::string ini = dir_.File("config.ini");

  // Reads end at once: a refused file reads as absent.
  char value[16] = {};
  GetPrivateProfileStringA("A", "k", "dflt", value, sizeof value, ini.c_str());
  EXPECT_STREQ(value, Refused(kind) ? "dflt" : "old");
  // The record must be writable to be loaded: a read-only one is not, for root too.
  EXPECT_EQ(LoadAppConfig(), kind == Kind::kLinkToFile ? TRUE : FALSE);
  EXPECT_EQ(ImageFileLength(dir_.File("image.bin").c_str()), Refused(kind) ? -1 : static_cast<long long>(kIni.size()));
  CJobImage image;
  EXPECT_EQ(image.Load(dir_.File("image.bin").c_str(), 0, 4, 128, 0), Refused(kind) ? FALSE : TRUE);
  std::vector<BYTE> flash(16, 0xFF);
  EXPECT_EQ(qv::sim::LoadFlashFile(dir_.File("image.bin"), flash), !Refused(kind));
  u16 version = 0;
  CString title;
  EXPECT_EQ(ReadQvSelInc(dir_.path().c_str(), version, title), Refused(kind) ? FALSE : TRUE);
  CFile probe;  // the download dialog's size probe
  EXPECT_EQ(probe.Open(dir_.File("image.bin").c_str(), CFile::modeRead), Refused(kind) ? FALSE : TRUE);
  EXPECT_EQ(probe.GetLength(), Refused(kind) ? 0u : kIni.size());
  probe.Close();

  // Writes: only a link to a writable regular file is written, through the link.
  const bool writable = kind == Kind::kLinkToFile;
  EXPECT_EQ(WritePrivateProfileStringA("A", "k", "new", ini.c_str()), writable ? TRUE : FALSE);
  EXPECT_EQ(SaveAppConfig(), writable ? TRUE : FALSE);
  EXPECT_EQ(qv::sim::SaveFlashFile(dir_.File("image.bin"), flash), writable);
  CFile log;  // the run log, appended to
  EXPECT_EQ(log.Open(dir_.File("Runlog.txt").c_str(),
                     CFile::modeWrite | CFile::shareDenyWrite | CFile::modeCreate | CFile::modeNoTruncate),
            writable ? TRUE : FALSE);
  log.SeekToEnd();
  EXPECT_EQ(log.Write("entry", 5), writable ? TRUE : FALSE);
  log.Close();
  if (writable) {
    EXPECT_TRUE(fs::is_symlink(ini));
    EXPECT_EQ(dir_.Get("real-config.ini"), "[A]\r\nk=new\r\n");
    EXPECT_EQ(dir_.Get("real-Appconfig.dat").size(), sizeof(APPCONFIG));
    EXPECT_TRUE(fs::is_symlink(dir_.File("Appconfig.dat")));
    EXPECT_EQ(dir_.Get("real-image.bin").size(), flash.size());
    EXPECT_EQ(dir_.Get("real-Runlog.txt"), kIni + "entry");
  } else {
    for (size_t i = 0; i < std::size(kNames); ++i) EXPECT_EQ(Snapshot(kNames[i]), before[i]) << kNames[i];
  }
  EXPECT_EQ(dir_.Count(), std::size(kNames) * (kind == Kind::kLinkToFile || kind == Kind::kLinkToDevice ? 2 : 1))
      << "a temporary file was left behind";
}

INSTANTIATE_TEST_SUITE_P(Kinds, FileKinds,
                         ::testing::Values(KindCase{"Fifo", Kind::kFifo}, KindCase{"Device", Kind::kDevice},
                                           KindCase{"Folder", Kind::kFolder},
                                           KindCase{"LinkToFile", Kind::kLinkToFile},
                                           KindCase{"LinkToDevice", Kind::kLinkToDevice},
                                           KindCase{"ReadOnly", Kind::kReadOnly}),
                         [](const auto& info) { return std::string(info.param.name); });

// Root passes every permission check; an ordinary user meets the same
// refusals (a rename in a writable folder would still replace the file).
TEST(ReadOnlySettings, AreLeftWholeForAnOrdinaryUser) {
  if (::geteuid() != 0) GTEST_SKIP() << "the suite runs as an ordinary user already";
  TempFolder dir;
  ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
  dir.Put("config.ini", kIni);
  dir.Put("Appconfig.dat", std::string(72, 'r'));
  ASSERT_EQ(::chmod(dir.File("config.ini").c_str(), 0444), 0);
  ASSERT_EQ(::chmod(dir.File("Appconfig.dat").c_str(), 0444), 0);
  qv::SetProgramFolderForTesting(dir.path());
  g_AppConfig = kAppConfigInitial;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // nobody: no gtest here, the exit code carries each result as one bit.
    int failed = 0;
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(0x80);
    char value[16] = {};
    GetPrivateProfileStringA("A", "k", "", value, sizeof value, dir.File("config.ini").c_str());
    if (std::string(value) != "old") failed |= 1;
    if (WritePrivateProfileStringA("A", "k", "new", dir.File("config.ini").c_str()) != FALSE) failed |= 2;
    if (LoadAppConfig() != FALSE) failed |= 4;
    if (SaveAppConfig() != FALSE) failed |= 8;
    ::_exit(failed);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  qv::SetProgramFolderForTesting("");
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(dir.Get("config.ini"), kIni);
  EXPECT_EQ(dir.Get("Appconfig.dat"), std::string(72, 'r'));
  EXPECT_EQ(dir.Count(), 2u);
}

}  // namespace
