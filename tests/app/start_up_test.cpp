#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <memory>
#include <string>

#include "app/taravik_app.h"
#include "isp/app_config.h"
#include "isp/com_base.h"
#include "isp/com_base_k55.h"
#include "isp/com_base_w24a.h"
#include "isp/qv_ic_7t0.h"
#include "isp/qv_ic_base.h"
#include "tests/support/pty_fixture.h"

namespace {

// A fresh application object in a program folder of its own, with a runtime
// folder of its own for the instance lock.
class StartUp : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.Ok());
    ASSERT_TRUE(runtime_.Ok());
    ::setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
    g_AppConfig = kAppConfigInitial;
    app_ = std::make_unique<CTaravikApp>();
    app_->LoadAppDir();
  }
  void TearDown() override {
    app_->ExitInstance();
    app_.reset();
    SetEngine(&theApp);
  }

  qv::TempProgramFolder folder_;
  qv::TempFolder runtime_;
  std::unique_ptr<CTaravikApp> app_;
};

TEST_F(StartUp, OneInstanceHoldsTheLockForItsLife) {
  EXPECT_TRUE(app_->AcquireSingleInstance());
  EXPECT_TRUE(app_->AcquireSingleInstance());  // asking again keeps the same lock
  qv::InstanceLock other("QvTPTool");
  EXPECT_FALSE(other.Acquired());
}

TEST_F(StartUp, SecondInstanceReturnsFalseAndTouchesNoFile) {
  qv::InstanceLock first("QvTPTool");
  ASSERT_TRUE(first.Acquired());
  const char* argv[] = {"taravik", "-c", "T"};
  app_->SetCommandLine(3, argv);
  EXPECT_FALSE(app_->InitInstance());
  EXPECT_EQ(app_->m_pszRegistryKey.str(), "Local AppWizard-Generated Applications");
  EXPECT_EQ(folder_.Folder().Count(), 1u);  // only ports/: no Log, no Appconfig.dat
}

// Only another running instance ends the start: a lock file that cannot be
// opened (here a folder in its place) lets the program run without the lock.
TEST_F(StartUp, ALockThatCannotBeHadLetsTheProgramRun) {
  ASSERT_EQ(::mkdir(runtime_.File("QvTPTool.lock").c_str(), 0700), 0);
  EXPECT_TRUE(app_->AcquireSingleInstance());
}

struct BackEndCase {
  const char* name;
  u32 interface, k55, w24a, qv7t0;
  const char* expected;
};

TEST_F(StartUp, BackEndFollowsTheInterfaceAndTheFamilyFlags) {
  const BackEndCase cases[] = {
      {"Generic", 0, 0, 0, 1, "CCOMBase"},
      {"W24A", 0, 0, 1, 0, "CCOMBaseW24A"},
      {"K55 before W24A", 0, 1, 1, 0, "CCOMBaseK55"},
      {"I2C 128", 1, 1, 1, 0, "CQvIcBase"},
      {"7T0", 1, 0, 0, 1, "CQvIc7T0"},
  };
  for (const BackEndCase& c : cases) {
    SCOPED_TRACE(c.name);
    IcTypeChoice choice;
    choice.interface = c.interface;
    choice.k55 = c.k55;
    choice.w24a = c.w24a;
    choice.qv7t0 = c.qv7t0;
    choice.port = 3;
    choice.baudRate = 115200;
    choice.entryMethod = 2;
    choice.slaveAddress = 0x5D;
    app_->AdoptIcTypeChoice(choice);
    ASSERT_NE(app_->m_pInterface, nullptr);
    std::string kind;
    if (dynamic_cast<CCOMBaseK55*>(app_->m_pInterface)) kind = "CCOMBaseK55";
    else if (dynamic_cast<CCOMBaseW24A*>(app_->m_pInterface)) kind = "CCOMBaseW24A";
    else if (dynamic_cast<CCOMBase*>(app_->m_pInterface)) kind = "CCOMBase";
    else if (dynamic_cast<CQvIc7T0*>(app_->m_pInterface)) kind = "CQvIc7T0";
    else if (dynamic_cast<CQvIcBase*>(app_->m_pInterface)) kind = "CQvIcBase";
    EXPECT_EQ(kind, c.expected);
    if (c.interface == 0) {
      EXPECT_EQ(static_cast<CCommonInterface*>(app_->m_pCOMBase), app_->m_pInterface);
      EXPECT_EQ(g_pIcBase, nullptr);
    } else {
      EXPECT_EQ(static_cast<CCommonInterface*>(g_pIcBase), app_->m_pInterface);
      EXPECT_EQ(app_->m_pCOMBase, nullptr);
    }
    EXPECT_EQ(app_->m_nInterface, c.interface);
    EXPECT_EQ(app_->m_nComPort, 3u);
    EXPECT_EQ(app_->m_nBaudRate, 115200u);
    EXPECT_EQ(app_->m_nEntryMethod, 2u);
    app_->ExitInstance();
  }
}

TEST_F(StartUp, ChipParametersAndALongTypeNameCutTo131) {
  IcTypeChoice choice;
  choice.icType = CString('N', 200);
  choice.ramSizeK = 4;
  choice.flashSizeK = 64;
  app_->AdoptIcTypeChoice(choice);
  EXPECT_EQ(std::string(g_szIcType), std::string(131, 'N'));
  EXPECT_EQ(g_nRamSizeK, 4);
  EXPECT_EQ(g_nFlashSizeK, 64);
}

TEST_F(StartUp, OnlyARunWithAnI2cBackEndWritesTheSettingsRecordBack) {
  IcTypeChoice serial;
  app_->AdoptIcTypeChoice(serial);
  app_->ExitInstance();
  EXPECT_FALSE(folder_.Folder().Has("Appconfig.dat"));
  EXPECT_EQ(app_->m_pCOMBase, nullptr);

  g_AppConfig.bySlaveAddr = 0x22;
  IcTypeChoice usb;
  usb.interface = 1;
  app_->AdoptIcTypeChoice(usb);
  app_->ExitInstance();
  EXPECT_EQ(g_pIcBase, nullptr);
  ASSERT_TRUE(folder_.Folder().Has("Appconfig.dat"));
  EXPECT_EQ(folder_.Folder().Get("Appconfig.dat").size(), 72u);
  EXPECT_EQ(folder_.Folder().Get("Appconfig.dat")[5], '\x22');
}

}  // namespace
