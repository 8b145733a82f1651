#pragma once
// The layer's own state of one window, and the table from handles to it.
// Everything but `destroying` is touched on the window's own thread only.

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/frame.h"
#include "platform/win32/gdi/gdi_api.h"
#include "platform/win32/ui_thread.h"
#include "platform/win32/winuser.h"

class CWnd;
class QWidget;
class QScrollBar;

namespace qv::win32 {

class HostWidget;

struct ScrollBarState {
  int min = 0;
  int max = 0;
  UINT page = 0;
  int pos = 0;
  int trackPos = 0;
  bool visible = false;
};

struct WindowClass {
  std::string name;
  WNDPROC proc = nullptr;
  UINT style = 0;
  // The colour that the default WM_ERASEBKGND fills with; a system colour index
  // + 1 as in the class's background brush, 0 for none.
  int backgroundSysColor = 0;
};

// The class of that name, registered or standard; nullptr for none (a null
// name is the framework's default class).
std::shared_ptr<const WindowClass> FindClass(const char* name);

struct WindowObject {
  HWND hwnd = nullptr;
  std::shared_ptr<const WindowClass> windowClass;
  WNDPROC proc = nullptr;  // the procedure in force (the class's unless subclassed)
  CWnd* cwnd = nullptr;    // the object its messages are routed to, if any
  CWnd* permanent = nullptr;  // an object attached without routing (CWnd::Attach)
  std::unique_ptr<CWnd> temporary;  // what FromHandle gives for a window without either
  std::atomic<DWORD> style{0};  // read by workers (ShowWindow, EnableWindow)
  DWORD exStyle = 0;
  int id = 0;
  HWND parent = nullptr;
  std::vector<HWND> children;  // in creation order
  std::string text;
  QRect rect;  // in the parent's client coordinates (screen for a top-level window)
  std::shared_ptr<UiThread> thread;
  std::atomic<bool> destroying{false};
  bool destroyMessageSent = false;  // WM_DESTROY has gone out: no second destruction

  QPointer<HostWidget> host;
  QImage backing;  // the client area's pixels, kept until painted again
  QRegion updateRegion;  // client coordinates
  bool eraseNeeded = false;
  bool paintPosted = false;
  bool painting = false;  // between BeginPaint and EndPaint
  QRegion paintedRegion;  // what the paint in progress covers
  // Client pixels whose content a resize dropped: until the window paints
  // them, they show what its parent has under them, as the screen would.
  QRegion exposedRegion;
  bool trackingLeave = false;
  // A top-level host's place before it was maximised: what a restore gives
  // back, and the size that a window without a sizing frame keeps until it
  // has it again.
  QRect normalHost;
  // A window manager's size that the styles forbid waits to be put back.
  bool settlePending = false;
  int putBacks = 0;  // in a row; a window manager that insists wins

  ScrollBarState bars[2];  // SB_HORZ, SB_VERT
  // The state that the window's class keeps for it (a dialog's, a standard
  // control's): what Windows keeps in the class's extra window bytes.
  std::shared_ptr<void> classData;
  std::map<UINT_PTR, int> timers;  // our id -> Qt timer id
  std::map<UINT_PTR, TIMERPROC> timerProcs;

  // The client area within the window, in window coordinates.
  QRect ClientArea() const;
  // The part of the window its host widget shows, in window coordinates: all of
  // it, or what lies inside the window manager's frame.
  QRect HostArea() const;
  bool IsChild() const { return (style & WS_CHILD) != 0; }
};

// The table of live windows.
std::shared_ptr<WindowObject> Lookup(HWND hwnd);
HWND Register(std::shared_ptr<WindowObject> window);
// Every window without WS_CHILD, owned ones included, in the order they were made.
std::vector<HWND> TopLevelWindows();
void Unregister(HWND hwnd);

// Routes one message to the window's CWnd or procedure, on the calling thread.
LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Whether the window and, for a child, all its parents are shown.
bool ShownOnScreen(const WindowObject& w);

// What the window's frame shows: its styles, title and whether it is active.
FrameLook LookOf(const WindowObject& w);

// Where the host widget lies: a child's within its parent's host, a top-level
// window's on the screen.
QRect HostGeometry(const WindowObject& w);

// Client size changed (scroll bar shown or hidden, window resized): lays out the
// host, resizes the backing bitmap and sends WM_SIZE.
void ClientAreaChanged(WindowObject& w);

// Paints the window now when it has something to paint (WM_ERASEBKGND, WM_PAINT).
void PaintNow(HWND hwnd);

// The thread-safe part of InvalidateRect: queues the area on the window's thread.
void Invalidate(WindowObject& w, const QRegion& area, bool erase);

// Makes the backing bitmap the client area's size. A class with CS_HREDRAW
// (CS_VREDRAW) drops every pixel when the width (height) changes; otherwise the
// pixels that fit stay and only the newly exposed area is new.
void ResizeBacking(WindowObject& w);

// The paint side of the default window procedure.
LRESULT EraseWithClassBackground(WindowObject& w, WPARAM hdc);
void ValidatePaint(WindowObject& w);

// Binds wnd to the next window that the calling thread creates, before its
// first message arrives.
void BindCreatingWindow(CWnd* wnd);

}  // namespace qv::win32
