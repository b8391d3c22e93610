#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zered {

// The text of an INI settings file, as the POSIX private-profile functions read and edit it
// (platform/private_profile.h). Text is 8-bit and carried unchanged.
//
// Format:
// - Lines end at CR LF, a lone CR or a lone LF; blanks (space, tab) around a line are ignored.
// - A line beginning with ";" or "#" is a comment. A line beginning with "[" starts a section;
//   its name runs to the first "]" (or the line's end), blanks around it dropped.
// - A line with "=" in a section is a key: the name before the first "=", the value after it,
//   both without surrounding blanks; a value enclosed in one pair of double or single quotes
//   is given without them. Any other line, and every line before the first section, holds
//   nothing.
// - Section and key names match ignoring ASCII letter case. Sections of the same name count as
//   one; the first occurrence of a key wins.
// - A value is given with at most kProfileValueLimit characters; the rest is cut.

constexpr size_t kProfileValueLimit = 2047;

// The value of `key` in `section` of the INI text `content`, or nullopt when the section or the
// key is absent. A key with an empty value gives the empty text.
std::optional<std::string> FindProfileValue(std::string_view content, std::string_view section,
                                            std::string_view key);

// Whether a section, key or value can be written so that a read finds it again: names are not
// empty, have no blanks at either end and no line break; a section name has no "]", a key
// name has no "=" and does not begin with ";", "#" or "["; a value has no line break.
bool IsWritableProfileEntry(std::string_view section, std::string_view key, std::string_view value);

// Edits the INI text `content` so that `key` in `section` holds `value`: the value of the
// key's first occurrence is replaced within its line; a new key goes after the last entry of
// the section's first occurrence; a new section goes to the end of the text, after an empty
// line. Every other byte stays as it was; new lines end in CR LF. Returns false, leaving
// `content` untouched, when the entry is not writable (see IsWritableProfileEntry).
bool SetProfileValue(std::string& content, std::string_view section, std::string_view key,
                     std::string_view value);

}  // namespace zered
