// Cross-checks the table file reader with independent tools: python3-dbf writes random
// Visual FoxPro tables (tests/dbf/oracle_tables.py), dbfread reads them, and the header,
// the field descriptors, every record's field bytes and every memo value must agree.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "base/exceptions.h"
#include "dbf/dbf_file.h"
#include "dbf/language_driver.h"
#include "support/dbf_builder.h"

namespace zered {
namespace {

constexpr int kTables = 12;

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

uint32_t LittleEndian32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

struct ExpectedField {
  std::string name;
  char type;
  int length;
  int decimals;
  int offset;
};

struct ExpectedRecord {
  bool deleted = false;
  std::vector<std::string> fields;
  std::map<int, std::string> memos;  // by field index
};

struct ExpectedTable {
  int language_id = 0;
  int header_size = 0;
  int record_size = 0;
  int record_count = 0;
  std::vector<ExpectedField> fields;
  std::map<uint32_t, ExpectedRecord> records;  // by the ID field
};

ExpectedTable ReadExpected(const std::string& path) {
  ExpectedTable table;
  std::ifstream in(path);
  std::string line;
  ExpectedRecord* last = nullptr;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string kind;
    words >> kind;
    if (kind == "table") {
      words >> table.language_id >> table.header_size >> table.record_size >> table.record_count;
    } else if (kind == "field") {
      ExpectedField field;
      words >> field.name >> field.type >> field.length >> field.decimals >> field.offset;
      table.fields.push_back(field);
    } else if (kind == "record") {
      uint32_t id;
      int deleted;
      words >> id >> deleted;
      last = &table.records[id];
      last->deleted = deleted != 0;
      std::string hex;
      while (words >> hex) last->fields.push_back(FromHex(hex));
    } else if (kind == "memo" && last != nullptr) {
      int index;
      std::string hex;
      words >> index >> hex;
      last->memos[index] = hex == "-" ? "" : FromHex(hex);
    }
  }
  return table;
}

class DbfOracleTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // One folder per process: CTest runs the tests of this suite side by side.
    folder_ = test::TestFolder("dbf_oracle_" + std::to_string(::getpid()));
    const char* fixed = std::getenv("ZERED_ORACLE_SEED");
    seed_ = fixed != nullptr ? std::strtoul(fixed, nullptr, 10) : std::random_device()();
    const std::string command = "/usr/bin/python3 " + std::string(ZERED_TEST_FIXTURES) +
                                "/../dbf/oracle_tables.py " + folder_ + " " +
                                std::to_string(seed_) + " " + std::to_string(kTables);
    generated_ = std::system(command.c_str()) == 0;
  }

  static void TearDownTestSuite() {
    // The tables of a failed run stay for a look; ZERED_ORACLE_SEED makes them again.
    if (!::testing::UnitTest::GetInstance()->Failed()) std::filesystem::remove_all(folder_);
  }

  void SetUp() override {
    ASSERT_TRUE(generated_) << "python3-dbf and dbfread are needed";
    RecordProperty("seed", std::to_string(seed_));
  }

  static std::string folder_;
  static unsigned long seed_;
  static bool generated_;
};

std::string DbfOracleTest::folder_;
unsigned long DbfOracleTest::seed_ = 0;
bool DbfOracleTest::generated_ = false;

TEST_F(DbfOracleTest, TablesAgreeWithDbfread) {
  for (int k = 0; k < kTables; ++k) {
    SCOPED_TRACE("table t" + std::to_string(k) +
                 ".dbf, ZERED_ORACLE_SEED=" + std::to_string(seed_));
    const ExpectedTable expected = ReadExpected(folder_ + "t" + std::to_string(k) + ".txt");
    TDbfFile file(folder_ + "t" + std::to_string(k) + ".dbf", pfReadOnly);
    file.Open();
    EXPECT_EQ(file.TableLevel(), 25);
    EXPECT_EQ(file.LanguageId(), expected.language_id);
    EXPECT_EQ(file.HeaderSize(), expected.header_size);
    EXPECT_EQ(file.RecordSize(), expected.record_size);
    EXPECT_EQ(file.RecordCount(), expected.record_count);

    const TDbfFieldDefs& defs = file.FieldDefs();
    ASSERT_EQ(defs.Count(), static_cast<int>(expected.fields.size()));
    for (int i = 0; i < defs.Count(); ++i) {
      const ExpectedField& field = expected.fields[i];
      EXPECT_EQ(defs.Items(i).FieldName(), field.name);
      EXPECT_EQ(defs.Items(i).NativeFieldType(), field.type) << field.name;
      EXPECT_EQ(defs.Items(i).StoredSize(), field.length) << field.name;
      EXPECT_EQ(defs.Items(i).Offset(), field.offset) << field.name;
      if (field.type == 'N' || field.type == 'F') {
        EXPECT_EQ(defs.Items(i).Precision(), field.decimals) << field.name;
      }
    }

    std::string record(file.RecordSize(), '\0');
    size_t matched = 0;
    std::string memo;
    for (int n = 1; n <= file.RecordCount(); ++n) {
      ASSERT_TRUE(file.ReadRecord(n, record.data()));
      const auto found = expected.records.find(LittleEndian32(record, defs.Items(0).Offset()));
      ASSERT_NE(found, expected.records.end()) << "record " << n;
      ++matched;
      const ExpectedRecord& want = found->second;
      EXPECT_EQ(record[0] == '*', want.deleted) << "record " << n;
      ASSERT_EQ(want.fields.size(), static_cast<size_t>(defs.Count()));
      for (int i = 0; i < defs.Count(); ++i) {
        const TDbfFieldDef& def = defs.Items(i);
        EXPECT_EQ(record.substr(def.Offset(), def.StoredSize()), want.fields[i])
            << "record " << n << " field " << def.FieldName();
      }
      for (const auto& [index, value] : want.memos) {
        file.ReadMemo(LittleEndian32(record, defs.Items(index).Offset()), memo);
        EXPECT_EQ(memo, value) << "record " << n << " memo " << defs.Items(index).FieldName();
      }
    }
    EXPECT_EQ(matched, expected.records.size());
  }
}

TEST_F(DbfOracleTest, LanguageDriversNameTheSameCodePages) {
  const std::map<std::string, int> mac = {
      {"mac_roman", 10000}, {"mac_cyrillic", 10007}, {"mac_latin2", 10029}, {"mac_greek", 10006}};
  std::ifstream in(folder_ + "drivers.txt");
  int id;
  std::string encoding;
  int compared = 0;
  while (in >> id >> encoding) {
    const int ours = LanguageDriverCodePage(static_cast<uint8_t>(id));
    if (ours == 0) continue;  // an ID only dbfread knows
    const int theirs =
        encoding.rfind("cp", 0) == 0 ? std::stoi(encoding.substr(2)) : mac.at(encoding);
    EXPECT_EQ(ours, theirs) << "language driver " << id;
    ++compared;
  }
  EXPECT_GT(compared, 50);
}

// Cutting a valid table anywhere gives the reader's own error or a table of the records
// that are complete, never a crash or a read past the bytes.
TEST_F(DbfOracleTest, EveryTruncatedPrefixFailsCleanly) {
  for (int k = 0; k < 3; ++k) {
    const std::string source = folder_ + "t" + std::to_string(k) + ".dbf";
    const std::string path = folder_ + "cut.dbf";
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    const std::string memo = folder_ + "t" + std::to_string(k) + ".fpt";
    if (std::filesystem::exists(memo)) {
      std::filesystem::copy_file(memo, folder_ + "cut.fpt",
                                 std::filesystem::copy_options::overwrite_existing);
    }
    const uintmax_t full = std::filesystem::file_size(path);
    for (uintmax_t size = full; size-- > 0;) {
      std::filesystem::resize_file(path, size);
      TDbfFile file(path, pfReadOnly);
      try {
        file.Open();
      } catch (const EDbfError& error) {
        EXPECT_EQ(error.Message(), "Invalid DBF file.") << "t" << k << " cut at " << size;
        continue;
      }
      if (file.AbortOpen()) continue;
      ASSERT_TRUE(file.Active());
      std::string record(file.RecordSize(), '\0');
      std::string value;
      for (int n = 1; n <= file.RecordCount(); ++n) {
        ASSERT_TRUE(file.ReadRecord(n, record.data())) << "t" << k << " cut at " << size;
        for (const TDbfFieldDef& def : file.FieldDefs()) {
          if (def.FieldType() == ftMemo) file.ReadMemo(LittleEndian32(record, def.Offset()), value);
        }
      }
    }
  }
}

}  // namespace
}  // namespace zered
