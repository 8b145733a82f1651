#include <gtest/gtest.h>

#include <cstring>

#include "platform/core/bounded_text.h"

namespace {

TEST(BoundedText, CutsToTheBufferAndTerminates) {
  struct Case {
    const char* text;
    std::size_t size;
    std::size_t copied;
    const char* got;  // nullptr: the buffer is left alone
  } cases[] = {
      {"Verify Fail!", 5, 4, "Veri"}, {"abc", 64, 3, "abc"}, {"abc", 4, 3, "abc"},
      {"abc", 3, 2, "ab"},           {"abc", 1, 0, ""},     {"", 8, 0, ""},
      {"abc", 0, 0, nullptr},
  };
  for (const Case& c : cases) {
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(qv::CopyBoundedText(c.text, buffer, c.size), c.copied) << c.text << " in " << c.size;
    if (!c.got) {
      EXPECT_EQ(buffer[0], '#');
      continue;
    }
    EXPECT_STREQ(buffer, c.got) << c.text << " in " << c.size;
    if (c.size > c.copied + 1) {
      EXPECT_EQ(buffer[c.copied + 1], '#') << "nothing written past the terminator";
    }
  }
  EXPECT_EQ(qv::CopyBoundedText("abc", nullptr, 8), 0u);
}

}  // namespace
