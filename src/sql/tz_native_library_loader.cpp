#include "sql/tz_native_library_loader.h"

#include "base/exceptions.h"
#include "base/format.h"

namespace zered {

TZNativeLibraryLoader::TZNativeLibraryLoader(std::vector<std::string> locations)
    : locations_(std::move(locations)) {}

TZNativeLibraryLoader::~TZNativeLibraryLoader() = default;

void TZNativeLibraryLoader::LoadNativeLibrary() {
  if (loaded_) return;
  std::string tried;
  for (const std::string& location : locations_) {
    if (library_.Load(location)) {
      loaded_ = true;
      LoadApi();
      return;
    }
    if (!tried.empty()) tried += ", ";
    tried += location;
  }
  throw Exception(Format("None of the dynamic libraries can be found: %s", tried.c_str()));
}

void TZNativeLibraryLoader::FreeNativeLibrary() {
  library_.Unload();
  loaded_ = false;
}

void* TZNativeLibraryLoader::GetAddress(const char* name) const {
  return loaded_ ? library_.Symbol(name) : nullptr;
}

}  // namespace zered
