#include "app/device_events.h"

#include "platform/ostrelusb/notification.h"
#include "platform/win32/window.h"

void DeliverDeviceChanges() {
  ostrelusb::SetDeviceChangeSink([](void* hwnd, unsigned event) {
    ::PostMessage(static_cast<HWND>(hwnd), WM_DEVICECHANGE, event, 0);
  });
}
