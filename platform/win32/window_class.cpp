// The window classes: the class table by name, the classes that exist from
// the start, and RegisterClassA.

#include "platform/win32/window_class.h"

#include <cctype>
#include <mutex>
#include <unordered_map>

#include "platform/win32/standard/standard_classes.h"
#include "platform/win32/window.h"
#include "platform/win32/window_object.h"

namespace qv::win32 {
namespace {

// Class names match without regard to case, as on Windows ("BUTTON" is "Button").
std::string ClassKey(const char* name) {
  std::string key = name;
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

std::unordered_map<std::string, std::shared_ptr<const WindowClass>>& Classes() {
  static auto* classes = [] {
    auto* c = new std::unordered_map<std::string, std::shared_ptr<const WindowClass>>;
    // The framework's default class (redrawn whole on every resize, no
    // background brush) and the standard progress control, whose own drawing
    // the tool never uses (its bar paints itself).
    (*c)[ClassKey("AfxWnd")] = std::make_shared<WindowClass>(
        WindowClass{"AfxWnd", DefWindowProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, 0});
    (*c)[ClassKey("msctls_progress32")] =
        std::make_shared<WindowClass>(WindowClass{"msctls_progress32", DefWindowProc, 0, 0});
    return c;
  }();
  return *classes;
}

std::mutex g_classMutex;

}  // namespace

std::shared_ptr<const WindowClass> FindClass(const char* name) {
  RegisterStandardClasses();
  std::lock_guard<std::mutex> lock(g_classMutex);
  auto it = Classes().find(ClassKey(name ? name : "AfxWnd"));
  return it == Classes().end() ? nullptr : it->second;
}

}  // namespace qv::win32

using namespace qv::win32;

BOOL RegisterClassA(const WNDCLASSA* wc) {
  if (!wc || !wc->lpszClassName || !wc->lpfnWndProc) return FALSE;
  std::lock_guard<std::mutex> lock(g_classMutex);
  auto& classes = Classes();
  const std::string key = ClassKey(wc->lpszClassName);
  if (classes.count(key)) return FALSE;
  classes[key] = std::make_shared<WindowClass>(
      WindowClass{wc->lpszClassName, wc->lpfnWndProc, wc->style, wc->hbrBackground});
  return TRUE;
}
