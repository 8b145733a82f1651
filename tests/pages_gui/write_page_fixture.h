#pragma once
// The Write page suites' fixture: the main window over a serial back end on a
// fake port with its simulated chip, worked as the operator works it (the
// mouse on its controls, the file dialog answering a path), the message
// boxes it showed recorded as "text | caption".

#include <gtest/gtest.h>

#include <QTest>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/dlg_online_update_and_read.h"
#include "isp/com_base.h"
#include "isp/com_base_k55.h"
#include "platform/win32/application.h"
#include "platform/win32/common_dialog/file_dialog.h"
#include "platform/win32/dialog/message_box.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/window_object.h"
#include "sim/uart_generic_chip.h"
#include "sim/uart_k55_chip.h"
#include "tests/support/pages_fixture.h"
#include "tests/pages_gui/gui_fixture.h"
#include "tests/support/chip_on_fake_port.h"

namespace pages_test {

// The page's controls.
inline constexpr int kPath = 1221;
inline constexpr int kByteSum = 1222;
inline constexpr int kLength = 1100;
inline constexpr int kClear = 1078;
inline constexpr int kBrowse = 1072;
inline constexpr int kUpdatePart = 1206;
inline constexpr int kAddress = 1517;
inline constexpr int kPassword = 1499;
inline constexpr int kErase = 1251;
inline constexpr int kVerify = 1250;
inline constexpr int kProgress = 1039;
inline constexpr int kWrite = 1070;

enum class BackEnd { kGeneric, kK55 };

class WritePageTest : public PagesTest {
 protected:
  WritePageTest() {
    qv::Application();
    qv::SetMessageBoxHook([this](const qv::MessageBoxCall& call) {
      boxes_.push_back(call.text + " | " + call.caption);
      return IDOK;
    });
  }
  ~WritePageTest() override {
    Close();
    qv::SetMessageBoxHook(nullptr);
    qv::SetFileDialogHook(nullptr);
  }

  // The chosen serial back end on a fake port with its chip behind it, then
  // the main window with the Write page shown.
  void Open(BackEnd kind) {
    auto port = std::make_unique<qv::FakeSerialPort>();
    CCOMBase* com = nullptr;
    if (kind == BackEnd::kK55) {
      Choose("K55", 32);
      qv::Attach(*port, k55_);
      com = new CCOMBaseK55(std::move(port));
    } else {
      Choose("GEN", 16);
      qv::Attach(*port, generic_);
      com = new CCOMBase(std::move(port));
    }
    engine_.m_pCOMBase = com;
    engine_.m_pInterface = com;
    engine_.m_nInterface = 0;
    engine_.m_nComPort = 3;
    engine_.m_nBaudRate = 115200;
    engine_.m_nEntryMethod = 2;
    main_ = std::make_unique<CDlgOnlineUpdateAndRead>();
    ASSERT_TRUE(main_->Create(IDD_ONLINE_UPDATE_AND_READ));
    main_->ShowWindow(SW_SHOW);
    for (int i = 0; i < 5; ++i) qv::PumpMessages();
  }

  // The main window gone and its back end with it.
  void Close() {
    if (main_ && main_->m_hWnd != nullptr) main_->DestroyWindow();
    main_.reset();
    delete engine_.m_pCOMBase;
    engine_.m_pCOMBase = nullptr;
    engine_.m_pInterface = nullptr;
  }

  CDlgOnlineUpdate& Page() { return main_->m_dlgWrite; }
  HWND Item(int id) { return ::GetDlgItem(Page().m_hWnd, id); }
  std::string Text(int id) { return TextOf(Item(id)); }
  bool Checked(int id) { return ::SendMessage(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  bool PageEnabled() { return ::IsWindowEnabled(Page().m_hWnd) != FALSE; }

  // A press of the left mouse button on the control, as the operator gives it.
  void ClickWithMouse(HWND control) {
    QWidget* host = qv::win32::Lookup(control)->host.data();
    ASSERT_NE(host, nullptr);
    QTest::mouseClick(host, Qt::LeftButton, {}, host->rect().center());
    qv::PumpMessages();
  }
  void ClickWithMouse(int id) { ClickWithMouse(Item(id)); }
  // Browse, with the file dialog answering path (nothing: Cancel).
  void Browse(std::optional<std::string> path) {
    qv::SetFileDialogHook([path](const qv::FileDialogCall&) { return path; });
    ClickWithMouse(kBrowse);
    qv::SetFileDialogHook(nullptr);
  }
  // A file of the GEN type's back end: no header or trailer.
  std::string Image(const std::string& name, std::size_t size, unsigned seed) {
    return WriteFile(name, Pattern(size, seed));
  }
  void WaitForTheJob() {
    ASSERT_TRUE(PumpUntil([&] { return !main_->IsWritePending() && PageEnabled(); }));
  }

  qv::sim::UartGenericChip generic_;
  qv::sim::UartK55Chip k55_;
  std::unique_ptr<CDlgOnlineUpdateAndRead> main_;
  std::vector<std::string> boxes_;
};

}  // namespace pages_test
