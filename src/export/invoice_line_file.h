#pragma once

namespace zered {

// The invoice line file that the load script reads: one line per invoice record.
inline constexpr char kInvoiceLineFileName[] = "sa2.txt";

}  // namespace zered
