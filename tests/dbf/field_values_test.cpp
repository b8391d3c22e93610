#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "dbf/dbf_globals.h"
#include "dbf/fields.h"
#include "dbf/tdbf.h"
#include "platform/code_page_conversion.h"
#include "support/dbf_builder.h"

namespace zered {
namespace {

using test::DbfBuilder;
using test::LittleEndian;
using test::MemoBuilder;
using test::TestFolder;

const TFormatSettings kCzech = TFormatSettings::Czech();
const TFormatSettings kUs = TFormatSettings::UsEnglish();

std::string Double(double value) { return LittleEndian(std::bit_cast<uint64_t>(value), 8); }

// A read operation's result as text: the number with up to 12 significant digits, or "!"
// and the failure's message.
template <typename Read>
std::string Outcome(Read read) {
  try {
    char text[32];
    std::snprintf(text, sizeof text, "%.12g", static_cast<double>(read()));
    return text;
  } catch (const EConvertError& error) {
    return "!convert: " + error.Message();
  } catch (const EDatabaseError& error) {
    return "!database: " + error.Message();
  }
}

// One Visual FoxPro table with a field of every kind the program may meet, and its memo.
class FieldValuesTest : public ::testing::Test {
 protected:
  // Each test writes its own copy: tests may run in parallel processes.
  void SetUp() override {
    folder_ = TestFolder(std::string("field_values_") +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    MemoBuilder memo = MemoBuilder::FoxPro(64);
    const int64_t note = memo.Add(std::string(100, 'x') + "\xE8" + "ek");
    memo.Write(folder_ + "t.fpt");
    DbfBuilder builder(0x30, 0xC8);
    builder.Field("NAME", 'C', 10)
        .Field("AMOUNT", 'N', 12, 2)
        .Field("ID", 'N', 10)
        .Field("SMALL", 'N', 4)
        .Field("DATUM", 'D', 8)
        .Field("PAID", 'L', 1)
        .Field("COUNT", 'I', 4)
        .Field("PRICE", 'Y', 8)
        .Field("STAMP", 'T', 8)
        .Field("RATE", 'B', 8)
        .Field("NOTE", 'M', 4)
        .Field("_NULLFLAGS", '0', 1);
    // Julian day number of 11 April 2017 and the milliseconds of 12:34:56.
    const std::string stamp = LittleEndian(2457855, 4) + LittleEndian(45296000, 4);
    builder.Values({"ABC", "     1234.50", "       -42", "  12", "20170411", "t",
                    LittleEndian(42, 4), LittleEndian(static_cast<uint64_t>(-15000), 8), stamp,
                    Double(1234.5), LittleEndian(static_cast<uint64_t>(note), 4), "\0"});
    builder.Values({"  ABC", "", "", " 12A", "00000000", "Y", LittleEndian(0, 4),
                    LittleEndian(0, 8), LittleEndian(0, 8), Double(0), LittleEndian(0, 4)});
    builder.Values({"1,5", "         1,5", "0x1F", "", "", "", LittleEndian(0xFFFFFFFF, 4),
                    LittleEndian(123456789, 8), LittleEndian(2415018, 4) + LittleEndian(0, 4),
                    Double(-0.00005), LittleEndian(0, 4)});
    builder.Values({"11.4.2017", "", "", "", "20170231", "", LittleEndian(0, 4), LittleEndian(0, 8),
                    LittleEndian(2457855, 4) + LittleEndian(0, 4), Double(0), LittleEndian(0, 4)});
    builder.Values({"4/11/2017", "", "", "", "2017041 ", "", LittleEndian(0, 4), LittleEndian(0, 8),
                    LittleEndian(0, 8), Double(0), LittleEndian(0, 4)});
    builder.Values({"", "", "", "", "", "", LittleEndian(0, 4), LittleEndian(0, 8),
                    LittleEndian(1721425, 4) + LittleEndian(5, 4), Double(0), LittleEndian(0, 4)});
    builder.Write(folder_ + "t.dbf");
  }

  void Open(const TFormatSettings& settings) {
    globals_ = std::make_unique<TDbfGlobals>(settings, EnumSystemCodePages());
    dbf_.Close();
    dbf_.SetFormatSettings(settings);
    dbf_.SetGlobals(*globals_);
    dbf_.SetReadOnly(true);
    dbf_.SetFilePath(folder_);
    dbf_.SetTableName("t.dbf");
    dbf_.Open();
  }

  void GoTo(int recno) {
    dbf_.First();
    while (dbf_.RecNo() != recno) dbf_.Next();
  }

  std::string folder_;
  std::unique_ptr<TDbfGlobals> globals_;
  TDbf dbf_{"Dbf1"};
};

TEST_F(FieldValuesTest, FieldClassesFollowTheKinds) {
  Open(kCzech);
  struct Case {
    const char* name;
    TFieldType kind;
    bool is_class;
    int size;
  } cases[] = {
      {"NAME", ftString, dynamic_cast<TStringField*>(&dbf_.FieldByName("NAME")) != nullptr, 10},
      {"AMOUNT", ftFloat, dynamic_cast<TFloatField*>(&dbf_.FieldByName("AMOUNT")) != nullptr, 0},
      {"ID", ftLargeint, dynamic_cast<TLargeintField*>(&dbf_.FieldByName("ID")) != nullptr, 0},
      {"SMALL", ftSmallint, dynamic_cast<TSmallintField*>(&dbf_.FieldByName("SMALL")) != nullptr,
       0},
      {"DATUM", ftDate, dynamic_cast<TDateField*>(&dbf_.FieldByName("DATUM")) != nullptr, 0},
      {"PAID", ftBoolean, dynamic_cast<TBooleanField*>(&dbf_.FieldByName("PAID")) != nullptr, 0},
      {"COUNT", ftInteger, dynamic_cast<TIntegerField*>(&dbf_.FieldByName("COUNT")) != nullptr, 0},
      {"PRICE", ftBCD, dynamic_cast<TBCDField*>(&dbf_.FieldByName("PRICE")) != nullptr, 8},
      {"STAMP", ftDateTime, dynamic_cast<TDateTimeField*>(&dbf_.FieldByName("STAMP")) != nullptr,
       0},
      {"RATE", ftFloat, dynamic_cast<TFloatField*>(&dbf_.FieldByName("RATE")) != nullptr, 0},
      {"NOTE", ftMemo, dynamic_cast<TMemoField*>(&dbf_.FieldByName("NOTE")) != nullptr, 0},
      {"_NULLFLAGS", ftBytes,
       dynamic_cast<TBytesField*>(&dbf_.FieldByName("_NULLFLAGS")) != nullptr, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TField& field = dbf_.FieldByName(c.name);
    EXPECT_EQ(field.DataType(), c.kind);
    EXPECT_TRUE(c.is_class);
    EXPECT_EQ(field.Size(), c.size);
  }
}

TEST_F(FieldValuesTest, ReadOperations) {
  const std::string float_failure = "!database: Cannot access field '%s' as type Float";
  const std::string date_failure = "!database: Cannot access field '%s' as type DateTime";
  auto failure = [](std::string pattern, const char* name) {
    return pattern.replace(pattern.find("%s"), 2, name);
  };
  // 11 April 2017 and 12:34:56 as date-and-time values.
  const std::string april11 = "42836";
  const std::string april11_time = "42836.5242593";
  struct Case {
    int recno;
    const TFormatSettings* settings;
    const char* field;
    std::string text;
    std::string number;
    std::string date;
  } cases[] = {
      {1, &kCzech, "NAME", "ABC", "!convert: 'ABC' is not a valid floating point value",
       "!convert: 'ABC' is not a valid date and time"},
      {2, &kCzech, "NAME", "  ABC", "!convert: '  ABC' is not a valid floating point value",
       "!convert: '  ABC' is not a valid date and time"},
      {3, &kCzech, "NAME", "1,5", "1.5", "!convert: '1,5' is not a valid date and time"},
      {3, &kUs, "NAME", "1,5", "!convert: '1,5' is not a valid floating point value",
       "!convert: '1,5' is not a valid date and time"},
      {4, &kCzech, "NAME", "11.4.2017", "!convert: '11.4.2017' is not a valid floating point value",
       april11},
      {5, &kUs, "NAME", "4/11/2017", "!convert: '4/11/2017' is not a valid floating point value",
       april11},
      {6, &kCzech, "NAME", "", "!convert: '' is not a valid floating point value",
       "!convert: '' is not a valid date and time"},

      {1, &kCzech, "AMOUNT", "1234,5", "1234.5", failure(date_failure, "AMOUNT")},
      {1, &kUs, "AMOUNT", "1234.5", "1234.5", failure(date_failure, "AMOUNT")},
      {2, &kCzech, "AMOUNT", "", "0", failure(date_failure, "AMOUNT")},
      {3, &kCzech, "AMOUNT", "1,5", "1.5", failure(date_failure, "AMOUNT")},
      {3, &kUs, "AMOUNT", "0", "0", failure(date_failure, "AMOUNT")},

      {1, &kCzech, "ID", "-42", "-42", failure(date_failure, "ID")},
      {2, &kCzech, "ID", "", "0", failure(date_failure, "ID")},
      {3, &kCzech, "ID", "31", "31", failure(date_failure, "ID")},
      {1, &kCzech, "SMALL", "12", "12", failure(date_failure, "SMALL")},
      {2, &kCzech, "SMALL", "0", "0", failure(date_failure, "SMALL")},

      {1, &kCzech, "DATUM", "11.4.2017", april11, april11},
      {1, &kUs, "DATUM", "4/11/2017", april11, april11},
      {2, &kCzech, "DATUM", "30.12.1899", "0", "0"},
      {3, &kCzech, "DATUM", "", "0", "0"},
      {4, &kCzech, "DATUM", "30.12.1899", "0", "0"},
      {5, &kCzech, "DATUM", "1.4.2017", "42826", "42826"},

      {1, &kCzech, "PAID", "True", failure(float_failure, "PAID"), failure(date_failure, "PAID")},
      {2, &kCzech, "PAID", "False", failure(float_failure, "PAID"), failure(date_failure, "PAID")},
      {3, &kCzech, "PAID", "", failure(float_failure, "PAID"), failure(date_failure, "PAID")},

      {1, &kCzech, "COUNT", "42", "42", failure(date_failure, "COUNT")},
      {2, &kCzech, "COUNT", "0", "0", failure(date_failure, "COUNT")},
      {3, &kCzech, "COUNT", "-1", "-1", failure(date_failure, "COUNT")},

      {1, &kCzech, "PRICE", "-1,5", "-1.5", failure(date_failure, "PRICE")},
      {2, &kCzech, "PRICE", "0", "0", failure(date_failure, "PRICE")},
      {3, &kUs, "PRICE", "12345.6789", "12345.6789", failure(date_failure, "PRICE")},

      {1, &kCzech, "STAMP", "11.4.2017 12:34:56", april11_time, april11_time},
      {1, &kUs, "STAMP", "4/11/2017 12:34:56 PM", april11_time, april11_time},
      {2, &kCzech, "STAMP", "", "0", "0"},
      {3, &kCzech, "STAMP", "29.12.1899", "-1", "-1"},
      {4, &kCzech, "STAMP", "11.4.2017", april11, april11},
      {6, &kCzech, "STAMP", "!convert: '0.5' is not a valid timestamp",
       "!convert: '0.5' is not a valid timestamp", "!convert: '0.5' is not a valid timestamp"},

      {1, &kCzech, "RATE", "1234,5", "1234.5", failure(date_failure, "RATE")},
      {2, &kCzech, "RATE", "0", "0", failure(date_failure, "RATE")},
      {3, &kCzech, "RATE", "-5E-5", "-5e-05", failure(date_failure, "RATE")},

      {1, &kCzech, "NOTE", std::string(100, 'x') + "\xE8" + "ek", failure(float_failure, "NOTE"),
       failure(date_failure, "NOTE")},
      {2, &kCzech, "NOTE", "", failure(float_failure, "NOTE"), failure(date_failure, "NOTE")},

      {1, &kCzech, "_NULLFLAGS", "", failure(float_failure, "_NULLFLAGS"),
       failure(date_failure, "_NULLFLAGS")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " of record " + std::to_string(c.recno) + " with " +
                 c.settings->short_date_format);
    Open(*c.settings);
    GoTo(c.recno);
    const TField& field = dbf_.FieldByName(c.field);
    std::string text;
    try {
      text = field.ReadText();
    } catch (const EConvertError& error) {
      text = "!convert: " + error.Message();
    }
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(Outcome([&] { return field.ReadNumber(); }), c.number);
    EXPECT_EQ(Outcome([&] { return field.ReadDate(); }), c.date);
    // A failed read leaves the cursor where it was.
    EXPECT_EQ(dbf_.RecNo(), c.recno);
  }
}

TEST_F(FieldValuesTest, TextReadIntoAKeptBufferReplacesItsContent) {
  Open(kUs);
  std::string text = "left over from before";
  for (const char* name : {"NAME", "AMOUNT", "ID", "DATUM", "PAID", "STAMP", "PRICE"}) {
    dbf_.FieldByName(name).ReadText(text);
    EXPECT_EQ(text, dbf_.FieldByName(name).ReadText()) << name;
  }
  dbf_.Next();
  dbf_.FieldByName("AMOUNT").ReadText(text);
  EXPECT_EQ(text, "");
}

// Text and memo values are converted from the table's code page; blob values are not.
TEST(FieldTranslationTest, OemTableReadsInTheAnsiCodePage) {
  const std::string folder = TestFolder("field_translation");
  // 0x9C is "ť" in code page 852 and 0x9D in 1250.
  MemoBuilder memo = MemoBuilder::Dbase(4);
  const int64_t note = memo.Add(
      "\x9C"
      "a");
  const int64_t data = memo.Add(
      "\x9C"
      "b");
  memo.Write(folder + "oem.dbt");
  DbfBuilder(0x8B, 0x64)
      .Field("NAME", 'C', 4)
      .Field("NOTE", 'M', 10)
      .Field("DATA", 'B', 10)
      .Values({"\x9C"
               "c",
               std::to_string(note), std::to_string(data)})
      .Write(folder + "oem.dbf");
  const TFormatSettings czech = TFormatSettings::Czech();
  TDbfGlobals globals(czech, EnumSystemCodePages());
  TDbf dbf("Dbf1");
  dbf.SetFormatSettings(czech);
  dbf.SetGlobals(globals);
  dbf.SetReadOnly(true);
  dbf.SetFilePath(folder);
  dbf.SetTableName("oem.dbf");
  dbf.Open();
  EXPECT_EQ(dbf.TableLevel(), 4);
  EXPECT_EQ(dbf.FieldByName("NAME").ReadText(),
            "\x9D"
            "c");
  EXPECT_EQ(dbf.FieldByName("NOTE").ReadText(),
            "\x9D"
            "a");
  EXPECT_EQ(dbf.FieldByName("DATA").ReadText(),
            "\x9C"
            "b");
  // The record image itself stays as stored.
  EXPECT_EQ(dbf.ActiveRecord().substr(1, 1), "\x9C");
}

// dBASE 7 tables: autoincrement values and timestamps in both handlings.
TEST(FieldLevel7Test, AutoIncAndTimestamps) {
  const std::string folder = TestFolder("field_level7");
  // 11 April 2017 12:34:56 in milliseconds since 1 January 0001 minus one day.
  const double milliseconds = (42836 + 693594) * 86400000.0 + 45296000;
  DbfBuilder(0x04, 0)
      .LanguageDriverName("DBWINUS0")
      .Field("NR", '+', 4)
      .Field("STAMP", '@', 8)
      .Values({test::BigEndian(0x80000007, 4),
               test::BigEndian(std::bit_cast<uint64_t>(milliseconds), 8)})
      .Values({test::BigEndian(0, 4), test::BigEndian(std::bit_cast<uint64_t>(42836.2500001), 8)})
      .Write(folder + "l7.dbf");
  struct Case {
    TDateTimeHandling handling;
    int recno;
    std::string nr;
    double date;
  } cases[] = {
      {dtBDETimeStamp, 1, "7", 42836 + 45296.0 / 86400},
      // Read as a plain date-and-time value, the milliseconds lie far beyond year 9999.
      {dtDateTime, 1, "7", milliseconds},
      {dtDateTime, 2, "", 42836.2500001},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.recno);
    TDbf dbf("Dbf1");
    dbf.SetFormatSettings(kUs);
    dbf.SetDateTimeHandling(c.handling);
    dbf.SetFilePath(folder);
    dbf.SetTableName("l7.dbf");
    dbf.Open();
    EXPECT_EQ(dbf.TableLevel(), 7);
    if (c.recno == 2) dbf.Next();
    EXPECT_EQ(dbf.FieldByName("NR").DataType(), ftAutoInc);
    EXPECT_EQ(dbf.FieldByName("NR").ReadText(), c.nr);
    EXPECT_NEAR(dbf.FieldByName("STAMP").ReadDate(), c.date, 1e-8);
    if (c.handling == dtBDETimeStamp) {
      EXPECT_EQ(dbf.FieldByName("STAMP").ReadText(), "4/11/2017 12:34:56 PM");
    }
  }
}

TEST(FieldBoundsTest, FieldsPassingTheRecordEndReadAsEmpty) {
  const std::string folder = TestFolder("field_bounds");
  // The record length says 1 + 3 + 2 bytes, the descriptors 1 + 3 + 5 + 4.
  DbfBuilder(0x30, 0)
      .Field("A", 'C', 3)
      .Field("B", 'C', 5)
      .Field("C", 'I', 4)
      .RecordLength(6)
      .Record("abcde")
      .Record("fghij")
      .Write(folder + "short.dbf");
  TDbf dbf("Dbf1");
  dbf.SetReadOnly(true);
  dbf.SetFilePath(folder);
  dbf.SetTableName("short.dbf");
  dbf.Open();
  EXPECT_EQ(dbf.RecordCount(), 2);
  EXPECT_EQ(dbf.FieldByName("A").ReadText(), "abc");
  EXPECT_EQ(dbf.FieldByName("B").ReadText(), "");
  EXPECT_EQ(dbf.FieldByName("C").ReadText(), "");
  EXPECT_EQ(dbf.FieldByName("C").ReadNumber(), 0);
  dbf.Next();
  EXPECT_EQ(dbf.FieldByName("A").ReadText(), "fgh");
}

}  // namespace
}  // namespace zered
