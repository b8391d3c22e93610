#include "dbf/dbase_memo_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zered {

namespace {

constexpr uint8_t kEndMarker = 0x1A;

uint32_t LittleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

}  // namespace

void TDbaseMemoFile::Open() {
  OpenFile();
  ReadHeader(kMemoHeaderSize);
  if (table_level_ == 3) {
    Header()[16] = 3;
    SetRecordSize(512);
  } else {
    // dBASE III memo files leave offset 20 at 0, and a dBASE III table whose language driver
    // byte is set reads as level 4: their blocks are 512 bytes, and reading them as such
    // keeps their memo text instead of losing all of it.
    const int block_size = Header()[20] | (Header()[21] << 8);
    SetRecordSize(block_size == 0 ? 512 : block_size);
  }
}

void TDbaseMemoFile::ReadMemo(int64_t block, std::string& dest) {
  dest.clear();
  const size_t block_size = static_cast<size_t>(BlockSize());
  if (block <= 0 || block_size == 0) return;
  std::vector<uint8_t> data(block_size);
  uint64_t offset = PageOffset(block);
  size_t got = ReadBlock(offset, data.data(), block_size);
  if (got == 0) return;
  std::fill(data.begin() + got, data.end(), 0);

  if (block_size >= 8 && data[0] == 0xFF && data[1] == 0xFF && data[2] == 0x08 && data[3] == 0) {
    // The stored length counts the 8 header bytes; it is cut at the end of the file.
    const uint32_t stored = LittleEndian32(data.data() + 4);
    const uint64_t size = FileSize();
    const uint64_t available = size > offset + 8 ? size - (offset + 8) : 0;
    const uint64_t length = std::min<uint64_t>(stored > 8 ? stored - 8 : 0, available);
    dest.resize(length);
    dest.resize(ReadBlock(offset + 8, dest.data(), length));
    return;
  }

  // Text runs to 0x1A followed by 0x1A or NUL, possibly across blocks; it always ends at the
  // end of the file. A lone 0x1A inside the text is text: only a marker pair ends it, so a
  // value never takes in the blocks of the values stored after it.
  for (;;) {
    auto marker = data.begin();
    while ((marker = std::find(marker, data.end(), kEndMarker)) != data.end() &&
           marker + 1 != data.end()) {
      if (marker[1] == kEndMarker || marker[1] == 0) {
        dest.append(data.begin(), marker);
        return;
      }
      ++marker;
    }
    dest.append(data.begin(), data.end());
    const bool last_was_marker = data.back() == kEndMarker;
    offset += block_size;
    got = ReadBlock(offset, data.data(), block_size);
    if (got == 0) return;
    std::fill(data.begin() + got, data.end(), 0);
    if (last_was_marker && (data[0] == kEndMarker || data[0] == 0)) {
      dest.pop_back();
      return;
    }
  }
}

}  // namespace zered
