#pragma once
// The pixel layouts of the main window, its status strip and its pages, from
// their client sizes.

#include "platform/core/cstring.h"
#include "platform/win32/gdi/geometry.h"

// The main window: the status strip along the bottom, the button column on
// the left, both pages right of it.
struct CMainLayout {
  CRect strip;
  CRect exit;
  CRect read;
  CRect write;
  CRect page;
};
CMainLayout LayoutMainWindow(int width, int height);

// The status strip: the picture on the left and the three text fields.
struct CStatusLayout {
  CRect picture;
  CRect field1;
  CRect field2;
  CRect field3;
};
CStatusLayout LayoutStatusStrip(int width, int height);

// The Write page's tab strip: right of the Write button's right edge (page
// client coordinates) to 2 pixels short of the right edge, the page's full height.
CRect WritePageTabStripRect(int writeButtonRight, int width, int height);
// The Read page's hex view: right of the progress bar's right edge, 2 pixels
// in from the top and the bottom.
CRect ReadPageHexViewRect(int progressRight, int width, int height);

// "%s ver %.1f": the title and the version (times ten) in tenths.
CString FormatMainTitle(const CString& title, u16 version);

// The connection text of the status strip's first field, green when
// connected, red otherwise. What counts as connected is the bridge in USB
// mode and the serial port in COM mode, whatever the text says.
BOOL IsConnectionUp();
inline constexpr COLORREF kConnectedColour = 0x00FF00;
inline constexpr COLORREF kDisconnectedColour = 0x0000FF;
inline constexpr char kDeviceConnectedText[] = "Device Connected";
inline constexpr char kDeviceDisConnectedText[] = "Device DisConnected";
