#pragma once
// The QWidget that hosts one window: it shows the backing bitmap and the
// non-client parts (frame, scroll bars) and turns Qt's input, timer and
// window manager events into the window's messages.

#include <QWidget>

#include "platform/win32/winuser.h"

class QScrollBar;

namespace qv::win32 {

struct WindowObject;

class HostWidget : public QWidget {
 public:
  HostWidget(HWND hwnd, QWidget* parent);
  HWND Handle() const { return hwnd_; }

  // Places the scroll bars of the window's state in the non-client area.
  void LayoutScrollBars(const WindowObject& w);
  // Qt's timer id for one of the window's timers.
  int StartTimer(UINT ms) { return startTimer(static_cast<int>(ms)); }
  void StopTimer(int qtId) { killTimer(qtId); }
  void SyncScrollBar(int bar, const WindowObject& w);
  // The window's own Qt widgets (scroll bars, a control's Qt widget) take its
  // enabled state; the hosts of its children keep theirs, as on Windows,
  // where a disabled parent blocks its children's input but not their look.
  void SyncEnabled();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;
  void childEvent(QChildEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void timerEvent(QTimerEvent* e) override;
  // Keys and focus are the window's (input/keyboard.h); Qt's own Tab chain is not used.
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  bool focusNextPrevChild(bool) override { return false; }

 private:
  void SendMouse(QMouseEvent* e);
  void ScrollAction(int bar, int action);

  HWND hwnd_;
  QScrollBar* bars_[2];
};

}  // namespace qv::win32
