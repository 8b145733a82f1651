#include "app/device_events.h"

#include "platform/ostrelusb/OstrelUsbSim.h"
#include "platform/win32/window.h"

static_assert(DBT_DEVICEARRIVAL == ostrelusb::kDbtDeviceArrival);
static_assert(DBT_DEVICEREMOVECOMPLETE == ostrelusb::kDbtDeviceRemoveComplete);

void DeliverDeviceChanges() {
  ostrelusb::SetDeviceChangeSink([](void* hwnd, unsigned event) {
    ::PostMessage(static_cast<HWND>(hwnd), WM_DEVICECHANGE, event, 0);
  });
}
