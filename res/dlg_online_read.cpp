// The Read page.

#include "platform/win32/dialog/dialog_template.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/standard/edit.h"
#include "platform/win32/standard/static.h"
#include "res/pages_ids.h"

namespace {

using qv::win32::DialogItemTemplate;
using qv::win32::DialogTemplate;

constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;
constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kHexEdit = WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;

const qv::win32::DialogTemplateRegistrar kTemplate{DialogTemplate{
    IDD_ONLINE_READ, "", WS_CHILD | DS_CONTROL | DS_SETFONT, 0, "MS Shell Dlg", 10, 0, 0, 665, 318,
    {
        DialogItemTemplate{IDC_STATIC, "Button", "Area", WS_VISIBLE | BS_GROUPBOX, 0, 29, 18, 176, 72},
        DialogItemTemplate{IDC_READ_ALL_AREA, "Button", "All Area",
                           WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0, 40, 32, 60, 10},
        DialogItemTemplate{IDC_READ_CUSTOM_AREA, "Button", "Custom Area", WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 40, 48,
                           60, 10},
        DialogItemTemplate{IDC_STATIC, "Static", "From", kLabel, 0, 40, 68, 20, 8},
        DialogItemTemplate{IDC_READ_FROM, "Edit", "", kHexEdit | WS_GROUP, 0, 62, 66, 50, 14},
        DialogItemTemplate{IDC_STATIC, "Static", "to", kLabel, 0, 118, 68, 10, 8},
        DialogItemTemplate{IDC_READ_TO, "Edit", "", kHexEdit, 0, 130, 66, 50, 14},
        DialogItemTemplate{IDC_PASSWORD_GROUP, "Button", "Password", WS_VISIBLE | BS_GROUPBOX, 0, 29, 100, 176, 33},
        DialogItemTemplate{IDC_PASSWORD, "Edit", "", kHexEdit, 0, 47, 114, 71, 13},
        DialogItemTemplate{IDC_READ_PROGRESS, "msctls_progress32", "", WS_VISIBLE | WS_BORDER, 0, 7, 273, 333, 15},
        DialogItemTemplate{IDC_READ_SAVE, "Button", "Save", kButton, 0, 240, 291, 44, 17},
        DialogItemTemplate{IDC_READ_READ, "Button", "Read", kButton, 0, 296, 291, 44, 17},
    }}};

}  // namespace
