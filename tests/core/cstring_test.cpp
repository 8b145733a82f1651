#include <gtest/gtest.h>

#include "platform/core/cstring.h"

namespace {

TEST(CStringText, FormatGrowsPastAnyFixedBuffer) {
  CString s;
  std::string big(5000, 'x');
  s.Format("%s-%d", big.c_str(), 7);
  EXPECT_EQ(s.GetLength(), 5002);
  EXPECT_EQ(s.Right(2), "-7");
}

TEST(CStringText, SlicesClampToTheText) {
  CString s("abcdef");
  EXPECT_EQ(s.Left(10), "abcdef");
  EXPECT_EQ(s.Mid(4), "ef");
  EXPECT_EQ(s.Mid(9), "");
  EXPECT_EQ(s.Mid(2, 100), "cdef");
  EXPECT_EQ(s.Right(-1), "");
  EXPECT_EQ(s.Find('z'), -1);
  EXPECT_EQ(s.ReverseFind('c'), 2);
}

TEST(CStringText, TrimAndCase) {
  CString s(" \tMiXed \r\n");
  s.Trim();
  EXPECT_EQ(s, "MiXed");
  s.MakeUpper();
  EXPECT_EQ(s, "MIXED");
  EXPECT_EQ(s.CompareNoCase("mixed"), 0);
}

TEST(CStringText, NullPointersAreEmptyText) {
  CString s(static_cast<const char*>(nullptr));
  EXPECT_TRUE(s.IsEmpty());
  s += static_cast<const char*>(nullptr);
  EXPECT_EQ(s, "");
}

}  // namespace
