// The window styles as the window manager gets them, read back from a real X
// server (an Xvfb of the test's own; skipped with a message where none is
// installed): the Motif functions and decorations and the size hints in the
// normal and the maximised state, kept when Qt (or anyone) rewrites them;
// and under each window manager that is installed (openbox, icewm,
// metacity), what it offers and how the window answers its requests.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>
#include <xcb/xcb.h>

#include "platform/win32/application.h"
#include "platform/win32/cwnd.h"
#include "platform/win32/window_manager.h"

namespace {

using qv::win32::MotifHints;

std::string FindProgram(const char* name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = std::min(dirs.find(':', start), dirs.size());
    const std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return "";
}

pid_t Spawn(const std::string& program, const std::vector<std::string>& args, int keepFd = -1) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const int quiet = open("/dev/null", O_WRONLY);
  if (quiet >= 0) dup2(quiet, 1), dup2(quiet, 2);
  for (int fd = 3; fd < 256; ++fd)
    if (fd != keepFd) close(fd);
  execv(program.c_str(), argv.data());
  _exit(127);
}

void Stop(pid_t& pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 50 && waitpid(pid, nullptr, WNOHANG) == 0; ++i) usleep(20000);
  if (waitpid(pid, nullptr, WNOHANG) == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  pid = 0;
}

// One Xvfb for the whole process, before the Qt application connects.
class XServer {
 public:
  static XServer& Get() {
    static XServer server;
    return server;
  }
  bool Running() const { return pid_ > 0; }
  const std::string& Why() const { return why_; }
  ~XServer() { Stop(pid_); }

 private:
  XServer() {
    const std::string xvfb = FindProgram("Xvfb");
    if (xvfb.empty()) {
      why_ = "no Xvfb installed (make deps installs it)";
      return;
    }
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = Spawn(xvfb, {"-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"},
                 fds[1]);
    close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    char c = 0;
    while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) {
      why_ = "Xvfb did not start";
      Stop(pid_);
      return;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
  }
  pid_t pid_ = 0;
  std::string why_;
};

bool PumpUntil(const std::function<bool()>& done, int ms = 5000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > ms) return false;
    qv::PumpMessages();
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    usleep(5000);
  }
  return true;
}
void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

QWidget* TopLevelWidget(const char* title) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->windowTitle() == QString::fromUtf8(title) && w->isVisible()) return w;
  return nullptr;
}

xcb_connection_t* Connection() {
  return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}
xcb_atom_t Atom(const char* name) {
  xcb_connection_t* c = Connection();
  auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t a = r ? r->atom : 0;
  std::free(r);
  return a;
}

// The 32-bit items of a window's property as the X server holds it.
std::vector<std::uint32_t> Property(const QWidget* w, xcb_atom_t property) {
  xcb_connection_t* c = Connection();
  std::vector<std::uint32_t> items;
  auto* r = xcb_get_property_reply(
      c, xcb_get_property(c, 0, static_cast<xcb_window_t>(w->internalWinId()), property, XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
      nullptr);
  if (r && r->type != XCB_ATOM_NONE && r->format == 32) {
    const auto* p = static_cast<const std::uint32_t*>(xcb_get_property_value(r));
    items.assign(p, p + xcb_get_property_value_length(r) / 4);
  }
  std::free(r);
  return items;
}

// The atoms' names of the window's _NET_WM_ALLOWED_ACTIONS.
std::vector<std::string> AllowedActions(const QWidget* w) {
  xcb_connection_t* c = Connection();
  std::vector<std::string> names;
  for (std::uint32_t atom : Property(w, Atom("_NET_WM_ALLOWED_ACTIONS"))) {
    auto* r = xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr);
    if (r) names.emplace_back(xcb_get_atom_name_name(r), xcb_get_atom_name_name_length(r));
    std::free(r);
  }
  return names;
}

// What the window manager gets to know of a window.
struct SizeHints {
  int minW = 0, minH = 0, maxW = 0, maxH = 0;
  bool Fixed() const { return minW > 0 && minW == maxW && minH == maxH; }
};
// WM_NORMAL_HINTS: flags, x, y, w, h, min w/h, max w/h; PMinSize 16, PMaxSize 32.
SizeHints ReadSizes(const QWidget* w) {
  SizeHints s;
  const std::vector<std::uint32_t> items = Property(w, XCB_ATOM_WM_NORMAL_HINTS);
  if (items.size() < 9) return s;
  if (items[0] & 16u) s.minW = static_cast<int>(items[5]), s.minH = static_cast<int>(items[6]);
  if (items[0] & 32u) s.maxW = static_cast<int>(items[7]), s.maxH = static_cast<int>(items[8]);
  return s;
}
MotifHints ReadMotif(const QWidget* w) {
  MotifHints h;
  qv::win32::ReadMotifHints(w, &h);
  return h;
}

// A client message to the root, as a pager or a window manager's key sends it.
void SendToRoot(const QWidget* w, const char* type, std::uint32_t d0, std::uint32_t d1 = 0, std::uint32_t d2 = 0) {
  xcb_connection_t* c = Connection();
  xcb_client_message_event_t e{};
  e.response_type = XCB_CLIENT_MESSAGE;
  e.format = 32;
  e.window = static_cast<xcb_window_t>(w->winId());
  e.type = Atom(type);
  e.data.data32[0] = d0;
  e.data.data32[1] = d1;
  e.data.data32[2] = d2;
  e.data.data32[3] = 1;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&e));
  xcb_flush(c);
}
void RequestState(const QWidget* w, std::uint32_t action, const char* a, const char* b = nullptr) {
  SendToRoot(w, "_NET_WM_STATE", action, Atom(a), b ? Atom(b) : 0);
}
void RequestMaximise(const QWidget* w, bool on) {
  RequestState(w, on ? 1 : 0, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ");
}
// As xdotool windowsize: a configure request of the client window.
void RequestSize(const QWidget* w, int width, int height) {
  xcb_connection_t* c = Connection();
  const std::uint32_t v[2] = {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
  xcb_configure_window(c, static_cast<xcb_window_t>(w->winId()), XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                       v);
  xcb_flush(c);
}

bool Has(const std::vector<std::string>& actions, const char* name) {
  return std::find(actions.begin(), actions.end(), std::string("_NET_WM_ACTION_") + name) != actions.end();
}

constexpr DWORD kDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kMainWindow = kDialog | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

class X11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!XServer::Get().Running()) GTEST_SKIP() << "no X server for this test: " << XServer::Get().Why();
    qv::Application();
    if (!qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) GTEST_SKIP() << "Qt is not on the xcb platform";
    qv::win32::SetMaximiseNeedsResize(false);
  }
};

// The rule as a table: style bits -> Motif functions and decorations, and
// min = max size hints, in the normal and in the maximised state.
TEST_F(X11Test, TheStylesBecomeTheWindowManagersHintsOnTheServer) {
  struct Case {
    const char* name;
    DWORD style, exStyle;
    std::uint32_t functions, decorations, maximisedFunctions;
    bool fixed;
  } cases[] = {
      // The IC type dialog: move and close.
      {"modal frame", kDialog, WS_EX_DLGMODALFRAME, 0x24, 0x1a, 0x24, true},
      // The main window: move, minimise, maximise, close; resize while maximised.
      {"boxes", kMainWindow, 0, 0x3c, 0x7a, 0x3e, false},
      {"sizing frame", kDialog | WS_THICKFRAME, 0, 0x26, 0x1e, 0x26, false},
      {"boxes and sizing frame", kMainWindow | WS_THICKFRAME, 0, 0x3e, 0x7e, 0x3e, false},
      {"minimise box", kDialog | WS_MINIMIZEBOX, 0, 0x2c, 0x3a, 0x2c, true},
      {"maximise box", kDialog | WS_MAXIMIZEBOX, 0, 0x34, 0x5a, 0x36, false},
      // The download dialog: no caption, nothing for the window manager to do.
      {"popup", WS_POPUP | WS_BORDER, 0, 0x0, 0x0, 0x0, true},
  };
  for (const Case& c : cases) {
    CWnd w;
    ASSERT_TRUE(w.CreateEx(c.exStyle, nullptr, c.name, c.style, CRect(40, 40, 340, 240), nullptr, 0)) << c.name;
    w.ShowWindow(SW_SHOW);
    QWidget* host = TopLevelWidget(c.name);
    ASSERT_NE(host, nullptr) << c.name;
    const MotifHints normal{qv::win32::kMwmHintsFunctions | qv::win32::kMwmHintsDecorations, c.functions,
                            c.decorations};
    EXPECT_TRUE(PumpUntil([&] { return ReadMotif(host) == normal; })) << c.name;
    const MotifHints got = ReadMotif(host);
    EXPECT_EQ(got.flags, normal.flags) << c.name;
    EXPECT_EQ(got.functions, c.functions) << c.name;
    EXPECT_EQ(got.decorations, c.decorations) << c.name;
    EXPECT_TRUE(PumpUntil([&] { return ReadSizes(host).Fixed() == c.fixed; })) << c.name;
    EXPECT_EQ(ReadSizes(host).Fixed(), c.fixed) << c.name;

    // Qt rewrites the hints with every change of flags, always with the
    // resize function: the layer writes its own again.
    xcb_connection_t* x = Connection();
    const std::uint32_t qts[5] = {3, 0x26, 0x7e, 0, 0};
    xcb_change_property(x, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(host->winId()), Atom("_MOTIF_WM_HINTS"),
                        Atom("_MOTIF_WM_HINTS"), 32, 5, qts);
    xcb_flush(x);
    EXPECT_TRUE(PumpUntil([&] { return ReadMotif(host) == normal; })) << c.name << ": not written again";

    w.ShowWindow(SW_MAXIMIZE);
    const MotifHints maximised{normal.flags, c.maximisedFunctions, c.decorations};
    EXPECT_TRUE(PumpUntil([&] { return ReadMotif(host) == maximised; })) << c.name << " maximised";
    EXPECT_EQ(ReadMotif(host).functions, c.maximisedFunctions) << c.name << " maximised";
    EXPECT_FALSE(ReadSizes(host).Fixed()) << c.name << " maximised";
    w.ShowWindow(SW_RESTORE);
    EXPECT_TRUE(PumpUntil([&] { return ReadMotif(host) == normal; })) << c.name << " restored";
    EXPECT_TRUE(PumpUntil([&] { return ReadSizes(host).Fixed() == c.fixed; })) << c.name << " restored";
    CRect r;
    w.GetWindowRect(&r);
    EXPECT_EQ(r.Size(), CSize(300, 200)) << c.name << " restored";
    w.DestroyWindow();
  }
}

// Under a window manager: what it offers each window, and its requests
// against the styles undone.
class UnderWindowManager : public X11Test, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    X11Test::SetUp();
    if (IsSkipped()) return;
    const std::string program = FindProgram(GetParam());
    if (program.empty()) GTEST_SKIP() << GetParam() << " is not installed (make deps installs it)";
    std::vector<std::string> args;
    if (std::string(GetParam()) == "metacity") args = {"--replace"};
    wm_ = Spawn(program, args);
    ASSERT_TRUE(PumpUntil([] { return qv::win32::PlatformMaximises(); }, 10000)) << GetParam() << " did not start";
    PumpFor(300);
  }
  void TearDown() override {
    Stop(wm_);
    // Its check window goes with it: no window manager until the next one.
    PumpUntil([] { return !qv::win32::PlatformMaximises(); }, 3000);
  }
  pid_t wm_ = 0;
};

TEST_P(UnderWindowManager, AFixedDialogStaysFixed) {
  CWnd w;
  ASSERT_TRUE(w.CreateEx(WS_EX_DLGMODALFRAME, nullptr, "fixed dialog", kDialog, CRect(100, 100, 535, 409), nullptr, 0));
  w.ShowWindow(SW_SHOW);
  QWidget* host = TopLevelWidget("fixed dialog");
  ASSERT_NE(host, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return !AllowedActions(host).empty(); })) << "no allowed actions";
  PumpFor(300);
  const auto actions = AllowedActions(host);
  EXPECT_FALSE(Has(actions, "RESIZE")) << GetParam();
  EXPECT_FALSE(Has(actions, "MAXIMIZE_HORZ")) << GetParam();
  EXPECT_FALSE(Has(actions, "MAXIMIZE_VERT")) << GetParam();
  const QSize size = host->size();
  CRect before;
  w.GetWindowRect(&before);

  // Requests from outside: maximise, full screen, a new size, minimise.
  RequestMaximise(host, true);
  PumpFor(600);
  EXPECT_TRUE(PumpUntil([&] { return !host->isMaximized() && host->size() == size; })) << GetParam() << ": maximised";
  RequestState(host, 1, "_NET_WM_STATE_FULLSCREEN");
  PumpFor(600);
  EXPECT_TRUE(PumpUntil([&] { return !host->isFullScreen() && host->size() == size; })) << GetParam() << ": full screen";
  RequestSize(host, 800, 600);
  PumpFor(600);
  EXPECT_TRUE(PumpUntil([&] { return host->size() == size; })) << GetParam() << ": resized";
  SendToRoot(host, "WM_CHANGE_STATE", 3);  // IconicState
  PumpFor(600);
  EXPECT_TRUE(PumpUntil([&] { return !host->isMinimized(); })) << GetParam() << ": minimised";
  CRect after;
  w.GetWindowRect(&after);
  EXPECT_EQ(after.Size(), before.Size()) << GetParam();
  w.DestroyWindow();
}

TEST_P(UnderWindowManager, TheMainWindowCanBeMaximisedAgainAndAgain) {
  CWnd w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "main window", kMainWindow, CRect(3, 22, 624, 454), nullptr, 0));
  w.ShowWindow(SW_MAXIMIZE);
  QWidget* host = TopLevelWidget("main window");
  ASSERT_NE(host, nullptr);
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  // The host holds what lies inside the window manager's frame: 621 x 432
  // less the dialog frame (3) and the caption (19).
  const QSize normal(615, 407);
  ASSERT_TRUE(PumpUntil([&] { return host->isMaximized() && host->frameGeometry().width() >= area.width(); }))
      << GetParam() << ": not maximised at first";
  for (int round = 0; round < 2; ++round) {
    EXPECT_TRUE(PumpUntil([&] { return Has(AllowedActions(host), "MAXIMIZE_VERT"); }))
        << GetParam() << ": no maximise offered while maximised";
    RequestMaximise(host, false);
    EXPECT_TRUE(PumpUntil([&] { return !host->isMaximized() && host->size() == normal; }))
        << GetParam() << ": not restored, " << host->width() << "x" << host->height();
    PumpFor(300);
    EXPECT_TRUE(PumpUntil([&] {
      const auto a = AllowedActions(host);
      return Has(a, "MAXIMIZE_VERT") && Has(a, "MAXIMIZE_HORZ");
    })) << GetParam() << ": no maximise offered once restored";
    CRect r;
    w.GetWindowRect(&r);
    EXPECT_EQ(r.Size(), CSize(621, 432)) << GetParam();
    // A resize against the styles is put back.
    RequestSize(host, 900, 700);
    PumpFor(600);
    EXPECT_TRUE(PumpUntil([&] { return host->size() == normal; })) << GetParam() << ": resized";
    RequestMaximise(host, true);
    EXPECT_TRUE(PumpUntil([&] { return host->isMaximized() && host->frameGeometry().width() >= area.width(); }))
        << GetParam() << ": not maximised again";
    w.GetWindowRect(&r);
    EXPECT_GE(r.Width(), area.width()) << GetParam();
  }
  w.DestroyWindow();
}

INSTANTIATE_TEST_SUITE_P(Installed, UnderWindowManager, ::testing::Values("openbox", "icewm", "metacity"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
