#include "platform/regional_settings.h"

#include <cstdlib>
#include <string>

namespace zered {
namespace {

struct LocaleDefaults {
  const char* name;  // "ll_CC"
  int ansi_code_page;
  int oem_code_page;
  char decimal_separator;
  const char* short_date_format;
  const char* long_time_format;
};

// The Windows defaults of common locales. A language alone ("cs") takes its first row.
constexpr LocaleDefaults kLocales[] = {
    {"cs_CZ", 1250, 852, ',', "d.M.yyyy", "H:mm:ss"},
    {"sk_SK", 1250, 852, ',', "d.M.yyyy", "H:mm:ss"},
    {"pl_PL", 1250, 852, ',', "dd.MM.yyyy", "HH:mm:ss"},
    {"hu_HU", 1250, 852, ',', "yyyy.MM.dd.", "H:mm:ss"},
    {"sl_SI", 1250, 852, ',', "d.M.yyyy", "H:mm:ss"},
    {"hr_HR", 1250, 852, ',', "d.M.yyyy.", "H:mm:ss"},
    {"ro_RO", 1250, 852, ',', "dd.MM.yyyy", "HH:mm:ss"},
    {"de_DE", 1252, 850, ',', "dd.MM.yyyy", "HH:mm:ss"},
    {"de_AT", 1252, 850, ',', "dd.MM.yyyy", "HH:mm:ss"},
    {"de_CH", 1252, 850, '.', "dd.MM.yyyy", "HH:mm:ss"},
    {"en_US", 1252, 437, '.', "M/d/yyyy", "h:mm:ss AM/PM"},
    {"en_GB", 1252, 850, '.', "dd/MM/yyyy", "HH:mm:ss"},
    {"en_IE", 1252, 850, '.', "dd/MM/yyyy", "HH:mm:ss"},
    {"fr_FR", 1252, 850, ',', "dd/MM/yyyy", "HH:mm:ss"},
    {"it_IT", 1252, 850, ',', "dd/MM/yyyy", "HH:mm:ss"},
    {"es_ES", 1252, 850, ',', "dd/MM/yyyy", "H:mm:ss"},
    {"pt_PT", 1252, 850, ',', "dd/MM/yyyy", "HH:mm:ss"},
    {"pt_BR", 1252, 850, ',', "dd/MM/yyyy", "HH:mm:ss"},
    {"nl_NL", 1252, 850, ',', "d-M-yyyy", "H:mm:ss"},
    {"da_DK", 1252, 850, ',', "dd-MM-yyyy", "HH:mm:ss"},
    {"sv_SE", 1252, 850, ',', "yyyy-MM-dd", "HH:mm:ss"},
    {"fi_FI", 1252, 850, ',', "d.M.yyyy", "H:mm:ss"},
    {"nb_NO", 1252, 850, ',', "dd.MM.yyyy", "HH:mm:ss"},
    {"ru_RU", 1251, 866, ',', "dd.MM.yyyy", "H:mm:ss"},
    {"uk_UA", 1251, 866, ',', "dd.MM.yyyy", "H:mm:ss"},
    {"bg_BG", 1251, 866, ',', "d.M.yyyy", "H:mm:ss"},
    {"el_GR", 1253, 737, ',', "d/M/yyyy", "h:mm:ss tt"},
    {"tr_TR", 1254, 857, ',', "dd.MM.yyyy", "HH:mm:ss"},
    {"ja_JP", 932, 932, '.', "yyyy/MM/dd", "H:mm:ss"},
};

TFormatSettings ToSettings(const LocaleDefaults& row) {
  return {row.ansi_code_page, row.oem_code_page, row.decimal_separator, row.short_date_format,
          row.long_time_format};
}

// The locale name that governs `category`, POSIX order: LC_ALL, the category, LANG.
std::string LocaleNameFor(const char* category) {
  for (const char* variable : {"LC_ALL", category, "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

}  // namespace

TFormatSettings FormatSettingsForLocale(std::string_view locale_name) {
  // "cs_CZ.UTF-8@euro" -> "cs_CZ"
  const size_t cut = locale_name.find_first_of(".@");
  const std::string_view name = locale_name.substr(0, cut);
  for (const LocaleDefaults& row : kLocales) {
    if (name == row.name) return ToSettings(row);
  }
  const std::string_view language = name.substr(0, name.find('_'));
  if (language.size() >= 2) {
    for (const LocaleDefaults& row : kLocales) {
      const std::string_view row_name(row.name);
      if (row_name.substr(0, row_name.find('_')) == language) return ToSettings(row);
    }
  }
  return TFormatSettings::UsEnglish();
}

const TFormatSettings& SystemFormatSettings() {
  static const TFormatSettings settings = [] {
    const TFormatSettings numeric = FormatSettingsForLocale(LocaleNameFor("LC_NUMERIC"));
    const TFormatSettings time = FormatSettingsForLocale(LocaleNameFor("LC_TIME"));
    TFormatSettings result = FormatSettingsForLocale(LocaleNameFor("LC_CTYPE"));
    result.decimal_separator = numeric.decimal_separator;
    result.short_date_format = time.short_date_format;
    result.long_time_format = time.long_time_format;
    return result;
  }();
  return settings;
}

}  // namespace zered
