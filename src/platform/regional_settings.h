#pragma once

#include <string_view>

#include "base/format_settings.h"

namespace zered {

// The machine's regional settings, read once. On Windows the code pages are the system's
// (GetACP, GetOEMCP), and the decimal separator, the short date and long time formats and the
// morning and afternoon designators the user's (GetLocaleInfoA), as the system reports them.
// Elsewhere they come from the process locale names through a table of the Windows defaults of
// common locales, anything unknown falling back to US English; each part follows its category
// (LC_ALL, else LC_NUMERIC / LC_TIME / LC_CTYPE, else LANG): the decimal separator LC_NUMERIC,
// the date and time formats LC_TIME, the code pages LC_CTYPE.
const TFormatSettings& SystemFormatSettings();

// The settings of the locale named like "cs_CZ.UTF-8", "de_DE", "C"; an unknown name gives US
// English. On Windows the system's data for that locale (with its default ANSI and OEM code
// pages), a country Windows does not pair with the language taking the language alone;
// elsewhere the table above, where a known language with an unknown country ("cs", "de_LU")
// takes the language's main country.
TFormatSettings FormatSettingsForLocale(std::string_view locale_name);

}  // namespace zered
