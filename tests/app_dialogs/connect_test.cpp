#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/taravik_app.h"
#include "isp/app_config.h"
#include "isp/bridge_device.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "platform/win32/window.h"
#include "res/app_ids.h"
#include "res/pages_ids.h"
#include "sim/uart_generic_chip.h"
#include "sim/uart_pty_runner.h"
#include "tests/app_dialogs/dialogs_fixture.h"

namespace {

using app_test::MessageBoxes;
using Texts = std::vector<std::string>;

// Start-up's connection step on a fresh application object.
class Connect : public app_test::DialogTest {
 protected:
  void SetUp() override {
    app_test::DialogTest::SetUp();
    app_ = std::make_unique<CTaravikApp>();
    app_->LoadAppDir();
  }
  void TearDown() override {
    app_->ExitInstance();
    app_.reset();
    SetEngine(&theApp);
    app_test::DialogTest::TearDown();
  }
  void Choose(u32 interface, u32 port, u32 entryMethod) {
    IcTypeChoice choice;
    choice.interface = interface;
    choice.port = port;
    choice.baudRate = 115200;
    choice.entryMethod = entryMethod;
    choice.slaveAddress = 0x70;
    app_->AdoptIcTypeChoice(choice);
  }

  std::unique_ptr<CTaravikApp> app_;
  MessageBoxes boxes_;
};

TEST_F(Connect, NoBridgeIsToldAndTheSettingsAreWrittenAtExit) {
  ostrelusb::Configure({false, {}});
  Choose(1, 0, 1);
  app_->ConnectBackEnd();
  ASSERT_EQ(boxes_.Texts(), Texts{"Can not find [Control Board] !"});
  EXPECT_EQ(boxes_.Calls()[0].type & MB_TYPEMASK, MB_OK);
  EXPECT_EQ(boxes_.Calls()[0].caption, AfxGetAppName());
  EXPECT_EQ(g_bBridgeConnected.load(), 0u);
  app_->ExitInstance();
  EXPECT_TRUE(folder_.Folder().Has("Appconfig.dat"));
}

TEST_F(Connect, ABridgeIsOpenedAndSetUpUnlessTheSettingsSkipIt) {
  for (const BYTE skip : {0, 1}) {
    SCOPED_TRACE(static_cast<int>(skip));
    ostrelusb::Configure({true, {qv::sim::ChipFamily::k7T0, 64, 0x70}});
    g_BridgeDevice.SetHandle(nullptr);
    g_AppConfig.bSkipBridgeSetup = skip;
    g_AppConfig.byVccCode = 2;
    Choose(1, 0, 1);
    app_->ConnectBackEnd();
    EXPECT_TRUE(boxes_.Calls().empty());
    EXPECT_EQ(g_bBridgeConnected.load(), 1u);
    EXPECT_TRUE(g_BridgeDevice.IsOpen());
    const qv::sim::BoardSettings set = ostrelusb::Settings();
    EXPECT_EQ(set.byteDelay, skip ? 0 : 4);
    EXPECT_EQ(set.i2cConf, skip ? 0 : 4);
    EXPECT_EQ(set.vccCode, skip ? 0 : 2);
    // No slave address: the back end was made before the bridge was open,
    // and the main window gives the address when it opens the bridge again.
    using Call = qv::sim::BoardCall;
    const std::vector<Call> setUp = {{"QV_OpenDevice", {0}},
                                     {"QV_SetInterface", {0}},
                                     {"QV_Set_IIC_ByteDelay", {4}},
                                     {"QV_I2C_Conf", {4}},
                                     {"QV_SetBoardVCC_Ctrl", {2}},
                                     {"QV_SetBoardIOVCC_Ctrl", {g_AppConfig.byIoVccCode, 0, 0}}};
    const std::vector<Call> openOnly = {{"QV_OpenDevice", {0}}};
    EXPECT_EQ(ostrelusb::Calls(), skip ? openOnly : setUp);
    app_->ExitInstance();
  }
}

TEST_F(Connect, ASilentTargetFailsTheHandshakeWithAMessage) {
  qv::PtyPair silent;
  ASSERT_TRUE(silent.Ok());
  ASSERT_TRUE(silent.LinkAsCom(folder_.Path(), 5));
  Choose(0, 5, 1);
  app_->ConnectBackEnd();
  EXPECT_EQ(boxes_.Texts(), Texts{"Auto Detect Baudrate Fail!"});
  // The handshake's sync byte went out on the opened port.
  EXPECT_GE(silent.QueuedFromPort(), 1);
}

TEST_F(Connect, AnAnsweringTargetOrAPortThatDoesNotOpenGiveNoMessage) {
  qv::sim::UartGenericChip chip;
  qv::sim::UartPtyRunner runner(chip);
  ASSERT_TRUE(runner.Start());
  ASSERT_TRUE(runner.LinkAs(folder_.Path() + "/ports/COM6"));
  Choose(0, 6, 2);  // CheckPin Entry: no RTS pulse, the handshake still runs
  app_->ConnectBackEnd();
  EXPECT_TRUE(boxes_.Calls().empty());
  runner.Access([](qv::sim::UartChip& c) { EXPECT_TRUE(c.Synced()); });
  app_->ExitInstance();
  runner.Stop();

  Choose(0, 9, 1);  // nothing at COM9
  app_->ConnectBackEnd();
  EXPECT_TRUE(boxes_.Calls().empty());
}

// An interactive start: the IC type dialog, then the connection.
class InteractiveStart : public Connect {
 protected:
  BOOL Start(int button) {
    const char* argv[] = {"taravik"};
    app_->SetCommandLine(1, argv);
    // The IC type dialog's button, then (after OK) Exit of the main window.
    bool chosen = false;
    app_test::Operator op([button, &chosen](HWND d) {
      if (d == nullptr) return false;
      if (!chosen) {
        if (GetDlgItem(d, IDC_ICTYPE_LIST) == nullptr) return false;
        app_test::Click(d, button);
        chosen = true;
        return button == IDCANCEL;
      }
      if (GetDlgItem(d, IDC_MAIN_LOGO) == nullptr) return false;
      app_test::Click(d, IDC_MAIN_EXIT);
      return true;
    });
    return app_->InitInstance();
  }
};

TEST_F(InteractiveStart, CancelEndsWithoutAConnectionOrSettings) {
  WriteConfig("[ICTYPELIST]\r\nLIST=U1\r\n[U1]\r\nCOM=FALSE\r\n");
  EXPECT_FALSE(Start(IDCANCEL));
  EXPECT_EQ(app_->m_pInterface, nullptr);
  app_->ExitInstance();
  EXPECT_TRUE(boxes_.Calls().empty());
  EXPECT_FALSE(folder_.Folder().Has("Appconfig.dat"));
}

TEST_F(InteractiveStart, AUsbTypeWithoutABridgeTellsItAndWritesTheSettingsAtExit) {
  WriteConfig("[ICTYPELIST]\r\nLIST=U1\r\n[U1]\r\nRAM=8\r\nFLASH=32\r\nCOM=FALSE\r\n");
  ostrelusb::Configure({false, {}});
  EXPECT_FALSE(Start(IDOK));
  EXPECT_STREQ(g_szIcType, "U1");
  EXPECT_EQ(g_nFlashSizeK, 32);
  EXPECT_EQ(g_nRamSizeK, 8);
  EXPECT_NE(g_pIcBase, nullptr);
  EXPECT_EQ(boxes_.Texts(), Texts{"Can not find [Control Board] !"});
  app_->ExitInstance();
  EXPECT_TRUE(folder_.Folder().Has("Appconfig.dat"));
}

}  // namespace
