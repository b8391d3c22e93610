#include "base/text_lines.h"

#include <gtest/gtest.h>

namespace zered {
namespace {

TEST(SplitLinesTest, BreaksAtEveryLineEndKind) {
  using namespace std::string_literals;
  struct Case {
    std::string text;
    TextLines lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\nc", {"a", "b", "c"}},
      // LF CR is two breaks, CR CR LF is two breaks.
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"\n\n", {"", ""}},
      {"a\0b\r\n\0"s, {"a\0b"s, "\0"s}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitLines(c.text), c.lines) << testing::PrintToString(c.text);
  }
}

TEST(JoinLinesCrLfTest, EndsEveryLineIncludingTheLast) {
  EXPECT_EQ(JoinLinesCrLf({}), "");
  EXPECT_EQ(JoinLinesCrLf({""}), "\r\n");
  EXPECT_EQ(JoinLinesCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
  const TextLines lines = {"x", "", "y|z"};
  EXPECT_EQ(SplitLines(JoinLinesCrLf(lines)), lines);
}

}  // namespace
}  // namespace zered
