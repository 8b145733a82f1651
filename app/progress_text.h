#pragma once
// The progress bar's texts for the stage codes of a programming job, as the
// download dialog and the Write page show them, and of a read, as the Read
// page shows them.

#include "platform/core/cstring.h"
#include "platform/win32/cwnd.h"
#include "platform/core/wintypes.h"

inline constexpr int kPositionUnchanged = -1;

// The text for the stage code and its value, and the bar's new position
// (kPositionUnchanged when the code leaves it). FALSE for a code that changes
// nothing.
BOOL ProgramProgressText(WPARAM stage, LPARAM value, CString* text, int* position);

// The Read page's codes, kProgressReadError and kProgressReading, the same
// way; the read-data code is no text, and the other codes change nothing.
BOOL ReadProgressText(WPARAM stage, LPARAM value, CString* text, int* position);

// Sets the text on a progress bar (WM_SETTEXT) and, unless it is
// kPositionUnchanged, its position (PBM_SETPOS).
void ShowProgressText(CWnd& bar, const CString& text, int position);
