#include "platform/regional_settings.h"

#include <windows.h>

#include <cstdlib>
#include <string>

namespace zered {
namespace {

std::string LocaleText(LCID locale, LCTYPE type) {
  char buffer[128];
  const int length = ::GetLocaleInfoA(locale, type, buffer, sizeof buffer);
  return length > 0 ? std::string(buffer, static_cast<size_t>(length - 1)) : std::string();
}

// The parts that come from the locale; the code pages are the caller's.
void ReadFormats(LCID locale, TFormatSettings& settings) {
  const std::string decimal = LocaleText(locale, LOCALE_SDECIMAL);
  if (!decimal.empty()) settings.decimal_separator = decimal.front();
  const std::string short_date = LocaleText(locale, LOCALE_SSHORTDATE);
  if (!short_date.empty()) settings.short_date_format = short_date;
  const std::string long_time = LocaleText(locale, LOCALE_STIMEFORMAT);
  if (!long_time.empty()) settings.long_time_format = long_time;
  // A 24-hour locale may have no designators at all; "tt" then writes nothing.
  settings.time_am_string = LocaleText(locale, LOCALE_S1159);
  settings.time_pm_string = LocaleText(locale, LOCALE_S2359);
}

// "cs_CZ.UTF-8@euro" -> L"cs-CZ"; 0 for the C locale and for names Windows does not know.
LCID LocaleOfName(std::string_view locale_name) {
  const std::string_view name = locale_name.substr(0, locale_name.find_first_of(".@"));
  if (name.size() < 2 || name == "C" || name == "POSIX") return 0;
  std::wstring windows_name;
  for (const char c : name) windows_name += c == '_' ? L'-' : static_cast<wchar_t>(c);
  LCID locale = ::LocaleNameToLCID(windows_name.c_str(), 0);
  if (locale == 0 && windows_name.find(L'-') != std::wstring::npos) {
    // A country Windows does not pair with the language: the language alone.
    locale = ::LocaleNameToLCID(windows_name.substr(0, windows_name.find(L'-')).c_str(), 0);
  }
  return locale;
}

int LocaleNumber(LCID locale, LCTYPE type, int fallback) {
  const int number = std::atoi(LocaleText(locale, type).c_str());
  return number > 0 ? number : fallback;
}

}  // namespace

TFormatSettings FormatSettingsForLocale(std::string_view locale_name) {
  TFormatSettings settings = TFormatSettings::UsEnglish();
  const LCID locale = LocaleOfName(locale_name);
  if (locale == 0) return settings;
  settings.ansi_code_page =
      LocaleNumber(locale, LOCALE_IDEFAULTANSICODEPAGE, settings.ansi_code_page);
  settings.oem_code_page = LocaleNumber(locale, LOCALE_IDEFAULTCODEPAGE, settings.oem_code_page);
  ReadFormats(locale, settings);
  return settings;
}

const TFormatSettings& SystemFormatSettings() {
  static const TFormatSettings settings = [] {
    TFormatSettings result;
    result.ansi_code_page = static_cast<int>(::GetACP());
    result.oem_code_page = static_cast<int>(::GetOEMCP());
    ReadFormats(LOCALE_USER_DEFAULT, result);
    return result;
  }();
  return settings;
}

}  // namespace zered
