#include "export/invoice_line_file.h"

#include <algorithm>

#include "base/date_format.h"
#include "base/number_format.h"
#include "dbf/tdbf.h"

namespace zered {
namespace {

// The load statement takes backslash as its escape character and ends fields at "|" and
// lines at LF, so these bytes of a value would otherwise corrupt the row.
void AppendEscaped(std::string& line, const std::string& text) {
  for (char c : text) {
    switch (c) {
      case '\\':
      case '|':
        line += '\\';
        line += c;
        break;
      case '\r':
        line += "\\r";
        break;
      case '\n':
        line += "\\n";
        break;
      default:
        line += c;
    }
  }
}

}  // namespace

TInvoiceLineFile::TInvoiceLineFile(std::string path, char decimal_separator)
    : writer_(std::move(path)), decimal_separator_(decimal_separator) {}

void TInvoiceLineFile::AddRecord(TDbf& table, char type_letter) {
  line_.clear();
  const auto text = [&](const char* field_name) {
    table.FieldByName(field_name).ReadText(text_);
    AppendEscaped(line_, text_);
    line_ += '|';
  };
  const auto date = [&](const char* field_name) {
    AppendIsoDate(line_, table.FieldByName(field_name).ReadDate());
    line_ += '|';
  };
  const auto number = [&](const char* field_name) {
    const auto start = static_cast<std::ptrdiff_t>(line_.size());
    AppendGeneral(line_, table.FieldByName(field_name).ReadNumber(), decimal_separator_);
    std::replace(line_.begin() + start, line_.end(), ',', '.');
    line_ += '|';
  };
  text("id");
  text("CISLO");
  text("VARSYM");
  date("DATUM");
  date("DATSPLAT");
  date("DATLIKV");
  number("KCCELKEM");
  number("KCLIKV");
  number("CMCELKEM");
  text("ICO");
  text("DIC");
  line_ += type_letter;
  line_ += "|CZK\r\n";
  writer_.Write(line_);
}

void TInvoiceLineFile::Commit() { writer_.Commit(); }

}  // namespace zered
