#include "dbf/dbf_file.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <share.h>
#endif

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "base/exceptions.h"
#include "support/dbf_builder.h"

namespace zered {
namespace {

using test::DbfBuilder;
using test::LittleEndian;
using test::MemoBuilder;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Writes `builder`'s table as <folder>/t.dbf and opens it.
class DbfFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = test::TestFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
  }

  std::string Write(const DbfBuilder& builder, const std::string& name = "t.dbf") {
    const std::string path = folder_ + name;
    builder.Write(path);
    return path;
  }

  std::unique_ptr<TDbfFile> Open(const DbfBuilder& builder) {
    auto file = std::make_unique<TDbfFile>(Write(builder), pfReadOnly);
    file->Open();
    return file;
  }

  // The message of the failure that opening `builder`'s table raises, "" when it opens.
  std::string OpenFailure(const DbfBuilder& builder) {
    try {
      Open(builder);
    } catch (const EDbfError& error) {
      return error.Message();
    }
    return "";
  }

  std::string folder_;
};

struct LevelCase {
  uint8_t version;
  uint8_t language_id;
  int level;  // 0: rejected
};

class TableLevelTest : public DbfFileTest, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(TableLevelTest, VersionByteDecidesTheLevel) {
  const LevelCase& c = GetParam();
  DbfBuilder builder(c.version, c.language_id);
  builder.Field("NAME", 'C', 5).Values({"abc"});
  if (c.level == 0) {
    EXPECT_EQ(OpenFailure(builder), "Invalid DBF file.");
    return;
  }
  auto file = Open(builder);
  EXPECT_EQ(file->TableLevel(), c.level);
  ASSERT_EQ(file->FieldDefs().Count(), 1);
  EXPECT_EQ(file->FieldDefs().Items(0).FieldName(), "NAME");
  EXPECT_EQ(file->RecordCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Versions, TableLevelTest,
                         ::testing::Values(LevelCase{0x30, 0xC8, 25}, LevelCase{0x31, 0x03, 25},
                                           LevelCase{0x32, 0x03, 25}, LevelCase{0xF5, 0, 25},
                                           LevelCase{0x02, 0, 25}, LevelCase{0x83, 0, 3},
                                           LevelCase{0x03, 0, 3}, LevelCase{0x8B, 0x57, 4},
                                           LevelCase{0x03, 0x57, 4}, LevelCase{0x04, 0, 7},
                                           LevelCase{0x8C, 0, 7}, LevelCase{0x00, 0, 0},
                                           LevelCase{0x01, 0, 0}, LevelCase{0x36, 0, 0},
                                           LevelCase{0x07, 0, 0}));

TEST_F(DbfFileTest, VisualFoxProHeaderGivesFieldsAndCodePage) {
  DbfBuilder builder(0x30, 0xC8);
  builder.Field("id", 'I', 4).Field("Name", 'C', 20).Field("AMOUNT", 'N', 12, 2);
  builder.Values({LittleEndian(7, 4),
                  "\x9D"
                  "ab",
                  "     1234.50"});
  auto file = Open(builder);
  EXPECT_EQ(file->HeaderSize(), 32 + 32 * 3 + 1 + 263);
  EXPECT_EQ(file->RecordSize(), 1 + 4 + 20 + 12);
  EXPECT_EQ(file->FileCodePage(), 1250);
  EXPECT_EQ(file->UseCodePage(), 1250);
  EXPECT_EQ(file->LanguageId(), 0xC8);
  const TDbfFieldDefs& defs = file->FieldDefs();
  ASSERT_EQ(defs.Count(), 3);
  EXPECT_EQ(defs.Items(0).FieldName(), "ID");
  EXPECT_EQ(defs.Items(1).FieldName(), "NAME");
  EXPECT_EQ(defs.Items(1).Offset(), 5);
  EXPECT_EQ(defs.Items(2).Offset(), 25);
  EXPECT_EQ(defs.Find("amount"), &defs.Items(2));
  EXPECT_EQ(defs.Find("amoun"), nullptr);

  std::string record(file->RecordSize(), '\0');
  ASSERT_TRUE(file->ReadRecord(1, record.data()));
  EXPECT_EQ(record.substr(0, 5), std::string(" \x07\0\0\0", 5));
  EXPECT_EQ(record.substr(5, 3),
            "\x9D"
            "ab");
  EXPECT_EQ(record.substr(25), "     1234.50");
}

TEST_F(DbfFileTest, UnlistedLanguageDriverGivesNoCodePage) {
  auto file = Open(DbfBuilder(0x30, 0x00).Field("A", 'C', 1));
  EXPECT_EQ(file->FileCodePage(), 0);
}

TEST_F(DbfFileTest, OffsetsFollowStoredLengthsNotTheDescriptor) {
  DbfBuilder builder(0x30);
  builder.Field("LONGTEXT", 'C', 300).Field("BIG", 'N', 25).Field("LAST", 'C', 2);
  // Descriptor offsets are garbage on purpose: the reader computes its own.
  builder.SetByte(32 + 32 + 12, 0x77).SetByte(32 + 64 + 12, 0x55);
  auto file = Open(builder);
  const TDbfFieldDefs& defs = file->FieldDefs();
  EXPECT_EQ(defs.Items(0).Size(), 300);
  EXPECT_EQ(defs.Items(0).Precision(), 0);
  EXPECT_EQ(defs.Items(1).Offset(), 301);
  EXPECT_EQ(defs.Items(1).FieldType(), ftLargeint);
  EXPECT_EQ(defs.Items(1).Size(), 20);
  EXPECT_EQ(defs.Items(1).StoredSize(), 25);
  EXPECT_EQ(defs.Items(2).Offset(), 326);
  EXPECT_EQ(file->RecordSize(), 328);
}

struct TypeCase {
  uint8_t version;
  uint8_t letter;
  int length;
  int decimals;
  TFieldType kind;  // ftUnknown: the table is rejected
  int size;
  int precision;
};

void PrintTo(const TypeCase& c, std::ostream* os) {
  *os << "version " << int{c.version} << " letter '" << static_cast<char>(c.letter) << "' "
      << c.length << "." << c.decimals;
}

class FieldTypeTest : public DbfFileTest, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(FieldTypeTest, LetterLengthAndDecimalsGiveKindSizeAndPrecision) {
  const TypeCase& c = GetParam();
  DbfBuilder builder(c.version, 0x03);
  builder.Field("F", static_cast<char>(c.letter), c.length, c.decimals).Field("NEXT", 'C', 1);
  if (c.kind == ftUnknown) {
    EXPECT_EQ(OpenFailure(builder), "Invalid DBF file.");
    return;
  }
  auto file = Open(builder);
  const TDbfFieldDef& def = file->FieldDefs().Items(0);
  EXPECT_EQ(def.FieldType(), c.kind);
  EXPECT_EQ(def.Size(), c.size);
  EXPECT_EQ(def.Precision(), c.precision);
  EXPECT_EQ(file->FieldDefs().Items(1).Offset(), 1 + (c.length & 0xFF));
}

INSTANTIATE_TEST_SUITE_P(
    Letters, FieldTypeTest,
    ::testing::Values(
        TypeCase{0x30, 'C', 10, 0, ftString, 10, 0}, TypeCase{0x30, 'c', 10, 0, ftString, 10, 0},
        TypeCase{0x83, 'C', 200, 0, ftString, 200, 0}, TypeCase{0x30, 'N', 4, 0, ftSmallint, 4, 0},
        TypeCase{0x30, 'N', 5, 0, ftInteger, 5, 0}, TypeCase{0x30, 'N', 9, 0, ftInteger, 9, 0},
        TypeCase{0x30, 'N', 10, 0, ftLargeint, 10, 0}, TypeCase{0x30, 'N', 12, 2, ftFloat, 12, 2},
        TypeCase{0x30, 'F', 3, 5, ftFloat, 3, 1}, TypeCase{0x30, 'N', 1, 1, ftFloat, 1, 0},
        TypeCase{0x83, 'N', 30, 4, ftFloat, 20, 4}, TypeCase{0x30, 'D', 8, 0, ftDate, 8, 0},
        TypeCase{0x30, 'L', 1, 0, ftBoolean, 1, 0}, TypeCase{0x30, 'M', 4, 0, ftMemo, 4, 0},
        TypeCase{0x30, 'M', 10, 0, ftMemo, 10, 0}, TypeCase{0x30, 'M', 8, 0, ftMemo, 4, 0},
        TypeCase{0x83, 'M', 10, 0, ftMemo, 10, 0}, TypeCase{0x8B, 'M', 4, 0, ftMemo, 10, 0},
        TypeCase{0x30, 'G', 4, 0, ftDBaseOle, 4, 0}, TypeCase{0x30, 'B', 8, 0, ftFloat, 8, 0},
        TypeCase{0x8B, 'B', 10, 0, ftBlob, 10, 0}, TypeCase{0x30, 'I', 4, 0, ftInteger, 4, 0},
        TypeCase{0x04, '+', 4, 0, ftAutoInc, 4, 0}, TypeCase{0x30, 'O', 8, 0, ftFloat, 8, 0},
        TypeCase{0x04, '@', 8, 0, ftDateTime, 8, 0}, TypeCase{0x30, 'T', 8, 0, ftDateTime, 8, 0},
        TypeCase{0x8B, 'T', 8, 0, ftDateTime, 14, 0}, TypeCase{0x30, 'Y', 8, 4, ftBCD, 8, 4},
        TypeCase{0x30, '0', 2, 0, ftBytes, 2, 0}, TypeCase{0x30, 0x91, 6, 0, ftString, 6, 0},
        TypeCase{0x30, 'V', 10, 0, ftUnknown, 0, 0}, TypeCase{0x30, 'P', 10, 0, ftUnknown, 0, 0},
        TypeCase{0x30, 'Q', 10, 0, ftUnknown, 0, 0}, TypeCase{0x30, 'W', 10, 0, ftUnknown, 0, 0},
        TypeCase{0x30, '+', 4, 0, ftUnknown, 0, 0}, TypeCase{0x8B, '+', 4, 0, ftUnknown, 0, 0},
        TypeCase{0x30, 'X', 4, 0, ftUnknown, 0, 0}, TypeCase{0x30, 0, 4, 0, ftUnknown, 0, 0}));

TEST_F(DbfFileTest, DamagedHeadersAreRejected) {
  struct Case {
    const char* what;
    DbfBuilder builder;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"empty file", DbfBuilder().Truncate(0), "Invalid DBF file."},
      {"header cut at 20 bytes", DbfBuilder().Field("A", 'C', 1).Truncate(20), "Invalid DBF file."},
      {"empty field name", DbfBuilder().Field("A", 'C', 1).SetByte(32, 0), "Invalid DBF file."},
      // Without the terminator the descriptor loop reads on into the backlink area.
      {"terminator cut", DbfBuilder().Field("A", 'C', 1).CutTerminator(), "Invalid DBF file."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OpenFailure(c.builder), c.message) << c.what;
  }
}

TEST_F(DbfFileTest, ZeroHeaderOrRecordLengthAbandonsTheOpenSilently) {
  for (auto builder : {DbfBuilder().Field("A", 'C', 1).RecordLength(0),
                       DbfBuilder().Field("A", 'C', 1).HeaderLength(0)}) {
    TDbfFile file(Write(builder), pfReadOnly);
    ASSERT_NO_THROW(file.Open());
    EXPECT_TRUE(file.AbortOpen());
    EXPECT_FALSE(file.Active());
    EXPECT_EQ(file.RecordCount(), 0);
  }
}

TEST_F(DbfFileTest, MissingTableIsNotFound) {
  TDbfFile file(folder_ + "none.dbf", pfReadOnly);
  try {
    file.Open();
    FAIL() << "opened a missing table";
  } catch (const EDbfError&) {
    FAIL() << "a missing table is not a format error";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Open: file not found: \"" + folder_ + "none.dbf\".");
  }
  EXPECT_FALSE(std::filesystem::exists(folder_ + "none.dbf"));
}

TEST_F(DbfFileTest, UnreadableTableIsAnOpenError) {
  const std::string path = Write(DbfBuilder().Field("A", 'C', 1));
#ifdef _WIN32
  // Held open by a program that shares it with nobody: Windows refuses every other open.
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> holder(
      ::_fsopen(path.c_str(), "rb", _SH_DENYRW), &std::fclose);
  ASSERT_NE(holder, nullptr);
#else
  std::filesystem::permissions(path, std::filesystem::perms::none);
  if (std::ifstream(path).is_open()) GTEST_SKIP() << "permissions do not apply to this user";
#endif
  TDbfFile file(path, pfReadOnly);
  try {
    file.Open();
    FAIL() << "opened an unreadable table";
  } catch (const EFOpenError& error) {
    EXPECT_EQ(error.Message().rfind("Cannot open file \"" + path + "\". ", 0), 0u)
        << error.Message();
  }
}

TEST_F(DbfFileTest, RecordCountFollowsTheFileSizeAndNothingIsWritten) {
  DbfBuilder builder(0x30);
  builder.Field("N", 'C', 4);
  for (int i = 0; i < 12; ++i) builder.Values({std::to_string(i)});
  builder.HeaderCount(10).EndOfFileByte(false).Append("ha");
  const std::string path = Write(builder);
  const std::string before = ReadBytes(path);
  {
    TDbfFile file(path, pfReadOnly);
    file.Open();
    EXPECT_EQ(file.RecordCount(), 12);
    EXPECT_EQ(LittleEndian(12, 4),
              std::string(reinterpret_cast<const char*>(file.Header() + 4), 4));
    // Records appended by another program are counted on the next call.
    std::ofstream(path, std::ios::binary | std::ios::app) << "ab   ";
    EXPECT_EQ(file.RecordCount(), 13);
    std::filesystem::resize_file(path, before.size());
  }
  EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(DbfFileTest, HeaderOnlyTableHasNoRecords) {
  auto file = Open(DbfBuilder().Field("A", 'C', 1).HeaderCount(5));
  EXPECT_EQ(file->RecordCount(), 0);
}

TEST_F(DbfFileTest, ReadRecordKeepsTheDeletionFlagAndFailsPastTheEnd) {
  DbfBuilder builder;
  builder.Field("A", 'C', 3).Values({"one"}).Values({"two"}, true).Values({"six"});
  auto file = Open(builder);
  std::string record(4, '\0');
  ASSERT_TRUE(file->ReadRecord(2, record.data()));
  EXPECT_EQ(record, "*two");
  ASSERT_TRUE(file->ReadRecord(3, record.data()));
  EXPECT_EQ(record, " six");
  EXPECT_FALSE(file->ReadRecord(4, record.data()));  // only the end-of-file byte is there
  EXPECT_EQ(record, "\x1A   ");
  EXPECT_FALSE(file->ReadRecord(0, record.data()));
  EXPECT_EQ(record, "    ");
}

TEST_F(DbfFileTest, DescriptorsStopAtTheRoomTheHeaderLengthLeaves) {
  struct Case {
    uint16_t header_length;
    int fields;
  };
  // Three descriptors are stored; a header length of 32 leaves room for none, yet the first
  // is always read.
  for (const Case& c : {Case{32, 1}, Case{32 + 32, 1}, Case{32 + 64 + 5, 2}, Case{32 + 96, 3}}) {
    DbfBuilder builder(0x03, 0);
    builder.Field("A", 'C', 1).Field("B", 'C', 1).Field("C", 'C', 1).HeaderLength(c.header_length);
    auto file = Open(builder);
    EXPECT_EQ(file->FieldDefs().Count(), c.fields) << c.header_length;
    EXPECT_EQ(file->HeaderSize(), c.header_length);
  }
}

TEST_F(DbfFileTest, FieldsPassingTheRecordAreMarked) {
  DbfBuilder builder;
  builder.Field("A", 'C', 3).Field("B", 'C', 4).RecordLength(6);
  auto file = Open(builder);
  EXPECT_TRUE(file->FieldDefs().Items(0).FitsInRecord());
  EXPECT_FALSE(file->FieldDefs().Items(1).FitsInRecord());
}

TEST_F(DbfFileTest, NullBitsLockAndNullFlagsFields) {
  DbfBuilder builder(0x30);
  builder.Field("A", 'C', 1, 0, 0x02)
      .Field("B", 'N', 3)
      .Field("C", 'D', 8, 0, 0x06)
      .Field("_DBASELOCK", 'C', 8)
      .Field("_NullFlags", '0', 1, 0, 0x05);
  auto file = Open(builder);
  const TDbfFieldDefs& defs = file->FieldDefs();
  EXPECT_EQ(defs.Items(0).NullPosition(), 0);
  EXPECT_EQ(defs.Items(1).NullPosition(), -1);
  EXPECT_EQ(defs.Items(2).NullPosition(), 1);
  EXPECT_EQ(defs.Items(4).NullPosition(), -1);
  EXPECT_EQ(file->NullField(), &defs.Items(4));
  EXPECT_EQ(file->LockField(), &defs.Items(3));
  EXPECT_EQ(defs.Items(4).FieldType(), ftBytes);
}

TEST_F(DbfFileTest, NullBitsOnlyAtFoxProLevel) {
  auto file = Open(DbfBuilder(0x8B, 0x57).Field("A", 'C', 1, 0, 0x02));
  EXPECT_EQ(file->FieldDefs().Items(0).NullPosition(), -1);
  EXPECT_EQ(file->NullField(), nullptr);
}

TEST_F(DbfFileTest, MemoBitAndIndexFlagAreCorrectedInMemoryOnly) {
  struct Case {
    uint8_t version;
    char type;
    uint8_t index_flag;
    uint8_t version_after;
    uint8_t flag_after;
  };
  for (const Case& c :
       {Case{0x03, 'M', 1, 0x83, 0}, Case{0x83, 'C', 0, 0x03, 0}, Case{0x8B, 'N', 1, 0x0B, 0},
        Case{0x30, 'M', 1, 0x30, 1}, Case{0xF5, 'C', 0, 0xF5, 0}}) {
    DbfBuilder builder(c.version, 0x57);
    builder.Field("F", c.type, 10).SetByte(28, c.index_flag);
    const std::string path = Write(builder);
    const std::string before = ReadBytes(path);
    TDbfFile file(path, pfReadOnly);
    file.Open();
    EXPECT_EQ(file.Header()[0], c.version_after) << int{c.version};
    EXPECT_EQ(file.Header()[28], c.flag_after) << int{c.version};
    file.Close();
    EXPECT_EQ(ReadBytes(path), before);
  }
}

TEST_F(DbfFileTest, MissingMemoFileReadsEveryMemoEmpty) {
  DbfBuilder builder(0x30);
  builder.Field("NOTE", 'M', 4).Values({LittleEndian(1, 4)});
  auto file = Open(builder);
  ASSERT_NE(file->MemoFile(), nullptr);
  std::string value = "stale";
  file->ReadMemo(1, value);
  EXPECT_EQ(value, "");
}

TEST_F(DbfFileTest, TableWithoutMemoFieldsOpensNoMemoFile) {
  MemoBuilder::FoxPro().Write(folder_ + "t.fpt");
  auto file = Open(DbfBuilder(0x30).Field("A", 'C', 1));
  EXPECT_EQ(file->MemoFile(), nullptr);
}

TEST_F(DbfFileTest, NamesDifferingInCaseAreFound) {
  MemoBuilder memo = MemoBuilder::FoxPro(64);
  const int64_t block = memo.Add("Poznámka");
  memo.Write(folder_ + "fap.FPT");
  DbfBuilder builder(0x30);
  builder.Field("NOTE", 'M', 4).Values({LittleEndian(block, 4)});
  Write(builder, "FAP.DBF");
  TDbfFile file(folder_ + "fap.dbf", pfReadOnly);
  file.Open();
  std::string value;
  file.ReadMemo(block, value);
  EXPECT_EQ(value, "Poznámka");
}

TEST_F(DbfFileTest, Level7HeaderDescriptorsAndFieldProperties) {
  DbfBuilder builder(0x04, 0);
  builder.LanguageDriverName("DB852CZ0").Field("Amount", 'N', 10, 2).Field("Seq", '+', 4);
  // The field properties block follows the terminator: two standard properties, the first
  // marks field 1 required, the second gives field 2 a default value.
  const size_t block = 68 + 2 * 48 + 1;
  std::string properties(16 + 2 * 15, '\0');
  properties[0] = 3;   // three descriptors, the last naming field 9
  properties[2] = 16;  // first descriptor right after the block head
  properties[16 + 2] = 1;
  properties[16 + 4] = 1;
  properties[31 + 2] = 2;
  properties[31 + 4] = 4;
  properties[31 + 11] = static_cast<char>(properties.size() + 15);
  properties[31 + 13] = 9;  // longer than the field: kept at its length
  properties += std::string(15, '\0');
  properties[46 + 2] = 9;
  properties[46 + 4] = 1;
  properties += "123456789";
  builder.HeaderLength(static_cast<uint16_t>(block + properties.size()));
  for (size_t i = 0; i < properties.size(); ++i) {
    builder.SetByte(block + i, static_cast<uint8_t>(properties[i]));
  }
  auto file = Open(builder);
  EXPECT_EQ(file->TableLevel(), 7);
  EXPECT_EQ(file->FileCodePage(), 852);
  const TDbfFieldDefs& defs = file->FieldDefs();
  ASSERT_EQ(defs.Count(), 2);
  EXPECT_EQ(defs.Items(0).FieldName(), "AMOUNT");
  EXPECT_TRUE(defs.Items(0).Required());
  EXPECT_FALSE(defs.Items(1).Required());
  EXPECT_EQ(defs.Items(1).FieldType(), ftAutoInc);
  EXPECT_EQ(defs.Items(1).DefaultValue(), "1234");
  EXPECT_EQ(defs.Items(1).Offset(), 11);
}

// Every prefix of a valid table either fails with the reader's own error or opens with the
// records it holds; nothing crashes or reads past the bytes.
TEST_F(DbfFileTest, EveryTruncatedPrefixFailsCleanly) {
  MemoBuilder memo = MemoBuilder::FoxPro(64);
  const int64_t block = memo.Add(std::string(100, 'm'));
  DbfBuilder builder(0x30, 0x03);
  builder.Field("NAME", 'C', 5).Field("NOTE", 'M', 4);
  builder.Values({"one", LittleEndian(block, 4)}).Values({"two", LittleEndian(block, 4)});
  const std::string path = Write(builder, "p.dbf");
  memo.Write(folder_ + "p.fpt");
  for (size_t size = builder.Bytes().size(); size-- > 0;) {
    std::filesystem::resize_file(path, size);
    TDbfFile file(path, pfReadOnly);
    try {
      file.Open();
    } catch (const EDbfError& error) {
      EXPECT_EQ(error.Message(), "Invalid DBF file.") << size;
      continue;
    }
    if (file.AbortOpen()) continue;  // header or record length still 0
    ASSERT_TRUE(file.Active()) << size;
    const int count = file.RecordCount();
    EXPECT_LE(count, 2);
    std::string record(file.RecordSize(), '\0');
    std::string value;
    for (int i = 1; i <= count; ++i) {
      EXPECT_TRUE(file.ReadRecord(i, record.data()));
      file.ReadMemo(block, value);
      EXPECT_LE(value.size(), 100u);
    }
  }
  // The same for the memo file: a cut value is a prefix of the stored one.
  Write(builder, "p.dbf");
  for (size_t size = memo.Bytes().size(); size-- > 0;) {
    std::filesystem::resize_file(folder_ + "p.fpt", size);
    TDbfFile file(path, pfReadOnly);
    file.Open();
    std::string value;
    file.ReadMemo(block, value);
    EXPECT_EQ(value, std::string(value.size(), 'm')) << size;
  }
}

}  // namespace
}  // namespace zered
