#pragma once
// What the dialog tests share: a pump, small templates, a dialog that
// records the notifications it gets, and snapshots.

#include <QElapsedTimer>
#include <QImage>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/application.h"
#include "platform/win32/dialog/dialog.h"
#include "platform/win32/dialog/message_box.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/snapshot.h"
#include "tests/support/snapshot_file.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/standard/combo_box.h"
#include "platform/win32/standard/edit.h"
#include "platform/win32/standard/list_box.h"
#include "platform/win32/standard/static.h"

namespace dialog_test {

inline void PumpUntil(const std::function<bool()>& done) {
  QElapsedTimer guard;
  guard.start();
  // The bound only keeps a broken build from hanging; it is no assertion.
  while (!done() && guard.elapsed() < 5000) qv::PumpMessages();
}

inline void Pump() {
  for (int i = 0; i < 3; ++i) qv::PumpMessages();
}

using Item = qv::win32::DialogItemTemplate;

inline qv::win32::DialogTemplate Template(int id, DWORD style, int cx, int cy, std::vector<Item> items) {
  qv::win32::DialogTemplate t;
  t.id = id;
  t.caption = "Test";
  t.style = style | DS_SETFONT;
  t.fontFace = "MS Shell Dlg";
  t.pointSize = 8;
  t.cx = cx;
  t.cy = cy;
  t.items = std::move(items);
  return t;
}

constexpr DWORD kPopup = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD kShown = WS_VISIBLE;

// WM_COMMAND notifications as "id:code" in the order they came (those
// that no map entry of the dialog took).
class RecordingDialog : public CDialogEx {
 public:
  explicit RecordingDialog(UINT id, CWnd* parent = nullptr) : CDialogEx(id, parent) {}
  std::vector<std::string> commands;
  std::function<void(RecordingDialog&)> onInit;
  std::function<HBRUSH(CDC*, CWnd*, UINT)> onCtlColor;
  int initCount = 0;
  bool everShown = false;

  BOOL OnInitDialog() override {
    CDialogEx::OnInitDialog();
    ++initCount;
    if (onInit) onInit(*this);
    return TRUE;
  }
  BOOL OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    if (msg == WM_SHOWWINDOW && wParam) everShown = true;
    const BOOL handled = CDialogEx::OnWndMsg(msg, wParam, lParam, result);
    // What reached the dialog itself: not what the control that sent it took.
    if (msg == WM_COMMAND && !handled)
      commands.push_back(std::to_string(LOWORD(static_cast<DWORD>(wParam))) + ":" +
                         std::to_string(HIWORD(static_cast<DWORD>(wParam))));
    return handled;
  }

 protected:
  HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT kind) {
    HBRUSH base = CDialogEx::OnCtlColor(dc, control, kind);
    return onCtlColor ? onCtlColor(dc, control, kind) : base;
  }
  DECLARE_MESSAGE_MAP()
};

inline COLORREF PixelOf(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return RGB(qRed(p), qGreen(p), qBlue(p));
}

}  // namespace dialog_test
