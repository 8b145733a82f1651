#include "tests/pages_gui/gui_fixture.h"

#include <QLineEdit>
#include <QTest>

#include "isp/app_config.h"
#include "isp/bridge_device.h"
#include "isp/com_base_k55.h"
#include "isp/qv_ic_base.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "platform/win32/application.h"
#include "platform/win32/common_dialog/file_dialog.h"
#include "platform/win32/dialog/message_box.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/window_object.h"
#include "tests/support/chip_on_fake_port.h"

namespace pages_test {

std::string TextOf(HWND hwnd) {
  char buffer[512] = {};
  ::GetWindowTextA(hwnd, buffer, sizeof buffer);
  return buffer;
}

CRect RectIn(HWND child, HWND parent) {
  CRect r;
  ::GetWindowRect(child, &r);
  ::ScreenToClient(parent, reinterpret_cast<POINT*>(&r.left));
  ::ScreenToClient(parent, reinterpret_cast<POINT*>(&r.right));
  return r;
}

bool PumpUntil(const std::function<bool()>& done) {
  // The bound only keeps a broken build from hanging; it is no assertion.
  for (int i = 0; i < 20000 && !done(); ++i) {
    qv::PumpMessages();
    QTest::qWait(1);
  }
  return done();
}

namespace {

QWidget* HostOf(HWND hwnd) {
  auto w = qv::win32::Lookup(hwnd);
  return w ? w->host.data() : nullptr;
}

}  // namespace

void ClickOn(HWND control) {
  QWidget* host = HostOf(control);
  ASSERT_NE(host, nullptr);
  QTest::mouseClick(host, Qt::LeftButton, {}, host->rect().center());
  qv::PumpMessages();
}

void TypeInto(HWND edit, const std::string& text) {
  QWidget* host = HostOf(edit);
  ASSERT_NE(host, nullptr);
  auto* line = qobject_cast<QLineEdit*>(host);
  if (line == nullptr) line = host->findChild<QLineEdit*>();
  ASSERT_NE(line, nullptr);
  QTest::mouseClick(line, Qt::LeftButton, {}, line->rect().center());
  QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(line, Qt::Key_Backspace);
  QTest::keyClicks(line, QString::fromStdString(text));
  qv::PumpMessages();
}

MainWindowPeer::MainWindowPeer() {
  qv::Application();
  qv::SetMessageBoxHook([this](const qv::MessageBoxCall& call) {
    boxes_.push_back(call.text + " | " + call.caption);
    return IDOK;
  });
}

MainWindowPeer::~MainWindowPeer() {
  CloseWindow();
  qv::SetMessageBoxHook(nullptr);
  qv::SetFileDialogHook(nullptr);
  DropUsb();
}

void MainWindowPeer::DropUsb() {
  delete g_pIcBase;
  g_pIcBase = nullptr;
  engine_.m_pInterface = nullptr;
  engine_.m_nInterface = 0;
  g_BridgeDevice.Close();
  g_BridgeDevice.SetHandle(nullptr);
  g_bBridgeConnected = 0;
  ostrelusb::Configure({});
}

qv::FakeSerialPort* MainWindowPeer::UseSerial(Family family, qv::sim::UartChip& chip, u32 port, u32 baud,
                                              u32 entryMethod) {
  auto fake = std::make_unique<qv::FakeSerialPort>();
  qv::FakeSerialPort* record = fake.get();
  qv::Attach(*fake, chip);
  CCOMBase* com = family == Family::kK55 ? new CCOMBaseK55(std::move(fake)) : new CCOMBase(std::move(fake));
  engine_.m_pCOMBase = com;
  engine_.m_pInterface = com;
  engine_.m_nInterface = 0;
  engine_.m_nComPort = port;
  engine_.m_nBaudRate = baud;
  engine_.m_nEntryMethod = entryMethod;
  return record;
}

void MainWindowPeer::UseUsb() {
  g_AppConfig = kAppConfigInitial;
  ostrelusb::Configure({true, {qv::sim::ChipFamily::kPage128, 64, 0x70}});
  engine_.m_nInterface = 1;
  g_pIcBase = new CQvIcBase(0x70);
  engine_.m_pInterface = g_pIcBase;
}

void MainWindowPeer::OpenWindow() {
  main_ = std::make_unique<CDlgOnlineUpdateAndRead>();
  ASSERT_TRUE(main_->Create(IDD_ONLINE_UPDATE_AND_READ));
  main_->ShowWindow(SW_SHOW);
  for (int i = 0; i < 5; ++i) qv::PumpMessages();
}

void MainWindowPeer::CloseWindow() {
  if (main_ && main_->m_hWnd != nullptr) main_->DestroyWindow();
  main_.reset();
  delete engine_.m_pCOMBase;
  engine_.m_pCOMBase = nullptr;
  if (engine_.m_nInterface == 0) engine_.m_pInterface = nullptr;
}

}  // namespace pages_test
