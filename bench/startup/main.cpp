// bench_startup: taravik's interactive start-up, from the framework's entry
// to the IC type dialog shown on the offscreen platform, in a fresh process
// for each of 20 starts. Prints the median and the spread; asserts nothing.
//
// Each start is a child forked before anything of Qt exists; it runs the
// framework's entry as main() does, with a config.ini of 40 types, and ends
// itself as soon as the dialog's window is shown. A second figure is the
// whole process of a second instance (exec, libraries, Qt, the lock), which
// the first figure leaves out; their sum bounds the whole start from above.

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/taravik_app.h"
#include "platform/core/program_folder.h"
#include "platform/core/sync.h"
#include "platform/win32/application.h"

namespace {

constexpr int kStarts = 20;
constexpr double kGoalMs = 300.0;

double NowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Reports the time of the first top-level window shown and ends the process.
class ShownWatch : public QObject {
 public:
  explicit ShownWatch(int fd) : fd_(fd) {}
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      auto* widget = qobject_cast<QWidget*>(object);
      if (widget != nullptr && widget->isWindow()) {
        const double t = NowMs();
        if (::write(fd_, &t, sizeof t) != static_cast<ssize_t>(sizeof t)) _exit(3);
        _exit(0);
      }
    }
    return false;
  }

 private:
  int fd_;
};

// One start in a child; the child's time of the dialog shown, or a negative value.
double OneStart(const std::string& folder, char* argv0) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  const double start = NowMs();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    qv::SetProgramFolderForTesting(folder);
    char* argv[] = {argv0, nullptr};
    // What AfxWinMain does, with the watch installed as soon as Qt exists.
    theApp.SetCommandLine(1, argv);
    static int hostArgc = 1;
    QApplication& qt = qv::InitApplication(hostArgc, argv);
    ShownWatch watch(fds[1]);
    qt.installEventFilter(&watch);
    theApp.InitInstance();
    _exit(2);  // the dialog never showed
  }
  ::close(fds[1]);
  double shown = -1;
  if (::read(fds[0], &shown, sizeof shown) != static_cast<ssize_t>(sizeof shown)) shown = -1;
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return shown < 0 ? -1 : shown - start;
}

// The whole life of a second instance: from exec to exit.
double SecondInstance(const std::string& taravik) {
  char* argv[] = {const_cast<char*>(taravik.c_str()), nullptr};
  const double start = NowMs();
  pid_t pid = 0;
  if (::posix_spawn(&pid, taravik.c_str(), nullptr, nullptr, argv, environ) != 0) return -1;
  int status = 0;
  ::waitpid(pid, &status, 0);
  return NowMs() - start;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 == 1 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void Print(const char* what, const std::vector<double>& ms) {
  if (ms.empty()) {
    std::printf("%-44s no start succeeded\n", what);
    return;
  }
  std::printf("%-44s median %7.1f ms  min %7.1f  max %7.1f  (%zu starts)\n", what, Median(ms),
              *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()), ms.size());
}

}  // namespace

int main(int, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const std::filesystem::path base = std::filesystem::temp_directory_path() / ("qv-bench-startup-" + std::to_string(::getpid()));
  std::filesystem::create_directories(base / "ports");
  std::filesystem::permissions(base, std::filesystem::perms::owner_all);
  ::setenv("XDG_RUNTIME_DIR", base.c_str(), 1);
  {
    std::ofstream ini(base / "config.ini", std::ios::binary);
    ini << "[ICTYPELIST]\r\nLIST=";
    for (int i = 0; i < 40; ++i) ini << (i ? "," : "") << "TYPE" << i;
    ini << "\r\n";
    for (int i = 0; i < 40; ++i) ini << "[TYPE" << i << "]\r\nRAM=4\r\nFLASH=64\r\nPARTNO=P" << i << "\r\n";
  }

  std::vector<double> dialog;
  for (int i = 0; i < kStarts; ++i) {
    const double ms = OneStart(base.string(), argv[0]);
    if (ms >= 0) dialog.push_back(ms);
  }
  Print("entry to IC type dialog shown", dialog);

  const std::string taravik =
      (std::filesystem::path(argv[0]).parent_path() / ".." / ".." / "app" / "main" / "taravik").string();
  std::vector<double> second;
  if (::access(taravik.c_str(), X_OK) == 0) {
    qv::InstanceLock held("QvTPTool");
    for (int i = 0; i < kStarts && held.Acquired(); ++i) {
      const double ms = SecondInstance(taravik);
      if (ms >= 0) second.push_back(ms);
    }
  }
  Print("second instance, exec to exit", second);
  if (!dialog.empty() && !second.empty()) {
    // Qt's own start is in both figures, so their sum is an upper bound.
    std::printf("start to dialog shown, at most %.1f ms (goal under %.0f ms)\n",
                Median(dialog) + Median(second), kGoalMs);
  }
  std::error_code ec;
  std::filesystem::remove_all(base, ec);
  return 0;
}
