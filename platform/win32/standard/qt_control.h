#pragma once
// The part that the controls drawn by Qt widgets (edit, list box, combo box)
// share: the widget fills the window's client area; its key presses and its
// mouse input go through the window's messages first (the default
// WM_KEYDOWN/WM_CHAR and the left button's and WM_MOUSEMOVE's default hand
// them back to the widget; the right button and the context-menu key ask for
// WM_CONTEXTMENU instead of Qt's own menu); its focus is the window's; its
// colours follow WM_CTLCOLOR* at every paint and its font WM_SETFONT.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "platform/win32/standard/control_common.h"

class QMouseEvent;
class QStyle;

namespace qv::win32 {

// The classic Windows style of Qt's own widgets.
QStyle* ClassicStyle();
// Gives w and the widgets inside it the classic style.
void ApplyClassicStyle(QWidget* w);

class QtControl : public QObject {
 public:
  // widget is made a child of the window's host; `colours` asks the parent
  // for the look and applies it, true when that changed it (called before
  // every paint of a watched widget).
  QtControl(HWND hwnd, QWidget* widget, std::function<bool()> colours);
  ~QtControl() override;

  // Another widget of the control whose keys, focus and paints count (a
  // combo box's edit field and list).
  void Watch(QWidget* w);

  QWidget* Widget() const { return widget_; }
  HFONT Font() const { return font_; }

  // The messages every such control answers alike: WM_SIZE, WM_SETFONT,
  // WM_GETFONT, the key messages, the left button's and WM_MOUSEMOVE.
  // FALSE for the others.
  bool Handle(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

  // The look as a palette on w: its text and field colours; true when they changed.
  static bool ApplyLook(QWidget* w, const ControlLook& look);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Layout();
  void ForwardCurrentKey();
  void ForwardCurrentMouse();
  // A mouse event on one of the widgets inside the window: its message
  // through the map; true when Qt must not deliver it on its own.
  bool RouteMouse(QWidget* receiver, QMouseEvent* event);

  HWND hwnd_;
  QPointer<QWidget> widget_;
  QPointer<QWidget> host_;
  std::function<bool()> colours_;
  HFONT font_ = nullptr;
  // The widget that Qt gave the key or mouse event being handled, where the
  // default processing hands it back (the open list of a combo box has the
  // keys, not the combo box).
  QPointer<QWidget> keyReceiver_;
  QPointer<QWidget> mouseReceiver_;
  QMouseEvent* mouse_ = nullptr;
  bool forwarding_ = false;
  bool colouring_ = false;
};

}  // namespace qv::win32
