// The status strip along the main window's bottom edge.

#include "platform/win32/dialog/dialog_template.h"
#include "platform/win32/standard/static.h"
#include "res/pages_ids.h"

namespace {

using qv::win32::DialogItemTemplate;
using qv::win32::DialogTemplate;

// Left-aligned: the third field starts 200 pixels from the right edge however wide the strip.
constexpr DWORD kField = WS_VISIBLE | SS_LEFT;

const qv::win32::DialogTemplateRegistrar kTemplate{DialogTemplate{
    IDD_STATUS, "", WS_CHILD | DS_CONTROL | DS_SETFONT, 0, "MS Shell Dlg", 8, 0, 0, 280, 64,
    {
        DialogItemTemplate{IDC_STATUS_PICTURE, "Static", "#146", WS_VISIBLE | SS_BITMAP, 0, 0, 0, 105, 30},
        DialogItemTemplate{IDC_STATUS_FIELD1, "Static", "", kField, 0, 119, 16, 50, 16},
        DialogItemTemplate{IDC_STATUS_FIELD2, "Static", "", kField, 0, 170, 16, 50, 16},
        DialogItemTemplate{IDC_STATUS_FIELD3, "Static", "", kField, 0, 220, 16, 50, 16},
    }}};

}  // namespace
