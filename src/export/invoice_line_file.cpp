#include "export/invoice_line_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/date_format.h"
#include "base/date_time.h"
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

// Amounts in the tables carry at most a few decimals. For such a value the general format's
// rounding to 15 significant digits gives exactly the decimal n / 10^k that the double was
// read from, and integer arithmetic finds it without printf's exact binary-to-decimal
// conversion, which would otherwise dominate the export. Why this is exact: n < 10^15 and
// 10^k are exact doubles and their quotient is correctly rounded, so when it equals `value`,
// the decimal, which has at most 15 significant digits, lies within half an ulp (2^-53
// relative) of `value`: closer than half a step (over 10^-15 relative) of the 15-digit grid,
// so it is the rounded value. Returns false for values
// outside the fixed-point range or with more decimals; the caller formats those in general.
bool AppendShortDecimal(std::string& line, double value, char decimal_separator) {
  static constexpr double kScales[] = {1, 10, 100, 1000, 10000};
  static constexpr uint64_t kDivisors[] = {1, 10, 100, 1000, 10000};
  const double magnitude = std::fabs(value);
  if (!(magnitude >= 1e-4 && magnitude < 1e15)) return false;
  for (int k = 0; k < 5; ++k) {
    const double scaled = std::nearbyint(magnitude * kScales[k]);
    if (scaled >= 1e15) return false;
    if (scaled / kScales[k] != magnitude) continue;
    const auto digits = static_cast<uint64_t>(scaled);
    const uint64_t whole = digits / kDivisors[k];
    uint64_t fraction = digits % kDivisors[k];
    int decimals = k;
    while (decimals > 0 && fraction % 10 == 0) {
      fraction /= 10;
      --decimals;
    }
    char buffer[32];
    char* end = buffer + sizeof buffer;
    char* out = end;
    for (int i = 0; i < decimals; ++i) {
      *--out = static_cast<char>('0' + fraction % 10);
      fraction /= 10;
    }
    if (decimals > 0) *--out = decimal_separator;
    uint64_t rest = whole;
    do {
      *--out = static_cast<char>('0' + rest % 10);
      rest /= 10;
    } while (rest != 0);
    if (value < 0) *--out = '-';
    line.append(out, end);
    return true;
  }
  return false;
}

// Appends `value` (0 <= value < 10^count) zero-padded to `count` digits.
void AppendDigits(std::string& line, int value, int count) {
  char digits[4];
  for (int i = count - 1; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  line.append(digits, static_cast<size_t>(count));
}

// yyyy-mm-dd written from the date's parts: snprintf would cost more than the rest of the
// date's way from the record. Years outside 1..9999 keep the general date form.
void AppendDate(std::string& line, TDateTime value) {
  const DateParts date = DecodeDate(value);
  if (date.year < 1 || date.year > 9999) {
    AppendIsoDate(line, value);
    return;
  }
  AppendDigits(line, date.year, 4);
  line += '-';
  AppendDigits(line, date.month, 2);
  line += '-';
  AppendDigits(line, date.day, 2);
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
    AppendDate(line_, table.FieldByName(field_name).ReadDate());
    line_ += '|';
  };
  const auto number = [&](const char* field_name) {
    const auto start = static_cast<std::ptrdiff_t>(line_.size());
    const double value = table.FieldByName(field_name).ReadNumber();
    if (!AppendShortDecimal(line_, value, decimal_separator_)) {
      AppendGeneral(line_, value, decimal_separator_);
    }
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
