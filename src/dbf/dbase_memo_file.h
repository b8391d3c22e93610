#pragma once

#include "dbf/memo_file.h"

namespace zered {

// A ".dbt" memo file (table levels 3, 4, 7): block length 512 at level 3, else the
// little-endian 16-bit number at header offset 20 (0 reads as 512). A block starting FF FF 08 00
// holds a length; any other value runs to its end marker (0x1A followed by 0x1A or NUL).
class TDbaseMemoFile : public TMemoFile {
 public:
  using TMemoFile::TMemoFile;
  void Open() override;
  void ReadMemo(int64_t block, std::string& dest) override;
};

}  // namespace zered
