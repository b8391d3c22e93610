#pragma once

#include <cstdint>
#include <string>

#include "dbf/paged_file.h"

namespace zered {

// The memo file of a table. Blocks are pages counted from the start of the file; block 0 is
// the 512-byte header. Owned by its TDbfFile; opened in the table's mode.
class TMemoFile : public TPagedFile {
 public:
  TMemoFile(std::string file_name, TPagedFileMode mode, int table_level)
      : TPagedFile(std::move(file_name), mode), table_level_(table_level) {
    SetPagesAfterHeader(false);
  }

  // Opens the file and reads its header; failures as TPagedFile::OpenFile's.
  virtual void Open() = 0;
  void Close() { CloseFile(); }
  // The block length; 0 makes every value empty.
  int BlockSize() const { return RecordSize(); }

  // Replaces `dest` with the value that starts at block `block`: empty for block <= 0, a
  // block length of 0 or a block beyond the end of the file. Never reads past the end of
  // the file: a stored length that passes it is cut there.
  virtual void ReadMemo(int64_t block, std::string& dest) = 0;

 protected:
  static constexpr int kMemoHeaderSize = 512;
  int table_level_;
};

}  // namespace zered
