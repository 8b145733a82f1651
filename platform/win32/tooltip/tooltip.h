#pragma once
// The tool-tip control: a small top-level window (class "tooltips_class32")
// in the info colours with a thin border, shown below the mouse when it has
// rested on a tool for the initial delay, hidden when the mouse leaves the
// tool, a button is pressed, or the tip is deactivated. The owner relays its
// mouse messages to the control (TTM_RELAYEVENT), usually from
// PreTranslateMessage.

#include "platform/win32/cwnd.h"
#include "platform/win32/resource/resource.h"

inline constexpr UINT TTM_ACTIVATE = WM_USER + 1;
inline constexpr UINT TTM_SETDELAYTIME = WM_USER + 3;
inline constexpr UINT TTM_ADDTOOLA = WM_USER + 4;
inline constexpr UINT TTM_DELTOOLA = WM_USER + 5;
inline constexpr UINT TTM_RELAYEVENT = WM_USER + 7;
inline constexpr UINT TTM_GETTEXTA = WM_USER + 11;
inline constexpr UINT TTM_UPDATETIPTEXTA = WM_USER + 12;
inline constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
inline constexpr UINT TTM_SETMAXTIPWIDTH = WM_USER + 24;
inline constexpr UINT TTM_POP = WM_USER + 28;
inline constexpr UINT TTM_ADDTOOL = TTM_ADDTOOLA;
inline constexpr UINT TTM_DELTOOL = TTM_DELTOOLA;
inline constexpr UINT TTM_GETTEXT = TTM_GETTEXTA;
inline constexpr UINT TTM_UPDATETIPTEXT = TTM_UPDATETIPTEXTA;

inline constexpr UINT TTF_IDISHWND = 0x0001;
inline constexpr UINT TTF_SUBCLASS = 0x0010;
inline constexpr DWORD TTDT_AUTOMATIC = 0;
inline constexpr DWORD TTDT_RESHOW = 1;
inline constexpr DWORD TTDT_AUTOPOP = 2;
inline constexpr DWORD TTDT_INITIAL = 3;
inline constexpr DWORD TTS_ALWAYSTIP = 0x01;
inline constexpr DWORD TTS_NOPREFIX = 0x02;

// A tool is a window (TTF_IDISHWND, uId its handle) or a rectangle of a window's
// client area (uId an id of the owner's choice).
struct TOOLINFOA {
  UINT cbSize;
  UINT uFlags;
  HWND hwnd;
  UINT_PTR uId;
  RECT rect;
  HINSTANCE hinst;
  LPSTR lpszText;
  LPARAM lParam;
};
using TOOLINFO = TOOLINFOA;
using LPTOOLINFO = TOOLINFOA*;

// The class name of the control's windows, registered on first use.
#define TOOLTIPS_CLASS "tooltips_class32"

class CToolTipCtrl : public CWnd {
 public:
  BOOL Create(CWnd* parent, DWORD style = 0);
  BOOL AddTool(CWnd* wnd, LPCSTR text, const RECT* toolRect = nullptr, UINT_PTR id = 0);
  void DelTool(CWnd* wnd, UINT_PTR id = 0);
  void RelayEvent(LPMSG msg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
  void Activate(BOOL activate) { SendMessage(TTM_ACTIVATE, activate, 0); }
  void UpdateTipText(LPCSTR text, CWnd* wnd, UINT_PTR id = 0);
  void GetText(CString& text, CWnd* wnd, UINT_PTR id = 0) const;
  void SetDelayTime(UINT ms) { SendMessage(TTM_SETDELAYTIME, TTDT_AUTOMATIC, static_cast<LPARAM>(ms)); }
  void SetDelayTime(DWORD which, int ms) { SendMessage(TTM_SETDELAYTIME, which, ms); }
  int SetMaxTipWidth(int width) { return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, width)); }
  int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT, 0, 0)); }
  void Pop() { SendMessage(TTM_POP, 0, 0); }
};

namespace qv::win32 {

// Registers TOOLTIPS_CLASS (idempotent).
void RegisterToolTipClass();

}  // namespace qv::win32
