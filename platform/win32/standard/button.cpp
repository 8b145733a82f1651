// The "Button" class: push, default push, check box, radio button, group box
// and owner-drawn buttons, drawn in the classic look.

#include "platform/win32/standard/button.h"

#include <QRegion>
#include <cmath>

#include "platform/win32/dialog/dialog_internal.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/standard/control_common.h"
#include "platform/win32/standard/standard_procs.h"

namespace qv::win32 {
namespace {

struct ButtonState {
  HFONT font = nullptr;
  UINT check = BST_UNCHECKED;
  bool pushed = false;    // drawn pressed (mouse held inside, Space held)
  bool tracking = false;  // the left button went down on it
  bool focused = false;
};

constexpr int kBoxSize = 13;    // check box square
constexpr int kRadioSize = 12;  // radio circle
constexpr int kTextGap = 4;     // from the box to the text

DWORD TypeOf(HWND hwnd) { return GetWindowStyle(hwnd) & BS_TYPEMASK; }

bool IsCheck(DWORD type) {
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
}
bool IsRadio(DWORD type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }

RECT ClientOf(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  return r;
}

void Fill(HDC dc, const RECT& r, int sysColor) { FillRect(dc, &r, GetSysColorBrush(sysColor)); }

// The label with '&' prefixes; grey and embossed when disabled, as Windows
// draws disabled button text.
void DrawLabel(HDC dc, HWND hwnd, RECT r, UINT format, bool enabled) {
  char text[512];
  GetWindowTextA(hwnd, text, sizeof text);
  if (enabled) {
    DrawTextA(dc, text, -1, &r, format);
    return;
  }
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  RECT shifted{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
  DrawTextA(dc, text, -1, &shifted, format);
  SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  DrawTextA(dc, text, -1, &r, format);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
}

UINT HorizontalFormat(DWORD style, UINT fallback) {
  switch (style & BS_CENTER) {
    case BS_LEFT: return DT_LEFT;
    case BS_RIGHT: return DT_RIGHT;
    case BS_CENTER: return DT_CENTER;
    default: return fallback;
  }
}

// The text's own rectangle inside r, for the focus rectangle round it.
RECT TextBox(HDC dc, HWND hwnd, const RECT& r, UINT format) {
  char text[512];
  GetWindowTextA(hwnd, text, sizeof text);
  RECT box = r;
  DrawTextA(dc, text, -1, &box, (format & ~(DT_VCENTER | DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
  const int w = box.right - box.left;
  const int h = box.bottom - box.top;
  int left = r.left;
  if (format & DT_CENTER) left = r.left + (r.right - r.left - w) / 2;
  if (format & DT_RIGHT) left = r.right - w;
  const int top = (format & DT_VCENTER) ? r.top + (r.bottom - r.top - h) / 2 : r.top;
  return RECT{left, top, left + w, top + h};
}

// The classic push button's relief: white and light grey above and left,
// black and dark grey below and right, round the face.
void DrawRaisedFrame(HDC dc, const RECT& r) {
  Fill(dc, RECT{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2}, COLOR_BTNFACE);
  Fill(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, COLOR_BTNHIGHLIGHT);
  Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, COLOR_BTNHIGHLIGHT);
  Fill(dc, RECT{r.left + 1, r.top + 1, r.right - 2, r.top + 2}, COLOR_3DLIGHT);
  Fill(dc, RECT{r.left + 1, r.top + 1, r.left + 2, r.bottom - 2}, COLOR_3DLIGHT);
  Fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, COLOR_3DDKSHADOW);
  Fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, COLOR_3DDKSHADOW);
  Fill(dc, RECT{r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1}, COLOR_BTNSHADOW);
  Fill(dc, RECT{r.right - 2, r.top + 1, r.right - 1, r.bottom - 1}, COLOR_BTNSHADOW);
}

void PaintPush(HWND hwnd, HDC dc, const ButtonState& s) {
  const DWORD style = GetWindowStyle(hwnd);
  const bool isDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  const bool enabled = IsWindowEnabled(hwnd);
  RECT r = ClientOf(hwnd);
  // The parent's brush is asked for and the DC prepared, but a classic push
  // button draws its face and text in the system colours.
  ControlColors(hwnd, dc, WM_CTLCOLORBTN);
  SelectObject(dc, s.font ? s.font : DefaultControlFont());
  if (isDefault) {
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  }
  if (s.pushed) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
    RECT face{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    Fill(dc, face, COLOR_BTNFACE);
  } else {
    DrawRaisedFrame(dc, r);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  RECT text{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
  if (s.pushed) OffsetRect(&text, 1, 1);
  DrawLabel(dc, hwnd, text, HorizontalFormat(style, DT_CENTER) | DT_VCENTER | DT_SINGLELINE, enabled);
  if (s.focused) {
    RECT focus{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
    DrawFocusRect(dc, &focus);
  }
}

void PaintCheckBox(HDC dc, const RECT& box, UINT check, bool enabled, bool pushed) {
  RECT edge = box;
  DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
  const RECT inner{box.left + 2, box.top + 2, box.right - 2, box.bottom - 2};
  Fill(dc, inner, enabled && !pushed ? COLOR_WINDOW : COLOR_BTNFACE);
  if (check == BST_UNCHECKED) return;
  // The classic tick: seven columns of three pixels.
  const COLORREF ink = GetSysColor(enabled && check == BST_CHECKED ? COLOR_WINDOWTEXT : COLOR_BTNSHADOW);
  static const int tops[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int i = 0; i < 7; ++i)
    for (int k = 0; k < 3; ++k) SetPixelV(dc, inner.left + 1 + i, inner.top + 2 + tops[i] + k, ink);
}

void PaintRadio(HDC dc, const RECT& box, bool checked, bool enabled, bool pushed) {
  // Two rings, the upper left half in shadow colours and the lower right in
  // light ones, round a white field: the classic radio button.
  const double c = (kRadioSize - 1) / 2.0;
  for (int y = 0; y < kRadioSize; ++y)
    for (int x = 0; x < kRadioSize; ++x) {
      const double dx = x - c, dy = y - c;
      const double d = std::sqrt(dx * dx + dy * dy);
      const bool upperLeft = dx + dy < 0;
      int colour = -1;
      if (d <= 4.3)
        colour = enabled && !pushed ? COLOR_WINDOW : COLOR_BTNFACE;
      else if (d <= 5.0)
        colour = upperLeft ? COLOR_3DDKSHADOW : COLOR_3DLIGHT;
      else if (d <= 6.0)
        colour = upperLeft ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT;
      if (colour >= 0) SetPixelV(dc, box.left + x, box.top + y, GetSysColor(colour));
      if (checked && d <= 1.9)
        SetPixelV(dc, box.left + x, box.top + y, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_BTNSHADOW));
    }
}

void PaintCheckOrRadio(HWND hwnd, HDC dc, const ButtonState& s) {
  const DWORD style = GetWindowStyle(hwnd);
  const DWORD type = style & BS_TYPEMASK;
  const bool enabled = IsWindowEnabled(hwnd);
  const RECT r = ClientOf(hwnd);
  SelectObject(dc, s.font ? s.font : DefaultControlFont());
  HBRUSH brush = ControlColors(hwnd, dc, WM_CTLCOLORSTATIC);
  FillRect(dc, &r, brush);
  const int size = IsRadio(type) ? kRadioSize : kBoxSize;
  const bool leftText = (style & BS_LEFTTEXT) != 0;
  const int top = r.top + (r.bottom - r.top - size) / 2;
  const RECT box = leftText ? RECT{r.right - size, top, r.right, top + size} : RECT{r.left, top, r.left + size, top + size};
  if (IsRadio(type))
    PaintRadio(dc, box, s.check == BST_CHECKED, enabled, s.pushed);
  else
    PaintCheckBox(dc, box, s.check, enabled, s.pushed);
  RECT text = leftText ? RECT{r.left, r.top, box.left - kTextGap, r.bottom}
                       : RECT{box.right + kTextGap, r.top, r.right, r.bottom};
  const UINT format = HorizontalFormat(style, DT_LEFT) | DT_VCENTER | DT_SINGLELINE;
  DrawLabel(dc, hwnd, text, format, enabled);
  if (s.focused) {
    RECT focus = TextBox(dc, hwnd, text, format);
    focus = RECT{focus.left - 1, focus.top - 1, std::min(focus.right + 1, r.right), std::min(focus.bottom + 1, r.bottom)};
    DrawFocusRect(dc, &focus);
  }
}

// The frame is etched round the client area, its top through the middle of
// the text; the inside is not painted (the host's mask leaves it to the
// parent and the controls in the group), as on Windows.
void PaintGroupBox(HWND hwnd, HDC dc, const ButtonState& s) {
  const RECT r = ClientOf(hwnd);
  SelectObject(dc, s.font ? s.font : DefaultControlFont());
  HBRUSH brush = ControlColors(hwnd, dc, WM_CTLCOLORSTATIC);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  RECT frame{r.left, r.top + tm.tmHeight / 2, r.right, r.bottom};
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  char text[512];
  if (GetWindowTextA(hwnd, text, sizeof text) == 0) return;
  RECT label{r.left + 8, r.top, r.right - 8, r.top + tm.tmHeight};
  RECT box = TextBox(dc, hwnd, label, DT_LEFT | DT_SINGLELINE);
  box.right = std::min(box.right + 2, r.right - 6);
  box.left -= 2;
  FillRect(dc, &box, brush);
  label.left = box.left + 2;
  DrawLabel(dc, hwnd, label, DT_LEFT | DT_SINGLELINE, IsWindowEnabled(hwnd));
}

// What the group box shows of itself: its frame and its text.
void MaskGroupBox(HWND hwnd, const ButtonState& s) {
  auto w = Lookup(hwnd);
  if (!w || !w->host) return;
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, s.font ? s.font : DefaultControlFont());
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  const QRect all(QPoint(0, 0), w->rect.size());
  RECT label = TextBox(dc, hwnd, RECT{8, 0, all.width() - 8, tm.tmHeight}, DT_LEFT | DT_SINGLELINE);
  DeleteDC(dc);
  const int line = tm.tmHeight / 2;
  QRegion shown = QRegion(all.adjusted(0, line, 0, 0)) - QRegion(all.adjusted(2, line + 2, -2, -2));
  if (label.right > label.left) shown += QRegion(QRect(label.left - 2, 0, label.right - label.left + 4, tm.tmHeight));
  w->host->setMask(shown);
}

void PaintOwnerDraw(HWND hwnd, HDC dc, const ButtonState& s) {
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_BUTTON;
  dis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
  dis.itemAction = ODA_DRAWENTIRE;
  if (s.pushed) dis.itemState |= ODS_SELECTED;
  if (s.focused) dis.itemState |= ODS_FOCUS;
  if (!IsWindowEnabled(hwnd)) dis.itemState |= ODS_DISABLED;
  dis.hwndItem = hwnd;
  dis.hDC = dc;
  dis.rcItem = ClientOf(hwnd);
  SelectObject(dc, s.font ? s.font : DefaultControlFont());
  if (HWND parent = GetParent(hwnd)) SendMessage(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

void Paint(HWND hwnd, ButtonState& s) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  const DWORD type = TypeOf(hwnd);
  if (type == BS_OWNERDRAW)
    PaintOwnerDraw(hwnd, dc, s);
  else if (type == BS_GROUPBOX)
    PaintGroupBox(hwnd, dc, s);
  else if (IsCheck(type) || IsRadio(type))
    PaintCheckOrRadio(hwnd, dc, s);
  else
    PaintPush(hwnd, dc, s);
  EndPaint(hwnd, &ps);
}

void Redraw(HWND hwnd) { InvalidateRect(hwnd, nullptr, FALSE); }

// An automatic radio button checks itself and clears the others of its group.
void CheckAutoRadio(HWND hwnd) {
  for (HWND h : GroupOf(hwnd))
    if (h != hwnd && TypeOf(h) == BS_AUTORADIOBUTTON) SendMessage(h, BM_SETCHECK, BST_UNCHECKED, 0);
  SendMessage(hwnd, BM_SETCHECK, BST_CHECKED, 0);
}

void Click(HWND hwnd) {
  switch (TypeOf(hwnd)) {
    case BS_AUTOCHECKBOX: {
      auto* s = StateOf<ButtonState>(hwnd);
      SendMessage(hwnd, BM_SETCHECK, s && s->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
      break;
    }
    case BS_AUTO3STATE: {
      auto* s = StateOf<ButtonState>(hwnd);
      SendMessage(hwnd, BM_SETCHECK, s ? (s->check + 1) % 3 : BST_CHECKED, 0);
      break;
    }
    case BS_AUTORADIOBUTTON:
      CheckAutoRadio(hwnd);
      break;
    default:
      break;
  }
  NotifyParent(hwnd, BN_CLICKED);
}

void SetPushed(HWND hwnd, ButtonState& s, bool pushed) {
  if (s.pushed == pushed) return;
  s.pushed = pushed;
  Redraw(hwnd);
}

UINT DialogCode(HWND hwnd) {
  switch (TypeOf(hwnd)) {
    case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON:
    case BS_OWNERDRAW: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX: return DLGC_STATIC;
    default: return DLGC_BUTTON;
  }
}

bool Inside(HWND hwnd, LPARAM lParam) {
  const RECT r = ClientOf(hwnd);
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) {
    ButtonState* s = MakeState<ButtonState>(hwnd);
    if (TypeOf(hwnd) == BS_GROUPBOX && s) MaskGroupBox(hwnd, *s);
    return 0;
  }
  ButtonState* s = StateOf<ButtonState>(hwnd);
  if (!s) return DefWindowProc(hwnd, msg, wParam, lParam);
  const DWORD type = TypeOf(hwnd);
  switch (msg) {
    case WM_PAINT:
      Paint(hwnd, *s);
      return 0;
    case WM_ERASEBKGND:
      return TRUE;  // the paint covers everything
    case WM_SIZE:
      if (type == BS_GROUPBOX) MaskGroupBox(hwnd, *s);
      return 0;
    case WM_SETFONT:
      s->font = reinterpret_cast<HFONT>(wParam);
      if (type == BS_GROUPBOX) MaskGroupBox(hwnd, *s);
      if (lParam) Redraw(hwnd);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(s->font);
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
      if (type == BS_GROUPBOX) MaskGroupBox(hwnd, *s);
      Redraw(hwnd);
      return r;
    }
    case WM_ENABLE:
      Redraw(hwnd);
      return 0;
    case WM_GETDLGCODE:
      return DialogCode(hwnd);
    case WM_SETFOCUS:
      s->focused = true;
      Redraw(hwnd);
      if (GetWindowStyle(hwnd) & BS_NOTIFY) NotifyParent(hwnd, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s->focused = false;
      s->tracking = false;
      SetPushed(hwnd, *s, false);
      Redraw(hwnd);
      if (GetWindowStyle(hwnd) & BS_NOTIFY) NotifyParent(hwnd, BN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (type == BS_GROUPBOX) return 0;
      s->tracking = true;
      SetFocus(hwnd);
      SetPushed(hwnd, *s, true);
      return 0;
    case WM_MOUSEMOVE:
      if (s->tracking) SetPushed(hwnd, *s, Inside(hwnd, lParam));
      return 0;
    case WM_LBUTTONUP: {
      if (!s->tracking) return 0;
      s->tracking = false;
      const bool clicked = s->pushed && Inside(hwnd, lParam);
      SetPushed(hwnd, *s, false);
      if (clicked) Click(hwnd);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && type != BS_GROUPBOX) SetPushed(hwnd, *s, true);
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && s->pushed) {
        SetPushed(hwnd, *s, false);
        Click(hwnd);
      }
      return 0;
    case BM_GETCHECK:
      return s->check;
    case BM_SETCHECK:
      if (IsCheck(type) || IsRadio(type)) {
        const UINT next = static_cast<UINT>(wParam) & 3;
        const UINT limited = (type == BS_3STATE || type == BS_AUTO3STATE) ? next : (next ? BST_CHECKED : BST_UNCHECKED);
        if (limited != s->check) {
          s->check = limited;
          Redraw(hwnd);
        }
      }
      return 0;
    case BM_GETSTATE:
      return s->check | (s->pushed ? BST_PUSHED : 0) | (s->focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
      SetPushed(hwnd, *s, wParam != 0);
      return 0;
    case BM_SETSTYLE: {
      const DWORD style = GetWindowStyle(hwnd);
      SetWindowStyle(hwnd, (style & 0xFFFF0000u) | (static_cast<DWORD>(wParam) & 0xFFFFu));
      if (lParam) Redraw(hwnd);
      return 0;
    }
    case BM_CLICK:
      if (!IsWindowEnabled(hwnd) || type == BS_GROUPBOX) return 0;
      SendMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
      SendMessage(hwnd, WM_LBUTTONUP, 0, 0);
      return 0;
    default:
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

WNDPROC ButtonClassProc() { return ButtonProc; }

}  // namespace qv::win32

IMPLEMENT_DYNAMIC(CButton, CWnd)

BOOL CButton::Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(WC_BUTTON, caption, style, rect, parent, id);
}

BOOL CButton::OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (msg != WM_DRAWITEM) return CWnd::OnChildNotify(msg, wParam, lParam, result);
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  if (result) *result = TRUE;
  return TRUE;
}
