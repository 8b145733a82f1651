#pragma once
// What a dialog's progress bar shows for one WM_ISP_PROGRESS: the texts and
// positions of every stage code. The Write page and the download dialog share
// one column of the table, the Read page has its own.

#include <optional>

#include "platform/core/cstring.h"
#include "platform/core/wintypes.h"

// The string table's texts the progress bars show.
inline constexpr UINT IDS_COMM_ERROR = 102;
inline constexpr UINT IDS_ID_ERROR = 103;
inline constexpr UINT IDS_VERIFY_ERROR = 104;

struct CProgressText {
  // false: the code changes neither the text nor the position.
  bool handled = false;
  // Set as the bar's window text ("" clears it).
  CString text;
  // The bar's new position, when the code sets one.
  std::optional<int> position;
};

// The Write page's and the download dialog's column. The read-data code is
// not a text: the Write page hands its bytes to the "From Chip" view itself.
CProgressText WriteProgressText(WPARAM code, LPARAM value);
// The Read page's column, the read-data code left out likewise.
CProgressText ReadProgressText(WPARAM code, LPARAM value);
