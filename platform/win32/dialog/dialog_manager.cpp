// The default dialog procedure and IsDialogMessage: the dialog's
// background and colours, Tab and arrow navigation, Enter and Esc,
// mnemonics, and the default push button that follows the focus.

#include <QEventLoop>
#include <algorithm>
#include <cctype>
#include <string>

#include "platform/win32/dialog/dialog_internal.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/standard/control_common.h"
#include "platform/win32/standard/edit.h"
#include "platform/win32/standard/static.h"

namespace qv::win32 {
namespace {

inline constexpr DWORD kControlParent = 0x00010000;  // WS_EX_CONTROLPARENT

UINT CodeOf(HWND hwnd, const MSG* msg = nullptr) {
  return static_cast<UINT>(SendMessage(hwnd, WM_GETDLGCODE, msg ? msg->wParam : 0, reinterpret_cast<LPARAM>(msg)));
}

bool IsDescendant(HWND ancestor, HWND hwnd) {
  for (HWND h = GetParent(hwnd); h; h = GetParent(h))
    if (h == ancestor) return true;
  return false;
}

std::vector<HWND> ChildrenOf(HWND hwnd) {
  auto w = Lookup(hwnd);
  return w ? w->children : std::vector<HWND>{};
}

// A child that takes part in its parent's navigation: a control parent, or a
// DS_CONTROL dialog.
bool JoinsParent(HWND hwnd) {
  auto w = Lookup(hwnd);
  if (!w) return false;
  return (w->exStyle & kControlParent) || (IsDialogWindow(hwnd) && (w->style & DS_CONTROL));
}

// The controls that Tab and mnemonics walk, in template order.
void CollectControls(HWND parent, std::vector<HWND>& out) {
  for (HWND child : ChildrenOf(parent)) {
    if (JoinsParent(child))
      CollectControls(child, out);
    else
      out.push_back(child);
  }
}

std::vector<HWND> ControlsOf(HWND dialog) {
  std::vector<HWND> out;
  CollectControls(dialog, out);
  return out;
}

// The dialog whose navigation a DS_CONTROL page joins.
HWND NavigationRoot(HWND dialog) {
  HWND root = dialog;
  while ((GetWindowStyle(root) & WS_CHILD) && JoinsParent(root) && GetParent(root)) root = GetParent(root);
  return root;
}

// The control's own state, as Windows looks at it: a dialog is still hidden
// while WM_INITDIALOG picks its first control.
bool Usable(HWND hwnd) {
  const DWORD style = GetWindowStyle(hwnd);
  return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

// The nearest dialog at or above the control.
HWND DialogOf(HWND control) {
  for (HWND h = GetParent(control); h; h = GetParent(h))
    if (IsDialogWindow(h)) return h;
  return nullptr;
}

bool IsPushCode(UINT code) { return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0; }

bool IsOwnerDrawn(HWND hwnd) { return (GetWindowStyle(hwnd) & BS_TYPEMASK) == BS_OWNERDRAW; }

void SetDefaultLook(HWND button, bool isDefault) {
  if (!button || IsOwnerDrawn(button) || !IsPushCode(CodeOf(button))) return;
  const DWORD style = GetWindowStyle(button);
  const DWORD type = isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  if ((style & BS_TYPEMASK) == type) return;
  SendMessage(button, BM_SETSTYLE, (style & 0xFFF0u) | type, TRUE);
}

HWND CurrentDefault(HWND dialog) {
  for (HWND h : ControlsOf(dialog))
    if (CodeOf(h) & DLGC_DEFPUSHBUTTON) return h;
  return nullptr;
}

void MoveDefault(HWND dialog, HWND to) {
  HWND current = CurrentDefault(dialog);
  if (current == to) return;
  SetDefaultLook(current, false);
  SetDefaultLook(to, true);
}

HWND DefaultButton(HWND dialog, const DialogState& s) { return s.defId ? GetDlgItem(dialog, s.defId) : nullptr; }

// Focus given by the dialog manager: an edit's text is selected, and Tab into
// a radio group lands on its checked button.
void GiveFocus(HWND control, bool byTab) {
  if (byTab && (CodeOf(control) & DLGC_RADIOBUTTON) && SendMessage(control, BM_GETCHECK, 0, 0) != BST_CHECKED) {
    for (HWND h : GroupOf(control))
      if (Usable(h) && (CodeOf(h) & DLGC_RADIOBUTTON) && SendMessage(h, BM_GETCHECK, 0, 0) == BST_CHECKED) {
        control = h;
        break;
      }
  }
  if (CodeOf(control) & DLGC_HASSETSEL) SendMessage(control, EM_SETSEL, 0, -1);
  SetFocus(control);
}

// Whether the text has '&' before the character (a "&&" is a plain '&').
bool HasMnemonic(const std::string& text, UINT ch) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    return std::tolower(static_cast<unsigned char>(text[i + 1])) == std::tolower(static_cast<int>(ch & 0xFF));
  }
  return false;
}

std::string TextOf(HWND hwnd) {
  char buffer[512];
  GetWindowTextA(hwnd, buffer, sizeof buffer);
  return buffer;
}

// The control whose caption has the mnemonic, from the one after the focus
// on, so that pressing it again goes on to the next such control.
bool Mnemonic(HWND root, UINT ch) {
  const std::vector<HWND> controls = ControlsOf(root);
  if (controls.empty()) return false;
  const auto at = std::find(controls.begin(), controls.end(), GetFocus());
  const size_t start = at == controls.end() ? 0 : static_cast<size_t>(at - controls.begin()) + 1;
  for (size_t k = 0; k < controls.size(); ++k) {
    const size_t i = (start + k) % controls.size();
    HWND h = controls[i];
    if (!Usable(h)) continue;
    const UINT code = CodeOf(h);
    if (!(code & (DLGC_STATIC | DLGC_BUTTON))) continue;
    if ((code & DLGC_STATIC) && (GetWindowStyle(h) & SS_NOPREFIX) && !(code & DLGC_BUTTON)) continue;
    if (!HasMnemonic(TextOf(h), ch)) continue;
    if (code & DLGC_STATIC) {
      // A label: the control after it.
      for (size_t n = 1; n < controls.size(); ++n) {
        HWND next = controls[(i + n) % controls.size()];
        if (Usable(next) && !(CodeOf(next) & DLGC_STATIC)) {
          GiveFocus(next, true);
          return true;
        }
      }
      return true;
    }
    if (!IsPushCode(code)) GiveFocus(h, false);
    SendMessage(h, BM_CLICK, 0, 0);
    return true;
  }
  return false;
}

void PressEnter(HWND dialog) {
  HWND focus = GetFocus();
  if (focus && IsDescendant(dialog, focus) && (CodeOf(focus) & DLGC_DEFPUSHBUTTON)) {
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), static_cast<int>(BN_CLICKED)),
                reinterpret_cast<LPARAM>(focus));
    return;
  }
  const LRESULT def = SendMessage(dialog, DM_GETDEFID, 0, 0);
  if (HIWORD(static_cast<DWORD>(def)) == DC_HASDEFID) {
    HWND button = GetDlgItem(dialog, LOWORD(static_cast<DWORD>(def)));
    if (button && !IsWindowEnabled(button)) return;
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(LOWORD(static_cast<DWORD>(def)), static_cast<int>(BN_CLICKED)),
                reinterpret_cast<LPARAM>(button));
    return;
  }
  SendMessage(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

bool KeyDown(HWND dialog, MSG* msg) {
  const UINT code = CodeOf(msg->hwnd, msg);
  if (code & DLGC_WANTALLKEYS) return false;
  HWND root = NavigationRoot(dialog);
  HWND focus = GetFocus();
  switch (msg->wParam) {
    case VK_TAB: {
      if (code & DLGC_WANTTAB) return false;
      HWND next = GetNextDlgTabItem(root, focus, GetKeyState(VK_SHIFT) < 0 ? TRUE : FALSE);
      if (next) GiveFocus(next, true);
      return true;
    }
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
      if (code & DLGC_WANTARROWS) return false;
      const bool back = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
      HWND next = focus ? GetNextDlgGroupItem(root, focus, back ? TRUE : FALSE) : nullptr;
      if (next && next != focus) {
        GiveFocus(next, false);
        if ((CodeOf(next) & DLGC_RADIOBUTTON) && (GetWindowStyle(next) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
          SendMessage(next, BM_CLICK, 0, 0);
      }
      return true;
    }
    // A page that joins its parent (DS_CONTROL) has no OK or Cancel of its
    // own: Enter and Esc belong to the dialog it sits in, which may refuse
    // them. Taken by the page, they would end it and hide it for good.
    case VK_RETURN:
      PressEnter(root);
      return true;
    case VK_ESCAPE:
      SendMessage(root, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(GetDlgItem(root, IDCANCEL)));
      return true;
    default:
      return false;
  }
}

}  // namespace

std::vector<HWND> GroupOf(HWND control) {
  const std::vector<HWND> siblings = ChildrenOf(GetParent(control));
  auto at = std::find(siblings.begin(), siblings.end(), control);
  if (at == siblings.end()) return {control};
  auto first = at;
  while (first != siblings.begin() && !(GetWindowStyle(*first) & WS_GROUP)) --first;
  auto last = at + 1;
  while (last != siblings.end() && !(GetWindowStyle(*last) & WS_GROUP)) ++last;
  return std::vector<HWND>(first, last);
}

void FocusMovedInDialog(HWND, HWND to) {
  if (!to) return;
  HWND dialog = DialogOf(to);
  auto state = DialogStateOf(dialog);
  if (!state) return;
  state->lastFocus = to;
  if (IsPushCode(CodeOf(to)) && !IsOwnerDrawn(to))
    MoveDefault(dialog, to);
  else
    MoveDefault(dialog, DefaultButton(dialog, *state));
}

}  // namespace qv::win32

using namespace qv::win32;

LRESULT DefDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto state = DialogStateOf(dialog);
  if (!state) return DefWindowProc(dialog, msg, wParam, lParam);
  if (state->proc) {
    const INT_PTR r = state->proc(dialog, msg, wParam, lParam);
    if (r) return r;
  }
  switch (msg) {
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      HBRUSH brush = reinterpret_cast<HBRUSH>(
          SendMessage(dialog, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(dialog)));
      if (!brush) brush = DefaultCtlColor(dc, WM_CTLCOLORDLG);
      RECT r{};
      GetClientRect(dialog, &r);
      FillRect(dc, &r, brush);
      return TRUE;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(DefaultCtlColor(reinterpret_cast<HDC>(wParam), msg));
    case WM_SETFONT:
      state->font = reinterpret_cast<HFONT>(wParam);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(state->font);
    case DM_GETDEFID:
      return state->defId ? static_cast<LRESULT>(MAKELONG(static_cast<WORD>(state->defId), DC_HASDEFID)) : 0;
    case DM_SETDEFID: {
      SetDefaultLook(DefaultButton(dialog, *state), false);
      state->defId = static_cast<int>(wParam);
      SetDefaultLook(DefaultButton(dialog, *state), true);
      return TRUE;
    }
    case WM_NEXTDLGCTL: {
      HWND target = lParam ? reinterpret_cast<HWND>(wParam)
                           : GetNextDlgTabItem(NavigationRoot(dialog), GetFocus(), wParam ? TRUE : FALSE);
      if (target) {
        if (SendMessage(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessage(target, EM_SETSEL, 0, -1);
        SetFocus(target);
      }
      return 0;
    }
    case WM_SETFOCUS: {
      // The dialog hands the focus on to its control.
      HWND target = state->lastFocus && IsWindow(state->lastFocus) && IsWindowEnabled(state->lastFocus)
                        ? state->lastFocus
                        : GetNextDlgTabItem(dialog, nullptr, FALSE);
      if (target && target != dialog) SetFocus(target);
      return 0;
    }
    case WM_CLOSE: {
      HWND cancel = GetDlgItem(dialog, IDCANCEL);
      if (!cancel || IsWindowEnabled(cancel))
        PostMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, static_cast<int>(BN_CLICKED)),
                    reinterpret_cast<LPARAM>(cancel));
      return 0;
    }
    case WM_NCDESTROY:
      if (state->ownsFont && state->font) DeleteObject(state->font);
      state->font = nullptr;
      state->ownsFont = false;
      if (state->loop) state->loop->quit();
      return 0;
    default:
      return DefWindowProc(dialog, msg, wParam, lParam);
  }
}

BOOL IsDialogMessage(HWND dialog, MSG* msg) {
  if (!msg || !IsDialogWindow(dialog)) return FALSE;
  if (msg->hwnd != dialog && !IsDescendant(dialog, msg->hwnd)) return FALSE;
  switch (msg->message) {
    case WM_KEYDOWN:
      return KeyDown(dialog, msg) ? TRUE : FALSE;
    case WM_CHAR: {
      if (CodeOf(msg->hwnd, msg) & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)) return FALSE;
      return Mnemonic(NavigationRoot(dialog), static_cast<UINT>(msg->wParam)) ? TRUE : FALSE;
    }
    case WM_SYSCHAR:
      return Mnemonic(NavigationRoot(dialog), static_cast<UINT>(msg->wParam)) ? TRUE : FALSE;
    default:
      return FALSE;
  }
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  const std::vector<HWND> controls = ControlsOf(dialog);
  if (controls.empty()) return nullptr;
  const auto at = std::find(controls.begin(), controls.end(), control);
  const size_t n = controls.size();
  // Without a known control the walk starts before the first (after the last).
  const size_t start = at == controls.end() ? (previous ? 0 : n - 1) : static_cast<size_t>(at - controls.begin());
  for (size_t k = 1; k <= n; ++k) {
    const size_t i = previous ? (start + n - k) % n : (start + k) % n;
    HWND h = controls[i];
    if ((GetWindowStyle(h) & WS_TABSTOP) && Usable(h)) return h;
  }
  return control;
}

HWND GetNextDlgGroupItem(HWND, HWND control, BOOL previous) {
  const std::vector<HWND> group = GroupOf(control);
  const auto at = std::find(group.begin(), group.end(), control);
  if (at == group.end()) return control;
  const size_t n = group.size();
  const size_t start = static_cast<size_t>(at - group.begin());
  for (size_t k = 1; k < n; ++k) {
    const size_t i = previous ? (start + n - k) % n : (start + k) % n;
    if (Usable(group[i])) return group[i];
  }
  return control;
}

BOOL SetDlgItemTextA(HWND dialog, int id, const char* text) { return SetWindowTextA(GetDlgItem(dialog, id), text); }

UINT GetDlgItemTextA(HWND dialog, int id, char* buffer, int size) {
  return static_cast<UINT>(GetWindowTextA(GetDlgItem(dialog, id), buffer, size));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  const std::string text = isSigned ? std::to_string(static_cast<int>(value)) : std::to_string(value);
  return SetDlgItemTextA(dialog, id, text.c_str());
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  char buffer[64];
  if (translated) *translated = FALSE;
  if (!GetDlgItem(dialog, id)) return 0;
  GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
  const char* p = buffer;
  while (*p == ' ') ++p;
  bool negative = false;
  if (isSigned && *p == '-') {
    negative = true;
    ++p;
  }
  if (!std::isdigit(static_cast<unsigned char>(*p))) return 0;
  unsigned long long value = 0;
  for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
    value = value * 10 + static_cast<unsigned>(*p - '0');
    if (value > 0xFFFFFFFFull) return 0;
  }
  while (*p == ' ') ++p;
  if (*p) return 0;
  if (isSigned && value > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return 0;
  if (translated) *translated = TRUE;
  return negative ? static_cast<UINT>(-static_cast<long long>(value)) : static_cast<UINT>(value);
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam) {
  return SendMessage(GetDlgItem(dialog, id), msg, wParam, lParam);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND button = GetDlgItem(dialog, id);
  if (!button) return FALSE;
  SendMessage(button, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  return static_cast<UINT>(SendMessage(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0));
}

BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
  for (HWND h : ChildrenOf(dialog)) {
    const int id = GetDlgCtrlID(h);
    if (id < firstId || id > lastId) continue;
    SendMessage(h, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  return TRUE;
}
