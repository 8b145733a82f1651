#include "platform/win32/cwnd.h"

#include <vector>

#include "platform/win32/menu/menu.h"
#include "platform/win32/window_object.h"

using qv::win32::Lookup;

const CRuntimeClass CWnd::classCWnd = {"CWnd", nullptr};

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
    if (c == base) return TRUE;
  return FALSE;
}

const CRuntimeClass* CWnd::GetRuntimeClass() const { return &classCWnd; }

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
  using ThisClass = CWnd;
  // What the framework does for every window when no map takes the message.
  static const AFX_MSGMAP_ENTRY entries[] = {ON_WM_DRAWITEM() ON_WM_MEASUREITEM(){0, 0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

CWnd::~CWnd() {
  if (!m_hWnd) return;
  auto w = Lookup(m_hWnd);
  if (w && m_routed && w->cwnd == this) {
    // The window must not outlive the object its messages go to.
    ::DestroyWindow(m_hWnd);
    if (auto still = Lookup(m_hWnd); still && still->cwnd == this) still->cwnd = nullptr;
  }
  if (auto left = Lookup(m_hWnd); left && left->permanent == this) left->permanent = nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
  auto w = Lookup(hwnd);
  if (!w) return nullptr;
  return w->cwnd ? w->cwnd : w->permanent;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  auto w = Lookup(hwnd);
  if (!w) return nullptr;
  if (CWnd* p = w->cwnd ? w->cwnd : w->permanent) return p;
  if (!w->temporary) {
    w->temporary = std::make_unique<CWnd>();
    w->temporary->m_hWnd = hwnd;
  }
  return w->temporary.get();
}

CScrollBar* CWnd::ScrollBarOf(HWND hwnd) {
  // A window's own scroll bars come with no handle.
  return hwnd ? static_cast<CScrollBar*>(FromHandle(hwnd)) : nullptr;
}

BOOL CWnd::Attach(HWND hwnd) {
  auto w = Lookup(hwnd);
  if (!w || m_hWnd) return FALSE;
  m_hWnd = hwnd;
  if (!w->cwnd) w->permanent = this;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hwnd = m_hWnd;
  if (auto w = Lookup(hwnd)) {
    if (w->cwnd == this) w->cwnd = nullptr;
    if (w->permanent == this) w->permanent = nullptr;
  }
  m_hWnd = nullptr;
  m_routed = false;
  return hwnd;
}

void CWnd::BindHandle(HWND hwnd) {
  auto w = Lookup(hwnd);
  if (!w) return;
  m_hWnd = hwnd;
  m_routed = true;
  w->cwnd = this;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
  auto w = Lookup(hwnd);
  if (!w || m_hWnd || (w->cwnd && w->cwnd != this)) return FALSE;
  BindHandle(hwnd);
  PreSubclassWindow();
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  return parent ? SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id))) : FALSE;
}

HWND CWnd::UnsubclassWindow() { return m_routed ? Detach() : nullptr; }

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id, void*) {
  return CreateEx(0, className, windowName, style, rect, parent, id, nullptr);
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id, void* param) {
  if (m_hWnd) return FALSE;
  qv::win32::BindCreatingWindow(this);
  HWND hwnd = ::CreateWindowExA(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr, static_cast<int>(id), param);
  qv::win32::BindCreatingWindow(nullptr);
  return hwnd ? TRUE : FALSE;
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(msg, wParam, lParam, &result) && !ReflectToChild(msg, wParam, lParam, &result))
    result = DefWindowProc(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // The window is gone: the object no longer speaks for it.
    Detach();
    PostNcDestroy();
  }
  return result;
}

namespace {

bool Matches(const AFX_MSGMAP_ENTRY& e, UINT msg, WPARAM wParam) {
  const UINT last = e.nLastMessage ? e.nLastMessage : e.nMessage;
  if (msg < e.nMessage || msg > last) return false;
  if (msg != WM_COMMAND && msg != WM_REFLECT_BASE + WM_COMMAND) return true;
  const UINT id = LOWORD(wParam);
  return HIWORD(wParam) == e.nCode && id >= e.nID && id <= e.nLastID;
}

}  // namespace

BOOL CWnd::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  // A control's notification goes to the control's own reflection entry first.
  if (msg == WM_COMMAND && lParam) {
    if (CWnd* child = FromHandlePermanent(reinterpret_cast<HWND>(lParam)); child && child != this) {
      LRESULT ignored = 0;
      if (child->OnChildNotify(msg, wParam, lParam, &ignored)) {
        *result = 0;
        return TRUE;
      }
    }
  }
  for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
      if (!Matches(*e, msg, wParam)) continue;
      const MSG saved = m_current;
      m_current = MSG{m_hWnd, msg, wParam, lParam, 0, POINT{0, 0}};
      LRESULT r = 0;
      const BOOL handled = e->pfn(this, wParam, lParam, &r);
      m_current = saved;
      if (handled) {
        *result = r;
        return TRUE;
      }
    }
  }
  return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProc(::GetWindowProc(m_hWnd), m_hWnd, msg, wParam, lParam);
}

LRESULT CWnd::Default() { return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam); }

void CWnd::GetWindowText(CString& text) const {
  const int length = GetWindowTextLength();
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  const int copied = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
  text = CString(buffer.data(), copied);
}

void CWnd::ScreenToClient(RECT* r) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<POINT*>(&r->left));
  ::ScreenToClient(m_hWnd, reinterpret_cast<POINT*>(&r->right));
}

void CWnd::ClientToScreen(RECT* r) const {
  ::ClientToScreen(m_hWnd, reinterpret_cast<POINT*>(&r->left));
  ::ClientToScreen(m_hWnd, reinterpret_cast<POINT*>(&r->right));
}

namespace {

// FALSE when the bits stay as they are.
BOOL ModifyBits(HWND hwnd, DWORD before, DWORD remove, DWORD add, void (*set)(HWND, DWORD)) {
  const DWORD after = (before & ~remove) | add;
  if (after == before) return FALSE;
  set(hwnd, after);
  return TRUE;
}

}  // namespace

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT) {
  return ModifyBits(m_hWnd, GetStyle(), remove, add, ::SetWindowStyle);
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT) {
  return ModifyBits(m_hWnd, GetExStyle(), remove, add, ::SetWindowExStyle);
}

BOOL CWnd::GetScrollInfo(int bar, SCROLLINFO* info, UINT mask) const {
  if (!info) return FALSE;
  info->fMask = mask;
  return ::GetScrollInfo(m_hWnd, bar, info);
}

int CWnd::GetScrollLimit(int bar) const {
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
  if (!::GetScrollInfo(m_hWnd, bar, &info)) return 0;
  return info.nMax - std::max(static_cast<int>(info.nPage) - 1, 0);
}

CDC* CWnd::GetDC() {
  HDC dc = ::GetDC(m_hWnd);
  if (!dc) return nullptr;
  auto* wrapper = new CDC;
  wrapper->Attach(dc);
  return wrapper;
}

int CWnd::ReleaseDC(CDC* dc) {
  if (!dc) return 0;
  const int r = ::ReleaseDC(m_hWnd, dc->Detach());
  delete dc;
  return r;
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { Attach(::BeginPaint(m_hWnd, &m_ps)); }

CPaintDC::~CPaintDC() {
  // EndPaint deletes the DC itself.
  Detach();
  ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { Attach(::GetDC(m_hWnd)); }

CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }

void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT mis) {
  if (!qv::win32::DispatchMenuOwnerDraw(WM_MEASUREITEM, reinterpret_cast<LPARAM>(mis))) Default();
}
