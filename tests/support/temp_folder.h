#pragma once

#include <string>
#include <string_view>

namespace zered::test {

// `path` with every "/" replaced by the platform's path delimiter.
std::string NativePath(std::string_view path);

// A fresh folder for one test under the system's folder for temporary files, removed with
// everything in it afterwards. Path() is full, in the platform's form, and ends in the path
// delimiter. Names of files within it separate their folders by "/".
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // The full path of `name`.
  std::string File(std::string_view name) const;

  // Writes `content` to `name`, creating its folders.
  void Put(std::string_view name, const std::string& content) const;
  // The file's bytes, or "<missing>" when there is no such file.
  std::string Get(std::string_view name) const;

 private:
  std::string path_;
};

}  // namespace zered::test
