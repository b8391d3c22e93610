#pragma once

#include <string>
#include <vector>

#include "platform/dynamic_library.h"

namespace zered {

// Loads a client library at run time from an ordered list of candidate names. The first name
// that loads is kept until the loader is destroyed. Not thread-safe.
class TZNativeLibraryLoader {
 public:
  explicit TZNativeLibraryLoader(std::vector<std::string> locations);
  virtual ~TZNativeLibraryLoader();
  TZNativeLibraryLoader(const TZNativeLibraryLoader&) = delete;
  TZNativeLibraryLoader& operator=(const TZNativeLibraryLoader&) = delete;

  const std::vector<std::string>& Locations() const { return locations_; }
  // Replaces the candidate names; takes effect at the next load of an unloaded loader.
  void SetLocations(std::vector<std::string> locations) { locations_ = std::move(locations); }

  bool Loaded() const { return loaded_; }
  // Loads the first candidate that loads, then looks up the entry points (LoadApi). Does
  // nothing when loaded. Throws Exception "None of the dynamic libraries can be found: %s"
  // naming every candidate tried, joined by ", "; nothing is remembered of a failed attempt.
  void LoadNativeLibrary();
  // Called once the library is loaded: unloads it (derived loaders end the library first).
  virtual void FreeNativeLibrary();

 protected:
  // Looks up the entry points; a missing one is no error.
  virtual void LoadApi() {}
  // nullptr when not loaded or not exported.
  void* GetAddress(const char* name) const;

 private:
  std::vector<std::string> locations_;
  bool loaded_ = false;
  TDynamicLibrary library_;
};

}  // namespace zered
