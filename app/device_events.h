#pragma once
// How the bridge library's news of a board plugged in or pulled out reaches
// the window registered with RegisterNotification: as WM_DEVICECHANGE
// (DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE) posted through the window
// layer from the board's own thread, which never waits for the UI thread.

void DeliverDeviceChanges();
