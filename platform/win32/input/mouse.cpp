#include "platform/win32/input/mouse.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPixmap>
#include <QWidget>
#include <array>

#include "platform/core/clock.h"
#include "platform/win32/application.h"
#include "platform/win32/cwnd.h"
#include "platform/win32/gdi/gdi_qt.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/icon/icon_object.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/window_object.h"

namespace qv::win32 {
namespace {

// Mouse state belongs to the UI thread, which alone calls these.
HWND g_capture = nullptr;
HWND g_over = nullptr;  // the window the mouse was last seen over
QPoint g_mouse;
bool g_mouseSeen = false;
HCURSOR g_cursor = nullptr;

struct Predefined {
  WORD id;
  Qt::CursorShape shape;
};
constexpr std::array<Predefined, 14> kCursors{{
    {32512, Qt::ArrowCursor}, {32513, Qt::IBeamCursor}, {32514, Qt::WaitCursor},
    {32515, Qt::CrossCursor}, {32516, Qt::UpArrowCursor}, {32642, Qt::SizeFDiagCursor},
    {32643, Qt::SizeBDiagCursor}, {32644, Qt::SizeHorCursor}, {32645, Qt::SizeVerCursor},
    {32646, Qt::SizeAllCursor}, {32648, Qt::ForbiddenCursor}, {32649, Qt::PointingHandCursor},
    {32650, Qt::BusyCursor}, {32651, Qt::WhatsThisCursor},
}};

QCursor ToQCursor(const IconObject& c) {
  if (c.cursorShape >= 0) return QCursor(static_cast<Qt::CursorShape>(c.cursorShape));
  // Transparent where the mask is white; the colour elsewhere.
  QImage color = ToQImage(c.color).convertToFormat(QImage::Format_ARGB32);
  const QImage mask = ToQImage(c.mask);
  for (int y = 0; y < color.height(); ++y)
    for (int x = 0; x < color.width(); ++x)
      if ((mask.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF) color.setPixel(x, y, 0);
  return QCursor(QPixmap::fromImage(color), c.hotSpot.x, c.hotSpot.y);
}

QWidget* HostOf(HWND hwnd) {
  auto w = Lookup(hwnd);
  return w && w->host ? w->host.data() : nullptr;
}

}  // namespace

void NoteMouse(HWND over, int screenX, int screenY) {
  g_over = over;
  g_mouse = QPoint(screenX, screenY);
  g_mouseSeen = true;
}

BOOL DefaultInputMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto w = Lookup(hwnd);
  if (!w) return FALSE;
  switch (msg) {
    case WM_SETCURSOR:
      // The parent may decide for its children first.
      if (w->IsChild() && w->parent && SendMessage(w->parent, WM_SETCURSOR, wParam, lParam)) {
        *result = TRUE;
      } else if (static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam))) == HTCLIENT) {
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        *result = TRUE;
      } else {
        *result = FALSE;
      }
      return TRUE;
    case WM_RBUTTONUP: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(hwnd, &p);
      SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(p.x, p.y));
      *result = 0;
      return TRUE;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (IsContextMenuKey(wParam)) {
        // From the keyboard the position is (-1, -1).
        SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(-1, -1));
        *result = 0;
        return TRUE;
      }
      return FALSE;
    case WM_CONTEXTMENU:
      *result = w->IsChild() && w->parent ? SendMessage(w->parent, WM_CONTEXTMENU, wParam, lParam) : 0;
      return TRUE;
    default:
      return FALSE;
  }
}

bool IsContextMenuKey(WPARAM vk) { return vk == VK_APPS || (vk == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000)); }

UINT MouseMessage(HWND hwnd, const QMouseEvent* e) {
  const bool left = e->button() == Qt::LeftButton, right = e->button() == Qt::RightButton;
  switch (e->type()) {
    case QEvent::MouseMove:
      return WM_MOUSEMOVE;
    case QEvent::MouseButtonPress:
      return left ? WM_LBUTTONDOWN : right ? WM_RBUTTONDOWN : 0;
    case QEvent::MouseButtonRelease:
      return left ? WM_LBUTTONUP : right ? WM_RBUTTONUP : 0;
    case QEvent::MouseButtonDblClick: {
      // Without CS_DBLCLKS a second click is just another press, as on Windows.
      auto w = Lookup(hwnd);
      const bool dbl = w && (w->windowClass->style & CS_DBLCLKS);
      if (left) return dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
      if (right) return dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
      return 0;
    }
    default:
      return 0;
  }
}

void SendMouseMessage(HWND hwnd, UINT msg, const QMouseEvent* e, QPoint client) {
  if (!Lookup(hwnd)) return;
  const QPoint screen = e->globalPosition().toPoint();
  NoteMouse(hwnd, screen.x(), screen.y());
  // Windows asks for the cursor before each mouse message, unless one window
  // has the capture.
  if (!GetCapture()) SendMessage(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, msg));
  if (!Lookup(hwnd)) return;
  WPARAM keys = 0;
  if (e->buttons() & Qt::LeftButton) keys |= MK_LBUTTON;
  if (e->buttons() & Qt::RightButton) keys |= MK_RBUTTON;
  if (e->modifiers() & Qt::ShiftModifier) keys |= MK_SHIFT;
  if (e->modifiers() & Qt::ControlModifier) keys |= MK_CONTROL;
  MSG m{hwnd, msg, keys, MAKELPARAM(client.x(), client.y()), GetTickCount(), POINT{screen.x(), screen.y()}};
  if (PreTranslateInput(&m)) return;
  SendMessage(hwnd, msg, m.wParam, m.lParam);
}

BOOL PreTranslateInput(MSG* msg) {
  if (!msg) return FALSE;
  for (HWND h = msg->hwnd; h; h = GetParent(h)) {
    CWnd* wnd = CWnd::FromHandlePermanent(h);
    if (wnd && wnd->PreTranslateMessage(msg)) return TRUE;
  }
  return FALSE;
}

}  // namespace qv::win32

using namespace qv::win32;

HWND SetCapture(HWND hwnd) {
  QWidget* host = HostOf(hwnd);
  if (!host) return nullptr;
  const HWND previous = GetCapture();
  if (previous == hwnd) return previous;
  if (QWidget* old = HostOf(previous)) old->releaseMouse();
  g_capture = hwnd;
  host->grabMouse();
  if (previous) SendMessage(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return previous;
}

BOOL ReleaseCapture() {
  const HWND previous = GetCapture();
  g_capture = nullptr;
  if (QWidget* host = HostOf(previous)) {
    host->releaseMouse();
    SendMessage(previous, WM_CAPTURECHANGED, 0, 0);
  }
  return TRUE;
}

HWND GetCapture() { return IsWindow(g_capture) ? g_capture : nullptr; }

BOOL GetCursorPos(POINT* point) {
  if (!point) return FALSE;
  const QPoint p = g_mouseSeen ? g_mouse : QCursor::pos();
  *point = POINT{p.x(), p.y()};
  return TRUE;
}

HWND WindowFromPoint(POINT point) {
  qv::Application();
  for (QWidget* w = QApplication::widgetAt(point.x, point.y); w; w = w->parentWidget())
    if (auto* host = dynamic_cast<HostWidget*>(w)) return host->Handle();
  return nullptr;
}

HWND ChildWindowFromPoint(HWND parent, POINT point) {
  auto p = Lookup(parent);
  if (!p) return nullptr;
  const QRect client(QPoint(0, 0), p->ClientArea().size());
  if (!client.contains(point.x, point.y)) return nullptr;
  for (HWND child : p->children)
    if (auto c = Lookup(child); c && c->rect.contains(point.x, point.y)) return child;
  return parent;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (instance || !IS_INTRESOURCE(name)) return nullptr;
  const WORD id = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name));
  static std::array<HCURSOR, kCursors.size()> loaded{};
  for (size_t i = 0; i < kCursors.size(); ++i) {
    if (kCursors[i].id != id) continue;
    if (!loaded[i]) {
      auto c = std::make_shared<IconObject>();
      c->width = c->height = 32;
      c->isIcon = false;
      c->shared = true;
      c->cursorShape = kCursors[i].shape;
      loaded[i] = AddIcon(std::move(c));
    }
    return loaded[i];
  }
  return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
  const HCURSOR previous = g_cursor;
  g_cursor = cursor;
  QWidget* host = HostOf(GetCapture() ? GetCapture() : g_over);
  if (!host) return previous;
  if (auto c = FindIcon(cursor))
    host->setCursor(ToQCursor(*c));
  else
    host->setCursor(QCursor(Qt::BlankCursor));
  return previous;
}

HCURSOR GetCursor() { return FindIcon(g_cursor) ? g_cursor : nullptr; }

BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme) {
  if (!tme) return FALSE;
  auto w = Lookup(tme->hwndTrack);
  if (!w) return FALSE;
  w->trackingLeave = (tme->dwFlags & TME_LEAVE) != 0;
  return TRUE;
}

BOOL _TrackMouseEvent(TRACKMOUSEEVENT* tme) { return TrackMouseEvent(tme); }

CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }
CWnd* CWnd::WindowFromPoint(POINT point) { return FromHandle(::WindowFromPoint(point)); }
