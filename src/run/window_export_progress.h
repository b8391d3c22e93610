#pragma once

#include "export/export_progress.h"
#include "run/message_pump.h"

namespace zered {

class IRunWindow;

// Shows a table walk on the window's progress bar and lets the window process its pending
// messages while the walk goes on.
class TWindowExportProgress : public IExportProgress {
 public:
  explicit TWindowExportProgress(IRunWindow& window);

  void BeginTable(int record_count) override;
  void AtRecord(int record_number) override;

 private:
  IRunWindow& window_;
  TMessagePump pump_;
};

}  // namespace zered
