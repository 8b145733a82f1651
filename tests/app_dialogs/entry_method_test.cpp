// Start-up's connection to a serial target as the port sees it: only the
// "Timeout Entry" method opens with RTS enabled and pulses RTS before the
// handshake; every other method leaves RTS alone and still shakes hands.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/taravik_app.h"
#include "isp/com_base.h"
#include "sim/uart_generic_chip.h"
#include "tests/app_dialogs/dialogs_fixture.h"
#include "tests/support/chip_on_fake_port.h"
#include "tests/support/fake_serial_port.h"

namespace {

class EntryMethod : public app_test::DialogTest {
 protected:
  void TearDown() override {
    Disconnect();
    SetEngine(&theApp);
    app_test::DialogTest::TearDown();
  }

  // A generic serial type at COM4 with this entry method, its port a fake one
  // with a chip behind it; then start-up's connection step.
  void Connect(u32 entryMethod) {
    Disconnect();
    chip_ = std::make_unique<qv::sim::UartGenericChip>();
    app_ = std::make_unique<CTaravikApp>();
    app_->LoadAppDir();
    IcTypeChoice choice;
    choice.interface = 0;
    choice.port = 4;
    choice.baudRate = 115200;
    choice.entryMethod = entryMethod;
    app_->AdoptIcTypeChoice(choice);
    auto port = std::make_unique<qv::FakeSerialPort>();
    port_ = port.get();
    qv::Attach(*port_, *chip_);
    delete app_->m_pCOMBase;
    app_->m_pCOMBase = new CCOMBase(std::move(port));
    app_->m_pInterface = app_->m_pCOMBase;
    app_->ConnectBackEnd();
  }
  void Disconnect() {
    if (app_ != nullptr) app_->ExitInstance();
    app_.reset();
    port_ = nullptr;
  }

  std::unique_ptr<CTaravikApp> app_;
  std::unique_ptr<qv::sim::UartGenericChip> chip_;
  qv::FakeSerialPort* port_ = nullptr;  // owned by the back end
  app_test::MessageBoxes boxes_;
};

TEST_F(EntryMethod, OnlyTimeoutEntryPulsesRts) {
  struct Case {
    u32 method;
    bool rtsEnabled;
    std::vector<bool> rts;  // true = raised, in order
  };
  const Case cases[] = {
      {1, true, {false, true}},  // cleared, then raised: the target's reset
      {2, false, {}},
      {0, false, {}},
      {3, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    Connect(c.method);
    ASSERT_EQ(port_->OpenCalls(), std::vector<u32>{4});
    ASSERT_EQ(port_->ConfigureCalls().size(), 1u);
    EXPECT_EQ(port_->ConfigureCalls()[0].baud, 115200u);
    EXPECT_EQ(port_->ConfigureCalls()[0].rtsEnable, c.rtsEnabled);
    EXPECT_EQ(port_->RtsCalls(), c.rts);
    EXPECT_FALSE(port_->Frames().empty());  // the handshake ran in every case
    EXPECT_TRUE(chip_->Synced());
    EXPECT_TRUE(boxes_.Calls().empty());
  }
}

}  // namespace
