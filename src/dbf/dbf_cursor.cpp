#include "dbf/dbf_cursor.h"

namespace zered {

int TDbfCursor::RefreshCount() {
  known_count_ = file_.RecordCount();
  return known_count_;
}

void TDbfCursor::Last() {
  const int count = RefreshCount();
  physical_recno_ = count == 0 ? 0 : count + 1;
}

bool TDbfCursor::Next() {
  // Asking the file costs a system call, so it is asked only at the end of what is known.
  if (physical_recno_ < 0 || physical_recno_ >= known_count_) RefreshCount();
  if (physical_recno_ >= 0 && physical_recno_ <= known_count_) {
    ++physical_recno_;
    if (physical_recno_ <= known_count_) return true;
  }
  physical_recno_ = known_count_ + 1;
  return false;
}

bool TDbfCursor::Prev() {
  const int count = RefreshCount();
  if (physical_recno_ > count + 1) physical_recno_ = count + 1;
  if (physical_recno_ > 1) {
    --physical_recno_;
    return true;
  }
  physical_recno_ = 0;
  return false;
}

}  // namespace zered
