#pragma once
// Inside the dialog manager: the state of one dialog window, and what the
// keyboard code and the standard controls ask of the manager.

#include <memory>
#include <vector>

#include "platform/win32/dialog/dialog.h"

class QEventLoop;

namespace qv::win32 {

struct DialogState {
  DLGPROC proc = nullptr;
  HFONT font = nullptr;
  bool ownsFont = false;
  SIZE baseUnits{8, 16};
  int defId = 0;  // the default push button's id; 0: none
  HWND lastFocus = nullptr;  // the control that had the focus last
  HWND owner = nullptr;      // a top-level dialog's owner
  HWND disabledOwner = nullptr;  // the owner that the modal loop disabled
  bool modal = false;
  bool ended = false;
  INT_PTR result = -1;
  QEventLoop* loop = nullptr;
};

bool IsDialogWindow(HWND hwnd);
std::shared_ptr<DialogState> DialogStateOf(HWND hwnd);

// Creates the dialog and its controls, sends WM_SETFONT and WM_INITDIALOG;
// shown at the end when the template says WS_VISIBLE. `bind` takes the
// dialog's messages from the first one on.
HWND CreateDialogFromTemplate(const DialogTemplate& t, HWND parent, DLGPROC proc, LPARAM param, CWnd* bind);
// Disables the owner, shows the dialog and serves messages until EndDialog;
// the dialog is left for the caller to destroy. EndDialog's result, -1 when
// the dialog went away without it.
INT_PTR RunModalLoop(HWND dialog);

// The focus moved (SetFocus): the dialog remembers its control, and the
// default push button follows the focus among push buttons.
void FocusMovedInDialog(HWND from, HWND to);

// The controls of the control's group among its siblings, in order: from the
// nearest WS_GROUP control at or before it to the next WS_GROUP control.
std::vector<HWND> GroupOf(HWND control);

}  // namespace qv::win32
