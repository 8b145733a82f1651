// The main window: the button column with the logo and the chip's data.

#include "platform/win32/dialog/dialog_template.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/standard/combo_box.h"
#include "platform/win32/standard/edit.h"
#include "platform/win32/standard/static.h"
#include "res/pages_ids.h"

namespace {

using qv::win32::DialogItemTemplate;
using qv::win32::DialogTemplate;

constexpr DWORD kMinimizeBox = 0x00020000;
constexpr DWORD kMaximizeBox = 0x00010000;
constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kField = WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;

const qv::win32::DialogTemplateRegistrar kTemplate{DialogTemplate{
    IDD_ONLINE_UPDATE_AND_READ, "", WS_POPUP | WS_CAPTION | WS_SYSMENU | kMinimizeBox | kMaximizeBox | DS_SETFONT,
    0, "MS Shell Dlg", 8, 0, 0, 414, 266,
    {
        DialogItemTemplate{IDC_MAIN_LOGO, "Static", "#168", WS_VISIBLE | SS_BITMAP, 0, 0, 0, 105, 74},
        DialogItemTemplate{IDC_STATIC, "Static", "Part No", kLabel, 0, 6, 80, 90, 8},
        DialogItemTemplate{IDC_MAIN_PART_NO, "Edit", "", kField, 0, 6, 90, 92, 13},
        DialogItemTemplate{IDC_STATIC, "Static", "RAM Size:", kLabel, 0, 6, 107, 90, 8},
        DialogItemTemplate{IDC_MAIN_RAM, "Edit", "", kField, 0, 6, 117, 92, 13},
        DialogItemTemplate{IDC_STATIC, "Static", "APROM Size:", kLabel, 0, 6, 134, 90, 8},
        DialogItemTemplate{IDC_MAIN_APROM, "Edit", "", kField, 0, 6, 144, 92, 13},
        DialogItemTemplate{IDC_MAIN_CHIP_TYPE, "Static", "Chip Type:", SS_LEFT, 0, 6, 161, 90, 8},
        DialogItemTemplate{IDC_MAIN_CHIP_COMBO, "ComboBox", "", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 0, 6, 171,
                           92, 60},
        DialogItemTemplate{IDC_MAIN_WRITE, "Button", "Write", kButton, 0, 0, 170, 105, 25},
        DialogItemTemplate{IDC_MAIN_READ, "Button", "Read", kButton, 0, 0, 196, 105, 25},
        DialogItemTemplate{IDC_MAIN_EXIT, "Button", "Exit", kButton, 0, 0, 222, 105, 25},
        DialogItemTemplate{IDC_MAIN_MERGE, "Button", "Merge&&Convert", WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 240, 105,
                           25},
    }}};

}  // namespace
