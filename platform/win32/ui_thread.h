#pragma once
// The thread that owns windows: the queue on which other threads' sends wait
// to be served, and the Qt object through which posted messages, carried
// calls and paint requests reach that thread in order.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/win32/winuser.h"

class QObject;

namespace qv::win32 {

class UiThread {
 public:
  // The object of the calling thread, made on first use.
  static std::shared_ptr<UiThread> Current();
  // The object of the calling thread when it has one, else nullptr.
  static std::shared_ptr<UiThread> Existing();

  UiThread();
  ~UiThread();
  UiThread(const UiThread&) = delete;
  UiThread& operator=(const UiThread&) = delete;

  bool IsCurrent() const { return id_ == std::this_thread::get_id(); }

  // From another thread: queues the message, wakes this thread, and waits
  // until it was handled; 0 when the window went away meanwhile, and at once
  // when `destroying` (the window's flag) is set.
  LRESULT CarrySend(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, const std::atomic<bool>& destroying);
  // On this thread: handles every send that waits. Returns whether any did.
  bool ServeSends();
  // On this thread: sleeps until a send arrives or ms pass.
  void WaitForSend(unsigned ms);
  // Releases the senders that wait on a window being destroyed, with 0.
  void CancelSendsTo(HWND hwnd);

  // Thread-safe; delivered in order on this thread through Qt's queue.
  void Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void PostCall(HWND hwnd, std::function<void()> call);
  // Asks this thread to paint hwnd once its queue has no other work.
  void PostPaint(HWND hwnd);

 private:
  struct PendingSend {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
  };

  std::thread::id id_;
  QObject* poster_;  // lives on this thread; deleted with the object
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::condition_variable finished_;
  std::deque<std::shared_ptr<PendingSend>> sends_;
};

}  // namespace qv::win32
