#include "support/dbf_builder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/files.h"

namespace zered::test {

namespace {

void PutLittleEndian(std::string& bytes, size_t offset, uint64_t value, int count) {
  for (int i = 0; i < count; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

std::string LittleEndian(uint64_t value, int bytes) {
  std::string result(bytes, '\0');
  PutLittleEndian(result, 0, value, bytes);
  return result;
}

std::string BigEndian(uint64_t value, int bytes) {
  std::string result = LittleEndian(value, bytes);
  std::reverse(result.begin(), result.end());
  return result;
}

std::string TestFolder(std::string_view name) {
  std::filesystem::path folder =
      std::filesystem::path(ZERED_TEST_BINARY_DIR) / "test_files" / std::string(name);
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder.make_preferred().string() + PathDelimiter();
}

DbfBuilder::DbfBuilder(uint8_t version, uint8_t language_id)
    : version_(version), language_id_(language_id) {}

DbfBuilder& DbfBuilder::Field(std::string_view name, char type, int length, int decimals,
                              uint8_t flags) {
  fields_.push_back({std::string(name), type, length, decimals, flags});
  return *this;
}

uint8_t DbfBuilder::DecimalByte(const FieldSpec& field) const {
  const bool character = field.type == 'C' || field.type == 'c';
  return static_cast<uint8_t>(character && field.length > 255 ? field.length >> 8 : field.decimals);
}

size_t DbfBuilder::StoredLength(const FieldSpec& field) const {
  size_t length = static_cast<uint8_t>(field.length & 0xFF);
  // FoxPro keeps the high byte of a character field's length in the decimal count.
  if (Level25() && (field.type == 'C' || field.type == 'c')) length += 256 * DecimalByte(field);
  return length;
}

size_t DbfBuilder::RecordSize() const {
  if (record_length_ >= 0) return static_cast<size_t>(record_length_);
  size_t size = 1;
  for (const FieldSpec& field : fields_) size += StoredLength(field);
  return size;
}

size_t DbfBuilder::DescriptorOffset(int index) const {
  return Level7() ? 68 + 48 * static_cast<size_t>(index) : 32 + 32 * static_cast<size_t>(index);
}

size_t DbfBuilder::HeaderSizeBuilt() const {
  if (header_length_ >= 0) return static_cast<size_t>(header_length_);
  size_t size = DescriptorOffset(static_cast<int>(fields_.size())) + 1;
  if (Backlink()) size += 263;
  return size;
}

DbfBuilder& DbfBuilder::Record(std::string_view field_bytes, bool deleted) {
  std::string record(1, deleted ? '*' : ' ');
  record.append(field_bytes);
  record.resize(RecordSize(), ' ');
  records_.push_back(std::move(record));
  return *this;
}

DbfBuilder& DbfBuilder::Values(const std::vector<std::string>& values, bool deleted) {
  std::string bytes;
  for (size_t i = 0; i < fields_.size(); ++i) {
    std::string value = i < values.size() ? values[i] : std::string();
    value.resize(StoredLength(fields_[i]), ' ');
    bytes += value;
  }
  return Record(bytes, deleted);
}

DbfBuilder& DbfBuilder::HeaderCount(uint32_t count) {
  header_count_ = count;
  return *this;
}
DbfBuilder& DbfBuilder::HeaderLength(uint16_t length) {
  header_length_ = length;
  return *this;
}
DbfBuilder& DbfBuilder::RecordLength(uint16_t length) {
  record_length_ = length;
  return *this;
}
DbfBuilder& DbfBuilder::LanguageDriverName(std::string_view name) {
  language_driver_name_ = std::string(name);
  return *this;
}
DbfBuilder& DbfBuilder::EndOfFileByte(bool present) {
  end_of_file_byte_ = present;
  return *this;
}
DbfBuilder& DbfBuilder::SetByte(size_t offset, uint8_t value) {
  damage_.push_back({Damage::kSetByte, offset, value, {}});
  return *this;
}
DbfBuilder& DbfBuilder::Truncate(size_t size) {
  damage_.push_back({Damage::kTruncate, size, 0, {}});
  return *this;
}
DbfBuilder& DbfBuilder::Append(std::string_view bytes) {
  damage_.push_back({Damage::kAppend, 0, 0, std::string(bytes)});
  return *this;
}
DbfBuilder& DbfBuilder::CutTerminator(uint8_t replacement) {
  damage_.push_back({Damage::kCutTerminator, 0, replacement, {}});
  return *this;
}

std::string DbfBuilder::Bytes() const {
  const size_t header_size = HeaderSizeBuilt();
  const size_t natural_header = DescriptorOffset(static_cast<int>(fields_.size())) + 1;
  std::string bytes(std::max(header_size, natural_header), '\0');
  bytes[0] = static_cast<char>(version_);
  bytes[1] = 126;  // 2026-12-10
  bytes[2] = 12;
  bytes[3] = 10;
  uint32_t count = header_count_ >= 0 ? static_cast<uint32_t>(header_count_)
                                      : static_cast<uint32_t>(records_.size());
  PutLittleEndian(bytes, 4, count, 4);
  PutLittleEndian(bytes, 8, header_size, 2);
  PutLittleEndian(bytes, 10, RecordSize(), 2);
  bytes[29] = static_cast<char>(language_id_);
  if (Level7()) {
    std::string name = language_driver_name_.substr(0, 32);
    bytes.replace(32, name.size(), name);
  }
  for (size_t i = 0; i < fields_.size(); ++i) {
    const FieldSpec& field = fields_[i];
    const size_t at = DescriptorOffset(static_cast<int>(i));
    std::string name = field.name.substr(0, Level7() ? 31 : 10);
    bytes.replace(at, name.size(), name);
    if (Level7()) {
      bytes[at + 32] = field.type;
      bytes[at + 33] = static_cast<char>(field.length & 0xFF);
      bytes[at + 34] = static_cast<char>(field.decimals);
    } else {
      bytes[at + 11] = field.type;
      bytes[at + 16] = static_cast<char>(field.length & 0xFF);
      bytes[at + 17] = static_cast<char>(DecimalByte(field));
      bytes[at + 18] = static_cast<char>(field.flags);
    }
  }
  bytes[natural_header - 1] = 0x0D;
  // A header length shorter than the descriptors keeps them: the records follow them.
  size_t terminator = natural_header - 1;
  for (const std::string& record : records_) bytes += record;
  if (end_of_file_byte_) bytes += '\x1A';
  for (const Damage& damage : damage_) {
    switch (damage.kind) {
      case Damage::kSetByte:
        if (damage.offset >= bytes.size()) bytes.resize(damage.offset + 1, '\0');
        bytes[damage.offset] = static_cast<char>(damage.value);
        break;
      case Damage::kTruncate:
        if (damage.offset < bytes.size()) bytes.resize(damage.offset);
        break;
      case Damage::kAppend:
        bytes += damage.bytes;
        break;
      case Damage::kCutTerminator:
        if (terminator < bytes.size()) bytes[terminator] = static_cast<char>(damage.value);
        break;
    }
  }
  return bytes;
}

void DbfBuilder::Write(const std::string& path) const { WriteFile(path, Bytes()); }

MemoBuilder::MemoBuilder(bool foxpro, int level, uint16_t block_size)
    : foxpro_(foxpro), level_(level), block_size_(block_size) {
  bytes_.assign(512, '\0');
  if (foxpro_) {
    bytes_[6] = static_cast<char>(block_size_ >> 8);
    bytes_[7] = static_cast<char>(block_size_ & 0xFF);
  } else if (level_ == 3) {
    block_size_ = 512;
    bytes_[16] = 3;
  } else {
    PutLittleEndian(bytes_, 20, block_size_, 2);
  }
  PadToBlock();
}

MemoBuilder MemoBuilder::FoxPro(uint16_t block_size) { return MemoBuilder(true, 25, block_size); }

MemoBuilder MemoBuilder::Dbase(int level, uint16_t block_size) {
  return MemoBuilder(false, level, block_size);
}

void MemoBuilder::PadToBlock() {
  const size_t block = block_size_ == 0 ? 512 : block_size_;
  bytes_.resize((bytes_.size() + block - 1) / block * block, '\0');
  const size_t next_free = bytes_.size() / block;
  if (foxpro_) {
    for (int i = 0; i < 4; ++i) bytes_[i] = static_cast<char>((next_free >> (8 * (3 - i))) & 0xFF);
  } else {
    PutLittleEndian(bytes_, 0, next_free, 4);
  }
}

int64_t MemoBuilder::AddRaw(std::string_view bytes) {
  const size_t block = block_size_ == 0 ? 512 : block_size_;
  const int64_t number = static_cast<int64_t>(bytes_.size() / block);
  bytes_.append(bytes);
  PadToBlock();
  return number;
}

int64_t MemoBuilder::Add(std::string_view data) {
  std::string block;
  if (foxpro_) {
    block = BigEndian(1, 4) + BigEndian(data.size(), 4);
    block.append(data);
  } else if (level_ == 3) {
    block = std::string(data) + "\x1A\x1A";
  } else {
    block = std::string("\xFF\xFF\x08\x00", 4) + LittleEndian(data.size() + 8, 4);
    block.append(data);
  }
  return AddRaw(block);
}

MemoBuilder& MemoBuilder::SetByte(size_t offset, uint8_t value) {
  set_bytes_.emplace_back(offset, value);
  return *this;
}

MemoBuilder& MemoBuilder::Truncate(size_t size) {
  truncate_ = static_cast<int64_t>(size);
  return *this;
}

std::string MemoBuilder::Bytes() const {
  std::string bytes = bytes_;
  for (const auto& [offset, value] : set_bytes_) {
    if (offset >= bytes.size()) bytes.resize(offset + 1, '\0');
    bytes[offset] = static_cast<char>(value);
  }
  if (truncate_ >= 0 && static_cast<size_t>(truncate_) < bytes.size()) bytes.resize(truncate_);
  return bytes;
}

void MemoBuilder::Write(const std::string& path) const { WriteFile(path, Bytes()); }

}  // namespace zered::test
