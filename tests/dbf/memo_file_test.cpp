#include <gtest/gtest.h>

#include <memory>

#include "dbf/dbase_memo_file.h"
#include "dbf/foxpro_memo_file.h"
#include "support/dbf_builder.h"

namespace zered {
namespace {

using test::BigEndian;
using test::LittleEndian;
using test::MemoBuilder;

class MemoFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = test::TestFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
  }

  // Writes `memo` and reads the value at `block` through the memo file of `level`.
  std::string Read(const MemoBuilder& memo, int level, int64_t block) {
    const std::string path = folder_ + "t.memo";
    memo.Write(path);
    std::unique_ptr<TMemoFile> file;
    if (level == 25) {
      file = std::make_unique<TFoxProMemoFile>(path, pfReadOnly, level);
    } else {
      file = std::make_unique<TDbaseMemoFile>(path, pfReadOnly, level);
    }
    file->Open();
    std::string value = "stale";
    file->ReadMemo(block, value);
    return value;
  }

  std::string folder_;
};

TEST_F(MemoFileTest, FoxProValues) {
  const std::string long_value = std::string(100, 'x') + std::string("\0\x1A", 2) + "end";
  MemoBuilder memo = MemoBuilder::FoxPro(64);
  const int64_t first = memo.Add("short");
  const int64_t second = memo.Add(long_value);  // spans two 64-byte blocks
  const int64_t empty = memo.Add("");
  EXPECT_EQ(first, 8);  // the 512-byte header fills blocks 0 to 7
  EXPECT_EQ(Read(memo, 25, first), "short");
  EXPECT_EQ(Read(memo, 25, second), long_value);
  EXPECT_EQ(Read(memo, 25, empty), "");
  EXPECT_EQ(Read(memo, 25, 0), "");
  EXPECT_EQ(Read(memo, 25, -3), "");
  EXPECT_EQ(Read(memo, 25, 1000), "");  // beyond the end of the file
}

TEST_F(MemoFileTest, FoxProBlockLengthZeroMeans512) {
  MemoBuilder memo = MemoBuilder::FoxPro(0);
  const int64_t block = memo.Add("abc");
  EXPECT_EQ(block, 1);
  EXPECT_EQ(Read(memo, 25, block), "abc");
}

TEST_F(MemoFileTest, StoredLengthPassingTheFileIsCut) {
  MemoBuilder fox = MemoBuilder::FoxPro(64);
  const int64_t block = fox.AddRaw(BigEndian(1, 4) + BigEndian(0xFFFFFFF0u, 4) + "data");
  EXPECT_EQ(Read(fox, 25, block), "data" + std::string(64 - 12, '\0'));

  MemoBuilder dbase = MemoBuilder::Dbase(4, 32);
  const int64_t dblock =
      dbase.AddRaw(std::string("\xFF\xFF\x08\x00", 4) + LittleEndian(0xFFFFFFFFu, 4) + "ab");
  EXPECT_EQ(Read(dbase, 4, dblock), "ab" + std::string(32 - 10, '\0'));
}

TEST_F(MemoFileTest, DbaseLengthHeaderValues) {
  MemoBuilder memo = MemoBuilder::Dbase(4, 32);
  const int64_t first = memo.Add(std::string(40, 'a') + "\x1A\x1A" + "tail");
  const int64_t tiny =
      memo.AddRaw(std::string("\xFF\xFF\x08\x00", 4) + LittleEndian(3, 4) + "zz\x1A\x1A");
  EXPECT_EQ(Read(memo, 4, first), std::string(40, 'a') + "\x1A\x1A" + "tail");
  EXPECT_EQ(Read(memo, 4, tiny), "");  // a length below its own 8 header bytes
}

// dBASE III memo files leave the block length at offset 20 empty.
TEST_F(MemoFileTest, DbaseBlockLengthZeroMeans512) {
  MemoBuilder memo = MemoBuilder::Dbase(4, 0);
  memo.AddRaw(std::string(512, '\0') + "text\x1A\x1A");
  EXPECT_EQ(Read(memo, 4, 2), "text");
}

// dBASE III values run to an end marker: 0x1A followed by 0x1A or NUL, also across blocks.
TEST_F(MemoFileTest, DbaseEndMarkers) {
  struct Case {
    const char* what;
    std::string raw;  // bytes from block 1 on (512-byte blocks)
    std::string value;
  };
  const std::string block(512, 'b');
  const std::vector<Case> cases = {
      {"1A 1A ends", std::string("abc\x1A\x1Azzz"), "abc"},
      {"1A NUL ends", std::string("abc\x1A\0zzz", 8), "abc"},
      {"1A followed by another byte is text",
       std::string("ab\x1A"
                   "c\x1A\x1A"),
       std::string("ab\x1A"
                   "c")},
      {"value spanning two blocks", block + "cd\x1A\x1A", block + "cd"},
      {"1A in the last byte, next block starts 1A: the 1A is dropped",
       block.substr(1) + "\x1A" + "\x1Arest", block.substr(1)},
      {"1A in the last byte, next block starts NUL",
       block.substr(1) + "\x1A" + std::string("\0rest", 5), block.substr(1)},
      {"text after a lone 1A is not taken for the end",
       std::string("a\x1A"
                   "b") +
           std::string(600, 'c') + "\x1A\x1A",
       std::string("a\x1A"
                   "b") +
           std::string(600, 'c')},
      {"1A in the last byte, next block goes on", block.substr(1) + "\x1A" + "xy\x1A\x1A",
       block.substr(1) + "\x1A" + "xy"},
      {"no marker: the value ends with the file", "abc", "abc" + std::string(509, '\0')},
  };
  for (const Case& c : cases) {
    MemoBuilder memo = MemoBuilder::Dbase(3);
    ASSERT_EQ(memo.AddRaw(c.raw), 1);
    EXPECT_EQ(Read(memo, 3, 1), c.value) << c.what;
  }
}

TEST_F(MemoFileTest, PartBlockAtTheEndIsCompletedWithZeros) {
  MemoBuilder memo = MemoBuilder::Dbase(3);
  memo.AddRaw("abc");
  memo.Truncate(512 + 3);
  EXPECT_EQ(Read(memo, 3, 1), "abc" + std::string(509, '\0'));
}

}  // namespace
}  // namespace zered
