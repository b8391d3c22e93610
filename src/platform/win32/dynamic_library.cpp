#include "platform/dynamic_library.h"

#include <windows.h>

#include "platform/files.h"
#include "platform/process.h"

namespace zered {
namespace {

// A library whose own dependencies are missing must fail the load, not stop an unattended
// run with a system error box.
HMODULE LoadQuietly(const std::string& path) {
  DWORD previous_mode = 0;
  const bool mode_set = ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_mode) != 0;
  const HMODULE module = ::LoadLibraryA(path.c_str());
  if (mode_set) ::SetThreadErrorMode(previous_mode, nullptr);
  return module;
}

}  // namespace

TDynamicLibrary::~TDynamicLibrary() { Unload(); }

bool TDynamicLibrary::Load(const std::string& name) {
  Unload();
  HMODULE module = nullptr;
  const std::string folder = FolderLength(name) == 0 ? ProgramFolder() : std::string();
  if (!folder.empty()) module = LoadQuietly(folder + name);
  if (module == nullptr) module = LoadQuietly(name);
  handle_ = module;
  return handle_ != nullptr;
}

void* TDynamicLibrary::Symbol(const char* name) const {
  if (handle_ == nullptr) return nullptr;
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
}

void TDynamicLibrary::Unload() {
  if (handle_ != nullptr) ::FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
}

}  // namespace zered
