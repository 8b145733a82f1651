#include "platform/win32/host_widget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>

#include <QTimerEvent>
#include <QWindowStateChangeEvent>

#include "platform/core/clock.h"
#include "platform/win32/frame.h"
#include "platform/win32/gdi/gdi_qt.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/input/mouse.h"
#include "platform/win32/top_level.h"
#include "platform/win32/window.h"
#include "platform/win32/window_object.h"

namespace qv::win32 {
namespace {

UINT ScrollCode(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return SB_LINEUP;
    case QAbstractSlider::SliderSingleStepAdd: return SB_LINEDOWN;
    case QAbstractSlider::SliderPageStepSub: return SB_PAGEUP;
    case QAbstractSlider::SliderPageStepAdd: return SB_PAGEDOWN;
    case QAbstractSlider::SliderToMinimum: return SB_TOP;
    case QAbstractSlider::SliderToMaximum: return SB_BOTTOM;
    default: return SB_THUMBTRACK;
  }
}

bool IsInput(QEvent::Type t) {
  switch (t) {
    case QEvent::MouseButtonPress: case QEvent::MouseButtonRelease: case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: case QEvent::Wheel: case QEvent::KeyPress: case QEvent::KeyRelease:
    case QEvent::ContextMenu:
      return true;
    default:
      return false;
  }
}

// Win32's disabled windows: no input reaches a disabled window or anything
// inside it. Qt's own disabled state would also grey every child widget.
class DisabledInputFilter : public QObject {
 public:
  bool eventFilter(QObject* target, QEvent* e) override {
    if (!IsInput(e->type()) || !target->isWidgetType()) return false;
    for (auto* w = static_cast<QWidget*>(target); w; w = w->isWindow() ? nullptr : w->parentWidget())
      if (auto* host = dynamic_cast<HostWidget*>(w); host && (GetWindowStyle(host->Handle()) & WS_DISABLED))
        return true;
    return false;
  }
};

}  // namespace

HostWidget::HostWidget(HWND hwnd, QWidget* parent) : QWidget(parent), hwnd_(hwnd) {
  static DisabledInputFilter* filter = [] {
    auto* f = new DisabledInputFilter;
    QCoreApplication::instance()->installEventFilter(f);
    return f;
  }();
  (void)filter;
  setMouseTracking(true);
  // Only SetFocus gives a window the focus: a click does it where the
  // window's class says so (buttons, edits), never Qt on its own.
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  for (int bar = SB_HORZ; bar <= SB_VERT; ++bar) {
    bars_[bar] = new QScrollBar(bar == SB_VERT ? Qt::Vertical : Qt::Horizontal, this);
    bars_[bar]->hide();
    connect(bars_[bar], &QAbstractSlider::actionTriggered, this, [this, bar](int action) { ScrollAction(bar, action); });
    connect(bars_[bar], &QAbstractSlider::sliderReleased, this, [this, bar] {
      auto w = Lookup(hwnd_);
      if (!w) return;
      const int track = w->bars[bar].trackPos;
      const UINT msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
      SendMessage(hwnd_, msg, MAKEWPARAM(static_cast<int>(SB_THUMBPOSITION), track), 0);
      SendMessage(hwnd_, msg, SB_ENDSCROLL, 0);
    });
  }
}

// A window's scroll bar moves only when its owner sets the position: Qt's own
// move is undone and turned into the SB_ code.
void HostWidget::ScrollAction(int bar, int action) {
  auto w = Lookup(hwnd_);
  if (!w) return;
  const UINT msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
  const UINT code = ScrollCode(action);
  if (code == SB_THUMBTRACK) {
    w->bars[bar].trackPos = bars_[bar]->sliderPosition();
    SendMessage(hwnd_, msg, MAKEWPARAM(static_cast<int>(code), w->bars[bar].trackPos), 0);
    return;
  }
  bars_[bar]->setSliderPosition(w->bars[bar].pos);
  SendMessage(hwnd_, msg, code, 0);
  SendMessage(hwnd_, msg, SB_ENDSCROLL, 0);
}

void HostWidget::SyncEnabled() {
  const bool enabled = !(GetWindowStyle(hwnd_) & WS_DISABLED);
  for (QObject* child : children())
    if (auto* widget = qobject_cast<QWidget*>(child); widget && !dynamic_cast<HostWidget*>(widget))
      widget->setEnabled(enabled);
}

// A control's Qt widget made after the window starts in the window's state.
void HostWidget::childEvent(QChildEvent* e) {
  QWidget::childEvent(e);
  if (e->type() == QEvent::ChildPolished) SyncEnabled();
}

void HostWidget::SyncScrollBar(int bar, const WindowObject& w) {
  const ScrollBarState& s = w.bars[bar];
  QSignalBlocker block(bars_[bar]);
  const int page = static_cast<int>(s.page);
  bars_[bar]->setRange(s.min, std::max(s.min, s.max - std::max(page - 1, 0)));
  bars_[bar]->setPageStep(std::max(page, 1));
  bars_[bar]->setValue(s.pos);
}

void HostWidget::LayoutScrollBars(const WindowObject& w) {
  const QRect client = w.ClientArea().translated(-w.HostArea().topLeft());
  const QRect vert(client.right() + 1, client.top(), GetSystemMetrics(SM_CXVSCROLL), client.height());
  const QRect horz(client.left(), client.bottom() + 1, client.width(), GetSystemMetrics(SM_CYHSCROLL));
  bars_[SB_VERT]->setGeometry(vert);
  bars_[SB_HORZ]->setGeometry(horz);
  for (int bar = SB_HORZ; bar <= SB_VERT; ++bar) {
    SyncScrollBar(bar, w);
    bars_[bar]->setVisible(w.bars[bar].visible);
  }
}

void HostWidget::paintEvent(QPaintEvent*) {
  auto w = Lookup(hwnd_);
  if (!w) return;
  QPainter p(this);
  const QRect client = w->ClientArea().translated(-w->HostArea().topLeft());
  if (client != rect()) {
    // The non-client parts inside this widget: all the frame, or the edges
    // within the window manager's frame. The corner between two scroll bars
    // stays button face.
    QImage frame(size(), QImage::Format_RGB32);
    frame.fill(QColor(GetRValue(GetSysColor(COLOR_3DFACE)), GetGValue(GetSysColor(COLOR_3DFACE)),
                      GetBValue(GetSysColor(COLOR_3DFACE))));
    if (HDC dc = CreateSurfaceDC(frame)) {
      DrawFrame(dc, width(), height(), LookOf(*w), !FramedByWindowManager(w->style));
      DeleteDC(dc);
    }
    p.setClipRegion(QRegion(rect()) - QRegion(client));
    p.drawImage(0, 0, frame);
    p.setClipping(false);
  }
  if (!w->backing.isNull()) p.drawImage(client.topLeft(), w->backing);
}

void HostWidget::resizeEvent(QResizeEvent*) {
  auto w = Lookup(hwnd_);
  // Only a size that Qt chose itself (the window manager, a maximised window) is news.
  if (!w) return;
  if (isWindow() && !w->IsChild()) TopLevelResized(*w);
  else TakeHostSize(*w);
}

void HostWidget::moveEvent(QMoveEvent*) {
  auto w = Lookup(hwnd_);
  if (!w || !isWindow()) return;
  const QPoint at = geometry().topLeft();
  if (at == HostGeometry(*w).topLeft()) return;
  w->rect.moveTopLeft(at - w->HostArea().topLeft());
  const QPoint client = w->rect.topLeft() + w->ClientArea().topLeft();
  SendMessage(hwnd_, WM_MOVE, 0, MAKELPARAM(client.x(), client.y()));
}

// Maximised by the window manager or back: the hints follow the state, and
// the size is taken or put back.
void HostWidget::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() != QEvent::WindowStateChange || !isWindow()) return;
  if (auto w = Lookup(hwnd_))
    TopLevelStateChanged(*w, static_cast<QWindowStateChangeEvent*>(e)->oldState());
}

// The window manager's close button and Alt+F4 ask the window, as on Windows:
// its own handler may refuse, default processing destroys it.
void HostWidget::closeEvent(QCloseEvent* e) {
  e->ignore();
  if (Lookup(hwnd_)) SendMessage(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void HostWidget::SendMouse(QMouseEvent* e) {
  auto w = Lookup(hwnd_);
  if (!w) return;
  const UINT msg = MouseMessage(hwnd_, e);
  if (!msg) return;
  // A child that is transparent to the mouse (HTTRANSPARENT, as a static
  // without SS_NOTIFY answers) leaves it to its parent, unless it holds the
  // capture.
  const QPoint screen = e->globalPosition().toPoint();
  if (w->IsChild() && GetCapture() != hwnd_ &&
      SendMessage(hwnd_, WM_NCHITTEST, 0, MAKELPARAM(screen.x(), screen.y())) == HTTRANSPARENT) {
    auto p = Lookup(w->parent);
    if (auto* parentHost = p ? dynamic_cast<HostWidget*>(p->host.data()) : nullptr) {
      QMouseEvent there(e->type(), parentHost->mapFromGlobal(e->globalPosition()), e->globalPosition(), e->button(),
                        e->buttons(), e->modifiers());
      parentHost->SendMouse(&there);
    }
    return;
  }
  const QPoint client = e->position().toPoint() - (w->ClientArea().topLeft() - w->HostArea().topLeft());
  SendMouseMessage(hwnd_, msg, e, client);
}

void HostWidget::mousePressEvent(QMouseEvent* e) { SendMouse(e); }
void HostWidget::mouseReleaseEvent(QMouseEvent* e) { SendMouse(e); }
void HostWidget::mouseDoubleClickEvent(QMouseEvent* e) { SendMouse(e); }
void HostWidget::mouseMoveEvent(QMouseEvent* e) { SendMouse(e); }

void HostWidget::leaveEvent(QEvent*) {
  auto w = Lookup(hwnd_);
  if (!w || !w->trackingLeave) return;
  w->trackingLeave = false;
  SendMessage(hwnd_, WM_MOUSELEAVE, 0, 0);
}

void HostWidget::timerEvent(QTimerEvent* e) {
  auto w = Lookup(hwnd_);
  if (!w) return;
  for (const auto& [id, qtId] : w->timers) {
    if (qtId != e->timerId()) continue;
    const UINT_PTR timerId = id;
    auto proc = w->timerProcs.find(timerId);
    if (proc != w->timerProcs.end() && proc->second)
      proc->second(hwnd_, WM_TIMER, timerId, GetTickCount());
    else
      SendMessage(hwnd_, WM_TIMER, timerId, 0);
    return;
  }
}

void HostWidget::keyPressEvent(QKeyEvent* e) {
  if (!HandleKeyPress(hwnd_, e)) QWidget::keyPressEvent(e);
}

void HostWidget::keyReleaseEvent(QKeyEvent* e) { HandleKeyRelease(hwnd_, e); }

void HostWidget::focusInEvent(QFocusEvent*) { FocusCameFromQt(hwnd_); }

}  // namespace qv::win32
