#include <gtest/gtest.h>

#include <string>

#include "app/progress_text.h"
#include "isp/progress.h"

namespace {

struct Row {
  WPARAM stage;
  LPARAM value;
  const char* text;  // nullptr: the code changes nothing
  int position;
};

TEST(ProgressText, EveryCodeOfTheTable) {
  const Row rows[] = {
      {0, 55, "", 0},
      {1, 7, "Communication Error!", kPositionUnchanged},
      {2, 42, "Updating...42%", 42},
      {3, 0, "ID Error!", kPositionUnchanged},
      {4, 0, "Verify Error!", kPositionUnchanged},
      {5, 90, "Update Finished", kPositionUnchanged},
      {6, 7, "Verifying...7%", 7},
      {7, 0, "Verify Fail!", kPositionUnchanged},
      {8, 0, "Communication Error!", kPositionUnchanged},
      {30, 10, "Begin Erasing...10%", 10},
      {31, 100, "End Erasing...100%", 100},
      {32, 0, "Erase Error!", kPositionUnchanged},
      {40, 0, "Communication Error!", kPositionUnchanged},
      {41, 3, "Updating SW && HW...3%", 3},
      {42, 0, "Verify Software Param Fail!", kPositionUnchanged},
      {43, 0, "Communication Error!", kPositionUnchanged},
      {44, 4, "Updating SW && HW...4%", 4},
      {45, 0, "Verify Hardward Param Fail!", kPositionUnchanged},
      {50, 0, "Communication Error!", kPositionUnchanged},
      {51, 5, "Updating SW && HW...5%", 5},
      {53, 0, "Verify Error!", kPositionUnchanged},
      {54, 6, "Verifying HW && SW...6%", 6},
      {55, 0, "Verify SW && HW Param Fail!", kPositionUnchanged},
      {56, 0, "Communication Error!", kPositionUnchanged},
      {2, -5, "Updating...-5%", -5},  // the value as a signed integer
      // The read codes and every unlisted code change nothing.
      {kProgressReadError, 0, nullptr, kPositionUnchanged},
      {kProgressReading, 50, nullptr, kPositionUnchanged},
      {kProgressReadData | 0x40, 0, nullptr, kPositionUnchanged},
      {9, 0, nullptr, kPositionUnchanged},
      {33, 0, nullptr, kPositionUnchanged},
      {52, 0, nullptr, kPositionUnchanged},
      {57, 0, nullptr, kPositionUnchanged},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << "stage " << row.stage);
    CString text = "untouched";
    int position = 1234;
    const BOOL shown = ProgramProgressText(row.stage, row.value, &text, &position);
    if (row.text == nullptr) {
      EXPECT_FALSE(shown);
      continue;
    }
    EXPECT_TRUE(shown);
    EXPECT_EQ(text.str(), row.text);
    EXPECT_EQ(position, row.position);
  }
}

TEST(ProgressText, TheReadPageCodes) {
  CString text;
  int position = 1234;
  ASSERT_TRUE(ReadProgressText(kProgressReadError, 30, &text, &position));
  EXPECT_EQ(text.str(), "Communication Error!");
  EXPECT_EQ(position, kPositionUnchanged);
  ASSERT_TRUE(ReadProgressText(kProgressReading, 37, &text, &position));
  EXPECT_EQ(text.str(), "Reading...37%");
  EXPECT_EQ(position, 37);
  for (WPARAM stage : {kProgressStart, kProgressCommError, kProgressUpdating, kProgressUpdateFinished,
                       kProgressEraseBegin, kProgressReadData | 0x20}) {
    text = "untouched";
    EXPECT_FALSE(ReadProgressText(stage, 5, &text, &position)) << stage;
    EXPECT_EQ(text.str(), "untouched") << stage;
  }
}

}  // namespace
