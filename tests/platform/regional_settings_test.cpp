#include "platform/regional_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

namespace zered {
namespace {

TEST(RegionalSettingsTest, MapsLocaleNamesToWindowsDefaults) {
  struct Case {
    const char* locale;
    TFormatSettings settings;
  };
  const TFormatSettings us = TFormatSettings::UsEnglish();
  const Case cases[] = {
      {"cs_CZ.UTF-8", TFormatSettings::Czech()},
      {"cs_CZ", TFormatSettings::Czech()},
      {"cs", TFormatSettings::Czech()},
      {"sk_SK.ISO-8859-2", {1250, 852, ',', "d.M.yyyy", "H:mm:ss"}},
      {"pl_PL.UTF-8", {1250, 852, ',', "dd.MM.yyyy", "HH:mm:ss"}},
      {"hu_HU", {1250, 852, ',', "yyyy.MM.dd.", "H:mm:ss"}},
      {"de_DE.UTF-8@euro", {1252, 850, ',', "dd.MM.yyyy", "HH:mm:ss"}},
      {"de_LU.UTF-8", {1252, 850, ',', "dd.MM.yyyy", "HH:mm:ss"}},
      {"en_GB.UTF-8", {1252, 850, '.', "dd/MM/yyyy", "HH:mm:ss"}},
      {"fr_FR.UTF-8", {1252, 850, ',', "dd/MM/yyyy", "HH:mm:ss"}},
      {"ru_RU.UTF-8", {1251, 866, ',', "dd.MM.yyyy", "H:mm:ss"}},
      {"en_US.UTF-8", us},
      {"C", us},
      {"C.UTF-8", us},
      {"POSIX", us},
      {"", us},
      {"xx_YY", us},
  };
  for (const Case& c : cases) {
    const TFormatSettings s = FormatSettingsForLocale(c.locale);
    EXPECT_EQ(s.ansi_code_page, c.settings.ansi_code_page) << c.locale;
    EXPECT_EQ(s.oem_code_page, c.settings.oem_code_page) << c.locale;
    EXPECT_EQ(s.decimal_separator, c.settings.decimal_separator) << c.locale;
    EXPECT_EQ(s.short_date_format, c.settings.short_date_format) << c.locale;
    EXPECT_EQ(s.long_time_format, c.settings.long_time_format) << c.locale;
  }
}

// Each test runs in its own process, so the settings are first read here, after the
// environment below is in place.
TEST(SystemFormatSettingsTest, TakesEachPartFromItsCategory) {
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
}

}  // namespace
}  // namespace zered
