#include "platform/win32/window_manager.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindowStateChangeEvent>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/win32/frame.h"
#include "platform/win32/host_widget.h"

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

namespace qv::win32 {
namespace {

constexpr const char* kStyleProperty = "qvFollowedStyle";
// The states that the program itself asked for (ShowWindow): never undone.
constexpr const char* kAskedProperty = "qvAskedStates";

std::atomic<bool> g_maximiseNeedsResize{false};

#if QT_CONFIG(xcb)
xcb_connection_t* Connection() {
  auto* app = qGuiApp;
  if (auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr) return x11->connection();
  return nullptr;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

struct Atoms {
  xcb_atom_t motif, allowed, maximiseHorz, maximiseVert;
};
const Atoms& TheAtoms(xcb_connection_t* c) {
  static const Atoms atoms{Atom(c, "_MOTIF_WM_HINTS"), Atom(c, "_NET_WM_ALLOWED_ACTIONS"),
                           Atom(c, "_NET_WM_ACTION_MAXIMIZE_HORZ"), Atom(c, "_NET_WM_ACTION_MAXIMIZE_VERT")};
  return atoms;
}

// The 32-bit items of a window's property; false without it.
bool ReadProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, std::vector<std::uint32_t>* out) {
  xcb_get_property_reply_t* reply =
      xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 64), nullptr);
  const bool there = reply && reply->type != XCB_ATOM_NONE && reply->format == 32;
  if (there) {
    const auto* items = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
    out->assign(items, items + xcb_get_property_value_length(reply) / 4);
  }
  std::free(reply);
  return there;
}

xcb_window_t NativeWindow(const QWidget* window) {
  return window && window->isWindow() ? static_cast<xcb_window_t>(window->internalWinId()) : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
}

// The window's Motif hints as the rule gives them, written where they differ.
void WriteMotifHints(QWidget* window) {
  xcb_connection_t* c = Connection();
  const xcb_window_t native = NativeWindow(window);
  if (!c || native == XCB_WINDOW_NONE) return;
  const MotifHints want = MotifHintsFor(FollowedStyle(window), window->isMaximized());
  MotifHints have;
  if (ReadMotifHints(window, &have) && have == want) return;
  const std::uint32_t items[5] = {want.flags, want.functions, want.decorations, 0, 0};
  const xcb_atom_t motif = TheAtoms(c).motif;
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, native, motif, motif, 32, 5, items);
  xcb_flush(c);
}

void RewriteAll() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->property(kStyleProperty).isValid()) WriteMotifHints(w);
}

// A window manager that leaves the maximise action out for a window that has
// the maximise function but not the resize one maximises only resizable
// windows: from now on such windows get the resize function too.
void LearnFromAllowedActions(QWidget* window) {
  xcb_connection_t* c = Connection();
  const DWORD style = FollowedStyle(window);
  if (!c || !(style & WS_MAXIMIZEBOX) || g_maximiseNeedsResize.load()) return;
  MotifHints have;
  if (!ReadMotifHints(window, &have) || (have.functions & kMwmFuncResize) || !(have.functions & kMwmFuncMaximize))
    return;
  std::vector<std::uint32_t> allowed;
  if (!ReadProperty(c, NativeWindow(window), TheAtoms(c).allowed, &allowed)) return;
  bool horz = false, vert = false;
  for (std::uint32_t a : allowed) {
    horz = horz || a == TheAtoms(c).maximiseHorz;
    vert = vert || a == TheAtoms(c).maximiseVert;
  }
  if (horz && vert) return;
  g_maximiseNeedsResize = true;
  RewriteAll();
}

class HintsFilter : public QAbstractNativeEventFilter {
 public:
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* e = static_cast<const xcb_generic_event_t*>(message);
    if ((e->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
    const auto* p = reinterpret_cast<const xcb_property_notify_event_t*>(e);
    xcb_connection_t* c = Connection();
    if (!c || (p->atom != TheAtoms(c).motif && p->atom != TheAtoms(c).allowed)) return false;
    QWidget* window = QWidget::find(static_cast<WId>(p->window));
    if (!window || !window->isWindow() || !window->property(kStyleProperty).isValid()) return false;
    // Qt wrote its own (it always adds the resize function): ours again.
    if (p->atom == TheAtoms(c).motif) WriteMotifHints(window);
    else LearnFromAllowedActions(window);
    return false;
  }
};
#endif


// A window manager's maximise, full screen or minimise that the styles
// forbid is undone, as a window on Windows never takes a state its styles
// forbid from the person. A window without a minimise box minimised with its
// owner stays so until the owner comes back.
void UndoForbiddenState(QWidget* window, Qt::WindowStates before) {
  const DWORD style = FollowedStyle(window);
  const Qt::WindowStates now = window->windowState();
  const Qt::WindowStates asked = AskedStates(window);
  const bool mayMaximise = (style & (WS_MAXIMIZEBOX | WS_THICKFRAME)) != 0;
  if ((now & Qt::WindowFullScreen) && !(asked & Qt::WindowFullScreen) && !(style & WS_THICKFRAME)) {
    window->setWindowState((before & Qt::WindowMaximized) && mayMaximise ? Qt::WindowMaximized : Qt::WindowNoState);
  } else if ((now & Qt::WindowMaximized) && !(asked & Qt::WindowMaximized) && !mayMaximise) {
    window->setWindowState(now & ~Qt::WindowMaximized);
  } else if ((now & Qt::WindowMinimized) && !(asked & Qt::WindowMinimized) && !(style & WS_MINIMIZEBOX)) {
    const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    if (!owner || !owner->isMinimized()) window->setWindowState(now & ~Qt::WindowMinimized);
  }
}

// Keeps the rule for the windows that follow it: hints on show and on a new
// native window, forbidden states undone, a fixed size put back.
class StyleFollower : public QObject {
 public:
  bool eventFilter(QObject* target, QEvent* e) override {
    auto* window = qobject_cast<QWidget*>(target);
    if (!window || !window->isWindow()) return false;
    switch (e->type()) {
      case QEvent::Show:
      case QEvent::WinIdChange:
#if QT_CONFIG(xcb)
        WriteMotifHints(window);
#endif
        break;
      case QEvent::WindowStateChange: {
        const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(e)->oldState();
        QPointer<QWidget> guard(window);
        // After Qt and the window manager are through with this change.
        QTimer::singleShot(0, window, [guard, before] {
          if (!guard) return;
          UndoForbiddenState(guard, before);
#if QT_CONFIG(xcb)
          WriteMotifHints(guard);
#endif
        });
        break;
      }
      case QEvent::Resize: KeepFixedSize(window); break;
      default: break;
    }
    return false;
  }

 private:
  // min = max: the window manager resized a fixed window on a request.
  static void KeepFixedSize(QWidget* window) {
    // A host keeps its window's size itself (top_level.h).
    if (dynamic_cast<HostWidget*>(window) || (FollowedStyle(window) & WS_THICKFRAME)) return;
    if (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) return;
    if (window->minimumSize() != window->maximumSize() || window->size() == window->minimumSize()) return;
    QPointer<QWidget> guard(window);
    QTimer::singleShot(100, window, [guard] {
      if (!guard || guard->windowState() != Qt::WindowNoState) return;
      if (guard->minimumSize() == guard->maximumSize() && guard->size() != guard->minimumSize())
        guard->resize(guard->minimumSize());
    });
  }
};

}  // namespace

bool PlatformMaximises() {
#if QT_CONFIG(xcb)
  if (xcb_connection_t* c = Connection()) {
    // The EWMH check: the root names a window that names itself. A window
    // manager that ended leaves the root's property behind, naming a window
    // that is gone.
    const xcb_atom_t check = Atom(c, "_NET_SUPPORTING_WM_CHECK");
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (check == XCB_ATOM_NONE || !screen) return false;
    std::vector<std::uint32_t> named;
    if (!ReadProperty(c, screen->root, check, &named) || named.empty()) return false;
    std::vector<std::uint32_t> self;
    return ReadProperty(c, named[0], check, &self) && !self.empty() && self[0] == named[0];
  }
#endif
  return true;
}

MotifHints MotifHintsFor(DWORD style, bool maximised) {
  MotifHints h;
  h.flags = kMwmHintsFunctions | kMwmHintsDecorations;
  const bool framed = FramedByWindowManager(style);
  if (framed) {
    h.functions |= kMwmFuncMove;
    h.decorations |= kMwmDecorBorder | kMwmDecorTitle;
  }
  if (style & WS_THICKFRAME) {
    h.functions |= kMwmFuncResize;
    if (framed) h.decorations |= kMwmDecorResizeHandle;
  }
  if (style & WS_MINIMIZEBOX) h.functions |= kMwmFuncMinimize;
  if (style & WS_MAXIMIZEBOX) {
    h.functions |= kMwmFuncMaximize;
    // Maximising wins where a window manager maximises only what it may resize.
    if (maximised || g_maximiseNeedsResize.load()) h.functions |= kMwmFuncResize;
  }
  if (style & WS_SYSMENU) {
    h.functions |= kMwmFuncClose;
    // The boxes come with the system menu, as Windows draws them.
    if (framed) {
      h.decorations |= kMwmDecorMenu;
      if (style & WS_MINIMIZEBOX) h.decorations |= kMwmDecorMinimize;
      if (style & WS_MAXIMIZEBOX) h.decorations |= kMwmDecorMaximize;
    }
  }
  return h;
}

bool FixedSizeFor(DWORD style) { return !(style & (WS_THICKFRAME | WS_MAXIMIZEBOX)); }

void SetMaximiseNeedsResize(bool needs) { g_maximiseNeedsResize = needs; }

void FollowStyles(QWidget* window, DWORD style) {
  if (!window) return;
  const bool first = !window->property(kStyleProperty).isValid();
  const bool changed = first || FollowedStyle(window) != style;
  window->setProperty(kStyleProperty, static_cast<qulonglong>(style));
  if (first) {
    static StyleFollower* follower = new StyleFollower;
    window->installEventFilter(follower);
#if QT_CONFIG(xcb)
    static bool filtering = [] {
      if (!Connection()) return false;
      QCoreApplication::instance()->installNativeEventFilter(new HintsFilter);
      return true;
    }();
    (void)filtering;
#endif
  }
#if QT_CONFIG(xcb)
  if (changed) WriteMotifHints(window);
#else
  (void)changed;
#endif
}

DWORD FollowedStyle(const QWidget* window) {
  return window ? static_cast<DWORD>(window->property(kStyleProperty).toULongLong()) : 0;
}

void SetAskedStates(QWidget* window, Qt::WindowStates states) {
  if (window) window->setProperty(kAskedProperty, states.toInt());
}

Qt::WindowStates AskedStates(const QWidget* window) {
  return window ? Qt::WindowStates::fromInt(window->property(kAskedProperty).toInt()) : Qt::WindowStates();
}

bool ReadMotifHints(const QWidget* window, MotifHints* out) {
#if QT_CONFIG(xcb)
  xcb_connection_t* c = Connection();
  std::vector<std::uint32_t> items;
  if (!c || NativeWindow(window) == XCB_WINDOW_NONE || !ReadProperty(c, NativeWindow(window), TheAtoms(c).motif, &items) ||
      items.size() < 3)
    return false;
  *out = MotifHints{items[0], items[1], items[2]};
  return true;
#else
  (void)window, (void)out;
  return false;
#endif
}

}  // namespace qv::win32
