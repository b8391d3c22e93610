#include "platform/dynamic_library.h"

#include <dlfcn.h>

namespace zered {

TDynamicLibrary::~TDynamicLibrary() { Unload(); }

bool TDynamicLibrary::Load(const std::string& name) {
  Unload();
  handle_ = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
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
