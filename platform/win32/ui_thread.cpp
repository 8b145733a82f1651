#include "platform/win32/ui_thread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <map>

#include "platform/win32/application.h"
#include "platform/win32/window_object.h"

namespace qv::win32 {
namespace {

const QEvent::Type kPostedMessage = static_cast<QEvent::Type>(QEvent::User + 1);
const QEvent::Type kCarriedCall = static_cast<QEvent::Type>(QEvent::User + 2);
const QEvent::Type kServeSends = static_cast<QEvent::Type>(QEvent::User + 3);
const QEvent::Type kPaint = static_cast<QEvent::Type>(QEvent::User + 4);

struct WindowEvent : QEvent {
  WindowEvent(Type type, HWND h) : QEvent(type), hwnd(h) {}
  HWND hwnd;
  UINT msg = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  std::function<void()> call;
};

class Poster : public QObject {
 public:
  explicit Poster(UiThread* thread) : thread_(thread) {}

  bool event(QEvent* e) override {
    if (e->type() == kServeSends) {
      thread_->ServeSends();
      return true;
    }
    if (e->type() != kPostedMessage && e->type() != kCarriedCall && e->type() != kPaint)
      return QObject::event(e);
    auto* we = static_cast<WindowEvent*>(e);
    if (!Lookup(we->hwnd)) return true;  // the window is gone: the message is dropped
    if (e->type() == kPostedMessage) {
      Dispatch(we->hwnd, we->msg, we->wParam, we->lParam);
    } else if (e->type() == kCarriedCall) {
      we->call();
    } else if (auto w = Lookup(we->hwnd)) {
      w->paintPosted = false;
      PaintNow(we->hwnd);
    }
    return true;
  }

 private:
  UiThread* thread_;
};

std::mutex g_threadsMutex;
std::map<std::thread::id, std::shared_ptr<UiThread>>& Threads() {
  static auto* threads = new std::map<std::thread::id, std::shared_ptr<UiThread>>;
  return *threads;
}

}  // namespace

std::shared_ptr<UiThread> UiThread::Current() {
  if (auto t = Existing()) return t;
  Application();  // a Qt object needs the application before it can get events
  auto t = std::make_shared<UiThread>();
  std::lock_guard<std::mutex> lock(g_threadsMutex);
  Threads()[t->id_] = t;
  return t;
}

std::shared_ptr<UiThread> UiThread::Existing() {
  std::lock_guard<std::mutex> lock(g_threadsMutex);
  auto it = Threads().find(std::this_thread::get_id());
  return it == Threads().end() ? nullptr : it->second;
}

UiThread::UiThread() : id_(std::this_thread::get_id()), poster_(new Poster(this)) {}

UiThread::~UiThread() { delete poster_; }

LRESULT UiThread::CarrySend(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                            const std::atomic<bool>& destroying) {
  auto item = std::make_shared<PendingSend>(PendingSend{hwnd, msg, wParam, lParam});
  std::unique_lock<std::mutex> lock(mutex_);
  // Looked at under the lock: DestroyWindow sets the flag before it cancels
  // the queued sends under the same lock, so a send either sees the flag here
  // or is queued early enough to be cancelled, and never waits on a window
  // whose thread may be blocked in its WM_DESTROY.
  if (destroying.load(std::memory_order_acquire)) return 0;
  sends_.push_back(item);
  arrived_.notify_all();
  // Wakes a thread that sits in its event loop; a thread that waits serving
  // sends is woken by the condition instead.
  QCoreApplication::postEvent(poster_, new QEvent(kServeSends));
  finished_.wait(lock, [&] { return item->done; });
  return item->result;
}

bool UiThread::ServeSends() {
  bool any = false;
  for (;;) {
    std::shared_ptr<PendingSend> item;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (sends_.empty()) return any;
      item = sends_.front();
      sends_.pop_front();
    }
    any = true;
    auto w = Lookup(item->hwnd);
    LRESULT result = 0;
    if (w && !w->destroying.load(std::memory_order_acquire))
      result = Dispatch(item->hwnd, item->msg, item->wParam, item->lParam);
    std::lock_guard<std::mutex> lock(mutex_);
    item->result = result;
    item->done = true;
    finished_.notify_all();
  }
}

void UiThread::WaitForSend(unsigned ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  arrived_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return !sends_.empty(); });
}

void UiThread::CancelSendsTo(HWND hwnd) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = sends_.begin(); it != sends_.end();) {
    if ((*it)->hwnd == hwnd) {
      (*it)->result = 0;
      (*it)->done = true;
      it = sends_.erase(it);
    } else {
      ++it;
    }
  }
  finished_.notify_all();
}

void UiThread::Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* e = new WindowEvent(kPostedMessage, hwnd);
  e->msg = msg;
  e->wParam = wParam;
  e->lParam = lParam;
  QCoreApplication::postEvent(poster_, e);
}

void UiThread::PostCall(HWND hwnd, std::function<void()> call) {
  auto* e = new WindowEvent(kCarriedCall, hwnd);
  e->call = std::move(call);
  QCoreApplication::postEvent(poster_, e);
}

void UiThread::PostPaint(HWND hwnd) {
  // Low priority: as on Windows, a paint comes after the messages already queued.
  QCoreApplication::postEvent(poster_, new WindowEvent(kPaint, hwnd), Qt::LowEventPriority);
}

}  // namespace qv::win32
