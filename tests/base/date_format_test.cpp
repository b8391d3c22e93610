#include "base/date_format.h"

#include <gtest/gtest.h>

#include <optional>

namespace zered {
namespace {

TDateTime Moment(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  TDateTime date = 0;
  TDateTime time = 0;
  EXPECT_TRUE(TryEncodeDate(year, month, day, date));
  EXPECT_TRUE(TryEncodeTime(hour, minute, second, 0, time));
  return CombineDateTime(date, time);
}

TEST(FormatDateTimePatternTest, LaysOutEveryPart) {
  const TDateTime morning = Moment(2017, 5, 3, 8, 5, 9);
  const TDateTime evening = Moment(2017, 11, 23, 20, 45, 30);
  const TDateTime midnight = Moment(2017, 11, 23);
  const TDateTime noon = Moment(2017, 11, 23, 12);
  struct Case {
    const char* pattern;
    TDateTime value;
    const char* text;
  };
  const Case cases[] = {
      {"d.M.yyyy", morning, "3.5.2017"},
      {"dd.MM.yy", morning, "03.05.17"},
      {"M/d/yyyy", evening, "11/23/2017"},
      {"H:mm:ss", morning, "8:05:09"},
      {"HH:m:s", morning, "08:5:9"},
      {"h:mm:ss AM/PM", evening, "8:45:30 PM"},
      {"h:mm:ss AM/PM", midnight, "12:00:00 AM"},
      {"h:mm am/pm", noon, "12:00 pm"},
      {"hh:mm tt", morning, "08:05 AM"},
      {"h t", evening, "8 P"},
      {"H:mm", evening, "20:45"},
      {"h:mm", evening, "20:45"},
      {"yyyy'-d-'MM", morning, "2017-d-05"},
      {"\"at\" H", morning, "at 8"},
      {"yyyy.MM.dd.", morning, "2017.05.03."},
      {"'unclosed", morning, "unclosed"},
      {"ddd d MMM", morning, "Wed 3 May"},
      {"d.M.yyyy", 0, "30.12.1899"},
      {"d.M.yyyy H:mm", -1.25, "29.12.1899 6:00"},
      {"yyyy-MM-dd", Moment(1, 1, 1), "0001-01-01"},
      // As Windows reports them.
      {"d. M. yyyy", morning, "3. 5. 2017"},
      {"yyyy. MM. dd.", morning, "2017. 05. 03."},
      {"h:mm:ss tt", evening, "8:45:30 PM"},
      {"tt h:mm", morning, "AM 8:05"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatDateTimePattern(c.pattern, c.value), c.text) << c.pattern;
  EXPECT_EQ(FormatDateTimePattern("h:mm tt|t", evening, "dop.", "odp."), "8:45 odp.|o");
  EXPECT_EQ(FormatDateTimePattern("h:mm tt|t", morning, "", ""), "8:05 |");
}

TEST(FormatTimestampTest, LeavesOutTheTimeAtMidnight) {
  const TFormatSettings czech = TFormatSettings::Czech();
  EXPECT_EQ(FormatTimestamp(Moment(2017, 5, 3, 8, 5, 9), czech), "3.5.2017 8:05:09");
  EXPECT_EQ(FormatTimestamp(Moment(2017, 5, 3), czech), "3.5.2017");
  EXPECT_EQ(FormatTimestamp(Moment(2017, 5, 3) + 0.4 / 86400, czech), "3.5.2017");
  EXPECT_EQ(FormatTimestamp(Moment(2017, 5, 3, 0, 0, 1), czech), "3.5.2017 0:00:01");
  EXPECT_EQ(FormatTimestamp(Moment(2017, 5, 3, 13, 0, 0), TFormatSettings::UsEnglish()),
            "5/3/2017 1:00:00 PM");
  // The formats Windows reports for Czech and US English, with the designators it reports.
  TFormatSettings windows_czech = czech;
  windows_czech.short_date_format = "d. M. yyyy";
  EXPECT_EQ(FormatTimestamp(Moment(2017, 5, 3, 8, 5, 9), windows_czech), "3. 5. 2017 8:05:09");
  TFormatSettings windows_us = TFormatSettings::UsEnglish();
  windows_us.long_time_format = "h:mm:ss tt";
  windows_us.time_pm_string = "p.m.";
  EXPECT_EQ(FormatTimestamp(Moment(2017, 5, 3, 13, 0, 0), windows_us), "5/3/2017 1:00:00 p.m.");
}

TEST(AppendIsoDateTest, PadsEveryPartAndDropsTheTime) {
  std::string out = "|";
  AppendIsoDate(out, Moment(2017, 4, 11, 23, 59, 59));
  AppendIsoDate(out, 0);
  AppendIsoDate(out, Moment(33, 2, 3));
  EXPECT_EQ(out, "|2017-04-111899-12-300033-02-03");
}

TEST(TryParseDateTimeTest, FollowsTheShortDateOrder) {
  const TFormatSettings czech = TFormatSettings::Czech();
  const TFormatSettings us = TFormatSettings::UsEnglish();
  TFormatSettings iso = us;
  iso.short_date_format = "yyyy-MM-dd";
  TFormatSettings windows_czech = czech;
  windows_czech.short_date_format = "d. M. yyyy";
  TFormatSettings designators = us;
  designators.time_am_string = "dop.";
  designators.time_pm_string = "odp.";
  struct Case {
    const char* text;
    const TFormatSettings* settings;
    std::optional<TDateTime> value;
  };
  const Case cases[] = {
      {"11.4.2017", &czech, Moment(2017, 4, 11)},
      {" 11. 4. 2017 ", &czech, Moment(2017, 4, 11)},
      {"11.04.2017 12:34:56", &czech, Moment(2017, 4, 11, 12, 34, 56)},
      {"11.4.2017 8:05", &czech, Moment(2017, 4, 11, 8, 5)},
      {"4/11/2017 1:05:00 PM", &us, Moment(2017, 4, 11, 13, 5)},
      {"4/11/2017 12:00 am", &us, Moment(2017, 4, 11)},
      {"2017-04-11", &iso, Moment(2017, 4, 11)},
      {"11. 4. 2017 8:05:09", &windows_czech, Moment(2017, 4, 11, 8, 5, 9)},
      {"11.4.2017", &windows_czech, Moment(2017, 4, 11)},
      {"4/11/2017 1:05 odp.", &designators, Moment(2017, 4, 11, 13, 5)},
      {"4/11/2017 1:05 PM", &designators, Moment(2017, 4, 11, 13, 5)},
      {"4/11/2017 1:05 p.m.", &designators, std::nullopt},
      {"1.1.17", &czech, Moment(2017, 1, 1)},
      {"1.1.99", &czech, Moment(1999, 1, 1)},
      {"29.12.1899 6:00", &czech, -1.25},
      {"12:30", &czech, 0.5 + 30.0 / 1440},
      {"6 PM", &us, 0.75},
      {"12", &czech, std::nullopt},
      {"4/11/2017", &czech, std::nullopt},
      {"11.4.2017", &us, std::nullopt},
      {"31.2.2017", &czech, std::nullopt},
      {"11.4", &czech, std::nullopt},
      {"11.4.2017 25:00", &czech, std::nullopt},
      {"11.4.2017 13:00 PM", &czech, std::nullopt},
      {"11.4.2017x", &czech, std::nullopt},
      {"1,5", &czech, std::nullopt},
      {"", &czech, std::nullopt},
      {"11.4.20170", &czech, std::nullopt},
  };
  for (const Case& c : cases) {
    TDateTime value = 7;
    const bool ok = TryParseDateTime(c.text, *c.settings, value);
    EXPECT_EQ(ok ? std::optional<TDateTime>(value) : std::nullopt, c.value) << c.text;
  }
}

}  // namespace
}  // namespace zered
