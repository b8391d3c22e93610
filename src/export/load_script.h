#pragma once

#include <string>

#include "base/text_lines.h"

namespace zered {

// The load script "sa.txt": empties and reloads the receivables tables of the velbor
// database from the invoice line file and completes them from the server's address book and
// invoices. Its content is fixed: 19 lines, 907 bytes with their CR LF line ends.
inline constexpr char kLoadScriptFileName[] = "sa.txt";

TextLines LoadScriptLines();

// Writes the script to `path` whole, replacing an earlier file atomically.
// Throws EFCreateError "Cannot create file "%s". %s".
void WriteLoadScript(const std::string& path);

}  // namespace zered
