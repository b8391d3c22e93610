#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace zered::test {

// The whole content of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

// The names and contents of the files directly in `folder`.
std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder);

}  // namespace zered::test
