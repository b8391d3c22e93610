#include "platform/regional_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cctype>

#include "base/date_format.h"

namespace zered {
namespace {

// The date as the format writes it, without blanks and leading zeros: Windows versions, Wine
// and the POSIX table differ there ("d. M. yyyy", "dd.MM.yyyy" and "d.M.yyyy" for Czech) but
// agree on the order and the separators.
std::string DateDigits(const TFormatSettings& settings, TDateTime value) {
  const std::string text = FormatDateTimePattern(settings.short_date_format, value);
  std::string digits;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool leading_zero = text[i] == '0' && (i == 0 || !std::isdigit(text[i - 1] & 0xFF)) &&
                              i + 1 < text.size() && std::isdigit(text[i + 1] & 0xFF);
    if (text[i] != ' ' && !leading_zero) digits += text[i];
  }
  return digits;
}

TEST(RegionalSettingsTest, LocaleNamesGiveTheirCountrysSettings) {
  struct Case {
    const char* locale;
    int ansi_code_page;
    int oem_code_page;
    char decimal_separator;
    const char* date;  // 3 May 2017, without blanks and leading zeros
    const char* time;  // 20:05:09
  };
  const Case cases[] = {
      {"cs_CZ.UTF-8", 1250, 852, ',', "3.5.2017", "20:05:09"},
      {"cs_CZ", 1250, 852, ',', "3.5.2017", "20:05:09"},
      {"cs", 1250, 852, ',', "3.5.2017", "20:05:09"},
      {"sk_SK.ISO-8859-2", 1250, 852, ',', "3.5.2017", "20:05:09"},
      {"pl_PL.UTF-8", 1250, 852, ',', "3.5.2017", "20:05:09"},
      {"hu_HU", 1250, 852, ',', "2017.5.3.", "20:05:09"},
      {"de_DE.UTF-8@euro", 1252, 850, ',', "3.5.2017", "20:05:09"},
      {"de_LU.UTF-8", 1252, 850, ',', "3.5.2017", "20:05:09"},
      {"en_GB.UTF-8", 1252, 850, '.', "3/5/2017", "20:05:09"},
      {"fr_FR.UTF-8", 1252, 850, ',', "3/5/2017", "20:05:09"},
      {"ru_RU.UTF-8", 1251, 866, ',', "3.5.2017", "20:05:09"},
      {"en_US.UTF-8", 1252, 437, '.', "5/3/2017", "8:05:09 PM"},
      {"C", 1252, 437, '.', "5/3/2017", "8:05:09 PM"},
      {"C.UTF-8", 1252, 437, '.', "5/3/2017", "8:05:09 PM"},
      {"POSIX", 1252, 437, '.', "5/3/2017", "8:05:09 PM"},
      {"", 1252, 437, '.', "5/3/2017", "8:05:09 PM"},
      {"xx_YY", 1252, 437, '.', "5/3/2017", "8:05:09 PM"},
  };
  TDateTime date = 0;
  TDateTime time = 0;
  ASSERT_TRUE(TryEncodeDate(2017, 5, 3, date));
  ASSERT_TRUE(TryEncodeTime(20, 5, 9, 0, time));
  for (const Case& c : cases) {
    const TFormatSettings s = FormatSettingsForLocale(c.locale);
    EXPECT_EQ(s.ansi_code_page, c.ansi_code_page) << c.locale;
    EXPECT_EQ(s.oem_code_page, c.oem_code_page) << c.locale;
    EXPECT_EQ(s.decimal_separator, c.decimal_separator) << c.locale;
    EXPECT_EQ(DateDigits(s, date), c.date) << c.locale << ": " << s.short_date_format;
    EXPECT_EQ(FormatDateTimePattern(s.long_time_format, CombineDateTime(date, time)), c.time)
        << c.locale << ": " << s.long_time_format;
  }
}

// Each test runs in its own process, so the settings are first read here, after the
// environment below is in place.
TEST(SystemFormatSettingsTest, TakesEachPartFromItsCategory) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows takes the user's regional settings, not the process's environment";
#else
  ::unsetenv("LC_ALL");
  ::unsetenv("LC_CTYPE");
  ::setenv("LC_NUMERIC", "de_DE.UTF-8", 1);
  ::setenv("LC_TIME", "en_GB.UTF-8", 1);
  ::setenv("LANG", "cs_CZ.UTF-8", 1);
  const TFormatSettings& s = SystemFormatSettings();
  EXPECT_EQ(s.decimal_separator, ',');
  EXPECT_EQ(s.short_date_format, "dd/MM/yyyy");
  EXPECT_EQ(s.long_time_format, "HH:mm:ss");
  EXPECT_EQ(s.ansi_code_page, 1250);
  EXPECT_EQ(s.oem_code_page, 852);
  // Read once: later changes do not count.
  ::setenv("LC_ALL", "C", 1);
  EXPECT_EQ(&SystemFormatSettings(), &s);
  EXPECT_EQ(SystemFormatSettings().ansi_code_page, 1250);
#endif
}

}  // namespace
}  // namespace zered
