// The progress bar's text and position for every stage code.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/progress_texts.h"
#include "isp/progress.h"

namespace {

struct Row {
  WPARAM code;
  const char* text;
  bool setsPosition;
};

// Every row of the Write page's and the download dialog's column, with 45 as the value.
const Row kWriteRows[] = {
    {0, "", true},  // position 0, not the value: checked below
    {1, "Communication Error!", false},
    {2, "Updating...45%", true},
    {3, "ID Error!", false},
    {4, "Verify Error!", false},
    {5, "Update Finished", false},
    {6, "Verifying...45%", true},
    {7, "Verify Fail!", false},
    {8, "Communication Error!", false},
    {30, "Begin Erasing...45%", true},
    {31, "End Erasing...45%", true},
    {32, "Erase Error!", false},
    {40, "Communication Error!", false},
    {41, "Updating SW && HW...45%", true},
    {42, "Verify Software Param Fail!", false},
    {43, "Communication Error!", false},
    {44, "Updating SW && HW...45%", true},
    {45, "Verify Hardward Param Fail!", false},
    {50, "Communication Error!", false},
    {51, "Updating SW && HW...45%", true},
    {53, "Verify Error!", false},
    {54, "Verifying HW && SW...45%", true},
    {55, "Verify SW && HW Param Fail!", false},
    {56, "Communication Error!", false},
};

TEST(WriteProgressText, EveryRowOfTheTable) {
  for (const Row& row : kWriteRows) {
    const CProgressText t = WriteProgressText(row.code, 45);
    EXPECT_TRUE(t.handled) << row.code;
    EXPECT_EQ(t.text.str(), row.text) << row.code;
    EXPECT_EQ(t.position.has_value(), row.setsPosition) << row.code;
    if (row.setsPosition && row.code != 0) {
      EXPECT_EQ(*t.position, 45) << row.code;
    }
  }
}

TEST(WriteProgressText, StartClearsTheTextAndPutsTheBarAtZeroWhateverTheValue) {
  const CProgressText t = WriteProgressText(kProgressStart, 77);
  EXPECT_EQ(t.text.str(), "");
  EXPECT_EQ(t.position, std::optional<int>(0));
}

TEST(WriteProgressText, TheValueIsASignedPercent) {
  EXPECT_EQ(WriteProgressText(kProgressUpdating, 100).text.str(), "Updating...100%");
  EXPECT_EQ(WriteProgressText(kProgressUpdating, -1).text.str(), "Updating...-1%");
  EXPECT_EQ(WriteProgressText(kProgressUpdating, -1).position, std::optional<int>(-1));
}

TEST(WriteProgressText, CodesOutsideTheColumnChangeNothing) {
  for (WPARAM code : {9, 10, 20, 21, 22, 29, 33, 39, 46, 49, 52, 57, 100}) {
    const CProgressText t = WriteProgressText(code, 45);
    EXPECT_FALSE(t.handled) << code;
    EXPECT_FALSE(t.position.has_value()) << code;
  }
  // The read-data code is no text on any page.
  EXPECT_FALSE(WriteProgressText(kProgressReadData | 0x40, 0).handled);
}

TEST(ReadProgressText, OnlyTheReadCodes) {
  const CProgressText error = ReadProgressText(kProgressReadError, 30);
  EXPECT_TRUE(error.handled);
  EXPECT_EQ(error.text.str(), "Communication Error!");
  EXPECT_FALSE(error.position.has_value());
  const CProgressText reading = ReadProgressText(kProgressReading, 37);
  EXPECT_EQ(reading.text.str(), "Reading...37%");
  EXPECT_EQ(reading.position, std::optional<int>(37));
  for (WPARAM code : {kProgressStart, kProgressCommError, kProgressUpdating, kProgressUpdateFinished,
                      kProgressEraseBegin, kProgressReadData | 0x20}) {
    EXPECT_FALSE(ReadProgressText(code, 5).handled) << code;
  }
}

}  // namespace
