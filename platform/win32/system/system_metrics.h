#pragma once
// System metrics and parameters: the sizes of frames, bars and icons, the
// screen, the work area and the non-client fonts.

#include "platform/win32/gdi/gdi_api.h"

// System metrics: the classic Windows defaults; the screen size
// comes from the primary screen of the running Qt application, else 1024x768.
enum : int {
  SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4,
  SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CXFIXEDFRAME = 7,
  SM_CYDLGFRAME = 8, SM_CYFIXEDFRAME = 8, SM_CYVTHUMB = 9, SM_CXHTHUMB = 10,
  SM_CXICON = 11, SM_CYICON = 12, SM_CXCURSOR = 13, SM_CYCURSOR = 14, SM_CYMENU = 15,
  SM_CXFULLSCREEN = 16, SM_CYFULLSCREEN = 17, SM_MOUSEPRESENT = 19, SM_CYVSCROLL = 20,
  SM_CXHSCROLL = 21, SM_CXMIN = 28, SM_CYMIN = 29, SM_CXSIZE = 30, SM_CYSIZE = 31,
  SM_CXFRAME = 32, SM_CXSIZEFRAME = 32, SM_CYFRAME = 33, SM_CYSIZEFRAME = 33,
  SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_CMOUSEBUTTONS = 43, SM_CXEDGE = 45,
  SM_CYEDGE = 46, SM_CXSMICON = 49, SM_CYSMICON = 50, SM_CXMENUSIZE = 54, SM_CYMENUSIZE = 55,
  SM_CXMAXIMIZED = 61, SM_CYMAXIMIZED = 62, SM_CXDRAG = 68, SM_CYDRAG = 69,
  SM_CXMENUCHECK = 71, SM_CYMENUCHECK = 72, SM_CXVIRTUALSCREEN = 78, SM_CYVIRTUALSCREEN = 79,
  SM_CMONITORS = 80,
};
int GetSystemMetrics(int index);

// SPI_GETNONCLIENTMETRICS: the classic fonts (menu, caption, status, message).
inline constexpr UINT SPI_GETNONCLIENTMETRICS = 0x0029;
inline constexpr UINT SPI_GETWORKAREA = 0x0030;
struct NONCLIENTMETRICSA {
  UINT cbSize;
  int iBorderWidth;
  int iScrollWidth;
  int iScrollHeight;
  int iCaptionWidth;
  int iCaptionHeight;
  LOGFONTA lfCaptionFont;
  int iSmCaptionWidth;
  int iSmCaptionHeight;
  LOGFONTA lfSmCaptionFont;
  int iMenuWidth;
  int iMenuHeight;
  LOGFONTA lfMenuFont;
  LOGFONTA lfStatusFont;
  LOGFONTA lfMessageFont;
};
using NONCLIENTMETRICS = NONCLIENTMETRICSA;
BOOL SystemParametersInfoA(UINT action, UINT param, void* out, UINT winIni);
