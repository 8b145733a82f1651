#include "app/progress_text.h"

#include "isp/progress.h"
#include "platform/win32/standard/progress_ctrl.h"
#include "res/app_ids.h"

namespace {

CString Percent(const char* format, LPARAM value) {
  CString text;
  text.Format(format, static_cast<int>(value));
  return text;
}

CString Loaded(UINT id) {
  CString text;
  text.LoadString(id);
  return text;
}

}  // namespace

BOOL ProgramProgressText(WPARAM stage, LPARAM value, CString* text, int* position) {
  const int percent = static_cast<int>(value);
  *position = kPositionUnchanged;
  switch (stage) {
    case 0:
      *text = "";
      *position = 0;
      return TRUE;
    case 1: case 8: case 40: case 43: case 50: case 56:
      *text = Loaded(IDS_COMMUNICATION_ERROR);
      return TRUE;
    case 3: *text = Loaded(IDS_ID_ERROR); return TRUE;
    case 4: case 53: *text = Loaded(IDS_VERIFY_ERROR); return TRUE;
    case 5: *text = "Update Finished"; return TRUE;
    case 7: *text = "Verify Fail!"; return TRUE;
    case 32: *text = "Erase Error!"; return TRUE;
    case 42: *text = "Verify Software Param Fail!"; return TRUE;
    case 45: *text = "Verify Hardward Param Fail!"; return TRUE;
    case 55: *text = "Verify SW && HW Param Fail!"; return TRUE;
    case 2: *text = Percent("Updating...%d%%", value); break;
    case 6: *text = Percent("Verifying...%d%%", value); break;
    case 30: *text = Percent("Begin Erasing...%d%%", value); break;
    case 31: *text = Percent("End Erasing...%d%%", value); break;
    case 41: case 44: case 51: *text = Percent("Updating SW && HW...%d%%", value); break;
    case 54: *text = Percent("Verifying HW && SW...%d%%", value); break;
    default: return FALSE;
  }
  *position = percent;
  return TRUE;
}

BOOL ReadProgressText(WPARAM stage, LPARAM value, CString* text, int* position) {
  *position = kPositionUnchanged;
  switch (stage) {
    case kProgressReadError:
      *text = Loaded(IDS_COMMUNICATION_ERROR);
      return TRUE;
    case kProgressReading:
      *text = Percent("Reading...%d%%", value);
      *position = static_cast<int>(value);
      return TRUE;
    default:
      return FALSE;
  }
}

void ShowProgressText(CWnd& bar, const CString& text, int position) {
  bar.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.GetString()));
  if (position != kPositionUnchanged) bar.SendMessage(PBM_SETPOS, static_cast<WPARAM>(position));
}
