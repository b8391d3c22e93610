#include "base/conversions.h"

#include <gtest/gtest.h>

#include <optional>

namespace zered {
namespace {

std::optional<int64_t> Int32(std::string_view text) {
  int32_t value = 7;
  if (!TryStrToInt(text, value)) {
    EXPECT_EQ(value, 7) << "failure changed the value for " << text;
    return std::nullopt;
  }
  return value;
}

std::optional<int64_t> Int64(std::string_view text) {
  int64_t value = 7;
  if (!TryStrToInt64(text, value)) return std::nullopt;
  return value;
}

TEST(TryStrToIntTest, AcceptsTheSystemsIntegerForms) {
  const std::pair<const char*, std::optional<int64_t>> cases[] = {
      {"42", 42},
      {"  -42", -42},
      {"+7", 7},
      {"007", 7},
      {"$1F", 31},
      {"x1f", 31},
      {"-0X10", -16},
      {"0x", std::nullopt},
      {"$", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"-", std::nullopt},
      {"+-1", std::nullopt},
      {"42 ", std::nullopt},
      {"4 2", std::nullopt},
      {"12A", std::nullopt},
      {"1.0", std::nullopt},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483648LL},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"$7FFFFFFF", 2147483647},
      {"$80000000", std::nullopt},
      {"99999999999999999999", std::nullopt},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Int32(text), expected) << text;
}

TEST(TryStrToInt64Test, CoversTheFullRange) {
  EXPECT_EQ(Int64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(Int64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(Int64("9223372036854775808"), std::nullopt);
  EXPECT_EQ(Int64("-$8000000000000000"), INT64_MIN);
  EXPECT_EQ(Int64("  -42"), -42);
}

TEST(TryStrToFloatTest, AcceptsOnlyTheGivenSeparator) {
  struct Case {
    const char* text;
    char separator;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"1234.50", '.', 1234.5},
      {"     1234.50", '.', 1234.5},
      {"1234.50  ", '.', 1234.5},
      {"1,5", ',', 1.5},
      {"1,5", '.', std::nullopt},
      {"1.5", ',', std::nullopt},
      {"-2.5E3", '.', -2500},
      {"+2.5e-3", '.', 0.0025},
      {".5", '.', 0.5},
      {"5.", '.', 5},
      {".", '.', std::nullopt},
      {"", '.', std::nullopt},
      {"1E", '.', std::nullopt},
      {"E5", '.', std::nullopt},
      {"12A", '.', std::nullopt},
      {"1 000", '.', std::nullopt},
      {"1,000.5", '.', std::nullopt},
      {"0x10", '.', std::nullopt},
      {"inf", '.', std::nullopt},
      {"nan", '.', std::nullopt},
      {"1E400", '.', std::nullopt},
      {"-1E400", '.', std::nullopt},
      {"1E-400", '.', 0},
      {"  0000000000000000000000000000000000000000000000000000000000000000012.5  ", '.', 12.5},
  };
  for (const Case& c : cases) {
    double value = 7;
    const bool ok = TryStrToFloat(c.text, c.separator, value);
    EXPECT_EQ(ok ? std::optional<double>(value) : std::nullopt, c.value)
        << c.text << " with " << c.separator;
  }
}

TEST(IsTrueTextTest, KnowsTheTruthWords) {
  for (const char* text : {"Y", "yes", "t", "True", "1", "-1", "$10", " 5"}) {
    EXPECT_TRUE(IsTrueText(text)) << text;
  }
  for (const char* text : {"", "N", "no", "false", "0", "00", "YES ", "on", "ja", "1.0"}) {
    EXPECT_FALSE(IsTrueText(text)) << text;
  }
}

}  // namespace
}  // namespace zered
