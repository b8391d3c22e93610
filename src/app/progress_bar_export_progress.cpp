#include "app/progress_bar_export_progress.h"

#include <QCoreApplication>

#include "widgets/sui_progress_bar.h"

namespace zered {

namespace {
constexpr qint64 kEventIntervalMs = 20;
}  // namespace

TProgressBarExportProgress::TProgressBarExportProgress(TsuiProgressBar& bar) : bar_(bar) {
  since_events_.start();
}

void TProgressBarExportProgress::BeginTable(int record_count) {
  bar_.setVisible(true);
  bar_.SetMax(record_count);
}

void TProgressBarExportProgress::AtRecord(int record_number) {
  bar_.SetPosition(record_number);
  if (since_events_.elapsed() >= kEventIntervalMs) {
    QCoreApplication::processEvents();
    since_events_.restart();
  }
}

}  // namespace zered
