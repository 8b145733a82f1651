// The system metrics and SystemParametersInfoA: the classic defaults, with
// the screen of the running Qt application.

#include "platform/win32/system/system_metrics.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstring>

int GetSystemMetrics(int index) {
  int screenW = 1024, screenH = 768;
  if (qGuiApp && QGuiApplication::primaryScreen()) {
    const QRect g = QGuiApplication::primaryScreen()->geometry();
    screenW = g.width();
    screenH = g.height();
  }
  switch (index) {
    case SM_CXSCREEN: case SM_CXFULLSCREEN: case SM_CXVIRTUALSCREEN: case SM_CXMAXIMIZED:
      return screenW;
    case SM_CYSCREEN: case SM_CYVIRTUALSCREEN: case SM_CYMAXIMIZED: return screenH;
    case SM_CYFULLSCREEN: return screenH - 19;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL:
    case SM_CYVTHUMB: case SM_CXHTHUMB: case SM_CXSMICON: case SM_CYSMICON:
      return 16;
    case SM_CYCAPTION: case SM_CYMENU: return 19;
    case SM_CXBORDER: case SM_CYBORDER: case SM_MOUSEPRESENT: case SM_CMONITORS: return 1;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXSIZE: case SM_CYSIZE: case SM_CXMENUSIZE: case SM_CYMENUSIZE: return 18;
    case SM_CXFRAME: case SM_CYFRAME: case SM_CXDOUBLECLK: case SM_CYDOUBLECLK:
    case SM_CXDRAG: case SM_CYDRAG: return 4;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXMENUCHECK: case SM_CYMENUCHECK: return 13;
    default: return 0;
  }
}

BOOL SystemParametersInfoA(UINT action, UINT, void* out, UINT) {
  if (!out) return FALSE;
  if (action == SPI_GETWORKAREA) {
    *static_cast<RECT*>(out) =
        RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return TRUE;
  }
  if (action != SPI_GETNONCLIENTMETRICS) return FALSE;
  auto* m = static_cast<NONCLIENTMETRICSA*>(out);
  if (m->cbSize != sizeof(NONCLIENTMETRICSA)) return FALSE;
  auto font = [](LOGFONTA& lf, LONG weight) {
    lf = LOGFONTA{};
    lf.lfHeight = -11;
    lf.lfWeight = weight;
    std::strncpy(lf.lfFaceName, "MS Shell Dlg", LF_FACESIZE - 1);
  };
  m->iBorderWidth = 1;
  m->iScrollWidth = m->iScrollHeight = 16;
  m->iCaptionWidth = m->iCaptionHeight = 18;
  font(m->lfCaptionFont, FW_BOLD);
  m->iSmCaptionWidth = 12;
  m->iSmCaptionHeight = 15;
  font(m->lfSmCaptionFont, FW_BOLD);
  m->iMenuWidth = m->iMenuHeight = 18;
  font(m->lfMenuFont, FW_NORMAL);
  font(m->lfStatusFont, FW_NORMAL);
  font(m->lfMessageFont, FW_NORMAL);
  return TRUE;
}
