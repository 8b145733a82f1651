// The resource library reaches the program whole: its data registers itself.

#include <gtest/gtest.h>

#include "platform/core/cstring.h"

TEST(Resources, TheStringTableIsRegisteredWithoutAnyCall) {
  const struct {
    UINT id;
    const char* text;
  } cases[] = {{102, "Communication Error!"}, {103, "ID Error!"}, {104, "Verify Error!"}};
  for (const auto& c : cases) {
    CString s;
    EXPECT_TRUE(s.LoadString(c.id)) << c.id;
    EXPECT_EQ(s, c.text);
  }
}
