#include "qt/display_text.h"

#include <gtest/gtest.h>

namespace zered {
namespace {

TEST(DisplayTextTest, Utf8KeptOtherBytesReadInTheAnsiCodePage) {
  EXPECT_EQ(DisplayText("Cannot open file \"/data/účty\""),
            QString::fromUtf8("Cannot open file \"/data/účty\""));
  // Not UTF-8: decoded as some 8-bit text of the same length, never dropped.
  QString decoded = DisplayText("SQL Error: \xE8\xED\x73lo");
  EXPECT_TRUE(decoded.startsWith("SQL Error: "));
  EXPECT_EQ(decoded.size(), 16);
  EXPECT_TRUE(decoded.endsWith("slo"));
}

}  // namespace
}  // namespace zered
