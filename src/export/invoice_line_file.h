#pragma once

#include <string>

#include "platform/files.h"

namespace zered {

class TDbf;

// The invoice line file that the load script reads: one line per invoice record.
inline constexpr char kInvoiceLineFileName[] = "sa2.txt";

// Writes the run's invoice lines as they are built to a temporary file next to the target;
// Commit() replaces the target in one step. Destroyed uncommitted, it leaves the target as
// it was. Memory does not grow with the tables.
//
// An invoice line has 13 fields separated by "|": id, CISLO, VARSYM as text; DATUM,
// DATSPLAT, DATLIKV as yyyy-mm-dd; KCCELKEM, KCLIKV, CMCELKEM as numbers in the general
// format with "." as the decimal point; ICO, DIC as text; the table's type letter; "CZK".
// Text is escaped for the load statement (backslash, "|", CR and LF get a backslash and
// CR / LF become r / n), so a value can never shift the columns or split the line.
class TInvoiceLineFile {
 public:
  TInvoiceLineFile(std::string path, char decimal_separator);

  // Appends the line of the table's current record. Field lookups and value conversions
  // fail as the table's fields do; nothing of the record is written then.
  void AddRecord(TDbf& table, char type_letter);
  void Commit();

 private:
  TAtomicFileWriter writer_;
  char decimal_separator_;
  std::string line_;  // reused for every record
  std::string text_;  // reused for every text value
};

}  // namespace zered
