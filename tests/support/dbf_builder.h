#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zered::test {

// Writes the bytes of a DBF table for tests: fields, records and deletion flags, then named
// damage applied to the finished bytes.
//
// The header follows the version byte: 32-byte descriptors (48-byte ones and the language
// driver name when `version & 7 == 4`), the 0x0D terminator and, for the Visual FoxPro
// versions 0x30, 0x31 and 0x32, the 263-byte backlink area. Lengths and the record count
// are computed unless overridden.
class DbfBuilder {
 public:
  explicit DbfBuilder(uint8_t version = 0x30, uint8_t language_id = 0x03);

  // Adds a field; `type` is the raw type letter byte. A character field longer than 255
  // keeps its high byte in the decimal count (FoxPro). `flags` is descriptor byte 18
  // (level 25 only). Returns *this.
  DbfBuilder& Field(std::string_view name, char type, int length, int decimals = 0,
                    uint8_t flags = 0);
  // Adds a record from its field bytes (deletion flag excluded), padded with blanks or cut
  // to the record length.
  DbfBuilder& Record(std::string_view field_bytes, bool deleted = false);
  // Adds a record from one value per field, each left-aligned and padded with blanks to
  // its field's stored length (binary values should be given at full length).
  DbfBuilder& Values(const std::vector<std::string>& values, bool deleted = false);

  // Overrides of computed header values.
  DbfBuilder& HeaderCount(uint32_t count);
  DbfBuilder& HeaderLength(uint16_t length);
  DbfBuilder& RecordLength(uint16_t length);
  DbfBuilder& LanguageDriverName(std::string_view name);  // level 7 only
  DbfBuilder& EndOfFileByte(bool present);                // 0x1A after the records; default on

  // Named damage, applied in order to the finished bytes.
  DbfBuilder& SetByte(size_t offset, uint8_t value);
  DbfBuilder& Truncate(size_t size);
  DbfBuilder& Append(std::string_view bytes);
  // Replaces the 0x0D terminator with `replacement`; the header length stays.
  DbfBuilder& CutTerminator(uint8_t replacement = ' ');

  // Offset of the first record and of a descriptor (0-based) in the finished bytes.
  size_t HeaderSizeBuilt() const;
  size_t DescriptorOffset(int index) const;
  size_t RecordSize() const;

  std::string Bytes() const;
  void Write(const std::string& path) const;

 private:
  struct FieldSpec {
    std::string name;
    char type;
    int length;
    int decimals;
    uint8_t flags;
  };
  struct Damage {
    enum Kind { kSetByte, kTruncate, kAppend, kCutTerminator } kind;
    size_t offset;
    uint8_t value;
    std::string bytes;
  };

  bool Level7() const { return (version_ & 7) == 4; }
  bool Backlink() const { return version_ >= 0x30 && version_ <= 0x32; }
  bool Level25() const {
    return (version_ & 7) == 2 || (version_ & 7) == 5 || version_ == 0x30 || version_ == 0x31;
  }
  uint8_t DecimalByte(const FieldSpec& field) const;
  size_t StoredLength(const FieldSpec& field) const;

  uint8_t version_;
  uint8_t language_id_;
  std::string language_driver_name_;
  std::vector<FieldSpec> fields_;
  std::vector<std::string> records_;
  int64_t header_count_ = -1;
  int header_length_ = -1;
  int record_length_ = -1;
  bool end_of_file_byte_ = true;
  std::vector<Damage> damage_;
};

// Writes the bytes of a memo file: ".fpt" (FoxPro, big-endian) or ".dbt" (dBASE).
class MemoBuilder {
 public:
  static MemoBuilder FoxPro(uint16_t block_size = 64);
  // dBASE III (`level` 3: 512-byte blocks, values end with 0x1A 0x1A) or dBASE IV/7
  // (`block_size` at header offset 20, values with the FF FF 08 00 length header).
  static MemoBuilder Dbase(int level, uint16_t block_size = 512);

  // Adds a value in the next free block; returns its block number.
  int64_t Add(std::string_view data);
  // Adds raw block bytes (padded to whole blocks); returns the first block's number.
  int64_t AddRaw(std::string_view bytes);
  // Damage on the finished bytes.
  MemoBuilder& SetByte(size_t offset, uint8_t value);
  MemoBuilder& Truncate(size_t size);

  std::string Bytes() const;
  void Write(const std::string& path) const;

 private:
  MemoBuilder(bool foxpro, int level, uint16_t block_size);
  void PadToBlock();

  bool foxpro_;
  int level_;
  uint16_t block_size_;
  std::string bytes_;
  std::vector<std::pair<size_t, uint8_t>> set_bytes_;
  int64_t truncate_ = -1;
};

// Little- and big-endian byte strings for binary field values.
std::string LittleEndian(uint64_t value, int bytes);
std::string BigEndian(uint64_t value, int bytes);

// A fresh empty folder under the build tree for one test's files.
std::string TestFolder(std::string_view name);

}  // namespace zered::test
