#pragma once
// WM_DEVICECHANGE to every top-level window when the system reports a serial
// adapter arriving or leaving, as Windows broadcasts it for ports. The news
// comes from the kernel's uevents (a netlink socket read on a thread of its
// own) and is broadcast on the thread that made the listener.

#include <memory>
#include <string_view>
#include <thread>

#include "platform/win32/winuser.h"

class QObject;

namespace qv::win32 {

// What one kernel uevent (a datagram "action@devpath" followed by KEY=value
// fields, each ended by a NUL) means for the top-level windows: a serial
// adapter's port (SUBSYSTEM=tty, a ttyUSB or ttyACM device) added gives
// DBT_DEVICEARRIVAL, removed DBT_DEVICEREMOVECOMPLETE; anything else 0.
WPARAM DeviceEventOf(std::string_view uevent);

// Sends WM_DEVICECHANGE (event, 0) to every top-level window there is now,
// in the order they were made.
void BroadcastDeviceChange(WPARAM event);

class DeviceBroadcast {
 public:
  // Opens the uevent socket and starts listening; where the system gives no
  // such socket (a container may not), nothing is ever broadcast.
  DeviceBroadcast();
  // Ends the listening thread and joins it; news not yet broadcast is dropped.
  ~DeviceBroadcast();
  DeviceBroadcast(const DeviceBroadcast&) = delete;
  DeviceBroadcast& operator=(const DeviceBroadcast&) = delete;

  bool Listening() const { return thread_.joinable(); }
  // One uevent as the socket gives it, from any thread: one that concerns a
  // serial adapter is broadcast on the thread that made this object.
  void Take(std::string_view uevent);

 private:
  void Run();

  std::unique_ptr<QObject> receiver_;
  int socket_ = -1;
  int wake_ = -1;  // an eventfd that asks the thread to end
  std::thread thread_;
};

}  // namespace qv::win32
