#include "platform/win32/devices/device_broadcast.h"

#include <linux/netlink.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QObject>
#include <cctype>
#include <cerrno>
#include <cstdint>

#include "platform/win32/window.h"
#include "platform/win32/window_object.h"

namespace qv::win32 {

namespace {

// The kernel's own uevents; udev re-sends them to group 2 in a form of its own.
constexpr unsigned kKernelGroup = 1;
constexpr size_t kMaxUevent = 8192;

// A serial adapter's port: ttyUSB<n> (USB-serial converters) or ttyACM<n>
// (USB modems and boards), given with or without "/dev/".
bool IsAdapterPort(std::string_view name) {
  if (const size_t slash = name.rfind('/'); slash != std::string_view::npos) name.remove_prefix(slash + 1);
  for (std::string_view prefix : {"ttyUSB", "ttyACM"}) {
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) continue;
    for (char c : name.substr(prefix.size()))
      if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
  }
  return false;
}

}  // namespace

WPARAM DeviceEventOf(std::string_view uevent) {
  // The header names action and path; the fields say the same and more.
  const size_t headerEnd = uevent.find('\0');
  if (headerEnd == std::string_view::npos || uevent.substr(0, headerEnd).find('@') == std::string_view::npos) return 0;
  std::string_view action, subsystem, devname;
  for (size_t at = headerEnd + 1; at < uevent.size();) {
    size_t end = uevent.find('\0', at);
    if (end == std::string_view::npos) end = uevent.size();
    const std::string_view field = uevent.substr(at, end - at);
    at = end + 1;
    const size_t eq = field.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = field.substr(0, eq), value = field.substr(eq + 1);
    if (key == "ACTION") action = value;
    if (key == "SUBSYSTEM") subsystem = value;
    if (key == "DEVNAME") devname = value;
  }
  if (subsystem != "tty" || !IsAdapterPort(devname)) return 0;
  if (action == "add") return DBT_DEVICEARRIVAL;
  if (action == "remove") return DBT_DEVICEREMOVECOMPLETE;
  return 0;
}

void BroadcastDeviceChange(WPARAM event) {
  // A window that an earlier one's handler destroyed is skipped by SendMessage.
  for (HWND hwnd : TopLevelWindows()) ::SendMessage(hwnd, WM_DEVICECHANGE, event, 0);
}

DeviceBroadcast::DeviceBroadcast() : receiver_(std::make_unique<QObject>()) {
  socket_ = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
  if (socket_ < 0) return;
  sockaddr_nl address{};
  address.nl_family = AF_NETLINK;
  address.nl_groups = kKernelGroup;
  wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_ < 0 || ::bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(socket_);
    socket_ = -1;
    return;
  }
  thread_ = std::thread(&DeviceBroadcast::Run, this);
}

DeviceBroadcast::~DeviceBroadcast() {
  if (thread_.joinable()) {
    const std::uint64_t one = 1;
    while (::write(wake_, &one, sizeof one) < 0 && errno == EINTR) {
    }
    thread_.join();
  }
  if (socket_ >= 0) ::close(socket_);
  if (wake_ >= 0) ::close(wake_);
  // Broadcasts still queued for the receiver go with it.
  receiver_.reset();
}

void DeviceBroadcast::Take(std::string_view uevent) {
  const WPARAM event = DeviceEventOf(uevent);
  if (event == 0) return;
  QMetaObject::invokeMethod(receiver_.get(), [event] { BroadcastDeviceChange(event); }, Qt::QueuedConnection);
}

void DeviceBroadcast::Run() {
  char buffer[kMaxUevent];
  pollfd fds[2] = {{socket_, POLLIN, 0}, {wake_, POLLIN, 0}};
  for (;;) {
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0 || (fds[0].revents & POLLNVAL) != 0) return;
    // An overrun shows as an error (ENOBUFS) that the next receive clears;
    // the datagrams after it come as usual.
    for (;;) {
      sockaddr_nl sender{};
      socklen_t size = sizeof sender;
      const ssize_t got =
          ::recvfrom(socket_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&sender), &size);
      if (got < 0) {
        if (errno == EINTR || errno == ENOBUFS) continue;
        break;  // drained
      }
      // Only the kernel speaks here: nl_pid 0.
      if (sender.nl_pid == 0) Take(std::string_view(buffer, static_cast<size_t>(got)));
    }
  }
}

}  // namespace qv::win32
