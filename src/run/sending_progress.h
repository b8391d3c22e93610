#pragma once

#include <cstdint>

#include "run/message_pump.h"
#include "sql/tz_wait_hooks.h"

namespace zered {

class IRunWindow;
class TZSQLProcessor;

// Shows the execution of the load script on the window while it lasts: the progress bar counts
// the kilobytes of the invoice line file sent during the load statement and one step per
// statement, and the window processes its messages while the server works. Installed for its
// lifetime, which spans one execution of the processor's script; the processor's statement
// events and the waiting hooks are restored at its end.
class TSendingProgress {
 public:
  TSendingProgress(IRunWindow& window, TZSQLProcessor& processor, uint64_t local_file_bytes);
  ~TSendingProgress();
  TSendingProgress(const TSendingProgress&) = delete;
  TSendingProgress& operator=(const TSendingProgress&) = delete;

 private:
  void Show();

  IRunWindow& window_;
  TZSQLProcessor& processor_;
  TMessagePump pump_;
  int local_file_kib_;
  int statements_done_ = 0;
  int kib_sent_ = 0;
  TZWaitHooks previous_hooks_;
};

}  // namespace zered
