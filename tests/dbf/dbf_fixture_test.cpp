// Tables written by an independent writer (python3-dbf, tests/fixtures/dbf/make_fixtures.py).
#include <gtest/gtest.h>

#include "dbf/dbf_file.h"
#include "dbf/dbf_globals.h"
#include "dbf/dbf_translator.h"
#include "platform/code_page_conversion.h"

namespace zered {
namespace {

const std::string kFolder = std::string(ZERED_TEST_FIXTURES) + "/dbf/";

// "Žluťoučký kůň" and the start of the memo "Poznámka č. 1: " + "ťě" * 300.
const std::string kCzech1250 = "\x8El\x75\x9Dou\xE8k\xFD k\xF9\xF2";
const std::string kCzech852 =
    "\xA6lu\x9Cou\x9F"
    "k\xEC k\x85\xE5";
const std::string kMemoHead1250 = "Pozn\xE1mka \xE8. 1: ";
const std::string kMemoHead852 = "Pozn\xA0mka \x9F. 1: ";

std::string Repeat(const std::string& piece, int times) {
  std::string result;
  for (int i = 0; i < times; ++i) result += piece;
  return result;
}

std::string Field(const TDbfFile& file, const std::string& record, const char* name) {
  const TDbfFieldDef* def = file.FieldDefs().Find(name);
  EXPECT_NE(def, nullptr) << name;
  return def == nullptr ? "" : record.substr(def->Offset(), def->Size());
}

TEST(DbfFixtureTest, VisualFoxProTableWithEveryCommonType) {
  TDbfFile file(kFolder + "vfp_cp1250.dbf", pfReadOnly);
  file.Open();
  EXPECT_EQ(file.TableLevel(), 25);
  EXPECT_EQ(file.FileCodePage(), 1250);
  EXPECT_EQ(file.HeaderSize(), 32 + 32 * 10 + 1 + 263);
  EXPECT_EQ(file.RecordCount(), 3);

  struct Expected {
    const char* name;
    char letter;
    TFieldType kind;
    int size;
    int precision;
    int offset;
  };
  const Expected expected[] = {
      {"NAME", 'C', ftString, 20, 0, 1},    {"AMOUNT", 'N', ftFloat, 12, 2, 21},
      {"QTY", 'N', ftInteger, 5, 0, 33},    {"BORN", 'D', ftDate, 8, 0, 38},
      {"PAID", 'L', ftBoolean, 1, 0, 46},   {"NOTE", 'M', ftMemo, 4, 0, 47},
      {"CNT", 'I', ftInteger, 4, 0, 51},    {"PRICE", 'Y', ftBCD, 8, 4, 55},
      {"STAMP", 'T', ftDateTime, 8, 0, 63}, {"RATIO", 'B', ftFloat, 8, 0, 71},
  };
  ASSERT_EQ(file.FieldDefs().Count(), 10);
  for (int i = 0; i < 10; ++i) {
    const TDbfFieldDef& def = file.FieldDefs().Items(i);
    EXPECT_EQ(def.FieldName(), expected[i].name);
    EXPECT_EQ(def.NativeFieldType(), expected[i].letter) << def.FieldName();
    EXPECT_EQ(def.FieldType(), expected[i].kind) << def.FieldName();
    EXPECT_EQ(def.Size(), expected[i].size) << def.FieldName();
    EXPECT_EQ(def.Precision(), expected[i].precision) << def.FieldName();
    EXPECT_EQ(def.Offset(), expected[i].offset) << def.FieldName();
  }

  std::string record(file.RecordSize(), '\0');
  ASSERT_TRUE(file.ReadRecord(1, record.data()));
  EXPECT_EQ(record[0], ' ');
  EXPECT_EQ(Field(file, record, "NAME"), kCzech1250 + std::string(7, ' '));
  EXPECT_EQ(Field(file, record, "AMOUNT"), "     1234.50");
  EXPECT_EQ(Field(file, record, "BORN"), "20170411");
  EXPECT_EQ(Field(file, record, "CNT"), "\xF9\xFF\xFF\xFF");  // -7
  const std::string note = Field(file, record, "NOTE");
  const int64_t block = static_cast<uint8_t>(note[0]) | (static_cast<uint8_t>(note[1]) << 8);
  std::string memo;
  file.ReadMemo(block, memo);
  EXPECT_EQ(memo, kMemoHead1250 + Repeat("\x9D\xEC", 300));

  ASSERT_TRUE(file.ReadRecord(2, record.data()));
  EXPECT_EQ(record[0], '*');
  ASSERT_TRUE(file.ReadRecord(3, record.data()));
  EXPECT_EQ(Field(file, record, "NAME"), std::string(20, ' '));
  EXPECT_EQ(Field(file, record, "NOTE"), std::string(4, '\0'));
  EXPECT_FALSE(file.ReadRecord(4, record.data()));
}

TEST(DbfFixtureTest, TextIsTranslatedToTheAnsiCodePage) {
  const TDbfGlobals czech(TFormatSettings::Czech(), EnumSystemCodePages());
  struct Case {
    const char* table;
    int code_page;
    TDbfTranslationMode mode;
    std::string name;  // the first record's NAME as read on a Czech machine
  };
  const Case cases[] = {
      {"vfp_cp1250.dbf", 1250, tmNoneNeeded, kCzech1250},
      {"vfp_cp852.dbf", 852, tmOem, kCzech1250},
      {"vfp_cp1252.dbf", 1252, tmUnicode, "?\xE9\xFC\x80"},
  };
  for (const Case& c : cases) {
    TDbfFile file(kFolder + c.table, pfReadOnly);
    file.Open();
    TDbfTranslator translator;
    translator.Determine(file.FileCodePage(), czech);
    EXPECT_EQ(translator.UseCodePage(), c.code_page) << c.table;
    EXPECT_EQ(translator.Mode(), c.mode) << c.table;
    std::string record(file.RecordSize(), '\0');
    ASSERT_TRUE(file.ReadRecord(1, record.data()));
    std::string name = Field(file, record, "NAME");
    name.resize(name.find_last_not_of(' ') + 1);
    name.resize(translator.Translate(name.data(), name.size()));
    EXPECT_EQ(name, c.name) << c.table;
  }
}

TEST(DbfFixtureTest, OemMemoIsTranslatedInPieces) {
  const TDbfGlobals czech(TFormatSettings::Czech(), EnumSystemCodePages());
  TDbfFile file(kFolder + "vfp_cp852.dbf", pfReadOnly);
  file.Open();
  std::string record(file.RecordSize(), '\0');
  ASSERT_TRUE(file.ReadRecord(1, record.data()));
  const std::string note = Field(file, record, "NOTE");
  std::string memo;
  file.ReadMemo(static_cast<uint8_t>(note[0]), memo);
  EXPECT_EQ(memo, kMemoHead852 + Repeat("\x9C\xD8", 300));
  TDbfTranslator translator;
  translator.Determine(file.FileCodePage(), czech);
  translator.TranslateMemo(memo);
  EXPECT_EQ(memo, kMemoHead1250 + Repeat("\x9D\xEC", 300));
}

TEST(DbfFixtureTest, NullableFieldsGetNullBits) {
  TDbfFile file(kFolder + "vfp_nulls.dbf", pfReadOnly);
  file.Open();
  const TDbfFieldDefs& defs = file.FieldDefs();
  ASSERT_EQ(defs.Count(), 4);
  EXPECT_EQ(defs.Items(0).NullPosition(), 0);
  EXPECT_EQ(defs.Items(1).NullPosition(), -1);
  EXPECT_EQ(defs.Items(2).NullPosition(), 1);
  ASSERT_NE(file.NullField(), nullptr);
  EXPECT_EQ(file.NullField()->FieldName(), "_NULLFLAGS");
  EXPECT_EQ(file.NullField()->FieldType(), ftBytes);
  EXPECT_EQ(file.RecordCount(), 2);
}

// python3-dbf sets the language driver byte of its dBASE III tables, which makes them level 4;
// their memo file has the dBASE III layout all the same.
TEST(DbfFixtureTest, DbaseTableWithMemoFile) {
  TDbfFile file(kFolder + "db3_memo.dbf", pfReadOnly);
  file.Open();
  EXPECT_EQ(file.TableLevel(), 4);
  EXPECT_EQ(file.FileCodePage(), 437);
  EXPECT_EQ(file.Header()[0], 0x83);
  ASSERT_EQ(file.FieldDefs().Count(), 3);
  const TDbfFieldDef& note = file.FieldDefs().Items(2);
  EXPECT_EQ(note.FieldType(), ftMemo);
  EXPECT_EQ(note.Size(), 10);
  EXPECT_EQ(file.RecordCount(), 2);
  std::string record(file.RecordSize(), '\0');
  std::string memo;
  ASSERT_TRUE(file.ReadRecord(1, record.data()));
  EXPECT_EQ(record.substr(note.Offset(), note.Size()), "         1");
  file.ReadMemo(1, memo);
  EXPECT_EQ(memo, Repeat("memo text ", 70));
  ASSERT_TRUE(file.ReadRecord(2, record.data()));
  EXPECT_EQ(record.substr(note.Offset(), note.Size()), "         3");  // an empty value
  file.ReadMemo(3, memo);
  EXPECT_EQ(memo, "");
}

}  // namespace
}  // namespace zered
