#pragma once
// The Qt application that hosts every window, shared by the program and the
// tests, and the waits of a UI thread that keep serving other threads' sends.

#include <functional>

#include "platform/core/wintypes.h"

class QApplication;

namespace qv {

// The one QApplication of the process, made on first use (without a display it
// runs on the offscreen platform). The program may make it first with its own
// arguments through InitApplication.
QApplication& Application();
QApplication& InitApplication(int& argc, char** argv);

// Delivers what is queued for the calling thread: posted messages, carried
// calls, paint requests and other threads' sends.
void PumpMessages();

// Waits until done() is true or ms pass, handling meanwhile the messages that
// other threads send to this thread's windows, so that a thread which sends to
// the waiting UI thread cannot dead-lock against it. TRUE when done() came true.
BOOL WaitServingSends(const std::function<bool()>& done, DWORD ms);

}  // namespace qv
