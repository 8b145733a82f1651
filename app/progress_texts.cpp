#include "app/progress_texts.h"

namespace {

CProgressText Text(const char* text) { return CProgressText{true, CString(text), std::nullopt}; }

CProgressText Text(UINT stringId) {
  CString s;
  s.LoadString(stringId);
  return CProgressText{true, s, std::nullopt};
}

// A text with the value as "%d"; the position becomes the value.
CProgressText Percent(const char* format, LPARAM value) {
  CString s;
  s.Format(format, static_cast<int>(value));
  return CProgressText{true, s, static_cast<int>(value)};
}

}  // namespace

CProgressText WriteProgressText(WPARAM code, LPARAM value) {
  switch (code) {
    case 0: return CProgressText{true, CString(""), 0};
    case 1:
    case 8:
    case 40:
    case 43:
    case 50:
    case 56: return Text(IDS_COMM_ERROR);
    case 2: return Percent("Updating...%d%%", value);
    case 3: return Text(IDS_ID_ERROR);
    case 4:
    case 53: return Text(IDS_VERIFY_ERROR);
    case 5: return Text("Update Finished");
    case 6: return Percent("Verifying...%d%%", value);
    case 7: return Text("Verify Fail!");
    case 30: return Percent("Begin Erasing...%d%%", value);
    case 31: return Percent("End Erasing...%d%%", value);
    case 32: return Text("Erase Error!");
    case 41:
    case 44:
    case 51: return Percent("Updating SW && HW...%d%%", value);
    case 42: return Text("Verify Software Param Fail!");
    case 45: return Text("Verify Hardward Param Fail!");
    case 54: return Percent("Verifying HW && SW...%d%%", value);
    case 55: return Text("Verify SW && HW Param Fail!");
    default: return CProgressText{};
  }
}

CProgressText ReadProgressText(WPARAM code, LPARAM value) {
  switch (code) {
    case 21: return Text(IDS_COMM_ERROR);
    case 22: return Percent("Reading...%d%%", value);
    default: return CProgressText{};
  }
}
