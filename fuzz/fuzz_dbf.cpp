// A DBF table and its memo file from untrusted bytes: opening, reading every record and every
// memo value and translating text must never crash, hang or read out of bounds.
// Input: two bytes giving the table's length (little-endian, cut to what is there), the
// table's bytes, then the memo file's bytes (written both as .fpt and .dbt).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "base/exceptions.h"
#include "dbf/dbf_file.h"
#include "dbf/dbf_globals.h"
#include "dbf/dbf_translator.h"
#include "dbf/tdbf.h"
#include "platform/code_page_conversion.h"

namespace {

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

const std::string& Folder() {
  static const std::string folder = [] {
    const auto path =
        std::filesystem::temp_directory_path() / ("zered_fuzz_dbf_" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path.string() + "/";
  }();
  return folder;
}

// The memo block number a field holds: 4-byte little-endian or ASCII digits.
int64_t BlockNumber(const zered::TDbfFieldDef& def, const char* bytes) {
  if (def.Size() == 4) {
    return static_cast<int32_t>(static_cast<uint8_t>(bytes[0]) |
                                (static_cast<uint8_t>(bytes[1]) << 8) |
                                (static_cast<uint8_t>(bytes[2]) << 16) |
                                (static_cast<uint32_t>(static_cast<uint8_t>(bytes[3])) << 24));
  }
  int64_t block = 0;
  for (int i = 0; i < def.Size() && i < 10; ++i) {
    if (bytes[i] >= '0' && bytes[i] <= '9') block = block * 10 + (bytes[i] - '0');
  }
  return block;
}

// The same table through the table cursor: every field of every record read as text, number
// and date; a read may fail with the system's error, never otherwise.
void ReadThroughCursor(const zered::TDbfGlobals& globals) {
  zered::TDbf dbf("Dbf1");
  dbf.SetGlobals(globals);
  dbf.SetFormatSettings(zered::TFormatSettings::Czech());
  dbf.SetReadOnly(true);
  dbf.SetShowDeleted(true);
  dbf.SetFilePath(Folder());
  dbf.SetTableName("t.dbf");
  try {
    dbf.Open();
  } catch (const zered::Exception&) {
    return;
  }
  std::string text;
  for (dbf.First(); !dbf.Eof(); dbf.Next()) {
    for (int i = 0; i < dbf.FieldCount(); ++i) {
      const zered::TField& field = dbf.Fields(i);
      try {
        field.ReadText(text);
      } catch (const zered::Exception&) {
      }
      try {
        field.ReadNumber();
      } catch (const zered::Exception&) {
      }
      try {
        field.ReadDate();
      } catch (const zered::Exception&) {
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const zered::TDbfGlobals globals(zered::TFormatSettings::Czech(),
                                          zered::EnumSystemCodePages());
  std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.size() < 2) return 0;
  size_t table_size = static_cast<uint8_t>(input[0]) | (static_cast<uint8_t>(input[1]) << 8);
  input.remove_prefix(2);
  if (table_size > input.size()) table_size = input.size();
  const std::string path = Folder() + "t.dbf";
  WriteFile(path, input.substr(0, table_size));
  WriteFile(Folder() + "t.fpt", input.substr(table_size));
  WriteFile(Folder() + "t.dbt", input.substr(table_size));

  zered::TDbfFile file(path, zered::pfReadOnly);
  try {
    file.Open();
  } catch (const zered::Exception&) {
    return 0;
  }
  if (file.AbortOpen()) return 0;
  zered::TDbfTranslator translator;
  translator.Determine(file.FileCodePage(), globals);
  std::string record(static_cast<size_t>(file.RecordSize()), '\0');
  std::string value;
  const int count = file.RecordCount();
  for (int n = 1; n <= count; ++n) {
    file.ReadRecord(n, record.data());
    for (const zered::TDbfFieldDef& def : file.FieldDefs()) {
      if (!def.FitsInRecord()) continue;
      char* bytes = record.data() + def.Offset();
      switch (def.FieldType()) {
        case zered::ftString:
          translator.Translate(bytes, static_cast<size_t>(def.Size()));
          break;
        case zered::ftMemo:
        case zered::ftDBaseOle:
        case zered::ftBlob:
          file.ReadMemo(BlockNumber(def, bytes), value);
          if (def.FieldType() == zered::ftMemo) translator.TranslateMemo(value);
          break;
        default:
          break;
      }
    }
  }
  ReadThroughCursor(globals);
  return 0;
}
