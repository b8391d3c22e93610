#include "dbf/field_decoding.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>

#include "base/exceptions.h"
#include "support/dbf_builder.h"

namespace zered {
namespace {

using namespace std::string_literals;
using test::BigEndian;
using test::LittleEndian;

// 11 April 2017 and 1 April 2017 as date-and-time values; 12:34:56 as a fraction of a day.
constexpr double kApril11 = 42836;
constexpr double kApril1 = 42826;
constexpr double kTime123456 = 45296.0 / 86400;
// Julian day number of 11 April 2017.
constexpr uint32_t kJulianApril11 = 2457855;

std::string Bits(double value, bool big_endian) {
  const auto bits = std::bit_cast<uint64_t>(value);
  return big_endian ? BigEndian(bits, 8) : LittleEndian(bits, 8);
}

// The O type's sortable form of a double.
std::string Sortable(double value) {
  auto bits = std::bit_cast<uint64_t>(value);
  bits = value < 0 ? ~bits : bits | (uint64_t{1} << 63);
  return BigEndian(bits, 8);
}

// Milliseconds of the @ type for a date-and-time value at or after 30 December 1899.
std::string BdeTimestamp(double date_time) { return Bits((date_time + 693594) * 86400000.0, true); }

TFieldValue Decode(char letter, int level, const std::string& bytes, TFieldType wanted,
                   char separator = '.', TDateTimeHandling handling = dtBDETimeStamp) {
  TFieldCoding coding{letter, level, static_cast<int>(bytes.size()), handling};
  return DecodeFieldValue(coding, bytes, wanted, separator);
}

TEST(FieldDecodingTest, TextKeepsLeadingBlanksAndEndsAtNul) {
  struct Case {
    std::string stored;
    bool empty;
    std::string text;
  } cases[] = {
      {"ABC       ", false, "ABC"},
      {"  ABC     ", false, "  ABC"},
      {"          ", true, ""},
      {"AB\0CD   "s, false, "AB"},
      // Only blanks are trimmed: a NUL makes the value non-empty.
      {"\0         "s, false, ""},
      {"A\t ", false, "A\t"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    const TFieldValue value = Decode('C', 25, c.stored, ftString);
    EXPECT_EQ(value.empty, c.empty);
    EXPECT_EQ(value.text, c.text);
  }
}

TEST(FieldDecodingTest, IntegerText) {
  struct Case {
    std::string stored;
    TFieldType wanted;
    bool empty;
    int64_t integer;
  } cases[] = {
      {"       -42", ftLargeint, false, -42},
      {"  +7", ftSmallint, false, 7},
      {"    ", ftSmallint, true, 0},
      {" 12A", ftSmallint, false, 0},
      {" $1F", ftSmallint, false, 31},
      {"     0x10", ftInteger, false, 16},
      {"  1 2", ftInteger, false, 0},
      {"3000000000", ftInteger, false, 0},
      {"3000000000", ftLargeint, false, 3000000000},
      {"99999999999999999999", ftLargeint, false, 0},
      {"-9223372036854775808", ftLargeint, false, INT64_MIN},
      // An integer that does not fit in 16 bits keeps its low 16 bits.
      {"70000", ftSmallint, false, 4464},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    const TFieldValue value = Decode('N', 25, c.stored, c.wanted);
    EXPECT_EQ(value.empty, c.empty);
    EXPECT_EQ(value.integer, c.integer);
  }
}

TEST(FieldDecodingTest, FloatTextAcceptsPointWithEitherSeparator) {
  struct Case {
    std::string stored;
    char separator;
    bool empty;
    double number;
  } cases[] = {
      {"     1234.50", '.', false, 1234.5}, {"     1234.50", ',', false, 1234.5},
      {"     -0.25", ',', false, -0.25},    {"        1,5", ',', false, 1.5},
      {"        1,5", '.', false, 0},       {"            ", '.', true, 0},
      {"         12A", '.', false, 0},      {"       1.5.2", ',', false, 0},
      {"      1.5E+3", '.', false, 1500},   {"         1e999", '.', false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored + " with separator " + c.separator);
    const std::string before = c.stored;
    const TFieldValue value = Decode('N', 25, c.stored, ftFloat, c.separator);
    EXPECT_EQ(value.empty, c.empty);
    EXPECT_DOUBLE_EQ(value.number, c.number);
    EXPECT_EQ(c.stored, before);
  }
}

TEST(FieldDecodingTest, Boolean) {
  struct Case {
    std::string stored;
    bool empty;
    bool boolean;
  } cases[] = {{"t", false, true},  {"T", false, true},  {"Y", false, false},
               {"F", false, false}, {"?", false, false}, {" ", true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    const TFieldValue value = Decode('L', 25, c.stored, ftBoolean);
    EXPECT_EQ(value.empty, c.empty);
    EXPECT_EQ(value.boolean, c.boolean);
  }
}

TEST(FieldDecodingTest, DateText) {
  struct Case {
    std::string stored;
    bool empty;
    double date;
  } cases[] = {
      {"20170411", false, kApril11},
      {"        ", true, 0},
      {"00000000", false, 0},
      {"20170231", false, 0},
      // The trailing blank is trimmed; the day "1 " (1 and a position beyond the text) is
      // not an integer and counts as 1.
      {"2017041 ", false, kApril1},
      {"201704  ", false, kApril1},
      {" 2017041", false, kApril1},
      {"18991230", false, 0},
      {"18991229", false, -1},
      {"00010101", false, -693593},
      {"99991231", false, 2958465},
      {"2017 411", false, kApril11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    TFieldCoding coding{'D', 25, 8, dtBDETimeStamp};
    const TFieldValue value = DecodeFieldValue(coding, c.stored, ftDate, '.');
    EXPECT_EQ(value.empty, c.empty);
    EXPECT_DOUBLE_EQ(value.number, c.date);
  }
}

TEST(FieldDecodingTest, BinaryIntegers) {
  struct Case {
    char letter;
    int level;
    std::string stored;
    bool empty;
    int64_t integer;
  } cases[] = {
      {'I', 25, LittleEndian(42, 4), false, 42},
      {'I', 25, LittleEndian(0, 4), false, 0},
      {'I', 25, LittleEndian(0xFFFFFFFF, 4), false, -1},
      {'I', 4, BigEndian(0x8000002A, 4), false, 42},
      {'I', 4, BigEndian(0x7FFFFFFF, 4), false, -1},
      {'I', 7, BigEndian(0, 4), true, 0},
      {'+', 7, BigEndian(0x80000001, 4), false, 1},
      {'+', 7, BigEndian(0, 4), true, 0},
      {'Y', 25, LittleEndian(static_cast<uint64_t>(-15000), 8), false, -15000},
      {'M', 25, LittleEndian(5, 4), false, 5},
      {'M', 25, LittleEndian(0, 4), true, 0},
      // A binary value needs all its bytes.
      {'I', 25, std::string("\x2A\0", 2), true, 0},
      {'Y', 25, LittleEndian(1, 4), true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(1, c.letter) + " at level " + std::to_string(c.level));
    const TFieldValue value = Decode(c.letter, c.level, c.stored, ftInteger);
    EXPECT_EQ(value.empty, c.empty);
    EXPECT_EQ(value.integer, c.integer);
  }
}

TEST(FieldDecodingTest, BinaryNumbersAndTimestamps) {
  struct Case {
    const char* name;
    char letter;
    std::string stored;
    TDateTimeHandling handling;
    bool empty;
    double number;
  } cases[] = {
      {"currency", 'Y', LittleEndian(static_cast<uint64_t>(-15000), 8), dtBDETimeStamp, false,
       -1.5},
      {"double", 'B', Bits(1234.5, false), dtBDETimeStamp, false, 1234.5},
      {"sortable positive", 'O', Sortable(1234.5), dtBDETimeStamp, false, 1234.5},
      {"sortable negative", 'O', Sortable(-2.0), dtBDETimeStamp, false, -2.0},
      {"sortable empty", 'O', std::string(8, '\0'), dtBDETimeStamp, true, 0},
      {"julian", 'T', LittleEndian(kJulianApril11, 4) + LittleEndian(45296000, 4), dtBDETimeStamp,
       false, kApril11 + kTime123456},
      {"julian date only", 'T', LittleEndian(kJulianApril11, 4) + LittleEndian(0, 4),
       dtBDETimeStamp, false, kApril11},
      // 29 December 1899, 06:00: before day 0 the time is subtracted.
      {"julian before 1900", 'T', LittleEndian(2415018, 4) + LittleEndian(21600000, 4),
       dtBDETimeStamp, false, -1.25},
      {"julian empty", 'T', std::string(8, '\0'), dtBDETimeStamp, true, 0},
      {"bde", '@', BdeTimestamp(kApril11 + kTime123456), dtBDETimeStamp, false,
       kApril11 + kTime123456},
      {"bde half empty", '@', BigEndian(0x42000000, 4) + std::string(4, '\0'), dtBDETimeStamp, true,
       0},
      {"date time", '@', Bits(42836.123, true), dtDateTime, false, 42836.123},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TFieldValue value = Decode(c.letter, 25, c.stored, ftFloat, '.', c.handling);
    EXPECT_EQ(value.empty, c.empty);
    EXPECT_NEAR(value.number, c.number, 1e-9);
  }
}

TEST(FieldDecodingTest, ImpossibleTimestampsFail) {
  struct Case {
    char letter;
    std::string stored;
    const char* message;
  } cases[] = {
      {'T', LittleEndian(1721425, 4) + LittleEndian(1, 4), "'0.1' is not a valid timestamp"},
      {'T', LittleEndian(kJulianApril11, 4) + LittleEndian(0xFFFFFFFF, 4),
       "'736430.-1' is not a valid timestamp"},
      {'T', LittleEndian(0x80000000, 4) + LittleEndian(0, 4),
       "'-2149205073.0' is not a valid timestamp"},
      {'@', Bits(1000.3, true), "'0.1000' is not a valid timestamp"},
      {'@', Bits(-172800000.3, true), "'-2.0' is not a valid timestamp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    try {
      Decode(c.letter, 25, c.stored, ftDateTime);
      ADD_FAILURE() << "no failure";
    } catch (const EConvertError& error) {
      EXPECT_EQ(error.Message(), c.message);
    }
  }
}

TEST(FieldDecodingTest, AtMostTheFieldSizeIsRead) {
  // A view longer than the field (the rest of the record) must not change the value.
  const std::string record = "  12345678";
  TFieldCoding coding{'N', 25, 4, dtBDETimeStamp};
  EXPECT_EQ(DecodeFieldValue(coding, record, ftSmallint, '.').integer, 12);
}

TEST(FieldDecodingTest, MemoBlockNumbers) {
  struct Case {
    char letter;
    int level;
    std::string stored;
    bool empty;
    int64_t block;
  } cases[] = {
      {'M', 4, "         7", false, 7},
      {'M', 4, "          ", true, 0},
      {'B', 4, "        12", false, 12},
      // G fields always hold their block number as text.
      {'G', 25, "      3", false, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    const TFieldValue value = Decode(c.letter, c.level, c.stored, ftInteger);
    EXPECT_EQ(value.empty, c.empty);
    EXPECT_EQ(value.integer, c.block);
  }
}

}  // namespace
}  // namespace zered
