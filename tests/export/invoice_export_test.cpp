#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "dbf/tdbf.h"
#include "export/export_progress.h"
#include "export/invoice_line_file.h"
#include "export/table_export.h"
#include "support/dbf_builder.h"

namespace zered {
namespace {

using test::DbfBuilder;
using test::LittleEndian;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// The eleven fields the export reads, as the accounting program's tables have them.
DbfBuilder InvoiceTable() {
  DbfBuilder table;
  table.Field("ID", 'N', 10)
      .Field("CISLO", 'C', 20)
      .Field("VARSYM", 'C', 10)
      .Field("DATUM", 'D', 8)
      .Field("DATSPLAT", 'D', 8)
      .Field("DATLIKV", 'D', 8)
      .Field("KCCELKEM", 'N', 15, 2)
      .Field("KCLIKV", 'N', 15, 2)
      .Field("CMCELKEM", 'N', 15, 2)
      .Field("ICO", 'C', 12)
      .Field("DIC", 'C', 14);
  return table;
}

std::string Double(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return LittleEndian(bits, 8);
}

// Records what the walk reports.
class RecordingProgress : public IExportProgress {
 public:
  void BeginTable(int record_count) override {
    events += "max=" + std::to_string(record_count) + " ";
  }
  void AtRecord(int record_number) override { events += std::to_string(record_number) + " "; }
  std::string events;
};

class InvoiceExportTest : public ::testing::TestWithParam<char> {
 protected:
  void SetUp() override {
    std::string name = std::string("invoice_export_") +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '_');
    folder_ = test::TestFolder(name);
    dbf_.SetReadOnly(true);
    dbf_.SetTableLevel(25);
    dbf_.SetFilePath(folder_);
    TFormatSettings settings = TFormatSettings::UsEnglish();
    settings.decimal_separator = GetParam();
    dbf_.SetFormatSettings(settings);
  }

  // Exports the tables in order with their type letters; returns the file's content.
  std::string Export(const std::vector<std::pair<std::string, char>>& tables,
                     std::vector<int>* counts = nullptr) {
    TInvoiceLineFile lines(folder_ + "sa2.txt", GetParam());
    for (const auto& [name, type_letter] : tables) {
      const int visited = ExportTable(dbf_, name, type_letter, lines, progress_);
      if (counts) counts->push_back(visited);
      dbf_.Close();
    }
    lines.Commit();
    return ReadFile(folder_ + "sa2.txt");
  }

  std::string folder_;
  TDbf dbf_{"Dbf1"};
  RecordingProgress progress_;
};

INSTANTIATE_TEST_SUITE_P(DecimalSeparators, InvoiceExportTest, ::testing::Values('.', ','),
                         [](const auto& info) { return info.param == '.' ? "point" : "comma"; });

TEST_P(InvoiceExportTest, WritesOneLinePerVisibleRecordFapBeforeFav) {
  InvoiceTable()
      .Values({"1", "FP-001", "2017001", "20170411", "20170425", "", "12100.50", "0.00", "",
               "25596641", "CZ25596641"})
      .Values({"2", "FP-002", "", "", "", "", "-1250.50", "", "", "", ""}, /*deleted=*/true)
      .Values({"3", "  FP-003", "7", "20170502", "", "20170510", "-1250.50", "1.25", "3", "1", ""})
      .Write(folder_ + "fap.dbf");
  InvoiceTable()
      .Values({"10", "FV-100", "2017100", "20170601", "20170615", "", "25000.00", "25000.00",
               "25000.00", "25596641", "CZ25596641"})
      .Write(folder_ + "fav.dbf");

  std::vector<int> counts;
  EXPECT_EQ(Export({{"fap.dbf", 'P'}, {"fav.dbf", 'V'}}, &counts),
            "1|FP-001|2017001|2017-04-11|2017-04-25|1899-12-30|12100.5|0|0|25596641|CZ25596641"
            "|P|CZK\r\n"
            "3|  FP-003|7|2017-05-02|1899-12-30|2017-05-10|-1250.5|1.25|3|1||P|CZK\r\n"
            "10|FV-100|2017100|2017-06-01|2017-06-15|1899-12-30|25000|25000|25000|25596641"
            "|CZ25596641|V|CZK\r\n");
  EXPECT_EQ(counts, (std::vector<int>{2, 1}));
  EXPECT_EQ(progress_.events, "max=3 1 3 max=1 1 ");
}

TEST_P(InvoiceExportTest, WritesNumbersInTheGeneralFormatWithAPoint) {
  struct Case {
    double value;
    const char* written;
  };
  const Case cases[] = {
      {0.00005, "5E-5"},
      {0.0001, "0.0001"},
      {2.5e15, "2.5E15"},
      {1234567890123456.0, "1.23456789012346E15"},
      {-0.000012345, "-1.2345E-5"},
      {999999999999999.0, "999999999999999"},
  };
  DbfBuilder table;
  table.Field("ID", 'C', 2).Field("CISLO", 'C', 2).Field("VARSYM", 'C', 2);
  table.Field("DATUM", 'D', 8).Field("DATSPLAT", 'D', 8).Field("DATLIKV", 'D', 8);
  table.Field("KCCELKEM", 'B', 8).Field("KCLIKV", 'B', 8).Field("CMCELKEM", 'B', 8);
  table.Field("ICO", 'C', 2).Field("DIC", 'C', 2);
  for (const Case& c : cases) {
    table.Values({"", "", "", "", "", "", Double(c.value), Double(-c.value), Double(0), "", ""});
  }
  table.Write(folder_ + "fap.dbf");

  std::istringstream lines(Export({{"fap.dbf", 'P'}}));
  for (const Case& c : cases) {
    std::string line;
    std::getline(lines, line);
    const std::string negated = c.written[0] == '-' ? c.written + 1 : std::string("-") + c.written;
    EXPECT_EQ(line, std::string("|||1899-12-30|1899-12-30|1899-12-30|") + c.written + "|" +
                        negated + "|0|||P|CZK\r")
        << c.value;
  }
}

TEST_P(InvoiceExportTest, EscapesTextThatWouldBreakTheLoadStatement) {
  InvoiceTable()
      .Values({"1", "A|B\\C", "x\r\ny", "", "", "", "", "", "", "\\N", "D|"})
      .Write(folder_ + "fap.dbf");
  EXPECT_EQ(Export({{"fap.dbf", 'P'}}),
            "1|A\\|B\\\\C|x\\r\\ny|1899-12-30|1899-12-30|1899-12-30|0|0|0|\\\\N|D\\||P|CZK\r\n");
}

TEST_P(InvoiceExportTest, AMissingFieldFailsAtTheFirstRecordOnly) {
  DbfBuilder table;
  table.Field("ID", 'N', 10).Field("CISLO", 'C', 20).Field("VARSYM", 'C', 10);
  table.Field("DATUM", 'D', 8).Field("DATSPLAT", 'D', 8).Field("DATLIKV", 'D', 8);
  table.Field("KCCELKEM", 'N', 15, 2).Field("KCLIKV", 'N', 15, 2).Field("CMCELKEM", 'N', 15, 2);
  table.Field("ICO", 'C', 12);
  table.Write(folder_ + "fap.dbf");  // empty: no field is asked for
  EXPECT_EQ(Export({{"fap.dbf", 'P'}}), "");

  table.Values({"1", "", "", "", "", "", "", "", "", ""}).Write(folder_ + "fap.dbf");
  TInvoiceLineFile lines(folder_ + "sa2.txt", GetParam());
  try {
    ExportTable(dbf_, "fap.dbf", 'P', lines, progress_);
    FAIL() << "no failure";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Dbf1: Field 'DIC' not found");
  }
}

TEST_P(InvoiceExportTest, AFailedExportLeavesTheEarlierFileAndNoTemporaryFile) {
  std::ofstream(folder_ + "sa2.txt", std::ios::binary) << "earlier run\r\n";
  InvoiceTable().Write(folder_ + "fap.dbf");
  {
    TInvoiceLineFile lines(folder_ + "sa2.txt", GetParam());
    ExportTable(dbf_, "fap.dbf", 'P', lines, progress_);
    EXPECT_THROW(ExportTable(dbf_, "fav.dbf", 'V', lines, progress_), Exception);
  }
  EXPECT_EQ(ReadFile(folder_ + "sa2.txt"), "earlier run\r\n");
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
    files.push_back(entry.path().filename().string());
  }
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"fap.dbf", "sa2.txt"}));
}

TEST_P(InvoiceExportTest, ReadsUpperCaseTableNamesOnDisk) {
  InvoiceTable().Values({"7", "X", "", "", "", "", "", "", "", "", ""}).Write(folder_ + "FAP.DBF");
  EXPECT_EQ(Export({{"fap.dbf", 'P'}}), "7|X||1899-12-30|1899-12-30|1899-12-30|0|0|0|||P|CZK\r\n");
}

// The sample tables written by python3-dbf: Visual FoxPro, code page 1250, memo field,
// deleted records.
TEST_P(InvoiceExportTest, ExportsTheSampleTablesOfTheIndependentWriter) {
  dbf_.SetFilePath(std::string(ZERED_SOURCE_DIR) + "/demo/data");
  std::vector<int> counts;
  EXPECT_EQ(Export({{"fap.dbf", 'P'}, {"fav.dbf", 'V'}}, &counts),
            "1|FP-2017-001|2017001|2017-04-11|2017-04-25|1899-12-30|12100.5|12100.5|0|25596641"
            "|CZ25596641|P|CZK\r\n"
            "2|FP-2017-002|2017002|2017-05-02|2017-05-16|2017-05-10|4840|0|4840|47114983"
            "|CZ47114983|P|CZK\r\n"
            "3|FP-2017-003|2017003|2017-05-03|2017-05-17|1899-12-30|999.99|500|999.99|60193336"
            "||P|CZK\r\n"
            "10|FV-2017-100|2017100|2017-06-01|2017-06-15|1899-12-30|25000|25000|25000|25596641"
            "|CZ25596641|V|CZK\r\n"
            "11|FV-2017-101|2017101|2017-06-02|2017-06-16|2017-06-20|-1250.5|0|-1250.5|60193336"
            "||V|CZK\r\n"
            "12|FV-2017-102|2017102|2017-06-03|2017-06-17|1899-12-30|3630|1000|3630|11111111"
            "|CZ11111111|V|CZK\r\n");
  EXPECT_EQ(counts, (std::vector<int>{3, 3}));
  EXPECT_EQ(progress_.events, "max=4 1 2 3 max=4 2 3 4 ");
}

}  // namespace
}  // namespace zered
