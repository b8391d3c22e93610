#pragma once

#include <string>

namespace zered::test {

// Writes an invoice table as the accounting program keeps fap.dbf and fav.dbf, with the eleven
// fields the export reads and `records` records numbered from `first_id` (dates in April 2017,
// amounts with two decimals).
void WriteInvoiceTable(const std::string& path, int records, int first_id = 1);

}  // namespace zered::test
