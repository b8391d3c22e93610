#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/exceptions.h"

namespace zered {

// What the sources shared by both implementations of this folder take from each other. For
// src/platform only.

// Given by the platform's implementation.
std::string RunningExecutablePath();            // the executable's full path, "" if unknown
std::string SystemErrorText(int error_number);  // the system's text, untrimmed

// Given by the shared sources.
// "Cannot open file "%s". %s" and "Cannot create file "%s". %s" with the expanded path and
// the system's reason.
EFOpenError FileOpenError(const std::string& path, int error_number);
EFCreateError FileCreateError(const std::string& path, int error_number);
// Converts `length` bytes from code page `from` to code page `to` through UTF-16, in place
// when `source` == `dest`; characters `to` lacks become "?", bytes after the converted ones
// become 0. Copies unchanged when the code pages are equal or not both installed.
void ConvertCodePage(int from, int to, const char* source, char* dest, size_t length);
// The private-profile functions' common rules: the default as a read gives it, and whether a
// write may go ahead (the entry reads back as written; an existing file can be read).
std::string_view WithoutTrailingBlanks(std::string_view text);
bool MayWriteProfile(const std::string& path, std::string_view section, std::string_view key,
                     std::string_view value);

}  // namespace zered
