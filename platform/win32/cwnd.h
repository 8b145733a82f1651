#pragma once
// CWnd: a window object with a message map. Each class has one static table of
// entries; a message goes to the first entry that matches, searching the
// class's own table and then its bases' in turn, and to DefWindowProc (the
// window's own procedure) when none does.

#include "platform/core/cstring.h"
#include "platform/win32/gdi/gdi.h"
#include "platform/win32/standard/scroll_bar.h"
#include "platform/win32/window.h"

class CWnd;
class CScrollBar;
class CMenu;

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;      // first message of the entry
  UINT nLastMessage;  // last message (ranges such as WM_CTLCOLOR*); 0: nMessage only
  UINT nCode;         // WM_COMMAND: the notification code
  UINT nID;           // WM_COMMAND: the first control id
  UINT nLastID;
  // Calls the handler; FALSE when the entry leaves the message to the next one.
  BOOL (*pfn)(CWnd* self, WPARAM wParam, LPARAM lParam, LRESULT* result);
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;  // ends with an entry whose pfn is null
};

struct CRuntimeClass {
  const char* m_lpszClassName;
  const CRuntimeClass* m_pBaseClass;
  BOOL IsDerivedFrom(const CRuntimeClass* base) const;
};

#define RUNTIME_CLASS(theClass) (&theClass::class##theClass)
#define DECLARE_DYNAMIC(theClass)                  \
 public:                                           \
  static const CRuntimeClass class##theClass;      \
  const CRuntimeClass* GetRuntimeClass() const override;
#define IMPLEMENT_DYNAMIC(theClass, baseClass)                                                    \
  const CRuntimeClass theClass::class##theClass = {#theClass, RUNTIME_CLASS(baseClass)};          \
  const CRuntimeClass* theClass::GetRuntimeClass() const { return RUNTIME_CLASS(theClass); }

#define DECLARE_MESSAGE_MAP()                   \
 protected:                                     \
  static const AFX_MSGMAP* GetThisMessageMap(); \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }   \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                    \
    using ThisClass [[maybe_unused]] = theClass;                                       \
    using TheBaseClass = baseClass;                                                    \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                      \
  {0, 0, 0, 0, 0, nullptr}                                                     \
  }                                                                            \
  ;                                                                            \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                          \
  }

// One entry: `call` is a statement on `self` (the object as ThisClass*), `wParam`,
// `lParam` and `result`.
#define QV_MSG_ENTRY(msg, last, code, id, lastId, call)                                           \
  {msg, last, code, id, lastId,                                                                   \
   [](CWnd* wnd, [[maybe_unused]] WPARAM wParam, [[maybe_unused]] LPARAM lParam,                  \
      [[maybe_unused]] LRESULT* result) -> BOOL {                                                 \
     [[maybe_unused]] ThisClass* self = static_cast<ThisClass*>(wnd);                             \
     call;                                                                                        \
     return TRUE;                                                                                 \
   }},
#define QV_MSG(msg, call) QV_MSG_ENTRY(msg, 0, 0, 0, 0, call)
#define QV_POINT_OF(l) CPoint(GET_X_LPARAM(l), GET_Y_LPARAM(l))

#define ON_WM_CREATE() QV_MSG(WM_CREATE, *result = self->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam)))
#define ON_WM_DESTROY() QV_MSG(WM_DESTROY, self->OnDestroy())
#define ON_WM_NCDESTROY() QV_MSG(WM_NCDESTROY, self->OnNcDestroy())
#define ON_WM_CLOSE() QV_MSG(WM_CLOSE, self->OnClose())
#define ON_WM_PAINT() QV_MSG(WM_PAINT, self->OnPaint())
#define ON_WM_ERASEBKGND() \
  QV_MSG(WM_ERASEBKGND, *result = self->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam))))
#define ON_WM_SIZE() QV_MSG(WM_SIZE, self->OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_TIMER() QV_MSG(WM_TIMER, self->OnTimer(static_cast<UINT_PTR>(wParam)))
#define ON_WM_ENABLE() QV_MSG(WM_ENABLE, self->OnEnable(static_cast<BOOL>(wParam)))
#define ON_WM_SHOWWINDOW() QV_MSG(WM_SHOWWINDOW, self->OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)))
#define QV_SCROLL_CALL(fn) \
  self->fn(LOWORD(wParam), HIWORD(wParam), CWnd::ScrollBarOf(reinterpret_cast<HWND>(lParam)))
#define ON_WM_VSCROLL() QV_MSG(WM_VSCROLL, QV_SCROLL_CALL(OnVScroll))
#define ON_WM_HSCROLL() QV_MSG(WM_HSCROLL, QV_SCROLL_CALL(OnHScroll))
#define ON_WM_MOUSEMOVE() QV_MSG(WM_MOUSEMOVE, self->OnMouseMove(static_cast<UINT>(wParam), QV_POINT_OF(lParam)))
#define ON_WM_LBUTTONDOWN() QV_MSG(WM_LBUTTONDOWN, self->OnLButtonDown(static_cast<UINT>(wParam), QV_POINT_OF(lParam)))
#define ON_WM_LBUTTONUP() QV_MSG(WM_LBUTTONUP, self->OnLButtonUp(static_cast<UINT>(wParam), QV_POINT_OF(lParam)))
#define ON_WM_LBUTTONDBLCLK() \
  QV_MSG(WM_LBUTTONDBLCLK, self->OnLButtonDblClk(static_cast<UINT>(wParam), QV_POINT_OF(lParam)))
#define ON_WM_RBUTTONDOWN() QV_MSG(WM_RBUTTONDOWN, self->OnRButtonDown(static_cast<UINT>(wParam), QV_POINT_OF(lParam)))
#define ON_WM_MOUSELEAVE() QV_MSG(WM_MOUSELEAVE, self->OnMouseLeave())
// A handler LRESULT fn(WPARAM, LPARAM) for any message.
#define ON_MESSAGE(msg, fn) QV_MSG(msg, *result = self->fn(wParam, lParam))
// WM_COMMAND from the control (or menu item) id with the notification code;
// each standard control's header has the entries for its own codes.
#define ON_CONTROL(code, id, fn) QV_MSG_ENTRY(WM_COMMAND, 0, code, id, id, self->fn())
#define ON_COMMAND(id, fn) ON_CONTROL(0, id, fn)

// WM_CTLCOLOR* to the parent: HBRUSH OnCtlColor(CDC*, CWnd* control, UINT kind).
#define ON_WM_CTLCOLOR()                                                                            \
  QV_MSG_ENTRY(WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, 0, 0, 0,                                       \
               *result = reinterpret_cast<LRESULT>(self->OnCtlColor(                                \
                   CDC::FromHandle(reinterpret_cast<HDC>(wParam)),                                  \
                   CWnd::FromHandle(reinterpret_cast<HWND>(lParam)),                                \
                   self->GetCurrentMessage()->message - WM_CTLCOLORMSGBOX)))
#define ON_WM_SYSCOMMAND() QV_MSG(WM_SYSCOMMAND, self->OnSysCommand(static_cast<UINT>(wParam), lParam))
#define QV_KEY_CALL(fn) \
  self->fn(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam))
#define ON_WM_KEYDOWN() QV_MSG(WM_KEYDOWN, QV_KEY_CALL(OnKeyDown))
#define ON_WM_KEYUP() QV_MSG(WM_KEYUP, QV_KEY_CALL(OnKeyUp))
#define ON_WM_CHAR() QV_MSG(WM_CHAR, QV_KEY_CALL(OnChar))
#define ON_WM_SYSKEYDOWN() QV_MSG(WM_SYSKEYDOWN, QV_KEY_CALL(OnSysKeyDown))
#define ON_WM_SETFOCUS() QV_MSG(WM_SETFOCUS, self->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))))
#define ON_WM_KILLFOCUS() QV_MSG(WM_KILLFOCUS, self->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))))
#define ON_WM_GETDLGCODE() QV_MSG(WM_GETDLGCODE, *result = static_cast<LRESULT>(self->OnGetDlgCode()))
#define ON_WM_DRAWITEM() \
  QV_MSG(WM_DRAWITEM, self->OnDrawItem(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)))
#define ON_WM_SETFONT() \
  QV_MSG(WM_SETFONT, self->OnSetFont(CFont::FromHandle(reinterpret_cast<HFONT>(wParam)), static_cast<BOOL>(lParam)))

// Reflection: a control handles the notification it sends to its parent
// before the parent does. The reflected message is WM_REFLECT_BASE + msg.
inline constexpr UINT WM_REFLECT_BASE = 0xBC00;
// The old 16-bit WM_CTLCOLOR number, under which every WM_CTLCOLOR* reflects.
inline constexpr UINT WM_CTLCOLOR = 0x0019;
// What a reflected WM_CTLCOLOR* carries in lParam.
struct AFX_CTLCOLOR {
  HWND hWnd;
  HDC hDC;
  UINT nCtlType;
};
// void fn(): the control's own handling; the parent no longer sees the notification.
#define ON_CONTROL_REFLECT(code, fn) \
  QV_MSG_ENTRY(WM_REFLECT_BASE + WM_COMMAND, 0, code, 0, 0xFFFF, {                  \
    self->fn();                                                                    \
    *result = TRUE;                                                                \
  })
// BOOL fn(): FALSE lets the parent see the notification too.
#define ON_CONTROL_REFLECT_EX(code, fn) \
  QV_MSG_ENTRY(WM_REFLECT_BASE + WM_COMMAND, 0, code, 0, 0xFFFF, *result = self->fn())
// HBRUSH CtlColor(CDC*, UINT kind); a null brush leaves the colours to the parent.
#define ON_WM_CTLCOLOR_REFLECT()                                                                 \
  QV_MSG(WM_REFLECT_BASE + WM_CTLCOLOR, {                                                        \
    const auto* cc = reinterpret_cast<const AFX_CTLCOLOR*>(lParam);                              \
    *result = reinterpret_cast<LRESULT>(self->CtlColor(CDC::FromHandle(cc->hDC), cc->nCtlType)); \
  })

// Menus and input.
#define ON_WM_MEASUREITEM() \
  QV_MSG(WM_MEASUREITEM, self->OnMeasureItem(static_cast<int>(wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)))
#define ON_WM_MENUCHAR()                                                                           \
  QV_MSG(WM_MENUCHAR, *result = self->OnMenuChar(LOWORD(wParam), HIWORD(wParam),                  \
                                                 CMenu::FromHandle(reinterpret_cast<HMENU>(lParam))))
#define ON_WM_INITMENUPOPUP()                                                                     \
  QV_MSG(WM_INITMENUPOPUP, self->OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(wParam)), \
                                                 LOWORD(lParam), HIWORD(lParam) != 0))
#define ON_WM_SETCURSOR()                                                                       \
  QV_MSG(WM_SETCURSOR, *result = self->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), \
                                                   LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_CONTEXTMENU() \
  QV_MSG(WM_CONTEXTMENU, self->OnContextMenu(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), QV_POINT_OF(lParam)))
#define ON_WM_RBUTTONUP() QV_MSG(WM_RBUTTONUP, self->OnRButtonUp(static_cast<UINT>(wParam), QV_POINT_OF(lParam)))
#define ON_WM_CAPTURECHANGED() \
  QV_MSG(WM_CAPTURECHANGED, self->OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(lParam))))

class CWnd {
 public:
  CWnd() = default;
  // Destroys a window that is still routed to this object.
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  static const CRuntimeClass classCWnd;
  virtual const CRuntimeClass* GetRuntimeClass() const;
  BOOL IsKindOf(const CRuntimeClass* c) const { return GetRuntimeClass()->IsDerivedFrom(c); }

  HWND m_hWnd = nullptr;
  operator HWND() const { return m_hWnd; }  // NOLINT: MFC converts implicitly
  HWND GetSafeHwnd() const { return m_hWnd; }

  // The object routed to or attached to the window; else a temporary one that
  // lives as long as the window.
  static CWnd* FromHandle(HWND hwnd);
  // The object routed to or attached to the window, else nullptr.
  static CWnd* FromHandlePermanent(HWND hwnd);
  static CScrollBar* ScrollBarOf(HWND hwnd);

  // Links the object to a window without taking its messages.
  BOOL Attach(HWND hwnd);
  HWND Detach();
  // Takes the window's messages: they reach this object's map first and then
  // the window's own procedure. FALSE when another object already takes them.
  BOOL SubclassWindow(HWND hwnd);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  HWND UnsubclassWindow();

  virtual BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                      CWnd* parent, UINT id, void* context = nullptr);
  virtual BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                        const RECT& rect, CWnd* parent, UINT id, void* param = nullptr);
  virtual BOOL DestroyWindow();

  // Where the layer delivers every message of a routed window.
  virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  // The map search; TRUE when an entry handled the message.
  virtual BOOL OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  // Default processing of the message being handled.
  LRESULT Default();
  // The message being handled (the framework's current message).
  const MSG* GetCurrentMessage() const { return &m_current; }

  // Keyboard messages on their way to the focus window, from the top-level
  // window down: TRUE when this window took the message (a dialog's
  // IsDialogMessage), so that it is not dispatched.
  virtual BOOL PreTranslateMessage(MSG* msg);
  // A notification that this object's window sent its parent (WM_COMMAND,
  // WM_CTLCOLOR*, WM_DRAWITEM, WM_HSCROLL/WM_VSCROLL): TRUE when the object
  // took it itself, so that the parent does not. The default looks for a
  // reflection entry in the map.
  virtual BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

  // Binds the object before the first message of a window it creates.
  void BindHandle(HWND hwnd);

  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessage(m_hWnd, msg, wParam, lParam);
  }
  BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessage(m_hWnd, msg, wParam, lParam);
  }

  void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
  int GetWindowText(char* buffer, int size) const { return ::GetWindowTextA(m_hWnd, buffer, size); }
  void GetWindowText(CString& text) const;
  int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }

  BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL IsWindow() const { return ::IsWindow(m_hWnd); }

  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) {
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
  }
  void MoveWindow(const RECT* r, BOOL repaint = TRUE) {
    ::MoveWindow(m_hWnd, r->left, r->top, r->right - r->left, r->bottom - r->top, repaint);
  }
  BOOL SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, after ? after->m_hWnd : nullptr, x, y, cx, cy, flags);
  }
  void GetClientRect(RECT* r) const { ::GetClientRect(m_hWnd, r); }
  void GetWindowRect(RECT* r) const { ::GetWindowRect(m_hWnd, r); }
  void ScreenToClient(POINT* p) const { ::ScreenToClient(m_hWnd, p); }
  void ScreenToClient(RECT* r) const;
  void ClientToScreen(POINT* p) const { ::ClientToScreen(m_hWnd, p); }
  void ClientToScreen(RECT* r) const;

  DWORD GetStyle() const { return ::GetWindowStyle(m_hWnd); }
  DWORD GetExStyle() const { return ::GetWindowExStyle(m_hWnd); }
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
  CWnd* SetParent(CWnd* parent);
  void BringWindowToTop();
  void MapWindowPoints(CWnd* to, POINT* points, UINT count) const;
  void MapWindowPoints(CWnd* to, RECT* rect) const;
  CWnd* SetCapture();
  static CWnd* GetCapture();
  static CWnd* WindowFromPoint(POINT point);
  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  CWnd* GetTopLevelParent() const;

  // Focus and keyboard.
  CWnd* SetFocus();  // the window that had the focus
  static CWnd* GetFocus();
  // Fonts: WM_SETFONT/WM_GETFONT.
  void SetFont(CFont* font, BOOL redraw = TRUE);
  CFont* GetFont() const;

  // Dialog items of this window.
  void SetDlgItemText(int id, const char* text);
  int GetDlgItemText(int id, char* buffer, int size) const;
  int GetDlgItemText(int id, CString& text) const;
  void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE);
  UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const;
  void CheckDlgButton(int id, UINT check);
  UINT IsDlgButtonChecked(int id) const;
  void CheckRadioButton(int firstId, int lastId, int checkId);
  LRESULT SendDlgItemMessage(int id, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
  CWnd* GetNextDlgTabItem(CWnd* control, BOOL previous = FALSE) const;
  CWnd* GetNextDlgGroupItem(CWnd* control, BOOL previous = FALSE) const;

  // A message box owned by this window; the application's name when caption is null.
  int MessageBox(const char* text, const char* caption = nullptr, UINT type = 0);

  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void InvalidateRect(const RECT* r, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, r, erase); }
  void ValidateRect(const RECT* r) { ::ValidateRect(m_hWnd, r); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  BOOL RedrawWindow(const RECT* r = nullptr, CRgn* rgn = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
    return ::RedrawWindow(m_hWnd, r, rgn ? static_cast<HRGN>(rgn->m_hObject) : nullptr, flags);
  }
  CDC* GetDC();
  int ReleaseDC(CDC* dc);

  UINT_PTR SetTimer(UINT_PTR id, UINT ms, TIMERPROC proc) { return ::SetTimer(m_hWnd, id, ms, proc); }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

  void ShowScrollBar(UINT bar, BOOL show = TRUE) { ::ShowScrollBar(m_hWnd, static_cast<int>(bar), show); }
  BOOL SetScrollInfo(int bar, SCROLLINFO* info, BOOL redraw = TRUE) {
    return ::SetScrollInfo(m_hWnd, bar, info, redraw) >= 0;
  }
  BOOL GetScrollInfo(int bar, SCROLLINFO* info, UINT mask = SIF_ALL) const;
  void SetScrollRange(int bar, int min, int max, BOOL redraw = TRUE) {
    ::SetScrollRange(m_hWnd, bar, min, max, redraw);
  }
  void GetScrollRange(int bar, int* min, int* max) const { ::GetScrollRange(m_hWnd, bar, min, max); }
  int SetScrollPos(int bar, int pos, BOOL redraw = TRUE) { return ::SetScrollPos(m_hWnd, bar, pos, redraw); }
  int GetScrollPos(int bar) const { return ::GetScrollPos(m_hWnd, bar); }
  // The largest position the thumb can reach: max - (page - 1).
  int GetScrollLimit(int bar) const;

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;

  // Called once the object takes a window's messages by SubclassWindow.
  virtual void PreSubclassWindow() {}
  // Called after the window's last message; the object is detached by then.
  virtual void PostNcDestroy() {}

  // The default handlers: default processing of the message.
  int OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
  void OnDestroy() { Default(); }
  void OnNcDestroy() { Default(); }
  void OnClose() { Default(); }
  void OnPaint() { Default(); }
  BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
  void OnSize(UINT, int, int) { Default(); }
  void OnTimer(UINT_PTR) { Default(); }
  void OnEnable(BOOL) { Default(); }
  void OnShowWindow(BOOL, UINT) { Default(); }
  void OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
  void OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
  void OnMouseMove(UINT, CPoint) { Default(); }
  void OnLButtonDown(UINT, CPoint) { Default(); }
  void OnLButtonUp(UINT, CPoint) { Default(); }
  void OnLButtonDblClk(UINT, CPoint) { Default(); }
  void OnRButtonDown(UINT, CPoint) { Default(); }
  void OnMouseLeave() { Default(); }
  void OnRButtonUp(UINT, CPoint) { Default(); }
  // A menu entry goes to the CMenu attached to its menu; anything else is
  // reflected to the control first (its OnChildNotify, e.g. CButton::DrawItem),
  // then default processing.
  void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
  void OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis);
  LRESULT OnMenuChar(UINT, UINT, CMenu*) { return Default(); }
  void OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
  BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
  void OnContextMenu(CWnd*, CPoint) { Default(); }
  void OnCaptureChanged(CWnd*) { Default(); }
  // Reflects to the control first (its ON_WM_CTLCOLOR_REFLECT), then default processing.
  HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT kind);
  void OnSysCommand(UINT, LPARAM) { Default(); }
  void OnKeyDown(UINT, UINT, UINT) { Default(); }
  void OnKeyUp(UINT, UINT, UINT) { Default(); }
  void OnChar(UINT, UINT, UINT) { Default(); }
  void OnSysKeyDown(UINT, UINT, UINT) { Default(); }
  void OnSetFocus(CWnd*) { Default(); }
  void OnKillFocus(CWnd*) { Default(); }
  UINT OnGetDlgCode() { return static_cast<UINT>(Default()); }
  void OnSetFont(CFont*, BOOL) { Default(); }

 private:
  // A notification that no map entry took goes to the control that sent it
  // (WM_CTLCOLOR*, WM_DRAWITEM, WM_HSCROLL/WM_VSCROLL).
  BOOL ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

  MSG m_current{};
  bool m_routed = false;  // this object takes the window's messages
};

// A scroll bar control; what WM_VSCROLL/WM_HSCROLL hand over for one.
class CScrollBar : public CWnd {};

// The DC of one paint: BeginPaint in the constructor, EndPaint in the destructor.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps{};

 private:
  HWND m_hWnd;
};

// A DC on a window's whole client area.
class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* wnd);
  ~CClientDC() override;

 private:
  HWND m_hWnd;
};
