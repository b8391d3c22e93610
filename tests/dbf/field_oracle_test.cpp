// Cross-checks the field values with an independent DBF writer and reader: python3-dbf
// writes a Visual FoxPro table of random values, dbfread reads it back, and every value
// must read the same through the table cursor.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "dbf/dbf_globals.h"
#include "dbf/tdbf.h"
#include "support/dbf_builder.h"

namespace zered {
namespace {

constexpr const char* kGenerator = R"PY(
import datetime, decimal, random, sys
import dbf, dbfread

folder = sys.argv[1]
random.seed(20261210)
table = dbf.Table(folder + 'oracle.dbf',
                  'NAME C(12); AMOUNT N(12,2); ID N(10,0); SMALL N(4,0); RATE F(10,3); '
                  'DATUM D; PAID L; COUNT I; PRICE Y; STAMP T; DBL B',
                  dbf_type='vfp', codepage='cp1250')
table.open(dbf.READ_WRITE)
letters = 'abcXYZ019 ěščřžýáíéůúťďňĚŠČŘŽÝÁÍÉŮ'
def maybe(value):
    return None if random.random() < 0.15 else value
for n in range(400):
    name = ''.join(random.choice(letters) for _ in range(random.randint(0, 12)))
    table.append((
        name,
        maybe(round(random.uniform(-1e8, 1e8), 2)),
        maybe(random.randint(-999999999, 999999999)),
        maybe(random.randint(-999, 9999)),
        maybe(round(random.uniform(-99999, 99999), 3)),
        maybe(datetime.date(1900, 1, 1) + datetime.timedelta(days=random.randint(0, 80000))),
        random.choice([True, False, None]),
        random.randint(-2**31, 2**31 - 1),
        decimal.Decimal(random.randint(-10**12, 10**12)) / 10000,
        maybe(datetime.datetime(1900, 1, 1) + datetime.timedelta(seconds=random.randint(0, 6 * 10**9))),
        random.choice([0.0, random.uniform(-1e6, 1e6), random.uniform(-1e-6, 1e-6), 1e300]),
    ))
for record in table:
    if random.random() < 0.1:
        dbf.delete(record)
table.close()

epoch_date = datetime.date(1899, 12, 30)
epoch = datetime.datetime(1899, 12, 30)
with open(folder + 'expected.txt', 'wb') as out:
    for number, record in enumerate(
            dbfread.DBF(folder + 'oracle.dbf', encoding='cp1250', ignore_missing_memofile=True)):
        for name, value in record.items():
            if value is None:
                text = 'None'
            elif isinstance(value, bool):
                text = str(value)
            elif isinstance(value, datetime.datetime):
                delta = value - epoch
                text = '%d %d' % (delta.days, delta.seconds * 1000 + delta.microseconds // 1000)
            elif isinstance(value, datetime.date):
                text = str((value - epoch_date).days)
            elif isinstance(value, decimal.Decimal):
                text = format(value.normalize(), 'f')
            elif isinstance(value, float):
                text = repr(value)
            else:
                text = str(value)
            out.write(('%d\t%s\t' % (number + 1, name)).encode() + text.encode('cp1250') + b'\n')
)PY";

struct Expected {
  int record;
  std::string field;
  std::string value;
};

std::vector<Expected> ReadExpected(const std::string& path) {
  std::vector<Expected> expected;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    const size_t tab1 = line.find('\t');
    const size_t tab2 = line.find('\t', tab1 + 1);
    expected.push_back({std::stoi(line.substr(0, tab1)), line.substr(tab1 + 1, tab2 - tab1 - 1),
                        line.substr(tab2 + 1)});
  }
  return expected;
}

TEST(FieldOracleTest, ValuesMatchAnIndependentReader) {
  const std::string folder = test::TestFolder("field_oracle");
  {
    std::ofstream script(folder + "generate.py");
    script << kGenerator;
  }
  const std::string command = "/usr/bin/python3 " + folder + "generate.py " + folder;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const std::vector<Expected> expected = ReadExpected(folder + "expected.txt");
  ASSERT_FALSE(expected.empty());

  // A Czech machine (ANSI code page 1250, the table's own) with "." as decimal separator.
  TFormatSettings settings = TFormatSettings::Czech();
  settings.decimal_separator = '.';
  const TDbfGlobals globals(settings, {1250});
  TDbf dbf("Dbf1");
  dbf.SetGlobals(globals);
  dbf.SetFormatSettings(settings);
  dbf.SetReadOnly(true);
  dbf.SetFilePath(folder);
  dbf.SetTableName("oracle.dbf");
  dbf.Open();
  ASSERT_EQ(dbf.LanguageId(), 0xC8);
  const std::map<std::string, char> kinds = {
      {"NAME", 'C'}, {"AMOUNT", 'N'}, {"ID", 'N'},    {"SMALL", 'N'}, {"RATE", 'N'}, {"DATUM", 'D'},
      {"PAID", 'L'}, {"COUNT", 'N'},  {"PRICE", 'Y'}, {"STAMP", 'T'}, {"DBL", 'N'}};
  int visible = 1;
  dbf.First();
  for (const Expected& e : expected) {
    while (visible < e.record) {
      dbf.Next();
      ++visible;
    }
    ASSERT_FALSE(dbf.Eof());
    SCOPED_TRACE("record " + std::to_string(e.record) + " field " + e.field + " expected " +
                 e.value);
    const TField& field = dbf.FieldByName(e.field);
    const bool none = e.value == "None";
    switch (kinds.at(e.field)) {
      case 'C':
        EXPECT_EQ(field.ReadText(), e.value);
        break;
      case 'N':
        EXPECT_EQ(field.ReadNumber(), none ? 0 : std::strtod(e.value.c_str(), nullptr));
        if (none) {
          EXPECT_EQ(field.ReadText(), "");
        } else if (field.DataType() != ftFloat) {
          EXPECT_EQ(field.ReadText(), e.value);
        }
        break;
      case 'D':
        EXPECT_EQ(field.ReadDate(), none ? 0 : std::stod(e.value));
        break;
      case 'L':
        // A stored "?" reads as unknown there and as false here.
        if (none) {
          EXPECT_NE(field.ReadText(), "True");
        } else {
          EXPECT_EQ(field.ReadText(), e.value);
        }
        break;
      case 'Y':
        EXPECT_EQ(field.ReadText(), e.value);
        EXPECT_DOUBLE_EQ(field.ReadNumber(), std::stod(e.value));
        break;
      case 'T': {
        if (none) {
          EXPECT_EQ(field.ReadDate(), 0);
          EXPECT_EQ(field.ReadText(), "");
          break;
        }
        std::istringstream parts(e.value);
        double days = 0;
        double milliseconds = 0;
        parts >> days >> milliseconds;
        const double fraction = milliseconds / 86400000;
        EXPECT_NEAR(field.ReadDate(), days < 0 ? days - fraction : days + fraction, 1e-9);
        break;
      }
    }
  }
  dbf.Next();
  EXPECT_TRUE(dbf.Eof());
}

}  // namespace
}  // namespace zered
