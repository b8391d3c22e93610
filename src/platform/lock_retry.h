#pragma once

#include <chrono>
#include <thread>

namespace zered {

// How one attempt at a read ended, as RetryWhileLocked sees it.
enum class TLockedAttempt { kDone, kLocked };

// The files layer's rule for reads that meet another process's byte-range lock: calls
// `attempt` until it reports kDone, pausing 1 millisecond after each kLocked, for at most
// `limit` from the first call. Returns kLocked when the limit has passed with the region still
// locked; a limit of 0 makes a single attempt. `attempt` keeps any other outcome itself.
template <typename Attempt>
TLockedAttempt RetryWhileLocked(Attempt attempt, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (attempt() == TLockedAttempt::kDone) return TLockedAttempt::kDone;
    if (std::chrono::steady_clock::now() >= deadline) return TLockedAttempt::kLocked;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace zered
