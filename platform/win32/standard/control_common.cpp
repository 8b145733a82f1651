#include "platform/win32/standard/control_common.h"

namespace qv::win32 {

HBRUSH DefaultCtlColor(HDC dc, UINT msg) {
  const bool window = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(window ? COLOR_WINDOW : COLOR_3DFACE));
  return GetSysColorBrush(window ? COLOR_WINDOW : COLOR_3DFACE);
}

HBRUSH ControlColors(HWND control, HDC dc, UINT msg) {
  HWND parent = GetParent(control);
  LRESULT r = parent ? SendMessage(parent, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)) : 0;
  if (r) return reinterpret_cast<HBRUSH>(r);
  return DefaultCtlColor(dc, msg);
}

ControlLook QueryControlLook(HWND control, UINT msg) {
  HDC dc = CreateCompatibleDC(nullptr);
  ControlLook look;
  HBRUSH brush = ControlColors(control, dc, msg);
  LOGBRUSH lb{};
  if (GetObject(brush, sizeof(lb), &lb) == sizeof(lb)) {
    look.hollowBrush = lb.lbStyle == BS_NULL;
    look.background = lb.lbColor;
  } else {
    look.background = GetSysColor(msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX ? COLOR_WINDOW : COLOR_3DFACE);
  }
  look.text = GetTextColor(dc);
  DeleteDC(dc);
  return look;
}

void NotifyParent(HWND control, UINT code) {
  HWND parent = GetParent(control);
  if (!parent) return;
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), static_cast<int>(code)),
              reinterpret_cast<LPARAM>(control));
}

HFONT DefaultControlFont() { return static_cast<HFONT>(GetStockObject(SYSTEM_FONT)); }

}  // namespace qv::win32
