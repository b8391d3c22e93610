#pragma once

#include <chrono>

#include "export/export_progress.h"

namespace zered {

class IRunWindow;

// Shows a table walk on the window's progress bar and lets the window process its pending
// messages while the walk goes on: at most every few milliseconds, so the close box and the
// Send button stay responsive without a message-queue check per record.
class TWindowExportProgress : public IExportProgress {
 public:
  explicit TWindowExportProgress(IRunWindow& window);

  void BeginTable(int record_count) override;
  void AtRecord(int record_number) override;

 private:
  IRunWindow& window_;
  std::chrono::steady_clock::time_point last_messages_;
};

}  // namespace zered
