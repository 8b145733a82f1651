#include "platform/win32/top_level.h"

#include <QEvent>
#include <QIcon>
#include <QPalette>
#include <QPushButton>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "platform/win32/frame.h"
#include "platform/win32/gdi/gdi_qt.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/window_manager.h"
#include "platform/win32/window_object.h"

namespace qv::win32 {
namespace {

void FreeSize(QWidget* host) {
  host->setMinimumSize(0, 0);
  host->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

constexpr Qt::WindowStates kFreeStates = Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized;

void Maximise(WindowObject& w) {
  HostWidget* host = w.host;
  SetAskedStates(host, Qt::WindowMaximized);
  if (!(host->windowState() & kFreeStates)) w.normalHost = host->geometry();
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
  SetAskedStates(host, Qt::WindowNoState);
  const bool wasMaximised = host->isMaximized();
  const QRect normal = w.normalHost;
  host->showNormal();
  // The platform puts back the place it saved; a bare X server does not.
  if (wasMaximised && !PlatformMaximises() && normal.isValid()) host->setGeometry(normal);
}

// The size that a window without a sizing frame keeps in the normal state:
// the one from before it was maximised until it has that again, else its own.
QSize KeptSize(const WindowObject& w) {
  return w.normalHost.isValid() ? w.normalHost.size() : HostGeometry(w).size();
}

bool MayMaximise(DWORD style) { return (style & (WS_MAXIMIZEBOX | WS_THICKFRAME)) != 0; }

// Whether the window takes the size its host has now: with a sizing frame,
// maximised with a maximise box, full screen with a sizing frame, minimised.
// A state that the styles forbid is undone shortly (window_manager.h).
bool SizeIsFree(const WindowObject& w) {
  const Qt::WindowStates state = w.host->windowState();
  // The program itself may put any window in any state (ShowWindow).
  const Qt::WindowStates asked = AskedStates(w.host);
  if (state & Qt::WindowMinimized) return true;
  if (state & Qt::WindowFullScreen) return (w.style & WS_THICKFRAME) || (asked & Qt::WindowFullScreen);
  if (state & Qt::WindowMaximized) return MayMaximise(w.style) || (asked & Qt::WindowMaximized);
  return (w.style & WS_THICKFRAME) != 0;
}

// A window manager may send a resize just before the state that explains it
// (a maximise), and restores a window some time after its state: the size
// is judged once things have settled.
constexpr int kSettleMs = 150;
constexpr int kMostPutBacks = 4;

void Settle(HWND hwnd);

void SettleLater(WindowObject& w) {
  if (w.settlePending) return;
  w.settlePending = true;
  const HWND hwnd = w.hwnd;
  QTimer::singleShot(kSettleMs, w.host.data(), [hwnd] { Settle(hwnd); });
}

// Back in the normal state at the size it keeps: the window holds it again.
void Arrived(WindowObject& w) {
  w.normalHost = QRect();
  w.putBacks = 0;
  TakeHostSize(w);
  ApplySizeHints(w);
}

void Settle(HWND hwnd) {
  auto w = Lookup(hwnd);
  if (!w || !w->host) return;
  w->settlePending = false;
  HostWidget* host = w->host;
  if (SizeIsFree(*w)) {
    w->putBacks = 0;
    TakeHostSize(*w);
    return;
  }
  if (host->windowState() != Qt::WindowNoState) return;  // a forbidden state, being undone
  if (host->size() == KeptSize(*w) || w->putBacks >= kMostPutBacks) {
    // Put back, or a window manager that insists: the window keeps what it
    // has, so that nothing of it is out of reach for good.
    Arrived(*w);
    return;
  }
  ++w->putBacks;
  host->resize(KeptSize(*w));
  SettleLater(*w);
}

}  // namespace

void TakeHostSize(WindowObject& w) {
  HostWidget* host = w.host;
  if (!host) return;
  const QSize expected = w.HostArea().size();
  if (expected == host->size()) return;
  w.rect.setSize(w.rect.size() - expected + host->size());
  ClientAreaChanged(w);
}

void TopLevelResized(WindowObject& w) {
  if (!w.host) return;
  if (SizeIsFree(w)) {
    TakeHostSize(w);
  } else if (w.host->windowState() == Qt::WindowNoState && w.host->size() == KeptSize(w)) {
    if (w.normalHost.isValid()) Arrived(w);
  } else {
    SettleLater(w);
  }
}

void TopLevelStateChanged(WindowObject& w, Qt::WindowStates before) {
  HostWidget* host = w.host;
  if (!host) return;
  const Qt::WindowStates now = host->windowState();
  // Maximised from the normal state: the window comes back to this place.
  if ((now & (Qt::WindowMaximized | Qt::WindowFullScreen)) && !(before & kFreeStates) && !w.normalHost.isValid())
    w.normalHost = HostGeometry(w);
  ApplySizeHints(w);
  TopLevelResized(w);
}

namespace {

class ActivateOnShowFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* target, QEvent* e) override {
    if (e->type() == QEvent::Show && target == parent()) static_cast<QWidget*>(target)->activateWindow();
    return false;
  }
};

// Windows' push buttons carry no icons: a Qt style may add them to a
// dialog's buttons (OK, Cancel, Yes, No, Open, Save) up to its first show.
void DropButtonIcons(QWidget* dialog) {
  for (QPushButton* button : dialog->findChildren<QPushButton*>()) button->setIcon(QIcon());
}

class PlainButtonsFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* target, QEvent* e) override {
    if ((e->type() == QEvent::Show || e->type() == QEvent::Polish) && target == parent())
      DropButtonIcons(static_cast<QWidget*>(target));
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
  FollowStyles(host, w.style);
  const Qt::WindowStates state = host->windowState();
  if (state != Qt::WindowNoState) {
    // Free while maximised; a forbidden state is left alone until undone.
    if (SizeIsFree(w)) FreeSize(host);
    return;
  }
  // Back from maximised, the window manager's restore may still come: the
  // size is free until the window has its own again (Settle).
  if (!FixedSizeFor(w.style) || w.normalHost.isValid()) {
    FreeSize(host);
    if (w.normalHost.isValid() && FixedSizeFor(w.style)) SettleLater(w);
    return;
  }
  host->setFixedSize(KeptSize(w));
}

void ShowTopLevel(WindowObject& w, int cmd) {
  switch (cmd) {
    case SW_MAXIMIZE: Maximise(w); break;
    case SW_MINIMIZE: case SW_SHOWMINIMIZED:
      SetAskedStates(w.host, Qt::WindowMinimized);
      w.host->showMinimized();
      break;
    case SW_RESTORE: case SW_SHOWNORMAL: Restore(w); break;
    default: w.host->setVisible(true); break;
  }
}

void ActivateOnShow(QWidget* window) { window->installEventFilter(new ActivateOnShowFilter(window)); }

void StyleAsWindowsDialog(QWidget* dialog, DWORD style) {
  dialog->setFont(ToQFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))));
  // The classic scheme's button face behind the text and on the buttons.
  const COLORREF face = GetSysColor(COLOR_3DFACE);
  QPalette palette = dialog->palette();
  for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button})
    palette.setColor(role, QColor(GetRValue(face), GetGValue(face), GetBValue(face)));
  dialog->setPalette(palette);
  DropButtonIcons(dialog);
  dialog->installEventFilter(new PlainButtonsFilter(dialog));
  FollowStyles(dialog, style);
  ActivateOnShow(dialog);
}

}  // namespace qv::win32
