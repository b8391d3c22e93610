#pragma once

#include "dbf/memo_file.h"

namespace zered {

// A ".fpt" memo file (table level 25): the block length is the big-endian 16-bit number at
// header offset 6 (0 reads as 512); a value is a big-endian length at block offset 4 and
// the data from offset 8 on, continuing through the following blocks.
class TFoxProMemoFile : public TMemoFile {
 public:
  using TMemoFile::TMemoFile;
  void Open() override;
  void ReadMemo(int64_t block, std::string& dest) override;
};

}  // namespace zered
