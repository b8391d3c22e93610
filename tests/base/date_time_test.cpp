#include "base/date_time.h"

#include <gtest/gtest.h>

namespace zered {
namespace {

struct DateCase {
  int year, month, day;
  double value;
};

TEST(DateTimeTest, EncodesAndDecodesDaysFromDayZero) {
  const DateCase cases[] = {
      {1899, 12, 30, 0},  {1899, 12, 29, -1},      {1900, 1, 1, 2},
      {1900, 3, 1, 61},   {2000, 2, 29, 36585},    {2017, 4, 11, 42836},
      {1, 1, 1, -693593}, {9999, 12, 31, 2958465}, {1600, 2, 29, -109512},
  };
  for (const DateCase& c : cases) {
    double value = -1e9;
    ASSERT_TRUE(TryEncodeDate(c.year, c.month, c.day, value)) << c.year << "-" << c.month;
    EXPECT_EQ(value, c.value) << c.year << "-" << c.month << "-" << c.day;
    const DateParts parts = DecodeDate(c.value);
    EXPECT_EQ(parts.year, c.year);
    EXPECT_EQ(parts.month, c.month);
    EXPECT_EQ(parts.day, c.day);
  }
}

TEST(DateTimeTest, RejectsInvalidDates) {
  const int invalid[][3] = {{2017, 2, 29}, {1900, 2, 29}, {2100, 2, 29}, {2017, 2, 31},
                            {2017, 4, 31}, {2017, 13, 1}, {2017, 0, 1},  {2017, 1, 0},
                            {0, 12, 31},   {10000, 1, 1}, {-1, 1, 1}};
  for (const auto& d : invalid) {
    double value = 7;
    EXPECT_FALSE(TryEncodeDate(d[0], d[1], d[2], value)) << d[0] << "-" << d[1] << "-" << d[2];
    EXPECT_EQ(value, 7);
  }
  EXPECT_TRUE(IsValidDate(2016, 2, 29));
  EXPECT_TRUE(IsValidDate(2000, 2, 29));
}

TEST(DateTimeTest, TimeFractionIsSubtractedBeforeDayZero) {
  double six = 0;
  ASSERT_TRUE(TryEncodeTime(6, 0, 0, 0, six));
  EXPECT_EQ(six, 0.25);
  EXPECT_EQ(CombineDateTime(-1, six), -1.25);
  EXPECT_EQ(CombineDateTime(2, six), 2.25);

  const DateParts date = DecodeDate(-1.25);
  const TimeParts time = DecodeTime(-1.25);
  EXPECT_EQ(date.year * 10000 + date.month * 100 + date.day, 18991229);
  EXPECT_EQ(time.hour, 6);
  EXPECT_EQ(time.minute, 0);
  // Within day 0 on either side of it, -0.25 is also 30 December 06:00.
  EXPECT_EQ(DecodeDate(-0.25).day, 30);
  EXPECT_EQ(DecodeTime(-0.25).hour, 6);
}

TEST(DateTimeTest, TimeRoundsToTheMillisecondAcrossMidnight) {
  double value = 0;
  ASSERT_TRUE(TryEncodeTime(12, 34, 56, 789, value));
  const TimeParts parts = DecodeTime(42836 + value);
  EXPECT_EQ(parts.hour, 12);
  EXPECT_EQ(parts.minute, 34);
  EXPECT_EQ(parts.second, 56);
  EXPECT_EQ(parts.millisecond, 789);
  // A hair before midnight rounds into the next day, consistently for date and time.
  const double almost = 42836 + 0.9999999999;
  EXPECT_EQ(DecodeDate(almost).day, 12);
  EXPECT_EQ(DecodeTime(almost).hour, 0);

  const int invalid[][4] = {
      {24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
  for (const auto& t : invalid) EXPECT_FALSE(TryEncodeTime(t[0], t[1], t[2], t[3], value));
}

TEST(DateTimeTest, ValuesOutsideTheCalendarDecodeToNoDate) {
  for (double value : {-693594.0, 2958466.0, 1e300, -1e300}) {
    const DateParts parts = DecodeDate(value);
    EXPECT_EQ(parts.year, 0) << value;
  }
}

}  // namespace
}  // namespace zered
