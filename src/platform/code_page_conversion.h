#pragma once

#include <cstddef>
#include <vector>

#include "base/format_settings.h"

namespace zered {

// Conversion between Windows code pages. Code pages are Windows code page numbers (437, 852,
// 1250, ...). On Windows the system's own functions convert; elsewhere iconv stands in. Either
// way characters that a target code page lacks become "?" (never a look-alike: Windows' best
// fit is switched off), and bytes that a source code page does not define read as the
// character of the same number.

// The machine's ANSI and OEM code pages: GetACP / GetOEMCP on Windows, elsewhere those of
// SystemFormatSettings().
int GetACP();
int GetOEMCP();

// The code pages that count as installed, ascending, computed once: on Windows those that
// EnumSystemCodePagesA reports installed; elsewhere those of the table language drivers that
// iconv converts, except 620, 867, 868 and 895 (which Windows does not install either).
const std::vector<int>& EnumSystemCodePages();
bool IsValidCodePage(int code_page);

// Converts `source_length` bytes from `code_page` to UTF-16 (precomposed characters) into
// at most `dest_length` units. Returns the number of units written, 0 when the code page is
// not installed, the source is empty or the result does not fit.
int MultiByteToWideChar(int code_page, const char* source, int source_length, char16_t* dest,
                        int dest_length);

// Converts `source_length` UTF-16 units to `code_page`, writing at most `dest_length` bytes.
// Returns the number of bytes written, 0 when the code page is not installed or the source
// is empty. A result that does not fit is cut at `dest_length`.
int WideCharToMultiByte(int code_page, const char16_t* source, int source_length, char* dest,
                        int dest_length);

// Converts `length` bytes from the OEM code page to the ANSI code page of `settings` (and
// back). `source` and `dest` may be the same buffer; the length never changes. When
// `settings` hold the machine's own pair, Windows converts with OemToCharBuffA /
// CharToOemBuffA.
void OemToCharBuff(const TFormatSettings& settings, const char* source, char* dest, size_t length);
void CharToOemBuff(const TFormatSettings& settings, const char* source, char* dest, size_t length);

}  // namespace zered
