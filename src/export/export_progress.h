#pragma once

namespace zered {

// What a table walk reports as it goes: the window's progress bar and its chance to process
// pending events.
class IExportProgress {
 public:
  virtual ~IExportProgress() = default;
  // The walk of a table with `record_count` records (deleted ones included) begins.
  virtual void BeginTable(int record_count) = 0;
  // The walk is at the record with this physical number.
  virtual void AtRecord(int record_number) = 0;
};

}  // namespace zered
