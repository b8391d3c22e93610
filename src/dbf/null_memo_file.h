#pragma once

#include "dbf/memo_file.h"

namespace zered {

// Stands in for a missing memo file: opens nothing, every value is empty.
class TNullMemoFile : public TMemoFile {
 public:
  using TMemoFile::TMemoFile;
  void Open() override {}
  void ReadMemo(int64_t, std::string& dest) override { dest.clear(); }
};

}  // namespace zered
