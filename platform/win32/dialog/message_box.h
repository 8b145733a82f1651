#pragma once
// Message boxes on QMessageBox, and the hook through which tests answer them
// without showing anything.

#include <functional>
#include <string>

#include "platform/win32/winuser.h"

inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;
inline constexpr UINT MB_SETFOREGROUND = 0x00010000;
inline constexpr UINT MB_TOPMOST = 0x00040000;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
inline constexpr UINT MB_DEFMASK = 0x00000F00;

// A modal message box; the owner is disabled meanwhile. Without a caption
// the box is titled "Error", as on Windows. IDOK, IDCANCEL, IDYES ... ; a box
// closed by its close button answers IDCANCEL (IDOK for MB_OK, IDNO for MB_YESNO).
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);
inline int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  return MessageBoxA(owner, text, caption, type);
}
// Titled with the application's name, owned by the active window.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
// The text is the string table's entry.
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = 0);

// The application's name (the framework's m_pszAppName), set by the
// application object; "" until then.
const char* AfxGetAppName();
void AfxSetAppName(const char* name);

namespace qv {

struct MessageBoxCall {
  HWND owner = nullptr;
  std::string text;
  std::string caption;
  UINT type = 0;
};
// While set, every message box goes to the hook instead of the screen and
// answers what it returns. Set from the UI thread; null ends it.
using MessageBoxHook = std::function<int(const MessageBoxCall&)>;
void SetMessageBoxHook(MessageBoxHook hook);

}  // namespace qv
