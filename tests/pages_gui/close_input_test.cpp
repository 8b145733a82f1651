// The main window's refusals while a write is pending, given as a person
// gives them: Enter and Esc pressed on the window, and the window manager's
// close (its close button and Alt+F4 both reach the window as a close
// request on its widget). Without a pending write the same input closes it,
// so a refusal that holds only because the input never arrived fails too.

#include <gtest/gtest.h>

#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/dlg_online_update_and_read.h"
#include "isp/com_base_k55.h"
#include "platform/win32/application.h"
#include "platform/win32/dialog/message_box.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/keyboard.h"
#include "platform/win32/window_object.h"
#include "sim/uart_k55_chip.h"
#include "tests/pages/pages_fixture.h"
#include "tests/support/chip_on_fake_port.h"

namespace pages_test {
namespace {

enum class Input { kEnter, kEsc, kCloseRequest, kExitClick };

const char* Name(Input input) {
  switch (input) {
    case Input::kEnter: return "Enter";
    case Input::kEsc: return "Esc";
    case Input::kCloseRequest: return "close request";
    case Input::kExitClick: return "click on Exit";
  }
  return "";
}

class CloseInputTest : public PagesTest {
 protected:
  CloseInputTest() {
    qv::Application();
    Choose("K55", 32);
    qv::SetMessageBoxHook([this](const qv::MessageBoxCall& call) {
      boxes_.push_back(call.text);
      return IDOK;
    });
  }
  ~CloseInputTest() override {
    CloseWindow();
    qv::SetMessageBoxHook(nullptr);
  }

  void OpenWindow() {
    auto port = std::make_unique<qv::FakeSerialPort>();
    qv::Attach(*port, chip_);
    auto* com = new CCOMBaseK55(std::move(port));
    engine_.m_pCOMBase = com;
    engine_.m_pInterface = com;
    engine_.m_nInterface = 0;
    engine_.m_nComPort = 3;
    engine_.m_nBaudRate = 115200;
    main_ = std::make_unique<CDlgOnlineUpdateAndRead>();
    ASSERT_TRUE(main_->Create(IDD_ONLINE_UPDATE_AND_READ));
    main_->ShowWindow(SW_SHOW);
    for (int i = 0; i < 5; ++i) qv::PumpMessages();
  }
  void CloseWindow() {
    if (main_ && main_->m_hWnd != nullptr) main_->DestroyWindow();
    main_.reset();
    delete engine_.m_pCOMBase;
    engine_.m_pCOMBase = nullptr;
    engine_.m_pInterface = nullptr;
  }
  // A job handed to a worker that no longer runs stays pending.
  void MakeAWritePending() {
    COnlineUpdateThread* worker = main_->m_dlgWrite.GetWorker();
    ASSERT_NE(worker, nullptr);
    worker->Stop(true, 2000);
    ASSERT_TRUE(worker->SetJob(WriteFile("fw.bin", Pattern(800)).c_str(), 0, FALSE, 0));
    ASSERT_TRUE(main_->IsWritePending());
  }
  void Give(Input input) {
    QWidget* host = qv::win32::Lookup(main_->m_hWnd)->host.data();
    ASSERT_NE(host, nullptr);
    switch (input) {
      case Input::kEnter:
      case Input::kEsc:
        ::SetFocus(main_->m_hWnd);
        qv::PressKey(input == Input::kEnter ? VK_RETURN : VK_ESCAPE);
        break;
      case Input::kCloseRequest:
        host->close();
        break;
      case Input::kExitClick: {
        QWidget* exit = qv::win32::Lookup(::GetDlgItem(main_->m_hWnd, 1072))->host.data();
        ASSERT_NE(exit, nullptr);
        QTest::mouseClick(exit, Qt::LeftButton, {}, exit->rect().center());
        break;
      }
    }
    for (int i = 0; i < 5; ++i) qv::PumpMessages();
  }
  bool Open() const { return main_->m_hWnd != nullptr && ::IsWindowVisible(main_->m_hWnd) != FALSE; }

  qv::sim::UartK55Chip chip_;
  std::unique_ptr<CDlgOnlineUpdateAndRead> main_;
  std::vector<std::string> boxes_;
};

TEST_F(CloseInputTest, APendingWriteKeepsTheWindowOpenAndOtherwiseItCloses) {
  for (const Input input : {Input::kEnter, Input::kEsc, Input::kCloseRequest, Input::kExitClick}) {
    for (const bool pending : {true, false}) {
      SCOPED_TRACE(std::string(Name(input)) + (pending ? ", write pending" : ", idle"));
      OpenWindow();
      if (pending) MakeAWritePending();
      Give(input);
      EXPECT_EQ(Open(), pending);
      EXPECT_TRUE(boxes_.empty());
      CloseWindow();
    }
  }
}

}  // namespace
}  // namespace pages_test
