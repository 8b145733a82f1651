// The main window's refusals while a write is pending, given as a person
// gives them: Enter and Esc pressed on the window, and the window manager's
// close (its close button and Alt+F4 both reach the window as a close
// request on its widget). Without a pending write the same input closes it,
// so a refusal that holds only because the input never arrived fails too.

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/host_widget.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/window_object.h"
#include "sim/uart_k55_chip.h"
#include "tests/pages_gui/gui_fixture.h"

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

class CloseInputTest : public MainWindowPeer {
 protected:
  CloseInputTest() { Choose("K55", 32); }

  void Open() {
    UseSerial(Family::kK55, chip_, 3, 115200, 1);
    OpenWindow();
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
        ClickOn(::GetDlgItem(main_->m_hWnd, 1072));
        break;
      }
    }
    for (int i = 0; i < 5; ++i) qv::PumpMessages();
  }
  bool Shown() const { return main_->m_hWnd != nullptr && ::IsWindowVisible(main_->m_hWnd) != FALSE; }

  qv::sim::UartK55Chip chip_;
};

TEST_F(CloseInputTest, APendingWriteKeepsTheWindowOpenAndOtherwiseItCloses) {
  for (const Input input : {Input::kEnter, Input::kEsc, Input::kCloseRequest, Input::kExitClick}) {
    for (const bool pending : {true, false}) {
      SCOPED_TRACE(std::string(Name(input)) + (pending ? ", write pending" : ", idle"));
      Open();
      if (pending) MakeAWritePending();
      Give(input);
      EXPECT_EQ(Shown(), pending);
      EXPECT_TRUE(boxes_.empty());
      CloseWindow();
    }
  }
}

}  // namespace
}  // namespace pages_test
