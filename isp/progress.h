#pragma once
// The progress message of the programming jobs and the Read page's reader,
// its stage codes, and the failure codes with which a job ends.

#include "platform/core/wintypes.h"

// The message the owners post (or the reader sends) for a stage: the window
// layer's WM_USER + 1. The engine knows no windows; it hands stages to its
// owner (CJobOwner), and the owner turns them into this message.
// wParam: a stage code; lParam: a percent or a value.
inline constexpr UINT WM_ISP_PROGRESS = 0x0401;

// Stage codes.
inline constexpr WPARAM kProgressStart = 0;
inline constexpr WPARAM kProgressCommError = 1;
inline constexpr WPARAM kProgressUpdating = 2;
inline constexpr WPARAM kProgressVerifyError = 4;
inline constexpr WPARAM kProgressUpdateFinished = 5;
inline constexpr WPARAM kProgressReadError = 21;
inline constexpr WPARAM kProgressReading = 22;
inline constexpr WPARAM kProgressEraseBegin = 30;
inline constexpr WPARAM kProgressEraseEnd = 31;
// The read data are complete: the length is in the low 16 bits.
inline constexpr WPARAM kProgressReadData = 0x280000;
inline constexpr WPARAM kProgressReadDataMask = 0xFFFF0000;

// Failure codes. A job posts codes 1 and 4 as their stage codes and nothing
// for the others; the run log holds the reason.
inline constexpr int kFailSetup = 0;    // port, before/after-write step, erase, limits, stop request
inline constexpr int kFailComm = 1;     // communication error
inline constexpr int kFailVerify = 4;   // verification error
inline constexpr int kFailLate = 21;    // password (serial), final reset (USB)
