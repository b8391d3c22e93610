#include "run/window_export_progress.h"

#include "run/run_window.h"

namespace zered {

namespace {
constexpr std::chrono::milliseconds kMessageInterval{20};
}  // namespace

TWindowExportProgress::TWindowExportProgress(IRunWindow& window)
    : window_(window), last_messages_(std::chrono::steady_clock::now()) {}

void TWindowExportProgress::BeginTable(int record_count) {
  window_.SetProgressVisible(true);
  window_.SetProgressMax(record_count);
}

void TWindowExportProgress::AtRecord(int record_number) {
  window_.SetProgressPosition(record_number);
  const auto now = std::chrono::steady_clock::now();
  if (now - last_messages_ >= kMessageInterval) {
    window_.ProcessMessages();
    last_messages_ = now;
  }
}

}  // namespace zered
