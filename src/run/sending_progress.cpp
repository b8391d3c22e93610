#include "run/sending_progress.h"

#include <algorithm>
#include <limits>

#include "run/run_window.h"
#include "sql/tz_sql_processor.h"

namespace zered {

namespace {

// Kilobytes keep the bar's 32-bit figures far from their limit for any file the run writes.
int Kib(uint64_t bytes) {
  const uint64_t kib = (bytes + 1023) / 1024;
  return static_cast<int>(std::min<uint64_t>(kib, std::numeric_limits<int>::max() / 2));
}

}  // namespace

TSendingProgress::TSendingProgress(IRunWindow& window, TZSQLProcessor& processor,
                                   uint64_t local_file_bytes)
    : window_(window),
      processor_(processor),
      pump_(window),
      local_file_kib_(Kib(local_file_bytes)) {
  processor_.BeforeExecute = [this](TZSQLProcessor& script, int index) {
    // The script has been split by now.
    if (index == 0) window_.SetProgressMax(local_file_kib_ + script.StatementCount());
  };
  processor_.AfterExecute = [this](TZSQLProcessor&, int index) {
    statements_done_ = index + 1;
    // The load statement is done: the whole file counts as sent.
    if (kib_sent_ > 0) kib_sent_ = local_file_kib_;
    Show();
    pump_.Pump();
  };
  previous_hooks_ = SetWaitHooks({[this] { pump_.Pump(); },
                                  [this](uint64_t bytes) {
                                    kib_sent_ =
                                        std::max(kib_sent_, std::min(Kib(bytes), local_file_kib_));
                                    Show();
                                  }});
  window_.SetProgressPosition(0);
}

TSendingProgress::~TSendingProgress() {
  SetWaitHooks(std::move(previous_hooks_));
  processor_.BeforeExecute = nullptr;
  processor_.AfterExecute = nullptr;
}

void TSendingProgress::Show() { window_.SetProgressPosition(statements_done_ + kib_sent_); }

}  // namespace zered
