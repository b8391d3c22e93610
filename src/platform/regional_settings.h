#pragma once

#include <string_view>

#include "base/format_settings.h"

namespace zered {

// The machine's regional settings, read once from the process locale names (LC_ALL,
// LC_NUMERIC/LC_TIME/LC_CTYPE, LANG) through a table of the Windows defaults of common
// locales; anything unknown falls back to US English.
const TFormatSettings& SystemFormatSettings();

// The Windows defaults of the locale named like "cs_CZ.UTF-8", "de_DE", "C".
TFormatSettings FormatSettingsForLocale(std::string_view locale_name);

}  // namespace zered
