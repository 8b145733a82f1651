#pragma once
// The download dialog's part as a console program: the progress messages the
// worker posts are queued and printed by the main thread, each as the text
// the dialog's progress bar would show.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <utility>

#include "isp/job_owner.h"

// The bar's text for a stage code and its value; false for the codes the
// download dialog ignores.
bool ProgressText(WPARAM stage, LPARAM value, std::string* text);

class CConsoleOwner : public CJobOwner {
 public:
  void PostProgress(WPARAM stage, LPARAM value) override;
  void EnableOwner() override;
  void ShowCloseButton() override;

  // Prints the queued messages as they come until the job has ended (the
  // owner re-enabled and its Close button shown). Returns the last stage and
  // value posted.
  std::pair<WPARAM, LPARAM> PrintUntilJobEnd();

 private:
  std::mutex m_;
  std::condition_variable cv_;
  std::deque<std::pair<WPARAM, LPARAM>> queue_;
  bool enabled_ = false;
  bool closeShown_ = false;
};
