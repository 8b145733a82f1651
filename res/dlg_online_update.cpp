// The Write page.

#include "platform/win32/dialog/dialog_template.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/standard/edit.h"
#include "platform/win32/standard/progress_ctrl.h"
#include "platform/win32/standard/static.h"
#include "res/pages_ids.h"

namespace {

using qv::win32::DialogItemTemplate;
using qv::win32::DialogTemplate;

constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;
constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kHiddenCheck = WS_TABSTOP | BS_AUTOCHECKBOX;

const qv::win32::DialogTemplateRegistrar kTemplate{DialogTemplate{
    IDD_ONLINE_UPDATE, "", WS_CHILD | DS_CONTROL | DS_SETFONT, 0, "MS Shell Dlg", 10, 0, 0, 683, 357,
    {
        DialogItemTemplate{IDC_STATIC, "Static", "File:", kLabel, 0, 25, 21, 18, 9},
        DialogItemTemplate{IDC_WRITE_PATH, "Edit", "", WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 42, 18,
                           283, 15},
        DialogItemTemplate{IDC_STATIC, "Static", "CRC Value:", kLabel, 0, 25, 45, 19, 9},
        DialogItemTemplate{IDC_WRITE_BYTE_SUM, "Edit", "", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, 0,
                           42, 41, 47, 15},
        DialogItemTemplate{IDC_STATIC, "Static", "Hex", kLabel, 0, 93, 44, 14, 8},
        DialogItemTemplate{IDC_STATIC, "Static", "File Length:", kLabel, 0, 125, 45, 38, 8},
        DialogItemTemplate{IDC_WRITE_LENGTH, "Edit", "", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, 0,
                           163, 41, 40, 14},
        DialogItemTemplate{IDC_STATIC, "Static", "Byte", kLabel, 0, 207, 43, 16, 8},
        DialogItemTemplate{IDC_WRITE_CLEAR, "Button", "Clear", kButton, 0, 237, 40, 41, 16},
        DialogItemTemplate{IDC_WRITE_BROWSE, "Button", "Browse", kButton, 0, 279, 40, 41, 16},
        DialogItemTemplate{IDC_WRITE_ADDRESS_GROUP, "Button", "", WS_VISIBLE | BS_GROUPBOX, 0, 29, 80, 176, 40},
        DialogItemTemplate{IDC_WRITE_UPDATE_PART, "Button", "Update Part", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX,
                           0, 36, 81, 55, 8},
        DialogItemTemplate{IDC_WRITE_ADDRESS_LABEL, "Static", "Write Begin Address:", kLabel, 0, 47, 100, 70, 10},
        DialogItemTemplate{IDC_WRITE_ADDRESS, "Edit", "", WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 124,
                           97, 50, 16},
        DialogItemTemplate{IDC_PASSWORD_GROUP, "Button", "Password", WS_VISIBLE | BS_GROUPBOX, 0, 29, 131, 176, 33},
        DialogItemTemplate{IDC_PASSWORD, "Edit", "", WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 47, 145,
                           71, 13},
        DialogItemTemplate{IDC_STATIC, "Button", "Operation Option", BS_GROUPBOX, 0, 306, 90, 174, 62},
        DialogItemTemplate{IDC_WRITE_ERASE, "Button", "Erase", kHiddenCheck, 0, 321, 102, 29, 9},
        DialogItemTemplate{IDC_WRITE_WRITE_BOX, "Button", "Write", kHiddenCheck | WS_DISABLED, 0, 321, 118, 34, 9},
        DialogItemTemplate{IDC_WRITE_VERIFY, "Button", "Verify", kHiddenCheck, 0, 321, 134, 34, 9},
        DialogItemTemplate{IDC_WRITE_RTS_LOW, "Button", "RTS LOW", WS_TABSTOP | BS_PUSHBUTTON, 0, 117, 243, 44, 17},
        DialogItemTemplate{IDC_WRITE_RTS_HIGH, "Button", "RTS HIGH", WS_TABSTOP | BS_PUSHBUTTON, 0, 186, 243, 44, 17},
        DialogItemTemplate{IDC_WRITE_PROGRESS, "msctls_progress32", "", WS_VISIBLE | WS_BORDER, 0, 7, 273, 333, 15},
        DialogItemTemplate{IDC_WRITE_WRITE, "Button", "Write", kButton, 0, 296, 291, 44, 17},
        DialogItemTemplate{IDC_WRITE_SAVE, "Button", "Save", WS_TABSTOP | BS_PUSHBUTTON, 0, 531, 302, 55, 17},
    }}};

}  // namespace
