// The export walks tables of a million records: moving to the next record, looking fields up
// by name and reading their values into kept buffers must not allocate.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "dbf/tdbf.h"
#include "support/dbf_builder.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace zered {
namespace {

TEST(CursorAllocationTest, WalkingAndReadingDoesNotAllocate) {
  const std::string folder = test::TestFolder("cursor_allocation");
  test::DbfBuilder builder(0x30, 0);
  builder.Field("ID", 'N', 10)
      .Field("CISLO", 'C', 20)
      .Field("DATUM", 'D', 8)
      .Field("KCCELKEM", 'N', 12, 2)
      .Field("ICO", 'C', 12);
  for (int n = 1; n <= 50; ++n) {
    builder.Values({std::to_string(n), "FV" + std::to_string(1000000 + n), "20170411", "1234.50",
                    n % 2 ? "12345678" : ""},
                   n % 7 == 0);
  }
  builder.Write(folder + "fap.dbf");
  TDbf dbf("Dbf1");
  dbf.SetReadOnly(true);
  dbf.SetFilePath(folder);
  dbf.SetTableName("fap.dbf");
  dbf.Open();
  std::string text;
  text.reserve(64);
  double sum = 0;
  auto read_record = [&] {
    for (const char* name : {"id", "CISLO", "ICO"}) {
      dbf.FieldByName(name).ReadText(text);
      sum += static_cast<double>(text.size());
    }
    sum += dbf.FieldByName("DATUM").ReadDate() + dbf.FieldByName("KCCELKEM").ReadNumber();
  };
  read_record();
  dbf.Next();
  const long before = allocations.load();
  int records = 0;
  for (; !dbf.Eof(); dbf.Next()) {
    read_record();
    ++records;
  }
  EXPECT_EQ(allocations.load() - before, 0);
  EXPECT_GT(records, 40);
  EXPECT_GT(sum, 0);
}

}  // namespace
}  // namespace zered
