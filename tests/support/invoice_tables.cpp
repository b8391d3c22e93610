#include "support/invoice_tables.h"

#include "support/dbf_builder.h"

namespace zered::test {

void WriteInvoiceTable(const std::string& path, int records, int first_id) {
  DbfBuilder table;
  for (const char* field : {"ID", "CISLO", "VARSYM", "ICO", "DIC"}) table.Field(field, 'C', 10);
  for (const char* field : {"DATUM", "DATSPLAT", "DATLIKV"}) table.Field(field, 'D', 8);
  for (const char* field : {"KCCELKEM", "KCLIKV", "CMCELKEM"}) table.Field(field, 'N', 10, 2);
  for (int i = first_id; i < first_id + records; ++i) {
    const std::string id = std::to_string(i);
    table.Values({id, "F-" + id, id, "1", "CZ1", "20170411", "20170425", "", "100.50", "0", ""});
  }
  table.Write(path);
}

}  // namespace zered::test
