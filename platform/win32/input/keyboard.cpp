// Focus and keyboard: the layer's focus window per UI thread, Qt's focus
// and key events turned into messages, and the PreTranslateMessage walk.

#include "platform/win32/input/keyboard.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>

#include "platform/win32/cwnd.h"
#include "platform/win32/dialog/dialog_internal.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/window_object.h"

namespace qv::win32 {
namespace {

thread_local HWND t_focus = nullptr;
thread_local HWND t_active = nullptr;
thread_local QKeyEvent* t_key = nullptr;
thread_local bool t_settingQtFocus = false;

class CurrentKey {
 public:
  explicit CurrentKey(QKeyEvent* e) : previous_(t_key) { t_key = e; }
  ~CurrentKey() { t_key = previous_; }
  CurrentKey(const CurrentKey&) = delete;
  CurrentKey& operator=(const CurrentKey&) = delete;

 private:
  QKeyEvent* previous_;
};

// From the window up to its top-level window, each has its turn: the CWnd's
// PreTranslateMessage, or IsDialogMessage for a dialog without one.
bool PreTranslate(MSG* msg) {
  for (HWND h = msg->hwnd; h; h = GetParent(h)) {
    if (CWnd* wnd = CWnd::FromHandlePermanent(h)) {
      if (wnd->PreTranslateMessage(msg)) return true;
    } else if (IsDialogWindow(h) && IsDialogMessage(h, msg)) {
      return true;
    }
    if (!(GetWindowStyle(h) & WS_CHILD)) break;
  }
  return false;
}

LPARAM KeyData(const QKeyEvent* e, bool up) {
  LPARAM l = 1;
  l |= static_cast<LPARAM>(e->nativeScanCode() & 0xFF) << 16;
  if (e->modifiers() & Qt::AltModifier) l |= KF_ALTDOWN_LPARAM;
  if (e->isAutoRepeat() || up) l |= 0x40000000;
  if (up) l |= static_cast<LPARAM>(0x80000000u);
  return l;
}

// The character a key types, as WM_CHAR carries it; 0 for none.
UINT CharOf(const QKeyEvent* e) {
  const QString text = e->text();
  if (text.isEmpty() || text[0] == QChar(0x7F)) return 0;
  return text[0].unicode();
}

struct KeyPair {
  int qt;
  UINT vk;
};
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},       {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},  {Qt::Key_Enter, VK_RETURN},  {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},     {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE},    {Qt::Key_PageUp, VK_PRIOR},  {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},        {Qt::Key_Home, VK_HOME},     {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP},          {Qt::Key_Right, VK_RIGHT},   {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Insert, VK_INSERT},  {Qt::Key_Delete, VK_DELETE}, {Qt::Key_Menu, VK_APPS},
};

}  // namespace

UINT VirtualKeyOf(int qtKey) {
  for (const KeyPair& k : kKeys)
    if (k.qt == qtKey) return k.vk;
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
    return static_cast<UINT>(qtKey);  // the same codes: 'A'-'Z', '0'-'9'
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return VK_F1 + static_cast<UINT>(qtKey - Qt::Key_F1);
  return 0;
}

int QtKeyOf(UINT vk) {
  for (const KeyPair& k : kKeys)
    if (k.vk == vk) return k.qt;
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return static_cast<int>(vk);
  if (vk >= VK_F1 && vk < VK_F1 + 24) return Qt::Key_F1 + static_cast<int>(vk - VK_F1);
  return Qt::Key_unknown;
}

QKeyEvent* CurrentKeyEvent() { return t_key; }

bool HandleKeyPress(HWND hwnd, QKeyEvent* e) {
  if (!IsWindow(hwnd)) return false;
  const UINT vk = VirtualKeyOf(e->key());
  const UINT ch = CharOf(e);
  if (!vk && !ch) return false;
  CurrentKey current(e);
  const bool alt = (e->modifiers() & Qt::AltModifier) != 0;
  const LPARAM data = KeyData(e, false);
  if (vk) {
    MSG down{hwnd, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, data, 0, POINT{0, 0}};
    // A key that the dialog manager took types no character either.
    if (PreTranslate(&down)) return true;
    SendMessage(hwnd, down.message, down.wParam, down.lParam);
  }
  if (ch && IsWindow(hwnd)) {
    MSG typed{hwnd, alt ? WM_SYSCHAR : WM_CHAR, ch, data, 0, POINT{0, 0}};
    if (!PreTranslate(&typed)) SendMessage(hwnd, typed.message, typed.wParam, typed.lParam);
  }
  return true;
}

void HandleKeyRelease(HWND hwnd, QKeyEvent* e) {
  const UINT vk = VirtualKeyOf(e->key());
  if (!vk || !IsWindow(hwnd)) return;
  CurrentKey current(e);
  const bool alt = (e->modifiers() & Qt::AltModifier) != 0;
  MSG up{hwnd, alt ? WM_SYSKEYUP : WM_KEYUP, vk, KeyData(e, true), 0, POINT{0, 0}};
  if (!PreTranslate(&up)) SendMessage(hwnd, up.message, up.wParam, up.lParam);
}

void FocusCameFromQt(HWND hwnd) {
  if (t_settingQtFocus || t_focus == hwnd || !IsWindow(hwnd)) return;
  SetFocus(hwnd);
}

}  // namespace qv::win32

using namespace qv::win32;

HWND SetFocus(HWND hwnd) {
  HWND old = IsWindow(t_focus) ? t_focus : nullptr;
  if (hwnd) {
    auto w = Lookup(hwnd);
    if (!w || !w->thread->IsCurrent() || !IsWindowEnabled(hwnd)) return nullptr;
  }
  if (old == hwnd) return old;
  t_focus = hwnd;
  if (old) SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  // The handler of WM_KILLFOCUS may have moved the focus elsewhere.
  if (t_focus != hwnd || !hwnd || !IsWindow(hwnd)) return old;
  t_active = GetAncestor(hwnd, GA_ROOT);
  if (auto w = Lookup(hwnd); w && w->host) {
    t_settingQtFocus = true;
    w->host->setFocus(Qt::OtherFocusReason);
    t_settingQtFocus = false;
  }
  SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  FocusMovedInDialog(old, hwnd);
  return old;
}

HWND GetFocus() { return IsWindow(t_focus) ? t_focus : nullptr; }

HWND GetActiveWindow() { return IsWindow(t_active) ? t_active : nullptr; }

short GetKeyState(int vk) {
  const Qt::KeyboardModifiers mods = t_key ? t_key->modifiers() : QGuiApplication::queryKeyboardModifiers();
  bool down = false;
  if (vk == static_cast<int>(VK_SHIFT)) down = (mods & Qt::ShiftModifier) != 0;
  if (vk == static_cast<int>(VK_CONTROL)) down = (mods & Qt::ControlModifier) != 0;
  if (vk == static_cast<int>(VK_MENU)) down = (mods & Qt::AltModifier) != 0;
  return down ? static_cast<short>(0x8000) : 0;
}

namespace {

// Where Qt delivers a key: the widget that the focus window's host hands its
// focus to (a standard control's Qt widget), else the host.
QWidget* KeyTarget() {
  auto w = Lookup(GetFocus());
  if (!w || !w->host) return nullptr;
  QWidget* target = w->host->focusProxy() ? w->host->focusProxy() : w->host.data();
  while (target->focusProxy()) target = target->focusProxy();
  return target;
}

}  // namespace

void qv::PressKey(UINT vk, int modifiers, const char* text) {
  const auto mods = Qt::KeyboardModifiers(modifiers);
  const int key = vk == VK_TAB && (mods & Qt::ShiftModifier) ? Qt::Key_Backtab : QtKeyOf(vk);
  const QString typed = text ? QString::fromUtf8(text) : QString();
  if (QWidget* target = KeyTarget()) {
    QKeyEvent press(QEvent::KeyPress, key, mods, typed);
    QCoreApplication::sendEvent(target, &press);
  }
  if (QWidget* target = KeyTarget()) {
    QKeyEvent release(QEvent::KeyRelease, key, mods, typed);
    QCoreApplication::sendEvent(target, &release);
  }
}
