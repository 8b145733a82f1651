// The "Static" class: text, frames and pictures in the classic look.

#include "platform/win32/standard/static.h"

#include <cstdlib>

#include "platform/win32/gdi/bitmap_resources.h"
#include "platform/win32/standard/control_common.h"
#include "platform/win32/standard/standard_procs.h"

namespace qv::win32 {
namespace {

struct StaticState {
  HFONT font = nullptr;
  HBITMAP bitmap = nullptr;
  bool ownsBitmap = false;  // the template's "#n" resource, loaded by the static
};

DWORD TypeOf(HWND hwnd) { return GetWindowStyle(hwnd) & SS_TYPEMASK; }

void ReleaseBitmap(StaticState& s) {
  if (s.ownsBitmap && s.bitmap) DeleteObject(s.bitmap);
  s.bitmap = nullptr;
  s.ownsBitmap = false;
}

// A picture static takes its bitmap's size, as on Windows.
void FitToBitmap(HWND hwnd, const StaticState& s) {
  BITMAP bm{};
  if (!s.bitmap || !GetObject(s.bitmap, sizeof bm, &bm)) return;
  if (GetWindowStyle(hwnd) & SS_CENTERIMAGE) return;
  SetWindowPos(hwnd, nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOMOVE | SWP_NOZORDER);
}

void PaintText(HWND hwnd, HDC dc, const StaticState& s, const RECT& r, HBRUSH brush) {
  const DWORD style = GetWindowStyle(hwnd);
  FillRect(dc, &r, brush);
  char text[1024];
  if (GetWindowTextA(hwnd, text, sizeof text) == 0) return;
  SelectObject(dc, s.font ? s.font : DefaultControlFont());
  UINT format = DT_EXPANDTABS;
  switch (TypeOf(hwnd)) {
    case SS_CENTER: format |= DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format |= DT_RIGHT | DT_WORDBREAK; break;
    case SS_SIMPLE: format |= DT_SINGLELINE | DT_NOCLIP; break;
    case SS_LEFTNOWORDWRAP: break;
    default: format |= DT_LEFT | DT_WORDBREAK; break;
  }
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
  if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  RECT box = r;
  DrawTextA(dc, text, -1, &box, format);
}

void PaintBitmap(HWND hwnd, HDC dc, const StaticState& s, const RECT& r, HBRUSH brush) {
  FillRect(dc, &r, brush);
  BITMAP bm{};
  if (!s.bitmap || !GetObject(s.bitmap, sizeof bm, &bm)) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, s.bitmap);
  int x = r.left, y = r.top;
  if (GetWindowStyle(hwnd) & SS_CENTERIMAGE) {
    x = r.left + (r.right - r.left - bm.bmWidth) / 2;
    y = r.top + (r.bottom - r.top - bm.bmHeight) / 2;
  }
  BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void PaintFrame(HWND hwnd, HDC dc, const RECT& r) {
  RECT box = r;
  switch (TypeOf(hwnd)) {
    case SS_BLACKRECT: FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOWFRAME)); break;
    case SS_GRAYRECT: FillRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW)); break;
    case SS_WHITERECT: FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW)); break;
    case SS_BLACKFRAME: FrameRect(dc, &box, GetSysColorBrush(COLOR_WINDOWFRAME)); break;
    case SS_GRAYFRAME: FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW)); break;
    case SS_WHITEFRAME: FrameRect(dc, &box, GetSysColorBrush(COLOR_WINDOW)); break;
    case SS_ETCHEDHORZ: DrawEdge(dc, &box, EDGE_ETCHED, BF_TOP); break;
    case SS_ETCHEDVERT: DrawEdge(dc, &box, EDGE_ETCHED, BF_LEFT); break;
    case SS_ETCHEDFRAME: DrawEdge(dc, &box, EDGE_ETCHED, BF_RECT); break;
    default: break;
  }
}

void Paint(HWND hwnd, const StaticState& s) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT r{};
  GetClientRect(hwnd, &r);
  const DWORD type = TypeOf(hwnd);
  if (type == SS_BITMAP) {
    PaintBitmap(hwnd, dc, s, r, ControlColors(hwnd, dc, WM_CTLCOLORSTATIC));
  } else if (type <= SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP) {
    PaintText(hwnd, dc, s, r, ControlColors(hwnd, dc, WM_CTLCOLORSTATIC));
  } else {
    PaintFrame(hwnd, dc, r);
  }
  EndPaint(hwnd, &ps);
}

// "#168" names the bitmap resource 168.
void LoadTemplateBitmap(HWND hwnd, StaticState& s) {
  char text[32];
  GetWindowTextA(hwnd, text, sizeof text);
  if (text[0] != '#') return;
  s.bitmap = LoadBitmapResource(std::atoi(text + 1));
  s.ownsBitmap = s.bitmap != nullptr;
  FitToBitmap(hwnd, s);
}

LRESULT StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) {
    StaticState* s = MakeState<StaticState>(hwnd);
    if (s && TypeOf(hwnd) == SS_BITMAP) LoadTemplateBitmap(hwnd, *s);
    return 0;
  }
  StaticState* s = StateOf<StaticState>(hwnd);
  if (!s) return DefWindowProc(hwnd, msg, wParam, lParam);
  const bool notify = (GetWindowStyle(hwnd) & SS_NOTIFY) != 0;
  switch (msg) {
    case WM_PAINT:
      Paint(hwnd, *s);
      return 0;
    case WM_ERASEBKGND:
      return TRUE;
    case WM_NCDESTROY:
      ReleaseBitmap(*s);
      return 0;
    case WM_SETFONT:
      s->font = reinterpret_cast<HFONT>(wParam);
      if (lParam) InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(s->font);
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, FALSE);
      return r;
    }
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case WM_NCHITTEST:
      // Only a notifying static takes the mouse; through the others it
      // reaches the window beneath.
      return notify ? HTCLIENT : HTTRANSPARENT;
    case WM_LBUTTONDOWN:
      if (notify) NotifyParent(hwnd, STN_CLICKED);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (notify) NotifyParent(hwnd, STN_DBLCLK);
      return 0;
    case STM_SETIMAGE: {
      if (wParam != IMAGE_BITMAP) return 0;
      HBITMAP previous = s->ownsBitmap ? nullptr : s->bitmap;
      ReleaseBitmap(*s);
      s->bitmap = reinterpret_cast<HBITMAP>(lParam);
      FitToBitmap(hwnd, *s);
      InvalidateRect(hwnd, nullptr, FALSE);
      return reinterpret_cast<LRESULT>(previous);
    }
    case STM_GETIMAGE:
      return wParam == IMAGE_BITMAP ? reinterpret_cast<LRESULT>(s->bitmap) : 0;
    default:
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

WNDPROC StaticClassProc() { return StaticProc; }

}  // namespace qv::win32

IMPLEMENT_DYNAMIC(CStatic, CWnd)

BOOL CStatic::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(WC_STATIC, text, style, rect, parent, id);
}
