#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/files.h"

namespace zered::test {

namespace fs = std::filesystem;

std::string NativePath(std::string_view path) {
  std::string native(path);
  for (char& c : native) {
    if (c == '/') c = PathDelimiter();
  }
  return native;
}

TempFolder::TempFolder() {
  std::random_device random;
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    fs::path candidate = base / ("zered-" + std::to_string(random()));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      path_ = NativePath(candidate.string()) + PathDelimiter();
    }
  }
  if (path_.empty()) ADD_FAILURE() << "no temporary folder could be made in " << base;
}

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  std::error_code error;
  // A test may have taken the owner's rights away.
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
  fs::remove_all(path_, error);
}

std::string TempFolder::File(std::string_view name) const { return path_ + NativePath(name); }

void TempFolder::Put(std::string_view name, const std::string& content) const {
  const fs::path path(File(name));
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

std::string TempFolder::Get(std::string_view name) const {
  std::ifstream in(fs::path(File(name)), std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace zered::test
