#pragma once
// The peers of the dialog suites: a program folder with a config.ini, a
// runtime folder for the instance lock, a recorder of message boxes, an
// operator that works a modal dialog from inside its loop, and snapshots.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/dialog/message_box.h"
#include "platform/win32/winuser.h"
#include "tests/support/pty_fixture.h"

namespace app_test {

// Message boxes answered OK and kept, while the object lives.
class MessageBoxes {
 public:
  MessageBoxes();
  ~MessageBoxes();
  const std::vector<qv::MessageBoxCall>& Calls() const { return calls_; }
  std::vector<std::string> Texts() const;

 private:
  std::vector<qv::MessageBoxCall> calls_;
};

// The operator: called on the UI thread every 10 ms while a modal loop runs,
// with the active top-level window (the shown one when none is active);
// returns true when its work is done.
// Fails the test when it is not done within the time-out.
class Operator {
 public:
  using Step = std::function<bool(HWND active)>;
  Operator(Step step, int timeoutMs = 30000);
  ~Operator();
  Operator(const Operator&) = delete;
  Operator& operator=(const Operator&) = delete;
  bool Done() const { return done_; }

 private:
  struct Impl;
  Impl* impl_;
  bool done_ = false;
};

// A program folder (also the engine's m_szAppDir through theApp) and an
// instance-lock folder of its own.
class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  void WriteConfig(const std::string& text) const;
  std::string WriteFile(const std::string& name, const std::vector<BYTE>& bytes) const;

  qv::TempProgramFolder folder_;
  qv::TempFolder runtime_;
};

// The text of a dialog item.
std::string ItemText(HWND dialog, int id);
// Clicks a button as a person's click ends: BM_CLICK.
void Click(HWND dialog, int id);
// A left mouse click in the middle of a shown dialog item.
void ClickWithMouse(HWND dialog, int id);
// The item at index of a combo picked with the keys: the focus on the combo,
// Alt+Down to open its list, Home and Down to the item, Enter to take it (the
// keys arrive where Qt sends them while the list is open, at the list).
void PickInCombo(HWND dialog, int id, int index);
// The whole window as a person sees it, frame included, saved as <name>.png
// in the suite's snapshot folder; false when it could not be saved.
bool SaveSnapshot(HWND window, const std::string& name);

}  // namespace app_test
