#include "dbf/dbf_file.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "base/exceptions.h"
#include "base/format.h"
#include "dbf/dbase_memo_file.h"
#include "dbf/foxpro_memo_file.h"
#include "dbf/language_driver.h"
#include "dbf/null_memo_file.h"
#include "platform/files.h"

namespace zered {

namespace {

constexpr size_t kMainHeaderSize = 32;
constexpr size_t kLevel7HeaderSize = 68;
constexpr uint8_t kTerminator = 0x0D;
constexpr const char* kInvalidDbfFile = "Invalid DBF file.";

uint32_t LittleEndian16(const uint8_t* bytes) { return bytes[0] | (bytes[1] << 8); }

uint32_t LittleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

void PutLittleEndian32(uint8_t* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

// The table level for a version byte, 0 when the version is not accepted.
int TableLevelFor(uint8_t version, uint8_t language_id) {
  switch (version & 7) {
    case 2:
    case 5:
      return 25;
    case 3:
      return language_id == 0 ? 3 : 4;
    case 4:
      return 7;
    default:
      return version == 0x30 || version == 0x31 ? 25 : 0;
  }
}

// The name of a companion file: the extension replaced, whatever it was.
std::string ChangeExtension(const std::string& file_name, const char* extension) {
  const size_t folder = FolderLength(file_name);
  const size_t dot = file_name.find_last_of('.');
  const size_t stem = dot != std::string::npos && dot >= folder ? dot : file_name.size();
  return file_name.substr(0, stem) + extension;
}

std::string UpperCaseName(const uint8_t* bytes, size_t size) {
  const size_t length = std::find(bytes, bytes + size, 0) - bytes;
  std::string name(reinterpret_cast<const char*>(bytes), length);
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return name;
}

}  // namespace

TDbfFile::TDbfFile(std::string file_name, TPagedFileMode mode)
    : TPagedFile(std::move(file_name), mode) {}

TDbfFile::~TDbfFile() { Close(); }

void TDbfFile::Open() {
  if (Active()) return;
  abort_open_ = false;
  try {
    OpenFile();
    ReadHeader(kMainHeaderSize);
    const uint8_t version = Header()[0];
    language_id_ = Header()[29];
    table_level_ = TableLevelFor(version, static_cast<uint8_t>(language_id_));
    if (table_level_ == 0) throw EDbfError(kInvalidDbfFile);

    const int record_size = static_cast<int>(LittleEndian16(Header() + 10));
    const size_t header_size = LittleEndian16(Header() + 8);
    if (record_size == 0 || header_size == 0) {
      Close();
      abort_open_ = true;
      return;
    }
    // The buffer also holds the first descriptor (read even when the header length leaves no
    // room for it) and, at level 7, the language driver name.
    const size_t first_descriptor_end = table_level_ == 7 ? kLevel7HeaderSize + 48 : 32 + 32;
    ReadHeader(header_size, std::max(first_descriptor_end + 1, kMainHeaderSize));
    SetRecordSize(record_size);
    RecordCount();

    if (table_level_ == 7) {
      file_code_page_ = Level7LanguageDriverCodePage(
          std::string_view(reinterpret_cast<const char*>(Header() + 32), 32));
    } else {
      file_code_page_ = LanguageDriverCodePage(static_cast<uint8_t>(language_id_));
    }
    use_code_page_ = file_code_page_;

    ReadFieldDescriptors();
    OpenMemoFile();
    if (table_level_ != 25 && Header()[28] != 0 &&
        !FileExists(ResolveFileNameCase(ChangeExtension(FileName(), ".mdx")))) {
      Header()[28] = 0;
    }
    // An existing production index is not opened: records are read in physical order.
  } catch (...) {
    Close();
    throw;
  }
}

void TDbfFile::Close() {
  if (memo_file_) memo_file_->Close();
  memo_file_.reset();
  CloseFile();
  field_defs_.Clear();
  null_field_ = -1;
  lock_field_ = -1;
}

int TDbfFile::RecordCount() {
  if (!Active() || RecordSize() <= 0) return 0;
  const uint64_t size = FileSize();
  const uint64_t header = static_cast<uint64_t>(HeaderSize());
  uint64_t count = size > header ? (size - header) / static_cast<uint64_t>(RecordSize()) : 0;
  count = std::min<uint64_t>(count, INT_MAX);
  if (LittleEndian32(Header() + 4) != count) PutLittleEndian32(Header() + 4, count);
  return static_cast<int>(count);
}

bool TDbfFile::ReadRecord(int record, char* buffer) const {
  const size_t size = static_cast<size_t>(RecordSize());
  size_t got = 0;
  if (record >= 1) got = ReadBlock(PageOffset(record), buffer, size);
  if (got < size) std::memset(buffer + got, ' ', size - got);
  return got == size;
}

void TDbfFile::ReadMemo(int64_t block, std::string& dest) {
  if (memo_file_) {
    memo_file_->ReadMemo(block, dest);
  } else {
    dest.clear();
  }
}

const TDbfFieldDef* TDbfFile::NullField() const {
  return null_field_ < 0 ? nullptr : &field_defs_.Items(null_field_);
}

const TDbfFieldDef* TDbfFile::LockField() const {
  return lock_field_ < 0 ? nullptr : &field_defs_.Items(lock_field_);
}

void TDbfFile::ReadFieldDescriptors() {
  const bool level7 = table_level_ == 7;
  const size_t descriptor_size = level7 ? 48 : 32;
  const size_t first = level7 ? kLevel7HeaderSize : kMainHeaderSize;
  const size_t header_size = static_cast<size_t>(HeaderSize());
  const size_t max_count = header_size > first ? (header_size - first) / descriptor_size : 0;
  const uint8_t* header = Header();
  const size_t buffer_size = HeaderBufferSize();

  field_defs_.Clear();
  int offset = 1;
  int null_position = 0;
  size_t count = 0;
  for (;;) {
    const size_t at = first + count * descriptor_size;
    // The loop only goes on while the header length leaves room, so only the first
    // descriptor can pass the header; the buffer was sized for it.
    if (at + descriptor_size > buffer_size) throw EDbfError(kInvalidDbfFile);
    const uint8_t* descriptor = header + at;
    TDbfFieldDef& def = field_defs_.Add();
    uint8_t letter;
    int length;
    int decimals;
    if (level7) {
      def.field_name_ = UpperCaseName(descriptor, 32);
      letter = descriptor[32];
      length = descriptor[33];
      decimals = descriptor[34];
      def.auto_inc_next_ = LittleEndian32(descriptor + 42);
    } else {
      def.field_name_ = UpperCaseName(descriptor, 11);
      letter = descriptor[11];
      length = descriptor[16];
      decimals = descriptor[17];
    }
    const bool character = letter == 'C' || letter == 'c';
    if (table_level_ == 25 && character) {
      length += 256 * decimals;
      decimals = 0;
    }
    if (def.field_name_.empty() || !def.AssignType(letter, length, decimals, table_level_)) {
      throw EDbfError(kInvalidDbfFile);
    }
    if (table_level_ == 25 && (descriptor[18] & 0x02) != 0 && def.field_name_ != "_NULLFLAGS") {
      def.null_position_ = null_position++;
    }
    def.offset_ = offset;
    def.fits_in_record_ = offset + def.size_ <= RecordSize();
    offset += length;
    const int index = field_defs_.Count() - 1;
    if (def.field_name_ == "_DBASELOCK") lock_field_ = index;
    if (def.field_name_ == "_NULLFLAGS") null_field_ = index;
    ++count;
    if (count >= max_count || header[first + count * descriptor_size] == kTerminator) break;
  }
  if (count > static_cast<size_t>(kMaxFieldCount)) {
    throw EDbfError(
        Format("Invalid field count: %d (must be between 1 and 4095).", static_cast<int>(count)));
  }
  if (level7) ReadFieldProperties(first + count * descriptor_size + 1);
}

void TDbfFile::ReadFieldProperties(size_t block_start) {
  const size_t header_size = static_cast<size_t>(HeaderSize());
  if (block_start + 16 >= header_size) return;
  const uint8_t* block = Header() + block_start;
  const size_t block_size = header_size - block_start;
  const uint32_t property_count = LittleEndian16(block);
  const size_t first = LittleEndian16(block + 2);
  for (uint32_t n = 0; n < property_count; ++n) {
    const size_t at = first + 15 * static_cast<size_t>(n);
    if (at + 15 > block_size) break;
    const uint8_t* property = block + at;
    const uint32_t field_number = LittleEndian16(property + 2);
    if (field_number == 0 || field_number > static_cast<uint32_t>(field_defs_.Count())) continue;
    TDbfFieldDef& def = field_defs_.Items(static_cast<int>(field_number - 1));
    const uint8_t kind = property[4];
    if (kind == 1) {
      def.required_ = true;
      continue;
    }
    std::string* target = kind == 2   ? &def.min_value_
                          : kind == 3 ? &def.max_value_
                          : kind == 4 ? &def.default_value_
                                      : nullptr;
    if (target == nullptr) continue;
    // A value that passes the header is cut at its end, and never kept longer than the
    // field.
    const size_t value_at = LittleEndian16(property + 11);
    size_t value_size = LittleEndian16(property + 13);
    if (value_at >= block_size) continue;
    value_size = std::min(
        {value_size, block_size - value_at, static_cast<size_t>(std::max(def.stored_size_, 0))});
    target->assign(reinterpret_cast<const char*>(block + value_at), value_size);
  }
}

void TDbfFile::OpenMemoFile() {
  const bool has_memo = std::any_of(field_defs_.begin(), field_defs_.end(), [](const auto& def) {
    const char type = def.NativeFieldType();
    return type == 'B' || type == 'G' || type == 'M';
  });
  if (table_level_ != 25) {
    Header()[0] = has_memo ? (Header()[0] | 0x80) : (Header()[0] & 0x7F);
  }
  if (!has_memo) return;
  const std::string name = ChangeExtension(FileName(), table_level_ == 25 ? ".fpt" : ".dbt");
  if (!FileExists(ResolveFileNameCase(name))) {
    memo_file_ = std::make_unique<TNullMemoFile>(name, Mode(), table_level_);
  } else if (table_level_ == 25) {
    memo_file_ = std::make_unique<TFoxProMemoFile>(name, Mode(), table_level_);
  } else {
    memo_file_ = std::make_unique<TDbaseMemoFile>(name, Mode(), table_level_);
  }
  memo_file_->Open();
}

}  // namespace zered
