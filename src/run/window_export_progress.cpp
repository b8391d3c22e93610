#include "run/window_export_progress.h"

#include "run/run_window.h"

namespace zered {

TWindowExportProgress::TWindowExportProgress(IRunWindow& window) : window_(window), pump_(window) {}

void TWindowExportProgress::BeginTable(int record_count) {
  window_.SetProgressVisible(true);
  window_.SetProgressMax(record_count);
}

void TWindowExportProgress::AtRecord(int record_number) {
  window_.SetProgressPosition(record_number);
  pump_.Pump();
}

}  // namespace zered
