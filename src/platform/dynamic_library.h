#pragma once

#include <string>

namespace zered {

// A shared library loaded at run time (LoadLibraryA / dlopen).
class TDynamicLibrary {
 public:
  TDynamicLibrary() = default;
  ~TDynamicLibrary();
  TDynamicLibrary(const TDynamicLibrary&) = delete;
  TDynamicLibrary& operator=(const TDynamicLibrary&) = delete;

  // False when the library cannot be loaded; an already loaded one is unloaded first. A name
  // without a folder is looked for in the program folder first, then where the system looks
  // for libraries.
  bool Load(const std::string& name);
  bool IsLoaded() const { return handle_ != nullptr; }
  // nullptr when the library does not export `name`.
  void* Symbol(const char* name) const;
  void Unload();

 private:
  void* handle_ = nullptr;
};

}  // namespace zered
