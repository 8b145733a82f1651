#pragma once
// How the library's news of a board plugged in or pulled out reaches the
// window given to RegisterNotification. The library knows no window layer:
// the program hands it a sink that posts WM_DEVICECHANGE with the event code
// (DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE of platform/core/device_change.h).

#include <functional>

#include "platform/core/device_change.h"

namespace ostrelusb {

// Called outside the library's lock, on the thread that plugs or unplugs,
// only while a window is registered.
using DeviceChangeSink = std::function<void(void* hwnd, unsigned event)>;
void SetDeviceChangeSink(DeviceChangeSink sink);

}  // namespace ostrelusb
