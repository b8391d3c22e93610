#pragma once

#include <vector>

#include "base/format_settings.h"

namespace zered {

// Settings shared by every table of the process: the default open code page (the ANSI code
// page when the object is created) and the installed code pages.
class TDbfGlobals {
 public:
  // `settings` gives the ANSI and OEM code page; `installed` the installed code pages.
  TDbfGlobals(const TFormatSettings& settings, std::vector<int> installed);

  // The process-wide instance, created on first use from SystemFormatSettings() and
  // EnumSystemCodePages(), kept until the process ends. The table cursor calls it on
  // creation.
  static TDbfGlobals& Instance();

  int DefaultOpenCodePage() const { return default_open_code_page_; }
  int AnsiCodePage() const { return settings_.ansi_code_page; }
  int OemCodePage() const { return settings_.oem_code_page; }
  const TFormatSettings& Settings() const { return settings_; }
  const std::vector<int>& CodePages() const { return code_pages_; }
  bool CodePageInstalled(int code_page) const;

 private:
  TFormatSettings settings_;
  int default_open_code_page_;
  std::vector<int> code_pages_;
};

}  // namespace zered
