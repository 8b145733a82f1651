#include "platform/win32/tooltip/tooltip.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/host_widget.h"
#include "platform/win32/input/mouse.h"
#include "platform/win32/window_class.h"
#include "platform/win32/window_object.h"

namespace qv::win32 {
namespace {

constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kPopTimer = 2;
constexpr UINT_PTR kLeaveTimer = 3;  // watches for the mouse leaving the tool
constexpr UINT kLeaveCheckMs = 100;
constexpr int kDefaultInitial = 500;
constexpr int kPaddingX = 3;
constexpr int kPaddingY = 2;
constexpr int kBelowCursor = 20;  // the tip opens below the cursor's picture
inline const LPSTR kTextCallback = reinterpret_cast<LPSTR>(static_cast<std::intptr_t>(-1));

struct Tool {
  UINT flags = 0;
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  RECT rect{};
  std::string text;
};

// The state of one tool-tip window; the UI thread's alone.
struct Tip {
  std::vector<Tool> tools;
  bool active = true;
  int initial = kDefaultInitial;
  int autopop = 10 * kDefaultInitial;
  int maxWidth = -1;
  int current = -1;       // the tool under the mouse
  bool suppressed = false;  // a click hid the tip: not again on this tool
  std::string shownText;
};

std::map<HWND, Tip>& Tips() {
  static auto* tips = new std::map<HWND, Tip>;
  return *tips;
}

bool Same(const Tool& t, HWND hwnd, UINT_PTR id) { return t.hwnd == hwnd && t.id == id; }

int FindTool(const Tip& tip, const TOOLINFOA* info) {
  if (!info) return -1;
  for (size_t i = 0; i < tip.tools.size(); ++i)
    if (Same(tip.tools[i], info->hwnd, info->uId)) return static_cast<int>(i);
  return -1;
}

// The tool a mouse message is about, -1 for none.
int ToolAt(const Tip& tip, const MSG& msg) {
  const POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
  for (size_t i = 0; i < tip.tools.size(); ++i) {
    const Tool& t = tip.tools[i];
    if (t.flags & TTF_IDISHWND) {
      if (reinterpret_cast<HWND>(t.id) == msg.hwnd) return static_cast<int>(i);
    } else if (t.hwnd == msg.hwnd && PtInRect(&t.rect, p)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

HFONT TipFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0);
  return CreateFontIndirectA(&metrics.lfStatusFont);
}

UINT TextFormat(const Tip& tip) { return DT_NOPREFIX | (tip.maxWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE); }

// Whether the mouse is still over the tool: the owner relays only the moves
// over its own windows, so leaving for another window is noticed here.
bool MouseOnTool(const Tool& t) {
  POINT p{};
  GetCursorPos(&p);
  const HWND under = WindowFromPoint(p);
  if (t.flags & TTF_IDISHWND) return under == reinterpret_cast<HWND>(t.id);
  if (under != t.hwnd) return false;
  ScreenToClient(t.hwnd, &p);
  return PtInRect(&t.rect, p) != FALSE;
}

// Hides the tip; `watch` keeps looking for the mouse to leave the tool.
void Hide(HWND hwnd, bool watch = false) {
  KillTimer(hwnd, kShowTimer);
  KillTimer(hwnd, kPopTimer);
  if (!watch) KillTimer(hwnd, kLeaveTimer);
  if (IsWindowVisible(hwnd)) ShowWindow(hwnd, SW_HIDE);
}

void Show(HWND hwnd, Tip& tip) {
  if (tip.current < 0 || !tip.active) return;
  tip.shownText = tip.tools[static_cast<size_t>(tip.current)].text;
  if (tip.shownText.empty()) return;
  // The size of the text, wrapped at the maximum width when one is set.
  HDC dc = GetDC(nullptr);
  HFONT font = TipFont();
  HGDIOBJ old = SelectObject(dc, font);
  RECT r{0, 0, tip.maxWidth > 0 ? tip.maxWidth : 0, 0};
  DrawTextA(dc, tip.shownText.c_str(), -1, &r, TextFormat(tip) | DT_CALCRECT);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  const int w = r.right - r.left + 2 * kPaddingX + 2, h = r.bottom - r.top + 2 * kPaddingY + 2;
  POINT at{};
  GetCursorPos(&at);
  const int x = std::clamp<int>(at.x, 0, std::max(0, GetSystemMetrics(SM_CXSCREEN) - w));
  int y = at.y + kBelowCursor;
  if (y + h > GetSystemMetrics(SM_CYSCREEN)) y = std::max(0, static_cast<int>(at.y) - h);
  SetWindowPos(hwnd, HWND_TOP, x, y, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(hwnd, nullptr, TRUE);
  SetTimer(hwnd, kPopTimer, static_cast<UINT>(tip.autopop), nullptr);
}

void Relay(HWND hwnd, Tip& tip, const MSG* msg) {
  if (!msg) return;
  switch (msg->message) {
    case WM_MOUSEMOVE: {
      const int tool = ToolAt(tip, *msg);
      if (tool == tip.current) return;
      Hide(hwnd);
      tip.current = tool;
      tip.suppressed = false;
      if (tool >= 0 && tip.active) {
        SetTimer(hwnd, kShowTimer, static_cast<UINT>(tip.initial), nullptr);
        SetTimer(hwnd, kLeaveTimer, kLeaveCheckMs, nullptr);
      }
      return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      // Not again until the mouse has left the tool.
      Hide(hwnd, true);
      tip.suppressed = true;
      return;
    default:
      return;
  }
}

void Paint(HWND hwnd, const Tip& tip) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client{};
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_INFOBK));
  FrameRect(dc, &client, GetSysColorBrush(COLOR_INFOTEXT));
  HFONT font = TipFont();
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
  RECT text{client.left + 1 + kPaddingX, client.top + 1 + kPaddingY, client.right - 1 - kPaddingX,
            client.bottom - 1 - kPaddingY};
  DrawTextA(dc, tip.shownText.c_str(), -1, &text, TextFormat(tip));
  SelectObject(dc, old);
  DeleteObject(font);
  EndPaint(hwnd, &ps);
}

LRESULT ToolTipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& tips = Tips();
  if (msg == WM_CREATE) tips[hwnd] = Tip{};
  auto found = tips.find(hwnd);
  if (found == tips.end()) return DefWindowProc(hwnd, msg, wParam, lParam);
  Tip& tip = found->second;
  auto* info = reinterpret_cast<TOOLINFOA*>(lParam);
  switch (msg) {
    case WM_CREATE:
      if (auto w = Lookup(hwnd); w && w->host) {
        // Shown without taking the focus, never in the task bar.
        w->host->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
        w->host->setAttribute(Qt::WA_ShowWithoutActivating);
      }
      return 0;
    case TTM_ADDTOOLA: {
      if (!info) return FALSE;
      Tool tool{info->uFlags, info->hwnd, info->uId, info->rect,
                info->lpszText && info->lpszText != kTextCallback ? info->lpszText : ""};
      const int at = FindTool(tip, info);
      if (at >= 0)
        tip.tools[static_cast<size_t>(at)] = tool;
      else
        tip.tools.push_back(tool);
      return TRUE;
    }
    case TTM_DELTOOLA: {
      const int at = FindTool(tip, info);
      if (at < 0) return 0;
      if (at == tip.current) Hide(hwnd);
      tip.tools.erase(tip.tools.begin() + at);
      tip.current = -1;
      return 0;
    }
    case TTM_UPDATETIPTEXTA: {
      const int at = FindTool(tip, info);
      if (at < 0) return 0;
      tip.tools[static_cast<size_t>(at)].text = info->lpszText && info->lpszText != kTextCallback ? info->lpszText : "";
      if (at == tip.current && IsWindowVisible(hwnd)) Show(hwnd, tip);
      return 0;
    }
    case TTM_GETTEXTA: {
      // The caller's buffer holds 80 characters, as the control has always assumed.
      const int at = FindTool(tip, info);
      if (!info || !info->lpszText) return 0;
      const std::string text = at >= 0 ? tip.tools[static_cast<size_t>(at)].text : std::string();
      const size_t n = std::min<size_t>(text.size(), 79);
      std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), info->lpszText);
      info->lpszText[n] = '\0';
      return 0;
    }
    case TTM_GETTOOLCOUNT:
      return static_cast<LRESULT>(tip.tools.size());
    case TTM_ACTIVATE:
      tip.active = wParam != 0;
      if (!tip.active) Hide(hwnd);
      return 0;
    case TTM_SETDELAYTIME: {
      const int ms = static_cast<int>(lParam) < 0 ? kDefaultInitial : static_cast<int>(lParam);
      if (wParam == TTDT_AUTOMATIC) {
        tip.initial = ms;
        tip.autopop = 10 * ms;
      } else if (wParam == TTDT_INITIAL) {
        tip.initial = ms;
      } else if (wParam == TTDT_AUTOPOP) {
        tip.autopop = ms;
      }
      return 0;
    }
    case TTM_SETMAXTIPWIDTH:
      return std::exchange(tip.maxWidth, static_cast<int>(lParam));
    case TTM_POP:
      Hide(hwnd);
      return 0;
    case TTM_RELAYEVENT:
      Relay(hwnd, tip, reinterpret_cast<const MSG*>(lParam));
      return 0;
    case WM_TIMER:
      if (wParam == kShowTimer) {
        KillTimer(hwnd, kShowTimer);
        if (!tip.suppressed) Show(hwnd, tip);
      } else if (wParam == kPopTimer) {
        Hide(hwnd, true);
      } else if (wParam == kLeaveTimer) {
        if (tip.current < 0 || !MouseOnTool(tip.tools[static_cast<size_t>(tip.current)])) {
          Hide(hwnd);
          tip.current = -1;
        }
      }
      return 0;
    case WM_PAINT:
      Paint(hwnd, tip);
      return 0;
    case WM_ERASEBKGND:
      return TRUE;
    case WM_NCDESTROY:
      tips.erase(found);
      return 0;
    default:
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

void RegisterToolTipClass() {
  WNDCLASSA wc{0, ToolTipProc, 0, TOOLTIPS_CLASS};
  RegisterClassA(&wc);  // FALSE once it exists
}

}  // namespace qv::win32

namespace {

TOOLINFOA ToolOf(CWnd* wnd, UINT_PTR id) {
  TOOLINFOA info{};
  info.cbSize = sizeof(info);
  if (!wnd) return info;
  if (id == 0) {
    // The window itself is the tool, as the framework registers it.
    info.uFlags = TTF_IDISHWND;
    info.hwnd = ::GetParent(wnd->m_hWnd) ? ::GetParent(wnd->m_hWnd) : wnd->m_hWnd;
    info.uId = reinterpret_cast<UINT_PTR>(wnd->m_hWnd);
  } else {
    info.hwnd = wnd->m_hWnd;
    info.uId = id;
  }
  return info;
}

}  // namespace

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
  qv::win32::RegisterToolTipClass();
  return CreateEx(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | style, CRect(0, 0, 0, 0), parent, 0);
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, LPCSTR text, const RECT* toolRect, UINT_PTR id) {
  if (!wnd) return FALSE;
  // Id 0 makes the window itself the tool; another id a rectangle of it
  // (its client area unless given).
  TOOLINFOA info = ToolOf(wnd, id);
  if (id && toolRect)
    info.rect = *toolRect;
  else if (id)
    ::GetClientRect(wnd->m_hWnd, &info.rect);
  info.lpszText = const_cast<LPSTR>(text);
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
}

void CToolTipCtrl::DelTool(CWnd* wnd, UINT_PTR id) {
  TOOLINFOA info = ToolOf(wnd, id);
  SendMessage(TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::UpdateTipText(LPCSTR text, CWnd* wnd, UINT_PTR id) {
  TOOLINFOA info = ToolOf(wnd, id);
  info.lpszText = const_cast<LPSTR>(text);
  SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::GetText(CString& text, CWnd* wnd, UINT_PTR id) const {
  char buffer[80] = {};
  TOOLINFOA info = ToolOf(wnd, id);
  info.lpszText = buffer;
  SendMessage(TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&info));
  text = buffer;
}
