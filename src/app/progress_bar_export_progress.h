#pragma once

#include <QElapsedTimer>

#include "export/export_progress.h"

namespace zered {

class TsuiProgressBar;

// Shows a table walk on the window's progress bar and lets the window process its pending
// events while the walk goes on: at most every few milliseconds, so the close box and the
// Send button stay responsive without an event-queue check per record.
class TProgressBarExportProgress : public IExportProgress {
 public:
  explicit TProgressBarExportProgress(TsuiProgressBar& bar);

  void BeginTable(int record_count) override;
  void AtRecord(int record_number) override;

 private:
  TsuiProgressBar& bar_;
  QElapsedTimer since_events_;
};

}  // namespace zered
