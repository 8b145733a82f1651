// Template 229: the IC type and interface dialog.

#include "platform/win32/dialog/dialog_template.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/standard/combo_box.h"
#include "platform/win32/standard/edit.h"
#include "platform/win32/standard/list_box.h"
#include "platform/win32/standard/static.h"
#include "res/app_ids.h"

namespace {

using qv::win32::DialogItemTemplate;
using qv::win32::DialogTemplate;

constexpr DWORD kShown = WS_VISIBLE;
constexpr DWORD kLabel = SS_LEFT | kShown | WS_GROUP;
constexpr DWORD kReadOnlyEdit = ES_LEFT | ES_AUTOHSCROLL | ES_READONLY | kShown | WS_BORDER | WS_TABSTOP;
constexpr DWORD kDropDown = CBS_DROPDOWN | WS_VSCROLL | kShown | WS_TABSTOP;

DialogTemplate Template() {
  DialogTemplate t;
  t.id = IDD_SELECT_IC_TYPE;
  t.caption = "IC Type & Interface Setting";
  t.style = DS_SETFONT | DS_MODALFRAME | DS_FIXEDSYS | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  t.fontFace = "MS Shell Dlg";
  t.pointSize = 8;
  t.cx = 290;
  t.cy = 190;
  t.items = {
      {IDC_ICTYPE_LIST_TITLE, "Static", "IC Type List", kLabel, 0, 7, 7, 110, 12},
      {IDC_ICTYPE_LIST, "ListBox", "",
       LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | kShown | WS_BORDER | WS_TABSTOP, 0, 7, 21, 110, 162},
      {IDC_ICTYPE_NAME, "Static", "", kLabel, 0, 124, 7, 159, 12},
      {IDC_STATIC, "Static", "RAM Size:", kLabel, 0, 124, 26, 50, 8},
      {IDC_ICTYPE_RAM, "Edit", "", kReadOnlyEdit, WS_EX_CLIENTEDGE, 178, 24, 60, 12},
      {IDC_STATIC, "Static", "APROM Size:", kLabel, 0, 124, 42, 50, 8},
      {IDC_ICTYPE_FLASH, "Edit", "", kReadOnlyEdit, WS_EX_CLIENTEDGE, 178, 40, 60, 12},
      {IDC_STATIC, "Static", "Part No", kLabel, 0, 124, 58, 50, 8},
      {IDC_ICTYPE_PARTNO, "Edit", "", ES_LEFT | ES_AUTOHSCROLL | kShown | WS_BORDER | WS_TABSTOP,
       WS_EX_CLIENTEDGE, 178, 56, 105, 12},
      {IDC_STATIC, "Button", "Interface Setting", BS_GROUPBOX | kShown | WS_GROUP, 0, 124, 74, 159, 58},
      {IDC_ICTYPE_USB, "Button", "USB", BS_AUTORADIOBUTTON | kShown | WS_GROUP | WS_TABSTOP, 0, 132, 88, 40, 10},
      {IDC_ICTYPE_COM, "Button", "COM", BS_AUTORADIOBUTTON | kShown, 0, 132, 110, 40, 10},
      {IDC_STATIC, "Static", "Com Num", kLabel, 0, 176, 90, 36, 8},
      {IDC_ICTYPE_COM_NUM, "ComboBox", "", kDropDown | WS_GROUP, 0, 214, 88, 62, 100},
      {IDC_STATIC, "Static", "Baudrate", kLabel, 0, 176, 110, 36, 8},
      {IDC_ICTYPE_BAUDRATE, "ComboBox", "", kDropDown, 0, 214, 108, 62, 100},
      // The entry method: hidden, so every run uses "Timeout Entry".
      {IDC_STATIC, "Button", "ISP Method Select", BS_GROUPBOX | WS_GROUP, 0, 124, 136, 159, 26},
      {IDC_ICTYPE_TIMEOUT_ENTRY, "Button", "Timeout Entry", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, 132,
       147, 64, 10},
      {IDC_ICTYPE_CHECKPIN_ENTRY, "Button", "CheckPin Entry", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0,
       204, 147, 70, 10},
      {IDOK, "Button", "OK", BS_DEFPUSHBUTTON | kShown | WS_GROUP | WS_TABSTOP, 0, 176, 169, 50, 14},
      {IDCANCEL, "Button", "Cancel", BS_PUSHBUTTON | kShown | WS_TABSTOP, 0, 233, 169, 50, 14},
  };
  return t;
}

const qv::win32::DialogTemplateRegistrar kRegistrar{Template()};

}  // namespace
