#pragma once

#include <string_view>

namespace zered {

class IExportProgress;
class TDbf;
class TInvoiceLineFile;

// Opens the table `table_name` in the cursor's folder (closing what the cursor had open),
// appends one invoice line with `type_letter` per visible record in physical order, reports
// the walk to `progress`, and returns the number of records visited. The table stays open
// afterwards, so the caller closes it; a failure leaves it open and the next open closes it.
int ExportTable(TDbf& table, std::string_view table_name, char type_letter, TInvoiceLineFile& lines,
                IExportProgress& progress);

}  // namespace zered
