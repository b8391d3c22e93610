#include "base/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>

namespace zered {
namespace {

struct GeneralCase {
  double value;
  const char* text;
};

TEST(FormatGeneralTest, RoundsTo15DigitsAndChoosesNotation) {
  const GeneralCase cases[] = {
      {0.0, "0"},
      {-0.0, "0"},
      {12100.5, "12100.5"},
      {-1250.5, "-1250.5"},
      {5e-5, "5E-5"},
      {-5e-5, "-5E-5"},
      {0.0001, "0.0001"},
      {0.00012345, "0.00012345"},
      {9.99999999999999999e-5, "0.0001"},  // rounds up into fixed notation
      {1.5e-10, "1.5E-10"},
      {2.5e15, "2.5E15"},
      {999999999999999.0, "999999999999999"},
      {1e15, "1E15"},
      {9999999999999999.0, "1E16"},
      {1234567890123456.0, "1.23456789012346E15"},
      {-1.23456789012346e20, "-1.23456789012346E20"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3.0, "0.333333333333333"},
      {2.0 / 3.0, "0.666666666666667"},
      {100.0, "100"},
      {123456789012345.6, "123456789012346"},
      {0.5, "0.5"},
      {1e100, "1E100"},
      {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
      {std::numeric_limits<double>::max(), "1.79769313486232E308"},
  };
  for (const GeneralCase& c : cases) {
    EXPECT_EQ(FormatGeneral(c.value, '.'), c.text) << c.value;
  }
}

// Across the whole range, the text reads back as the value rounded to 15 significant digits,
// and the notation follows the rounded magnitude.
TEST(FormatGeneralTest, ReadsBackAsTheValueRoundedTo15Digits) {
  std::mt19937_64 random(20261210);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-30, 30);
  for (int i = 0; i < 20000; ++i) {
    double value = mantissa(random) * std::pow(10.0, exponent(random));
    if (i % 2 == 1) value = -value;
    if (i % 3 == 0) value = std::round(value * 100) / 100;  // amounts with cents
    const std::string text = FormatGeneral(value, '.');
    char rounded_text[32];
    std::snprintf(rounded_text, sizeof rounded_text, "%.15g", value);
    const double rounded = std::strtod(rounded_text, nullptr);
    ASSERT_EQ(std::strtod(text.c_str(), nullptr), rounded) << text << " for " << rounded_text;
    const bool scientific =
        rounded != 0 && (std::fabs(rounded) < 1e-4 || std::fabs(rounded) >= 1e15);
    ASSERT_EQ(text.find('E') != std::string::npos, scientific) << text;
    ASSERT_EQ(text.find("0E"), std::string::npos) << text;
    if (!scientific && text.find('.') != std::string::npos) {
      ASSERT_NE(text.back(), '0') << text;
    }
  }
}

// Amounts with up to four decimals take an integer shortcut; it must give exactly the decimal
// they were read from, which is what rounding to 15 significant digits gives.
TEST(FormatGeneralTest, AmountsWithFewDecimalsAreWrittenAsTheirDecimal) {
  std::mt19937_64 random(20171211);
  for (int i = 0; i < 200000; ++i) {
    const int decimals = static_cast<int>(random() % 5);
    const int digits = 1 + static_cast<int>(random() % 15);
    uint64_t n = random() % 1000000000000000ULL;
    for (int d = digits; d < 15; ++d) n /= 10;
    if (n == 0) continue;
    std::string expected = std::to_string(n);
    if (decimals > 0) {
      if (expected.size() <= static_cast<size_t>(decimals)) {
        expected.insert(0, static_cast<size_t>(decimals) + 1 - expected.size(), '0');
      }
      expected.insert(expected.size() - static_cast<size_t>(decimals), ",");
      while (expected.back() == '0') expected.pop_back();
      if (expected.back() == ',') expected.pop_back();
    }
    const double value = static_cast<double>(n) / std::pow(10.0, decimals);
    if (value < 1e-4) continue;  // scientific notation
    const bool negative = random() % 2 == 0;
    ASSERT_EQ(FormatGeneral(negative ? -value : value, ','), (negative ? "-" : "") + expected)
        << n << " / 10^" << decimals;
  }
}

TEST(FormatGeneralTest, UsesTheGivenSeparatorAndNoThousandsSeparator) {
  EXPECT_EQ(FormatGeneral(-1250.5, ','), "-1250,5");
  EXPECT_EQ(FormatGeneral(1234567.25, ','), "1234567,25");
  EXPECT_EQ(FormatGeneral(2.5e15, ','), "2,5E15");
  EXPECT_EQ(FormatGeneral(0.0001, ','), "0,0001");
}

TEST(FormatGeneralTest, NonFiniteValuesHaveAText) {
  EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::infinity(), '.'), "INF");
  EXPECT_EQ(FormatGeneral(-std::numeric_limits<double>::infinity(), '.'), "-INF");
  EXPECT_EQ(FormatGeneral(std::nan(""), '.'), "NAN");
}

TEST(AppendGeneralTest, AppendsAfterExistingTextWithoutReallocating) {
  std::string out;
  out.reserve(64);
  out = "x|";
  const char* data = out.data();
  AppendGeneral(out, -1.23456789012346e-20, '.');
  EXPECT_EQ(out, "x|-1.23456789012346E-20");
  EXPECT_EQ(out.data(), data);
}

TEST(FormatCurrencyTest, DropsTrailingZerosOfFourDecimals) {
  const std::pair<int64_t, const char*> cases[] = {
      {0, "0"},
      {-15000, "-1,5"},
      {12345678, "1234,5678"},
      {10000, "1"},
      {1, "0,0001"},
      {-1, "-0,0001"},
      {std::numeric_limits<int64_t>::min(), "-922337203685477,5808"},
  };
  for (const auto& [amount, text] : cases) EXPECT_EQ(FormatCurrency(amount, ','), text) << amount;
}

}  // namespace
}  // namespace zered
