#include "tests/dialog/dialog_support.h"

namespace dialog_test {

BEGIN_MESSAGE_MAP(RecordingDialog, CDialogEx)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

}  // namespace dialog_test
