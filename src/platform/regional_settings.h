#pragma once

#include <string_view>

#include "base/format_settings.h"

namespace zered {

// The machine's regional settings, read once from the process locale names through a table
// of the Windows defaults of common locales; anything unknown falls back to US English. Each
// part follows its category (LC_ALL, else LC_NUMERIC / LC_TIME / LC_CTYPE, else LANG): the
// decimal separator LC_NUMERIC, the date and time formats LC_TIME, the code pages LC_CTYPE.
const TFormatSettings& SystemFormatSettings();

// The Windows defaults of the locale named like "cs_CZ.UTF-8", "de_DE", "C"; a known
// language with an unknown country ("cs", "de_LU") takes the language's main country.
TFormatSettings FormatSettingsForLocale(std::string_view locale_name);

}  // namespace zered
