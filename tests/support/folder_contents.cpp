#include "support/folder_contents.h"

#include <fstream>
#include <iterator>

namespace zered::test {

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder) {
  std::map<std::string, std::string> contents;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    contents[entry.path().filename()] = ReadFileBytes(entry.path());
  }
  return contents;
}

}  // namespace zered::test
