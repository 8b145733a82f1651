// Message boxes on QMessageBox, or on the test hook while one is set.

#include "platform/win32/dialog/message_box.h"

#include <QMessageBox>
#include <QPushButton>
#include <mutex>

#include "platform/core/string_table.h"
#include "platform/win32/application.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/top_level.h"
#include "platform/win32/window.h"

namespace {

std::mutex g_mutex;
qv::MessageBoxHook g_hook;
std::string g_appName;

struct ButtonChoice {
  QMessageBox::StandardButton button;
  int result;
};

std::vector<ButtonChoice> ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
      return {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL: return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default: return {{QMessageBox::Ok, IDOK}};
  }
}

QMessageBox::Icon IconOf(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

using qv::win32::StyleAsWindowsDialog;

int ShowOnScreen(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  qv::Application();
  QMessageBox box(IconOf(type), QString::fromStdString(caption), QString::fromStdString(text));
  const std::vector<ButtonChoice> choices = ButtonsOf(type);
  for (const ButtonChoice& c : choices) box.addButton(c.button);
  const size_t def = std::min<size_t>((type & MB_DEFMASK) >> 8, choices.size() - 1);
  box.setDefaultButton(choices[def].button);
  // Esc and the close button answer Cancel where there is one, OK on a
  // lone OK box; a Yes/No box must be answered.
  for (const ButtonChoice& c : choices)
    if (c.result == IDCANCEL || choices.size() == 1) box.setEscapeButton(c.button);
  const BOOL ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  // Windows' message box: a caption with only a close box, a fixed size.
  StyleAsWindowsDialog(&box, WS_POPUP | WS_CAPTION | WS_SYSMENU);
  box.exec();
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  auto* clicked = box.clickedButton();
  for (const ButtonChoice& c : choices)
    if (clicked && box.standardButton(clicked) == c.button) return c.result;
  return choices.size() == 1 ? IDOK : IDCANCEL;
}

}  // namespace

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
  qv::MessageBoxCall call{owner, text ? text : "", caption ? caption : "Error", type};
  qv::MessageBoxHook hook;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    hook = g_hook;
  }
  if (hook) return hook(call);
  return ShowOnScreen(owner, call.text, call.caption, type);
}

int AfxMessageBox(const char* text, UINT type, UINT) {
  return MessageBoxA(GetActiveWindow(), text, AfxGetAppName(), type);
}

int AfxMessageBox(UINT stringId, UINT type, UINT helpId) {
  std::string text;
  qv::FindString(stringId, text);
  return AfxMessageBox(text.c_str(), type, helpId);
}

const char* AfxGetAppName() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_appName.c_str();
}

void AfxSetAppName(const char* name) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_appName = name ? name : "";
}

void qv::SetMessageBoxHook(MessageBoxHook hook) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_hook = std::move(hook);
}
