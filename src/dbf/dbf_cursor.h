#pragma once

#include "dbf/dbf_file.h"

namespace zered {

// The physical cursor over a table file: one record number, where 0 means before the first
// record and record count + 1 after the last. Records that another process appends while
// the table is open are reached: the file's record count is asked again whenever the cursor
// passes the count it last saw. `file` must outlive the cursor.
class TDbfCursor {
 public:
  explicit TDbfCursor(TDbfFile& file) : file_(file) {}

  // Before the first record.
  void First() { physical_recno_ = 0; }
  // After the last record, or 0 when the table is empty.
  void Last();
  // Moves to the next record; false (and after the last record) when there is none.
  bool Next();
  // Moves to the previous record; false (and at 0) when there is none.
  bool Prev();

  int PhysicalRecNo() const { return physical_recno_; }
  void SetPhysicalRecNo(int recno) { physical_recno_ = recno; }
  // For a cursor in physical order, the physical record number and the file's record count.
  int SequentialRecNo() const { return physical_recno_; }
  int SequentialRecordCount() { return RefreshCount(); }

 private:
  int RefreshCount();

  TDbfFile& file_;
  int physical_recno_ = 0;
  // The record count seen last; the file may have grown since.
  int known_count_ = 0;
};

}  // namespace zered
