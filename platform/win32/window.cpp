#include "platform/win32/window.h"

#include <QApplication>
#include <algorithm>

#include "platform/core/bounded_text.h"
#include "platform/core/handle_table.h"
#include "platform/win32/cwnd.h"
#include "platform/win32/frame.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/input/mouse.h"
#include "platform/win32/standard/scroll_bar.h"
#include "platform/win32/top_level.h"
#include "platform/win32/window_object.h"

namespace qv::win32 {
namespace {

HandleTable<HWND, WindowObject>& Table() {
  static auto* table = new HandleTable<HWND, WindowObject>(0x10000);
  return *table;
}

// The window to bind a CWnd to before its first message (CWnd::CreateEx).
thread_local CWnd* t_creating = nullptr;

QPoint ClientOriginOnScreen(const WindowObject& w) {
  QPoint origin = w.rect.topLeft() + w.ClientArea().topLeft();
  if (w.IsChild() && w.parent)
    if (auto p = Lookup(w.parent)) origin += ClientOriginOnScreen(*p);
  return origin;
}

void CollectTree(HWND hwnd, std::vector<std::shared_ptr<WindowObject>>& out) {
  auto w = Lookup(hwnd);
  if (!w) return;
  out.push_back(w);
  for (HWND child : w->children) CollectTree(child, out);
}

// A window just shown is uncovered with every shown window inside it: all of
// them need a whole paint, also those whose earlier paint requests found them
// hidden and were dropped.
void InvalidateShownTree(WindowObject& w) {
  Invalidate(w, QRegion(QRect(QPoint(0, 0), w.ClientArea().size())), true);
  for (HWND child : w.children)
    if (auto c = Lookup(child); c && (c->style & WS_VISIBLE)) InvalidateShownTree(*c);
}

void PlaceHost(WindowObject& w) {
  if (!w.host) return;
  // First: Qt holds a top-level window's geometry to its size hints.
  ApplySizeHints(w);
  w.host->setGeometry(HostGeometry(w));
}

// The windows that hwnd owns (top-level windows whose parent it is).
std::vector<HWND> OwnedWindows(HWND hwnd) {
  std::vector<HWND> owned;
  Table().ForEach([&](HWND, const WindowObject& w) {
    if (w.parent == hwnd && !w.IsChild()) owned.push_back(w.hwnd);
  });
  return owned;
}

// A change of style or extended style that moves the frame resizes the client area.
void FrameChanged(WindowObject& w, DWORD styleBefore, const QRect& clientBefore, const QRect& hostBefore) {
  if (!w.host) return;
  w.host->update();
  // A caption gained or lost changes who frames a top-level window. Qt hides
  // a window whose flags change; it is shown again once placed, so that no
  // stale geometry comes back as a window manager resize.
  const bool reframed = !w.IsChild() && TopLevelFlags(styleBefore, w.parent != nullptr) !=
                                            TopLevelFlags(w.style, w.parent != nullptr);
  if (reframed) w.host->setWindowFlags(TopLevelFlags(w.style, w.parent != nullptr));
  ApplySizeHints(w);
  if (w.ClientArea() != clientBefore || w.HostArea() != hostBefore) {
    PlaceHost(w);
    for (HWND child : w.children)
      if (auto c = Lookup(child)) PlaceHost(*c);
    ClientAreaChanged(w);
  }
  if (reframed) w.host->setVisible((w.style & WS_VISIBLE) != 0);
}

// Runs call on the window's thread: at once there, else queued in order.
template <typename F>
bool OnOwnThread(const std::shared_ptr<WindowObject>& w, F call) {
  if (w->thread->IsCurrent()) return false;
  HWND hwnd = w->hwnd;
  w->thread->PostCall(hwnd, [hwnd, call] {
    if (Lookup(hwnd)) call();
  });
  return true;
}

}  // namespace

bool ShownOnScreen(const WindowObject& w) {
  if (!(w.style & WS_VISIBLE)) return false;
  if (!w.IsChild() || !w.parent) return true;
  auto p = Lookup(w.parent);
  return p && ShownOnScreen(*p);
}

QRect WindowObject::ClientArea() const {
  const QMargins m = LayoutFrame(style, exStyle).ToClient();
  const int width = rect.width() - m.left() - m.right() - (bars[SB_VERT].visible ? GetSystemMetrics(SM_CXVSCROLL) : 0);
  const int height =
      rect.height() - m.top() - m.bottom() - (bars[SB_HORZ].visible ? GetSystemMetrics(SM_CYHSCROLL) : 0);
  return QRect(m.left(), m.top(), std::max(width, 0), std::max(height, 0));
}

FrameLook LookOf(const WindowObject& w) {
  FrameLook look{w.style, w.exStyle, w.text, false};
  // A top-level caption is active unless another window is; a child's is not.
  if (!w.IsChild()) {
    const QWidget* active = QApplication::activeWindow();
    look.active = !active || active == w.host.data();
  }
  return look;
}

QRect HostGeometry(const WindowObject& w) {
  const QRect area = w.HostArea();
  QPoint at = w.rect.topLeft() + area.topLeft();
  // A parent's host starts at its host area, its children's rectangles at its client area.
  if (w.IsChild() && w.parent)
    if (auto p = Lookup(w.parent)) at += p->ClientArea().topLeft() - p->HostArea().topLeft();
  return QRect(at, area.size());
}

QRect WindowObject::HostArea() const {
  const QRect all(QPoint(0, 0), rect.size());
  if (!FramedByWindowManager(style)) return all;
  const QRect inside = all.marginsRemoved(LayoutFrame(style, exStyle).Outer());
  return QRect(inside.topLeft(), inside.size().expandedTo(QSize(0, 0)));
}

std::shared_ptr<WindowObject> Lookup(HWND hwnd) { return Table().Find(hwnd); }

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  Table().ForEach([&](HWND, const WindowObject& w) {
    if (!w.IsChild()) windows.push_back(w.hwnd);
  });
  // Handles grow with each window made.
  std::sort(windows.begin(), windows.end(), [](HWND a, HWND b) {
    return reinterpret_cast<std::uintptr_t>(a) < reinterpret_cast<std::uintptr_t>(b);
  });
  return windows;
}

HWND Register(std::shared_ptr<WindowObject> window) {
  WindowObject* raw = window.get();
  return Table().Add(std::move(window), [raw](HWND hwnd) { raw->hwnd = hwnd; });
}

// The object comes back from the table and dies outside its lock: the
// CWnd it may hold looks windows up as it goes.
void Unregister(HWND hwnd) { Table().Remove(hwnd); }

LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = Lookup(hwnd);
  if (!w) return 0;
  if (w->cwnd) return w->cwnd->WindowProc(msg, wParam, lParam);
  return w->proc(hwnd, msg, wParam, lParam);
}

void ClientAreaChanged(WindowObject& w) {
  const QRect client = w.ClientArea();
  if (w.host) w.host->LayoutScrollBars(w);
  ResizeBacking(w);
  Invalidate(w, QRegion(0, 0, client.width(), client.height()), true);
  const bool maximized = w.host && !w.IsChild() && w.host->isMaximized();
  Dispatch(w.hwnd, WM_SIZE, maximized ? SIZE_MAXIMIZED : SIZE_RESTORED, MAKELPARAM(client.width(), client.height()));
}

void Invalidate(WindowObject& w, const QRegion& area, bool erase) {
  const QRegion clipped = area.intersected(QRect(QPoint(0, 0), w.ClientArea().size()));
  if (clipped.isEmpty()) return;
  w.updateRegion += clipped;
  w.eraseNeeded = w.eraseNeeded || erase;
  if (!w.paintPosted) {
    w.paintPosted = true;
    w.thread->PostPaint(w.hwnd);
  }
}

void BindCreatingWindow(CWnd* wnd) { t_creating = wnd; }

}  // namespace qv::win32

using namespace qv::win32;

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, int idOrMenu, void* param) {
  auto cls = FindClass(className);
  CWnd* binding = t_creating;
  t_creating = nullptr;
  if (!cls) return nullptr;
  std::shared_ptr<WindowObject> parentObject;
  if (parent) {
    parentObject = Lookup(parent);
    if (!parentObject || !parentObject->thread->IsCurrent()) return nullptr;
  }
  if ((style & WS_CHILD) && !parentObject) return nullptr;

  auto w = std::make_shared<WindowObject>();
  w->windowClass = cls;
  w->proc = cls->proc;
  w->style = style & ~(WS_VSCROLL | WS_HSCROLL);
  w->exStyle = exStyle;
  w->id = (style & WS_CHILD) ? idOrMenu : 0;
  w->parent = parent;
  w->text = windowName ? windowName : "";
  w->rect = QRect(x, y, std::max(width, 0), std::max(height, 0));
  w->thread = UiThread::Current();
  const HWND hwnd = Register(w);
  // An owned window is a top-level window of its own, not one of the owner's children.
  const bool child = (style & WS_CHILD) != 0;
  if (parentObject && child) parentObject->children.push_back(hwnd);

  w->host = new HostWidget(hwnd, parentObject ? parentObject->host.data() : nullptr);
  if (!child) {
    w->host->setWindowFlags(TopLevelFlags(style, parentObject != nullptr));
    w->host->setWindowTitle(QString::fromStdString(w->text));
  }
  PlaceHost(*w);
  w->bars[SB_VERT].visible = (style & WS_VSCROLL) != 0;
  w->bars[SB_HORZ].visible = (style & WS_HSCROLL) != 0;
  w->style |= style & (WS_VSCROLL | WS_HSCROLL);
  w->host->SyncEnabled();
  if (binding) binding->BindHandle(hwnd);

  CREATESTRUCTA cs{param, parent, w->id, height, width, y, x, style, windowName, className, exStyle};
  if (Dispatch(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!Lookup(hwnd)) return nullptr;
  ClientAreaChanged(*w);
  // Hidden explicitly: Qt would show a never-hidden child with its parent.
  w->host->setVisible((style & WS_VISIBLE) != 0);
  return hwnd;
}

BOOL DestroyWindow(HWND hwnd) {
  auto w = Lookup(hwnd);
  if (!w || !w->thread->IsCurrent()) return FALSE;
  if (w->destroyMessageSent) return TRUE;  // already on its way
  // Owned windows go first, as on Windows.
  for (HWND owned : OwnedWindows(hwnd)) DestroyWindow(owned);
  if (w->destroyMessageSent || !Lookup(hwnd)) return TRUE;
  std::vector<std::shared_ptr<WindowObject>> tree;
  CollectTree(hwnd, tree);
  // Windows of the tree that an earlier destruction already reached (a handler
  // destroying a child of its own) are not this one's to destroy.
  std::erase_if(tree, [](const auto& node) { return node->destroyMessageSent; });
  for (auto& node : tree) {
    node->destroying.store(true, std::memory_order_release);
    node->thread->CancelSendsTo(node->hwnd);
    for (const auto& timer : node->timers)
      if (node->host) node->host->StopTimer(timer.second);
    node->timers.clear();
  }
  if (w->host) w->host->hide();
  // A handler may destroy a window of the tree then and there: it is skipped.
  for (auto& node : tree) {
    if (node->destroyMessageSent || !Lookup(node->hwnd)) continue;
    node->destroyMessageSent = true;
    Dispatch(node->hwnd, WM_DESTROY, 0, 0);
  }
  for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
    if (!Lookup((*it)->hwnd)) continue;
    Dispatch((*it)->hwnd, WM_NCDESTROY, 0, 0);
    Unregister((*it)->hwnd);
  }
  if (w->parent && w->IsChild())
    if (auto p = Lookup(w->parent)) std::erase(p->children, hwnd);
  // Later, not now: the host may be in the middle of one of its own events.
  if (w->host) w->host->deleteLater();
  return TRUE;
}

BOOL IsWindow(HWND hwnd) { return Lookup(hwnd) ? TRUE : FALSE; }

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = Lookup(hwnd);
  if (!w) return 0;
  if (LRESULT r = 0; DefaultInputMessage(hwnd, msg, wParam, lParam, &r)) return r;
  switch (msg) {
    case WM_SETTEXT:
      w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      if (w->host) {
        if (!w->IsChild()) w->host->setWindowTitle(QString::fromStdString(w->text));
        w->host->update();  // a caption we draw shows the title
      }
      return TRUE;
    case WM_GETTEXT:
      return static_cast<LRESULT>(qv::CopyBoundedText(w->text, reinterpret_cast<char*>(lParam), wParam));
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    case WM_ERASEBKGND:
      return EraseWithClassBackground(*w, wParam);
    case WM_PAINT:
      ValidatePaint(*w);
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE: SendMessage(hwnd, WM_CLOSE, 0, 0); break;
        case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); break;
        case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
        case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
        default: break;
      }
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    default:
      return 0;
  }
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

WNDPROC GetWindowProc(HWND hwnd) {
  auto w = Lookup(hwnd);
  return w ? w->proc : nullptr;
}

WNDPROC SetWindowProc(HWND hwnd, WNDPROC proc) {
  auto w = Lookup(hwnd);
  if (!w || !proc) return nullptr;
  return std::exchange(w->proc, proc);
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = Lookup(hwnd);
  if (!w) return 0;
  if (w->thread->IsCurrent()) return Dispatch(hwnd, msg, wParam, lParam);
  return w->thread->CarrySend(hwnd, msg, wParam, lParam, w->destroying);
}

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = Lookup(hwnd);
  if (!w) return FALSE;
  w->thread->Post(hwnd, msg, wParam, lParam);
  return TRUE;
}

BOOL SetWindowTextA(HWND hwnd, const char* text) {
  return IsWindow(hwnd) ? static_cast<BOOL>(SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text))) : FALSE;
}

int GetWindowTextA(HWND hwnd, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = '\0';
  return static_cast<int>(SendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthA(HWND hwnd) { return static_cast<int>(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0)); }

BOOL ShowWindow(HWND hwnd, int cmd) {
  auto w = Lookup(hwnd);
  if (!w) return FALSE;
  const BOOL wasVisible = (w->style & WS_VISIBLE) ? TRUE : FALSE;
  if (OnOwnThread(w, [hwnd, cmd] { ShowWindow(hwnd, cmd); })) return wasVisible;
  const bool show = cmd != SW_HIDE;
  if (show != static_cast<bool>(wasVisible)) {
    Dispatch(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    w->style = show ? (w->style | WS_VISIBLE) : (w->style & ~WS_VISIBLE);
  }
  if (!w->host) return wasVisible;
  if (show && !w->IsChild()) {
    // The window's state changes through Qt; its resize event brings WM_SIZE.
    ShowTopLevel(*w, cmd);
  } else {
    w->host->setVisible(show);
  }
  if (show && !wasVisible) InvalidateShownTree(*w);
  return wasVisible;
}

BOOL IsWindowVisible(HWND hwnd) {
  auto w = Lookup(hwnd);
  return w && ShownOnScreen(*w) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  auto w = Lookup(hwnd);
  if (!w) return FALSE;
  const BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
  if (OnOwnThread(w, [hwnd, enable] { EnableWindow(hwnd, enable); })) return wasDisabled;
  if (static_cast<bool>(enable) != static_cast<bool>(wasDisabled)) return wasDisabled;
  w->style = enable ? (w->style & ~WS_DISABLED) : (w->style | WS_DISABLED);
  if (w->host) w->host->SyncEnabled();
  Dispatch(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
  auto w = Lookup(hwnd);
  return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL SetWindowPos(HWND hwnd, HWND, int x, int y, int cx, int cy, UINT flags) {
  auto w = Lookup(hwnd);
  if (!w || !w->thread->IsCurrent()) return FALSE;
  QRect next = w->rect;
  if (!(flags & SWP_NOMOVE)) next.moveTopLeft(QPoint(x, y));
  if (!(flags & SWP_NOSIZE)) next.setSize(QSize(std::max(cx, 0), std::max(cy, 0)));
  const bool resized = next.size() != w->rect.size();
  const bool moved = next.topLeft() != w->rect.topLeft();
  w->rect = next;
  PlaceHost(*w);
  if (moved) {
    const QPoint origin = next.topLeft() + w->ClientArea().topLeft();
    Dispatch(hwnd, WM_MOVE, 0, MAKELPARAM(origin.x(), origin.y()));
  }
  if (resized) ClientAreaChanged(*w);
  if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, SW_SHOWNA);
  if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
  auto w = Lookup(hwnd);
  if (!w || !rect) return FALSE;
  const QRect c = w->ClientArea();
  *rect = RECT{0, 0, c.width(), c.height()};
  return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  auto w = Lookup(hwnd);
  if (!w || !rect) return FALSE;
  QPoint origin = w->rect.topLeft();
  if (w->IsChild() && w->parent)
    if (auto p = Lookup(w->parent)) origin += ClientOriginOnScreen(*p);
  *rect = RECT{origin.x(), origin.y(), origin.x() + w->rect.width(), origin.y() + w->rect.height()};
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
  auto w = Lookup(hwnd);
  if (!w || !point) return FALSE;
  const QPoint origin = ClientOriginOnScreen(*w);
  point->x -= origin.x();
  point->y -= origin.y();
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
  auto w = Lookup(hwnd);
  if (!w || !point) return FALSE;
  const QPoint origin = ClientOriginOnScreen(*w);
  point->x += origin.x();
  point->y += origin.y();
  return TRUE;
}

DWORD GetWindowStyle(HWND hwnd) {
  auto w = Lookup(hwnd);
  return w ? w->style.load() : 0;
}

void SetWindowStyle(HWND hwnd, DWORD style) {
  auto w = Lookup(hwnd);
  if (!w) return;
  const QRect client = w->ClientArea(), host = w->HostArea();
  const DWORD before = w->style;
  w->style = (style & ~(WS_VSCROLL | WS_HSCROLL | WS_VISIBLE | WS_DISABLED)) |
             (before & (WS_VSCROLL | WS_HSCROLL | WS_VISIBLE | WS_DISABLED));
  FrameChanged(*w, before, client, host);
  ShowScrollBar(hwnd, SB_VERT, (style & WS_VSCROLL) ? TRUE : FALSE);
  ShowScrollBar(hwnd, SB_HORZ, (style & WS_HSCROLL) ? TRUE : FALSE);
}

DWORD GetWindowExStyle(HWND hwnd) {
  auto w = Lookup(hwnd);
  return w ? w->exStyle : 0;
}

void SetWindowExStyle(HWND hwnd, DWORD exStyle) {
  auto w = Lookup(hwnd);
  if (!w) return;
  const QRect client = w->ClientArea(), host = w->HostArea();
  w->exStyle = exStyle;
  FrameChanged(*w, w->style, client, host);
}

HWND GetParent(HWND hwnd) {
  auto w = Lookup(hwnd);
  return w ? w->parent : nullptr;
}

HWND GetDlgItem(HWND parent, int id) {
  auto w = Lookup(parent);
  if (!w) return nullptr;
  for (HWND child : w->children) {
    auto c = Lookup(child);
    if (c && c->id == id) return child;
  }
  return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
  auto w = Lookup(hwnd);
  return w ? w->id : 0;
}

int GetClassNameA(HWND hwnd, char* buffer, int size) {
  auto w = Lookup(hwnd);
  if (!w || size <= 0) return 0;
  return static_cast<int>(qv::CopyBoundedText(w->windowClass->name, buffer, static_cast<size_t>(size)));
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT ms, TIMERPROC proc) {
  auto w = Lookup(hwnd);
  if (!w || !w->host || !w->thread->IsCurrent()) return 0;
  auto old = w->timers.find(id);
  if (old != w->timers.end()) w->host->StopTimer(old->second);
  // Windows raises a time-out below 10 ms to 10 ms.
  w->timers[id] = w->host->StartTimer(std::max(ms, 10u));
  w->timerProcs[id] = proc;
  return id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  auto w = Lookup(hwnd);
  if (!w || !w->thread->IsCurrent()) return FALSE;
  auto it = w->timers.find(id);
  if (it == w->timers.end()) return FALSE;
  if (w->host) w->host->StopTimer(it->second);
  w->timers.erase(it);
  w->timerProcs.erase(id);
  return TRUE;
}


