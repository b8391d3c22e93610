#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include "platform/files.h"
#include "platform/process.h"

namespace zered {

TDynamicLibrary::~TDynamicLibrary() { Unload(); }

bool TDynamicLibrary::Load(const std::string& name) {
  Unload();
  const std::string folder = FolderLength(name) == 0 ? ProgramFolder() : std::string();
  if (!folder.empty()) handle_ = ::dlopen((folder + name).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) handle_ = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  return handle_ != nullptr;
}

void* TDynamicLibrary::Symbol(const char* name) const {
  if (handle_ == nullptr) return nullptr;
  return ::dlsym(handle_, name);
}

void TDynamicLibrary::Unload() {
  if (handle_ != nullptr) ::dlclose(handle_);
  handle_ = nullptr;
}

}  // namespace zered
