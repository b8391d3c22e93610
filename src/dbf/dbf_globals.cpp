#include "dbf/dbf_globals.h"

#include <algorithm>

#include "platform/code_page_conversion.h"
#include "platform/regional_settings.h"

namespace zered {

TDbfGlobals::TDbfGlobals(const TFormatSettings& settings, std::vector<int> installed)
    : settings_(settings),
      default_open_code_page_(settings.ansi_code_page),
      code_pages_(std::move(installed)) {
  std::sort(code_pages_.begin(), code_pages_.end());
}

TDbfGlobals& TDbfGlobals::Instance() {
  static TDbfGlobals instance(SystemFormatSettings(), EnumSystemCodePages());
  return instance;
}

bool TDbfGlobals::CodePageInstalled(int code_page) const {
  return std::binary_search(code_pages_.begin(), code_pages_.end(), code_page);
}

}  // namespace zered
