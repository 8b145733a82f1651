#include "platform/win32/standard/standard_classes.h"

#include <mutex>

#include "platform/win32/dialog/dialog.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/standard/combo_box.h"
#include "platform/win32/standard/edit.h"
#include "platform/win32/standard/list_box.h"
#include "platform/win32/standard/standard_procs.h"
#include "platform/win32/standard/static.h"
#include "platform/win32/window.h"
#include "platform/win32/window_class.h"

namespace qv::win32 {

void RegisterStandardClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    const WNDCLASSA classes[] = {
        {CS_DBLCLKS, ButtonClassProc(), 0, WC_BUTTON},
        {0, StaticClassProc(), 0, WC_STATIC},
        {CS_DBLCLKS, EditClassProc(), 0, WC_EDIT},
        {CS_DBLCLKS, ListBoxClassProc(), 0, WC_LISTBOX},
        {CS_DBLCLKS, ComboBoxClassProc(), 0, WC_COMBOBOX},
        {CS_DBLCLKS, DefDlgProc, 0, WC_DIALOG},
    };
    for (const WNDCLASSA& wc : classes) RegisterClassA(&wc);
  });
}

}  // namespace qv::win32
