#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "dbf/tdbf.h"
#include "platform/process.h"
#include "support/dbf_builder.h"

namespace zered {
namespace {

using test::DbfBuilder;
using test::TestFolder;

// A one-field table whose records hold their own number, "*" marking deleted ones.
DbfBuilder NumberedTable(const std::string& deleted_pattern) {
  DbfBuilder builder;
  builder.Field("N", 'C', 4);
  for (size_t i = 0; i < deleted_pattern.size(); ++i) {
    builder.Values({std::to_string(i + 1)}, deleted_pattern[i] == '*');
  }
  return builder;
}

// Walks the open table from First; returns "recno=value" of each visited record.
std::vector<std::string> Walk(TDbf& dbf) {
  std::vector<std::string> visited;
  dbf.First();
  EXPECT_TRUE(dbf.Bof());
  while (!dbf.Eof()) {
    visited.push_back(std::to_string(dbf.RecNo()) + "=" + dbf.FieldByName("n").ReadText());
    dbf.Next();
  }
  return visited;
}

std::string Expected(std::initializer_list<int> recnos) {
  std::string text;
  for (int recno : recnos) text += std::to_string(recno) + "=" + std::to_string(recno) + " ";
  return text;
}

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += item + " ";
  return text;
}

class CursorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = TestFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    dbf_.SetReadOnly(true);
    dbf_.SetTableLevel(25);
    dbf_.SetFilePath(folder_);
  }
  void OpenTable(const DbfBuilder& builder, const std::string& name = "t.dbf") {
    builder.Write(folder_ + name);
    dbf_.SetTableName(name);
    dbf_.Open();
  }

  std::string folder_;
  TDbf dbf_{"Dbf1"};
};

TEST_F(CursorTest, WalksVisibleRecordsInPhysicalOrder) {
  struct Case {
    std::string deleted;  // one character per record, "*" = deleted
    bool show_deleted;
    std::string visited;
  } cases[] = {
      {"", false, ""},
      {"   ", false, Expected({1, 2, 3})},
      {" * ", false, Expected({1, 3})},
      {"*****", false, ""},
      {"** ", false, Expected({3})},
      {" **", false, Expected({1})},
      {" * ", true, Expected({1, 2, 3})},
      {"*****", true, Expected({1, 2, 3, 4, 5})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("'" + c.deleted + "' show deleted " + std::to_string(c.show_deleted));
    dbf_.Close();
    dbf_.SetShowDeleted(c.show_deleted);
    OpenTable(NumberedTable(c.deleted));
    EXPECT_EQ(dbf_.RecordCount(), static_cast<int>(c.deleted.size()));
    EXPECT_EQ(Joined(Walk(dbf_)), c.visited);
    EXPECT_TRUE(dbf_.Eof());
  }
}

TEST_F(CursorTest, NextAtEndKeepsTheLastRecordAndItsValues) {
  // The records after the last visible one are deleted: reading them must not change the
  // current record's values.
  OpenTable(NumberedTable(" * **"));
  dbf_.First();
  dbf_.Next();
  ASSERT_EQ(dbf_.RecNo(), 3);
  dbf_.Next();
  EXPECT_TRUE(dbf_.Eof());
  EXPECT_FALSE(dbf_.Bof());
  dbf_.Next();
  EXPECT_TRUE(dbf_.Eof());
  EXPECT_EQ(dbf_.RecNo(), 3);
  EXPECT_EQ(dbf_.FieldByName("N").ReadText(), "3");
}

TEST_F(CursorTest, OpenIsOnTheFirstVisibleRecord) {
  OpenTable(NumberedTable("* "));
  EXPECT_FALSE(dbf_.Eof());
  EXPECT_EQ(dbf_.RecNo(), 2);
}

TEST_F(CursorTest, RecordsAppendedDuringTheWalkAreVisited) {
  DbfBuilder builder = NumberedTable("  ");
  builder.EndOfFileByte(false);
  OpenTable(builder);
  dbf_.First();
  dbf_.Next();
  ASSERT_EQ(dbf_.RecNo(), 2);
  {
    std::ofstream out(folder_ + "t.dbf", std::ios::binary | std::ios::app);
    out << " 3   "
        << "*4   "
        << " 5   "
        << " 6";  // the last record is incomplete
  }
  EXPECT_EQ(dbf_.RecordCount(), 5);
  dbf_.Next();
  EXPECT_EQ(dbf_.RecNo(), 3);
  EXPECT_EQ(dbf_.FieldByName("N").ReadText(), "3");
  dbf_.Next();
  EXPECT_EQ(dbf_.RecNo(), 5);
  dbf_.Next();
  EXPECT_TRUE(dbf_.Eof());
  EXPECT_EQ(dbf_.RecNo(), 5);
}

TEST_F(CursorTest, RecordValuesStayAsReadWhenTheFileChanges) {
  OpenTable(NumberedTable("  "));
  {
    std::fstream out(folder_ + "t.dbf", std::ios::binary | std::ios::in | std::ios::out);
    out.seekp(static_cast<std::streamoff>(NumberedTable("").HeaderSizeBuilt()) + 1);
    out << "X";
  }
  EXPECT_EQ(dbf_.FieldByName("N").ReadText(), "1");
  dbf_.First();
  EXPECT_EQ(dbf_.FieldByName("N").ReadText(), "X");
}

TEST_F(CursorTest, FieldLookupIgnoresCase) {
  OpenTable(DbfBuilder().Field("ID", 'C', 3).Field("DATUM", 'D', 8).Values({"7", "20170411"}));
  for (const char* name : {"ID", "id", "Id", "iD"}) {
    EXPECT_EQ(dbf_.FieldByName(name).FieldName(), "ID") << name;
  }
  EXPECT_EQ(dbf_.FieldByName("datum").FieldNo(), 2);
  EXPECT_EQ(dbf_.FindField("IDX"), nullptr);
  EXPECT_EQ(dbf_.FindField("I"), nullptr);
  try {
    dbf_.FieldByName("IDX");
    ADD_FAILURE();
  } catch (const EDatabaseError& error) {
    EXPECT_EQ(error.Message(), "Dbf1: Field 'IDX' not found");
  }
}

TEST_F(CursorTest, RepeatedFieldNamesAreNumbered) {
  struct Case {
    std::vector<std::string> names;
    std::vector<std::string> listed;
  } cases[] = {
      {{"NAME", "NAME", "NAME"}, {"NAME", "NAME2", "NAME3"}},
      {{"NAME", "NAME2", "NAME"}, {"NAME", "NAME2", "NAME3"}},
      {{"A", "B", "a"}, {"A", "B", "A2"}},
  };
  for (const Case& c : cases) {
    dbf_.Close();
    DbfBuilder builder;
    for (const std::string& name : c.names) builder.Field(name, 'C', 1);
    OpenTable(builder.Record("xyz"));
    std::vector<std::string> listed;
    for (int i = 0; i < dbf_.FieldCount(); ++i) listed.push_back(dbf_.Fields(i).FieldName());
    EXPECT_EQ(listed, c.listed);
    EXPECT_EQ(dbf_.FieldByName(c.listed.back()).ReadText(), "z");
  }
}

TEST_F(CursorTest, ReopeningBuildsTheFieldsOfTheNewTable) {
  OpenTable(DbfBuilder(0x83, 0).Field("ID", 'N', 4).Field("NAME", 'C', 5).Values({"1", "a"}),
            "a.dbf");
  EXPECT_EQ(dbf_.TableLevel(), 3);
  dbf_.Close();
  EXPECT_FALSE(dbf_.Active());
  EXPECT_EQ(dbf_.FieldCount(), 0);
  OpenTable(DbfBuilder(0x30, 0xC8).Field("X", 'C', 2).Values({"b"}), "b.dbf");
  EXPECT_EQ(dbf_.TableLevel(), 25);
  EXPECT_EQ(dbf_.LanguageId(), 0xC8);
  EXPECT_EQ(dbf_.FieldCount(), 1);
  EXPECT_EQ(dbf_.FindField("ID"), nullptr);
  EXPECT_EQ(dbf_.FieldByName("x").ReadText(), "b");
}

TEST_F(CursorTest, StatesRefuseWhatTheyDoNotAllow) {
  auto expect_error = [](const std::function<void()>& action, const std::string& message) {
    try {
      action();
      ADD_FAILURE() << "no failure for " << message;
    } catch (const EDatabaseError& error) {
      EXPECT_EQ(error.Message(), message);
    }
  };
  const std::string closed = "Dbf1: Cannot perform this operation on a closed dataset";
  const std::string open = "Dbf1: Cannot perform this operation on an open dataset";
  expect_error([&] { dbf_.First(); }, closed);
  expect_error([&] { dbf_.Next(); }, closed);
  EXPECT_EQ(dbf_.RecordCount(), 0);
  EXPECT_EQ(dbf_.RecNo(), 0);
  dbf_.Close();

  OpenTable(NumberedTable("  "));
  expect_error([&] { dbf_.SetFilePath("/elsewhere"); }, open);
  expect_error([&] { dbf_.SetTableLevel(4); }, open);
  expect_error([&] { dbf_.SetTableName("sub/u.dbf"); }, open);
  // A plain name is taken for the next open.
  dbf_.SetTableName("u.dbf");
  EXPECT_EQ(dbf_.FieldByName("N").ReadText(), "1");
  dbf_.Open();  // already open: nothing happens
  EXPECT_EQ(dbf_.RecNo(), 1);
  dbf_.Close();
  dbf_.Close();
  NumberedTable("*  ").Write(folder_ + "u.dbf");
  dbf_.Open();
  EXPECT_EQ(dbf_.RecNo(), 2);
}

TEST_F(CursorTest, TableLevelTakesOnlyTheKnownLevels) {
  for (int level : {3, 4, 7, 25}) {
    dbf_.SetTableLevel(level);
    EXPECT_EQ(dbf_.TableLevel(), level);
  }
  dbf_.SetTableLevel(5);
  EXPECT_EQ(dbf_.TableLevel(), 25);
  EXPECT_EQ(TDbf().TableLevel(), 4);
}

TEST_F(CursorTest, FailedOpensLeaveTheCursorClosed) {
  const DbfBuilder good = NumberedTable(" ");
  struct Case {
    const char* name;
    std::string bytes;
    std::string message;  // empty: the silent abort
  } cases[] = {
      {"zero record length", DbfBuilder(good).RecordLength(0).Bytes(), ""},
      {"zero header length", DbfBuilder(good).SetByte(8, 0).SetByte(9, 0).Bytes(), ""},
      {"empty file", "", "Invalid DBF file."},
      {"bad version", DbfBuilder(good).SetByte(0, 0).Bytes(), "Invalid DBF file."},
      {"varchar field", DbfBuilder().Field("V", 'V', 4).Bytes(), "Invalid DBF file."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    {
      std::ofstream out(folder_ + "bad.dbf", std::ios::binary | std::ios::trunc);
      out << c.bytes;
    }
    dbf_.SetTableName("bad.dbf");
    try {
      dbf_.Open();
      ADD_FAILURE() << "opened";
    } catch (const EAbort& abort) {
      EXPECT_EQ(c.message, "");
      EXPECT_EQ(abort.Message(), "Operation aborted");
    } catch (const Exception& error) {
      EXPECT_EQ(error.Message(), c.message);
    }
    EXPECT_FALSE(dbf_.Active());
    EXPECT_EQ(dbf_.FieldCount(), 0);
    EXPECT_EQ(dbf_.RecordCount(), 0);
  }
  dbf_.SetTableName("missing.dbf");
  try {
    dbf_.Open();
    ADD_FAILURE();
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Open: file not found: \"" + folder_ + "missing.dbf\".");
  }
  // The cursor is still usable.
  OpenTable(good);
  EXPECT_EQ(dbf_.RecNo(), 1);
}

// The folder is resolved against the program folder, never the current directory.
TEST(CursorPathTest, FolderAndTableName) {
  struct Case {
    const char* folder;
    const char* table;
    const char* file_path;
    const char* file_name;
  };
#ifdef _WIN32
  OverrideExecutablePath("C:\\Zered\\bin\\zered.exe");
  const Case cases[] = {
      {"D:\\data", "fap.dbf", "D:\\data\\", "D:\\data\\fap.dbf"},
      {"D:\\data\\", "fap.dbf", "D:\\data\\", "D:\\data\\fap.dbf"},
      {"D:/data/", "fap.dbf", "D:/data/", "D:/data/fap.dbf"},
      {"", "fap.dbf", "", "C:\\Zered\\bin\\fap.dbf"},
      {"data\\..\\Tables", "fap.dbf", "data\\..\\Tables\\", "C:\\Zered\\bin\\Tables\\fap.dbf"},
      {".\\a/b\\.", "fap.dbf", ".\\a/b\\.\\", "C:\\Zered\\bin\\a\\b\\fap.dbf"},
      {"..\\..\\..\\..", "fap.dbf", "..\\..\\..\\..\\", "C:\\fap.dbf"},
      // A full path is used as given.
      {"D:\\data\\..\\x", "fap.dbf", "D:\\data\\..\\x\\", "D:\\data\\..\\x\\fap.dbf"},
      {"\\\\server\\share", "fap.dbf", "\\\\server\\share\\", "\\\\server\\share\\fap.dbf"},
      // A folder part of the table name becomes the folder.
      {"D:\\data", "sub\\fav.dbf", "sub\\", "C:\\Zered\\bin\\sub\\fav.dbf"},
      {"D:\\data", "sub/fav.dbf", "sub/", "C:\\Zered\\bin\\sub\\fav.dbf"},
      {"", "D:\\abs\\fav.dbf", "D:\\abs\\", "D:\\abs\\fav.dbf"},
  };
#else
  OverrideExecutablePath("/opt/zered/bin/zered");
  const Case cases[] = {
      {"/data", "fap.dbf", "/data/", "/data/fap.dbf"},
      {"/data/", "fap.dbf", "/data/", "/data/fap.dbf"},
      {"", "fap.dbf", "", "/opt/zered/bin/fap.dbf"},
      {"data/../Tables", "fap.dbf", "data/../Tables/", "/opt/zered/bin/Tables/fap.dbf"},
      {"./a//b/.", "fap.dbf", "./a//b/./", "/opt/zered/bin/a/b/fap.dbf"},
      {"../../../../..", "fap.dbf", "../../../../../", "/fap.dbf"},
      // A full path is used as given.
      {"/data/../x", "fap.dbf", "/data/../x/", "/data/../x/fap.dbf"},
      {"//server/share", "fap.dbf", "//server/share/", "//server/share/fap.dbf"},
      // A folder part of the table name becomes the folder.
      {"/data", "sub/fav.dbf", "sub/", "/opt/zered/bin/sub/fav.dbf"},
      {"", "/abs/fav.dbf", "/abs/", "/abs/fav.dbf"},
  };
#endif
  const std::string current = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(TestFolder("elsewhere")));
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.folder) + " + " + c.table);
    TDbf dbf;
    dbf.SetFilePath(c.folder);
    dbf.SetTableName(c.table);
    EXPECT_EQ(dbf.FilePath(), c.file_path);
    EXPECT_EQ(dbf.TableFileName(), c.file_name);
  }
  SetCurrentDir(current);
  OverrideExecutablePath("");
}

TEST(CursorPathTest, OpensFromTheProgramFolder) {
  const std::string folder = TestFolder("program_folder");
  OverrideExecutablePath(folder + "zered");
  NumberedTable(" ").Write(folder + "fap.dbf");
  const std::string current = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(TestFolder("elsewhere")));
  TDbf dbf("Dbf1");
  dbf.SetReadOnly(true);
  dbf.SetTableName("fap.dbf");
  EXPECT_NO_THROW(dbf.Open());
  EXPECT_EQ(dbf.RecNo(), 1);
  SetCurrentDir(current);
  OverrideExecutablePath("");
}

}  // namespace
}  // namespace zered
