#include "export/table_export.h"

#include "dbf/tdbf.h"
#include "export/export_progress.h"
#include "export/invoice_line_file.h"

namespace zered {

int ExportTable(TDbf& table, std::string_view table_name, char type_letter, TInvoiceLineFile& lines,
                IExportProgress& progress) {
  table.Close();
  table.SetTableName(table_name);
  table.Open();
  int visited = 0;
  table.First();
  progress.BeginTable(table.RecordCount());
  while (!table.Eof()) {
    progress.AtRecord(table.RecNo());
    ++visited;
    lines.AddRecord(table, type_letter);
    table.Next();
  }
  return visited;
}

}  // namespace zered
