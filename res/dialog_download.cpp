// Template 230: the download dialog of the command-line mode, without caption
// or system menu.

#include "platform/win32/dialog/dialog_template.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/standard/progress_ctrl.h"
#include "platform/win32/standard/static.h"
#include "res/app_ids.h"

namespace {

using qv::win32::DialogTemplate;

DialogTemplate Template() {
  DialogTemplate t;
  t.id = IDD_DOWNLOAD;
  t.caption = "";
  t.style = DS_SETFONT | DS_MODALFRAME | DS_FIXEDSYS | DS_CENTER | WS_POPUP | WS_BORDER;
  t.fontFace = "MS Shell Dlg";
  t.pointSize = 8;
  t.cx = 260;
  t.cy = 72;
  t.items = {
      {IDC_DOWNLOAD_NAME, "Static", "Name:", SS_LEFT | SS_NOPREFIX | WS_VISIBLE | WS_GROUP, 0, 7, 7, 246, 10},
      {IDC_DOWNLOAD_SIZE, "Static", "Size:", SS_LEFT | WS_VISIBLE | WS_GROUP, 0, 7, 20, 246, 10},
      {IDC_DOWNLOAD_PROGRESS, PROGRESS_CLASS, "", WS_VISIBLE | WS_BORDER, 0, 7, 34, 246, 14},
      // Shown by the job at its end.
      {IDC_DOWNLOAD_CLOSE, "Button", "Close", BS_PUSHBUTTON | WS_TABSTOP, 0, 105, 53, 50, 14},
  };
  return t;
}

const qv::win32::DialogTemplateRegistrar kRegistrar{Template()};

}  // namespace
