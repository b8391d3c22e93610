#include "sql/tz_wait_hooks.h"

#include <utility>

namespace zered {

namespace {

TZWaitHooks& Hooks() {
  static TZWaitHooks hooks;
  return hooks;
}

}  // namespace

TZWaitHooks SetWaitHooks(TZWaitHooks hooks) { return std::exchange(Hooks(), std::move(hooks)); }

void NotifyWaiting() {
  if (Hooks().waiting) Hooks().waiting();
}

void NotifyLocalFileSent(uint64_t bytes) {
  if (Hooks().local_file_sent) Hooks().local_file_sent(bytes);
}

}  // namespace zered
