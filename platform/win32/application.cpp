#include "platform/win32/application.h"

#include <QApplication>
#include <algorithm>
#include <cstdlib>

#include "platform/core/clock.h"
#include "platform/win32/ui_thread.h"

namespace qv {
namespace {

QApplication* g_app = nullptr;

void ChooseHeadlessPlatform() {
  if (std::getenv("QT_QPA_PLATFORM") || std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY")) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

// A wait slice: short enough that a carried send is served at once, long enough
// not to spin.
constexpr DWORD kSliceMs = 2;

}  // namespace

QApplication& InitApplication(int& argc, char** argv) {
  if (!g_app) {
    ChooseHeadlessPlatform();
    // Lives to the end of the process: windows may outlast any scope.
    g_app = new QApplication(argc, argv);
  }
  return *g_app;
}

QApplication& Application() {
  static int argc = 1;
  static char name[] = "qvtptool";
  static char* argv[] = {name, nullptr};
  return InitApplication(argc, argv);
}

void PumpMessages() {
  Application();
  if (auto t = win32::UiThread::Existing()) t->ServeSends();
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

BOOL WaitServingSends(const std::function<bool()>& done, DWORD ms) {
  auto thread = win32::UiThread::Existing();
  const std::uint64_t start = CurrentClock().NowMs();
  for (;;) {
    if (thread) thread->ServeSends();
    if (done()) return TRUE;
    const std::uint64_t elapsed = CurrentClock().NowMs() - start;
    if (ms != INFINITE && elapsed >= ms) return FALSE;
    const DWORD slice = ms == INFINITE ? kSliceMs : std::min<DWORD>(kSliceMs, static_cast<DWORD>(ms - elapsed));
    if (thread) {
      thread->WaitForSend(slice);
      // Under a virtual clock the time-out must still come to an end.
      if (CurrentClock().IsVirtual()) Sleep(slice);
    } else {
      Sleep(slice);
    }
  }
}

}  // namespace qv
