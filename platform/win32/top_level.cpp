#include "platform/win32/top_level.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <utility>

#include "platform/win32/frame.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/window_manager.h"
#include "platform/win32/window_object.h"

namespace qv::win32 {
namespace {

void FreeSize(QWidget* host) {
  host->setMinimumSize(0, 0);
  host->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void Maximise(WindowObject& w) {
  HostWidget* host = w.host;
  if (!host->isMaximized()) w.normalHost = host->geometry();
  // A window manager refuses to maximise a window of fixed size, and Qt
  // would hold our own placement to it.
  FreeSize(host);
  if (!PlatformMaximises()) {
    QScreen* screen = host->screen();
    if (screen) host->setGeometry(screen->availableGeometry());
  }
  host->showMaximized();
}

void Restore(WindowObject& w) {
  HostWidget* host = w.host;
  const bool wasMaximised = host->isMaximized();
  const QRect normal = w.normalHost;
  host->showNormal();
  // The platform puts back the place it saved; a bare X server does not.
  if (wasMaximised && !PlatformMaximises() && normal.isValid()) host->setGeometry(normal);
}

class ActivateOnShowFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* target, QEvent* e) override {
    if (e->type() == QEvent::Show && target == parent()) static_cast<QWidget*>(target)->activateWindow();
    return false;
  }
};

}  // namespace

Qt::WindowFlags TopLevelFlags(DWORD style, bool owned) {
  if (!FramedByWindowManager(style)) return Qt::Window | Qt::FramelessWindowHint;
  Qt::WindowFlags f = (owned ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (style & WS_SYSMENU) {
    f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style & WS_MINIMIZEBOX) f |= Qt::WindowMinimizeButtonHint;
    if (style & WS_MAXIMIZEBOX) f |= Qt::WindowMaximizeButtonHint;
  }
  return f;
}

void ApplySizeHints(WindowObject& w) {
  HostWidget* host = w.host;
  if (!host || w.IsChild()) return;
  if ((w.style & WS_THICKFRAME) || host->isMaximized() || host->isMinimized()) {
    FreeSize(host);
    return;
  }
  // Back from maximised, the window manager's restore has not come yet: the
  // size to keep is the one from before.
  QSize size = HostGeometry(w).size();
  if (w.normalHost.isValid()) size = std::exchange(w.normalHost, QRect()).size();
  host->setFixedSize(size);
}

void ShowTopLevel(WindowObject& w, int cmd) {
  switch (cmd) {
    case SW_MAXIMIZE: Maximise(w); break;
    case SW_MINIMIZE: case SW_SHOWMINIMIZED: w.host->showMinimized(); break;
    case SW_RESTORE: case SW_SHOWNORMAL: Restore(w); break;
    default: w.host->setVisible(true); break;
  }
}

void ActivateOnShow(QWidget* window) { window->installEventFilter(new ActivateOnShowFilter(window)); }

}  // namespace qv::win32
