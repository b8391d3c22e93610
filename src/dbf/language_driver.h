#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zered {

// The code page a language driver ID (header byte 29 at table levels 3, 4 and 25) names;
// 0 for an ID the table does not list.
int LanguageDriverCodePage(uint8_t language_id);

// The code page a level 7 language driver name names ("DBWINUS0" 1252, "DB852CZ0" 852,
// "FOXWIN" forms, "DBHEBREW" 1255); 0 for any other name. The name ends at its first NUL.
int Level7LanguageDriverCodePage(std::string_view name);

// Every code page the language driver table names, ascending, each once.
const int* LanguageDriverCodePages(size_t& count);

}  // namespace zered
