// Dialogs from templates: the font and its base units, the controls, the
// first messages, and the modal loop.

#include <strings.h>

#include <QEventLoop>
#include <cstring>

#include "platform/win32/dialog/dialog_internal.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/standard/control_common.h"
#include "platform/win32/standard/edit.h"
#include "platform/win32/standard/standard_classes.h"

namespace qv::win32 {
namespace {

// a * b / c rounded half away from zero, as Windows' MulDiv.
int MulDiv(int a, int b, int c) {
  const long long p = static_cast<long long>(a) * b;
  const long long half = c / 2;
  return static_cast<int>(p >= 0 ? (p + half) / c : (p - half) / c);
}

HFONT TemplateFont(const DialogTemplate& t, bool* owns) {
  *owns = false;
  if (!(t.style & DS_SETFONT) || !t.fontFace) return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  LOGFONTA lf{};
  lf.lfHeight = -MulDiv(t.pointSize, 96, 72);
  lf.lfWeight = t.fontWeight;
  lf.lfItalic = t.fontItalic ? 1 : 0;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(lf.lfFaceName, t.fontFace, sizeof lf.lfFaceName - 1);
  HFONT font = CreateFontIndirectA(&lf);
  *owns = font != nullptr;
  return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

// Where a top-level dialog goes: the template's place in its owner's client
// area (the screen's without an owner), or centred with DS_CENTER.
POINT PlaceOnScreen(const DialogTemplate& t, HWND owner, int x, int y, int width, int height) {
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (owner) GetWindowRect(GetAncestor(owner, GA_ROOT), &area);
  if (t.style & DS_CENTER)
    return POINT{area.left + (area.right - area.left - width) / 2, area.top + (area.bottom - area.top - height) / 2};
  POINT origin{0, 0};
  if (owner) ClientToScreen(owner, &origin);
  return POINT{origin.x + x, origin.y + y};
}

// The client area is the template's size whatever frame the window gets.
void FitClientArea(HWND dialog, int width, int height) {
  RECT window{}, client{};
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  const int dx = (window.right - window.left) - client.right;
  const int dy = (window.bottom - window.top) - client.bottom;
  if (client.right != width || client.bottom != height)
    SetWindowPos(dialog, nullptr, 0, 0, width + dx, height + dy, SWP_NOMOVE | SWP_NOZORDER);
}

bool IsButtonClass(const char* name) { return name && strcasecmp(name, WC_BUTTON) == 0; }

}  // namespace

bool IsDialogWindow(HWND hwnd) { return DialogStateOf(hwnd) != nullptr; }

std::shared_ptr<DialogState> DialogStateOf(HWND hwnd) {
  auto w = Lookup(hwnd);
  if (!w || !w->classData || !w->windowClass || w->windowClass->name != WC_DIALOG) return nullptr;
  return std::static_pointer_cast<DialogState>(w->classData);
}

HWND CreateDialogFromTemplate(const DialogTemplate& t, HWND parent, DLGPROC proc, LPARAM param, CWnd* bind) {
  RegisterStandardClasses();
  const bool child = (t.style & WS_CHILD) != 0;
  if (child && !parent) return nullptr;
  bool ownsFont = false;
  HFONT font = TemplateFont(t, &ownsFont);
  const SIZE base = GetDialogBaseUnitsOf(font);
  const int width = MulDiv(t.cx, base.cx, 4);
  const int height = MulDiv(t.cy, base.cy, 8);
  int x = MulDiv(t.x, base.cx, 4);
  int y = MulDiv(t.y, base.cy, 8);
  if (!child) {
    const POINT at = PlaceOnScreen(t, parent, x, y, width, height);
    x = at.x;
    y = at.y;
  }
  if (bind) BindCreatingWindow(bind);
  HWND dialog = CreateWindowExA(t.exStyle, WC_DIALOG, t.caption, t.style & ~WS_VISIBLE, x, y, width, height,
                                child ? parent : nullptr, 0, nullptr);
  BindCreatingWindow(nullptr);
  auto w = Lookup(dialog);
  if (!w) {
    if (ownsFont) DeleteObject(font);
    return nullptr;
  }
  auto state = std::make_shared<DialogState>();
  state->proc = proc;
  state->font = font;
  state->ownsFont = ownsFont;
  state->baseUnits = base;
  state->owner = child ? nullptr : parent;
  w->classData = state;
  FitClientArea(dialog, width, height);
  SendMessage(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  for (const DialogItemTemplate& item : t.items) {
    HWND control = CreateWindowExA(item.exStyle, item.className, item.caption, item.style | WS_CHILD,
                                   MulDiv(item.x, base.cx, 4), MulDiv(item.y, base.cy, 8),
                                   MulDiv(item.cx, base.cx, 4), MulDiv(item.cy, base.cy, 8), dialog, item.id, nullptr);
    if (!control) {
      if (t.style & DS_NOFAILCREATE) continue;
      DestroyWindow(dialog);
      return nullptr;
    }
    SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (!state->defId && IsButtonClass(item.className) && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
      state->defId = item.id;
  }

  HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
  const LRESULT focus = SendMessage(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
  if (!IsWindow(dialog)) return nullptr;
  if (focus && IsWindow(first)) {
    if (SendMessage(first, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessage(first, EM_SETSEL, 0, -1);
    SetFocus(first);
  }
  if ((t.style & WS_VISIBLE) && !state->ended) ShowWindow(dialog, SW_SHOWNORMAL);
  return dialog;
}

INT_PTR RunModalLoop(HWND dialog) {
  auto state = DialogStateOf(dialog);
  if (!state) return -1;
  state->modal = true;
  if (state->owner && !state->ended) {
    HWND top = GetAncestor(state->owner, GA_ROOT);
    if (IsWindowEnabled(top)) {
      EnableWindow(top, FALSE);
      state->disabledOwner = top;
    }
  }
  if (!state->ended) {
    // A dialog that its initialisation showed keeps the state it was shown
    // in (maximised): only a hidden one is shown here.
    if (!IsWindowVisible(dialog)) ShowWindow(dialog, SW_SHOWNORMAL);
    if (auto w = Lookup(dialog); w && w->host) {
      w->host->activateWindow();
    }
  }
  while (!state->ended && IsWindow(dialog)) {
    QEventLoop loop;
    state->loop = &loop;
    loop.exec();
    state->loop = nullptr;
  }
  if (state->disabledOwner) {
    EnableWindow(state->disabledOwner, TRUE);
    state->disabledOwner = nullptr;
  }
  return state->ended ? state->result : -1;
}

}  // namespace qv::win32

using namespace qv::win32;

SIZE GetDialogBaseUnitsOf(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE extent{};
  GetTextExtentPoint32A(dc, kLetters, 52, &extent);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  // Windows' average: the 52 letters' width over 52, rounded.
  return SIZE{(extent.cx / 26 + 1) / 2, tm.tmHeight};
}

BOOL MapDialogRect(HWND dialog, RECT* rect) {
  auto state = DialogStateOf(dialog);
  if (!state || !rect) return FALSE;
  rect->left = MulDiv(rect->left, state->baseUnits.cx, 4);
  rect->right = MulDiv(rect->right, state->baseUnits.cx, 4);
  rect->top = MulDiv(rect->top, state->baseUnits.cy, 8);
  rect->bottom = MulDiv(rect->bottom, state->baseUnits.cy, 8);
  return TRUE;
}

HWND CreateDialogParamA(int templateId, HWND parent, DLGPROC proc, LPARAM initParam) {
  auto t = FindDialogTemplate(templateId);
  return t ? CreateDialogFromTemplate(*t, parent, proc, initParam, nullptr) : nullptr;
}

INT_PTR DialogBoxParamA(int templateId, HWND owner, DLGPROC proc, LPARAM initParam) {
  auto t = FindDialogTemplate(templateId);
  if (!t) return -1;
  DialogTemplate popup = *t;
  popup.style &= ~WS_CHILD;
  HWND dialog = CreateDialogFromTemplate(popup, owner, proc, initParam, nullptr);
  if (!dialog) return -1;
  const INT_PTR result = RunModalLoop(dialog);
  DestroyWindow(dialog);
  return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  auto state = DialogStateOf(dialog);
  if (!state) return FALSE;
  auto w = Lookup(dialog);
  if (!w->thread->IsCurrent()) {
    // From a worker: the dialog's own thread ends it.
    w->thread->PostCall(dialog, [dialog, result] { EndDialog(dialog, result); });
    return TRUE;
  }
  state->ended = true;
  state->result = result;
  // The owner comes back before the dialog goes, so that it can take the focus.
  if (state->disabledOwner) {
    EnableWindow(state->disabledOwner, TRUE);
    state->disabledOwner = nullptr;
  }
  ShowWindow(dialog, SW_HIDE);
  if (state->loop) state->loop->quit();
  return TRUE;
}
