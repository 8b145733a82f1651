#pragma once
// What a programming job needs of the dialog that owns its worker. The Write
// page and the download dialog implement it; the tests and the benchmarks
// implement it with a recorder. The worker calls it from its own thread, so
// every call must be safe from there.

#include "platform/core/wintypes.h"

class CJobOwner {
 public:
  virtual ~CJobOwner() = default;

  // Posts WM_ISP_PROGRESS (stage, value) to the owner's window; never waits
  // for the UI thread.
  virtual void PostProgress(WPARAM stage, LPARAM value) = 0;
  // The Write page's m_bImageLoaded; the download dialog always has its image.
  virtual BOOL IsImageLoaded() { return TRUE; }
  // EnableWindow(TRUE) on the owner: at the end of every job.
  virtual void EnableOwner() = 0;
  // Invalidates the "From Chip" view and then the "App Bin File" view, where
  // they exist: after a job of the Write page that ran to its end.
  virtual void RepaintViews() {}
  // Shows the download dialog's Close button: at the end of every download job.
  virtual void ShowCloseButton() {}
};
