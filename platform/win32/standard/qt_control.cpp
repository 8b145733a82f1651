#include "platform/win32/standard/qt_control.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleFactory>
#include <memory>

#include "platform/win32/gdi/gdi_qt.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/input/mouse.h"

namespace qv::win32 {
namespace {

QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

bool TypesText(const QKeyEvent* e) {
  const QString text = e->text();
  return !text.isEmpty() && text[0] != QChar(0x7F);
}

}  // namespace

QStyle* ClassicStyle() {
  static QStyle* style = QStyleFactory::create("Windows");
  return style;
}

void ApplyClassicStyle(QWidget* w) {
  QStyle* style = ClassicStyle();
  if (!w || !style) return;
  w->setStyle(style);
  for (QWidget* child : w->findChildren<QWidget*>()) child->setStyle(style);
}

QtControl::QtControl(HWND hwnd, QWidget* widget, std::function<bool()> colours)
    : hwnd_(hwnd), widget_(widget), colours_(std::move(colours)) {
  auto w = Lookup(hwnd);
  if (w && w->host) {
    widget->setParent(w->host);
    // The host hands the focus on to the widget: SetFocus of the window
    // focuses what the user types into.
    w->host->setFocusProxy(widget);
    host_ = w->host.data();
    host_->installEventFilter(this);
  }
  widget->setFocusPolicy(Qt::ClickFocus);
  widget->setAutoFillBackground(true);
  Watch(widget);
  Layout();
  widget->show();
}

QtControl::~QtControl() = default;

void QtControl::Watch(QWidget* w) {
  if (!w) return;
  w->installEventFilter(this);
  if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) area->viewport()->installEventFilter(this);
}

void QtControl::Layout() {
  auto w = Lookup(hwnd_);
  if (w && widget_) widget_->setGeometry(w->ClientArea());
}

void QtControl::ForwardCurrentKey() {
  QKeyEvent* e = CurrentKeyEvent();
  if (!e || !widget_) return;
  QWidget* target = keyReceiver_ ? keyReceiver_.data() : widget_->focusWidget() ? widget_->focusWidget() : widget_.data();
  QKeyEvent copy(e->type(), e->key(), e->modifiers(), e->text(), e->isAutoRepeat(), static_cast<quint16>(e->count()));
  const bool was = forwarding_;
  forwarding_ = true;
  QCoreApplication::sendEvent(target, &copy);
  forwarding_ = was;
}

void QtControl::ForwardCurrentMouse() {
  if (!mouse_ || !mouseReceiver_) return;
  std::unique_ptr<QEvent> copy(mouse_->clone());
  const bool was = forwarding_;
  forwarding_ = true;
  QCoreApplication::sendEvent(mouseReceiver_, copy.get());
  forwarding_ = was;
}

bool QtControl::RouteMouse(QWidget* receiver, QMouseEvent* event) {
  const UINT msg = MouseMessage(hwnd_, event);
  if (!msg || !widget_) return false;
  const QPoint client = receiver->mapTo(widget_.data(), event->position().toPoint());
  const QPointer<QWidget> previousReceiver = mouseReceiver_;
  QMouseEvent* const previous = mouse_;
  mouseReceiver_ = receiver;
  mouse_ = event;
  SendMouseMessage(hwnd_, msg, event, client);
  mouseReceiver_ = previousReceiver;
  mouse_ = previous;
  return true;
}

bool QtControl::Handle(UINT msg, WPARAM wParam, LPARAM, LRESULT* result) {
  *result = 0;
  switch (msg) {
    case WM_SIZE:
      Layout();
      return true;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      if (widget_) widget_->setFont(ToQFont(font_));
      return true;
    case WM_GETFONT:
      *result = reinterpret_cast<LRESULT>(font_);
      return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      // The context-menu keys ask for WM_CONTEXTMENU (the default processing).
      if (IsContextMenuKey(wParam)) return false;
      // Keys that type nothing reach the widget here; the others with WM_CHAR.
      if (CurrentKeyEvent() && !TypesText(CurrentKeyEvent())) ForwardCurrentKey();
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
      ForwardCurrentMouse();
      return true;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      // Qt would select with the right button; a Windows control leaves it to
      // the context menu, which WM_RBUTTONUP's default processing asks for.
      return true;
    case WM_CHAR:
    case WM_SYSCHAR:
      if (CurrentKeyEvent() && TypesText(CurrentKeyEvent())) ForwardCurrentKey();
      return true;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      ForwardCurrentKey();
      return true;
    case WM_ERASEBKGND:
      *result = TRUE;
      return true;
    case WM_PAINT:
      // The window's paint is the widget's: its colours are asked for now,
      // as a control asks at every paint on Windows.
      ValidateRect(hwnd_, nullptr);
      if (colours_ && colours_() && widget_) widget_->update();
      return true;
    default:
      return false;
  }
}

bool QtControl::ApplyLook(QWidget* w, const ControlLook& look) {
  if (!w) return false;
  QPalette p = w->palette();
  const QColor text = ToQColor(look.text);
  const QColor base = look.hollowBrush ? QColor(Qt::transparent) : ToQColor(look.background);
  const QColor grey = ToQColor(GetSysColor(COLOR_GRAYTEXT));
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    const bool disabled = g == QPalette::Disabled;
    p.setColor(g, QPalette::Text, disabled ? grey : text);
    p.setColor(g, QPalette::WindowText, disabled ? grey : text);
    p.setColor(g, QPalette::Base, base);
    p.setColor(g, QPalette::Window, base);
    // A drop-down list's field is drawn as a button face by Qt.
    if (qobject_cast<QComboBox*>(w)) p.setColor(g, QPalette::Button, base);
    p.setColor(g, QPalette::Highlight, ToQColor(GetSysColor(COLOR_HIGHLIGHT)));
    p.setColor(g, QPalette::HighlightedText, ToQColor(GetSysColor(COLOR_HIGHLIGHTTEXT)));
  }
  if (p == w->palette()) return false;
  w->setPalette(p);
  return true;
}

bool QtControl::eventFilter(QObject* watched, QEvent* event) {
  const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
  // A forwarded key that the widget leaves goes no further: the host has
  // had its messages already.
  if (watched == host_) return forwarding_ && key;
  auto* receiver = qobject_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      if (forwarding_) return false;
      const QPointer<QWidget> previous = keyReceiver_;
      keyReceiver_ = receiver;
      bool done = true;
      if (event->type() == QEvent::KeyPress)
        done = HandleKeyPress(hwnd_, static_cast<QKeyEvent*>(event));
      else
        HandleKeyRelease(hwnd_, static_cast<QKeyEvent*>(event));
      keyReceiver_ = previous;
      return done;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      // The widgets inside the window; a combo box's open list is a window
      // of its own, with Qt's mouse handling.
      if (forwarding_ || !receiver || !widget_ || (receiver != widget_ && !widget_->isAncestorOf(receiver))) return false;
      return RouteMouse(receiver, static_cast<QMouseEvent*>(event));
    case QEvent::ContextMenu:
      // Qt's own menu never shows: WM_CONTEXTMENU asks for the window's.
      return true;
    case QEvent::FocusIn:
      FocusCameFromQt(hwnd_);
      return false;
    case QEvent::Paint:
      // The parent decides the colours at every paint, as WM_CTLCOLOR* is sent
      // at every paint on Windows.
      if (!colouring_ && colours_ && Lookup(hwnd_)) {
        colouring_ = true;
        const bool changed = colours_();
        colouring_ = false;
        // The background of this paint was filled already: the new colours
        // show from the next one, which is asked for now.
        if (changed)
          if (auto* w = qobject_cast<QWidget*>(watched)) QMetaObject::invokeMethod(w, [w] { w->update(); }, Qt::QueuedConnection);
      }
      return false;
    default:
      return QObject::eventFilter(watched, event);
  }
}

}  // namespace qv::win32
