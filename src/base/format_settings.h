#pragma once

#include <string>

namespace zered {

// The regional settings that formatting and conversion depend on. Plain data: the platform
// layer reads the machine's values once; tests state theirs explicitly.
struct TFormatSettings {
  int ansi_code_page = 1252;
  int oem_code_page = 437;
  char decimal_separator = '.';
  std::string short_date_format = "M/d/yyyy";
  std::string long_time_format = "h:mm:ss AM/PM";
  // What a time pattern's "tt" writes for the morning and the afternoon ("t" their first
  // character).
  std::string time_am_string = "AM";
  std::string time_pm_string = "PM";

  static TFormatSettings Czech() { return {1250, 852, ',', "d.M.yyyy", "H:mm:ss"}; }
  static TFormatSettings UsEnglish() { return {}; }
};

}  // namespace zered
