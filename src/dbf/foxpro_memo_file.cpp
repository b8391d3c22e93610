#include "dbf/foxpro_memo_file.h"

#include <algorithm>

namespace zered {

namespace {

uint32_t BigEndian32(const uint8_t* bytes) {
  return (static_cast<uint32_t>(bytes[0]) << 24) | (static_cast<uint32_t>(bytes[1]) << 16) |
         (static_cast<uint32_t>(bytes[2]) << 8) | static_cast<uint32_t>(bytes[3]);
}

}  // namespace

void TFoxProMemoFile::Open() {
  OpenFile();
  ReadHeader(kMemoHeaderSize);
  const int block_size = (Header()[6] << 8) | Header()[7];
  SetRecordSize(block_size == 0 ? 512 : block_size);
}

void TFoxProMemoFile::ReadMemo(int64_t block, std::string& dest) {
  dest.clear();
  if (block <= 0 || BlockSize() == 0) return;
  const uint64_t start = PageOffset(block);
  uint8_t head[8] = {};
  if (ReadBlock(start, head, sizeof head) == 0) return;
  // The stored length is not trusted: the value never passes the end of the file.
  const uint64_t size = FileSize();
  const uint64_t available = size > start + 8 ? size - (start + 8) : 0;
  const uint64_t length = std::min<uint64_t>(BigEndian32(head + 4), available);
  dest.resize(length);
  dest.resize(ReadBlock(start + 8, dest.data(), length));
}

}  // namespace zered
