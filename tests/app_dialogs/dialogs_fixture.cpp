#include "tests/app_dialogs/dialogs_fixture.h"

#include <stdlib.h>

#include <QApplication>
#include <QComboBox>
#include <QAbstractItemView>
#include <QTest>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/taravik_app.h"
#include "isp/app_config.h"
#include "isp/bridge_device.h"
#include "isp/online_com_update_thread.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "platform/win32/application.h"
#include "platform/win32/dialog/dialog.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/snapshot.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/window.h"
#include "platform/win32/window_object.h"
#include "tests/support/snapshot_file.h"

namespace app_test {

MessageBoxes::MessageBoxes() {
  qv::SetMessageBoxHook([this](const qv::MessageBoxCall& call) {
    calls_.push_back(call);
    return IDOK;
  });
}

MessageBoxes::~MessageBoxes() { qv::SetMessageBoxHook(nullptr); }

std::vector<std::string> MessageBoxes::Texts() const {
  std::vector<std::string> texts;
  for (const qv::MessageBoxCall& call : calls_) texts.push_back(call.text);
  return texts;
}

namespace {

// The active window; without one (no control took the focus) the shown
// top-level window.
HWND ShownTopWindow() {
  if (const HWND active = GetActiveWindow()) return active;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* host = dynamic_cast<qv::win32::HostWidget*>(w);
    if (host != nullptr && host->isVisible()) return host->Handle();
  }
  return nullptr;
}

}  // namespace

struct Operator::Impl {
  QTimer timer;
  QElapsedTimer clock;
};

Operator::Operator(Step step, int timeoutMs) : impl_(new Impl) {
  qv::Application();
  impl_->clock.start();
  impl_->timer.setInterval(10);
  QObject::connect(&impl_->timer, &QTimer::timeout, [this, step = std::move(step), timeoutMs] {
    if (done_) return;
    const HWND active = ShownTopWindow();
    if (step(active)) {
      done_ = true;
      impl_->timer.stop();
      return;
    }
    if (impl_->clock.elapsed() > timeoutMs) {
      ADD_FAILURE() << "the operator's work was not done in time";
      done_ = true;
      impl_->timer.stop();
      if (active != nullptr) EndDialog(active, -2);
    }
  });
  impl_->timer.start();
}

Operator::~Operator() { delete impl_; }

void DialogTest::SetUp() {
  ASSERT_TRUE(folder_.Ok());
  ASSERT_TRUE(runtime_.Ok());
  ::setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
  std::snprintf(theApp.m_szAppDir, sizeof theApp.m_szAppDir, "%s", folder_.Path().c_str());
  g_AppConfig = kAppConfigInitial;
  ostrelusb::Configure({});
}

void DialogTest::TearDown() {
  DeleteEngineBackEnds();
  g_BridgeDevice.SetHandle(nullptr);
  g_bBridgeConnected.store(0);
  ostrelusb::Configure({});
  theApp.m_nInterface = 0;
}

void DialogTest::WriteConfig(const std::string& text) const { folder_.Folder().Put("config.ini", text); }

std::string DialogTest::WriteFile(const std::string& name, const std::vector<BYTE>& bytes) const {
  folder_.Folder().Put(name, std::string(bytes.begin(), bytes.end()));
  return folder_.Folder().File(name);
}

std::string ItemText(HWND dialog, int id) {
  char text[512] = {};
  GetWindowTextA(GetDlgItem(dialog, id), text, sizeof text);
  return text;
}

void Click(HWND dialog, int id) { SendMessage(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void ClickWithMouse(HWND dialog, int id) {
  const HWND control = GetDlgItem(dialog, id);
  ASSERT_TRUE(IsWindowVisible(control)) << id;
  auto w = qv::win32::Lookup(control);
  ASSERT_TRUE(w && w->host);
  QTest::mouseClick(w->host.data(), Qt::LeftButton, {}, w->host->rect().center());
}

void PickInCombo(HWND dialog, int id, int index) {
  auto w = qv::win32::Lookup(GetDlgItem(dialog, id));
  ASSERT_TRUE(w && w->host);
  auto* combo = qobject_cast<QComboBox*>(w->host.data());
  if (combo == nullptr) combo = w->host->findChild<QComboBox*>();
  ASSERT_NE(combo, nullptr);
  ASSERT_LT(index, combo->count());
  ::SetFocus(GetDlgItem(dialog, id));
  qv::PressKey(VK_DOWN, Qt::AltModifier);
  ASSERT_TRUE(combo->view()->isVisible());
  QWidget* popup = QApplication::activePopupWidget();
  ASSERT_NE(popup, nullptr);
  QWidget* list = popup->focusWidget() != nullptr ? popup->focusWidget() : popup;
  QTest::keyClick(list, Qt::Key_Home);
  for (int i = 0; i < index; ++i) QTest::keyClick(list, Qt::Key_Down);
  QTest::keyClick(list, Qt::Key_Return);
  ASSERT_FALSE(combo->view()->isVisible());
}

bool SaveSnapshot(HWND window, const std::string& name) {
  // Paints what a change just made (a button shown from the worker) first.
  qv::PumpMessages();
  const QImage image = qv::CompositeSnapshot(window);
  return !image.isNull() && qv::testing::SavePicture(image, QString::fromStdString(name));
}

}  // namespace app_test
