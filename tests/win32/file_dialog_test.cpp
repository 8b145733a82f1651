// The file dialog: the framework's filters in Qt's form, the default
// extension of a save, and what the dialog answers through the test hook.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/win32/common_dialog/file_dialog.h"

namespace {

TEST(QtFileFilter, TheToolsFilters) {
  struct Case {
    const char* mfc;
    const char* qt;
  };
  for (const Case& c : {
           Case{"Bin&&Hex (*.bin;*.hex)|*.bin;*.hex|BIN files (*.bin)|*.bin|Hex files (*.hex)|*.hex|",
                "Bin&&Hex (*.bin *.hex);;BIN files (*.bin);;Hex files (*.hex)"},
           Case{"BIN files (*.bin)|*.bin|", "BIN files (*.bin)"},
           Case{"BIN files (*.bin)|*.bin||", "BIN files (*.bin)"},
           Case{"Bin Files (*.bin;*.hex)|*.bin;*.hex|", "Bin Files (*.bin *.hex)"},
           // A name without its patterns in parentheses gets them.
           Case{"Images|*.png;*.bmp|", "Images (*.png *.bmp)"},
           Case{"", ""},
       }) {
    EXPECT_EQ(qv::QtFileFilter(c.mfc), c.qt) << c.mfc;
  }
  EXPECT_EQ(qv::QtFileFilter(nullptr), "");
}

TEST(WithDefaultExtension, OnlyANameWithoutExtensionGetsOne) {
  EXPECT_EQ(qv::WithDefaultExtension("/tmp/read", "bin"), "/tmp/read.bin");
  EXPECT_EQ(qv::WithDefaultExtension("/tmp/read.bin", "bin"), "/tmp/read.bin");
  EXPECT_EQ(qv::WithDefaultExtension("/tmp/read.txt", "bin"), "/tmp/read.txt");
  // A dot in a folder's name is not the file's extension.
  EXPECT_EQ(qv::WithDefaultExtension("/tmp/v1.2/read", "bin"), "/tmp/v1.2/read.bin");
  EXPECT_EQ(qv::WithDefaultExtension("/tmp/read", ""), "/tmp/read");
  EXPECT_EQ(qv::WithDefaultExtension("/tmp/read", "bin&&hex"), "/tmp/read");
}

TEST(CFileDialog, AnswersThroughTheHook) {
  qv::FileDialogCall seen;
  std::optional<std::string> answer = "/tmp/fw";
  qv::SetFileDialogHook([&](const qv::FileDialogCall& call) {
    seen = call;
    return answer;
  });
  CFileDialog save(FALSE, "bin", nullptr, OFN_OVERWRITEPROMPT, "BIN files (*.bin)|*.bin|");
  ASSERT_EQ(save.DoModal(), IDOK);
  EXPECT_EQ(save.GetPathName().str(), "/tmp/fw.bin");
  EXPECT_FALSE(seen.open);
  EXPECT_TRUE(seen.overwritePrompt);
  EXPECT_EQ(seen.filter, "BIN files (*.bin)");

  // An open dialog takes the name as chosen.
  CFileDialog open(TRUE, "bin&&hex", nullptr, OFN_OVERWRITEPROMPT,
                   "Bin&&Hex (*.bin;*.hex)|*.bin;*.hex|BIN files (*.bin)|*.bin|Hex files (*.hex)|*.hex|");
  ASSERT_EQ(open.DoModal(), IDOK);
  EXPECT_EQ(open.GetPathName().str(), "/tmp/fw");
  EXPECT_TRUE(seen.open);
  EXPECT_FALSE(seen.overwritePrompt);

  answer = std::nullopt;
  CFileDialog cancelled(TRUE, nullptr, nullptr, 0, nullptr);
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_EQ(cancelled.GetPathName().str(), "");
  qv::SetFileDialogHook(nullptr);
}

}  // namespace
