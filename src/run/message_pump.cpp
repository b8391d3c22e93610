#include "run/message_pump.h"

#include "run/run_window.h"

namespace zered {

namespace {
constexpr std::chrono::milliseconds kMessageInterval{20};
}  // namespace

TMessagePump::TMessagePump(IRunWindow& window)
    : window_(window), last_(std::chrono::steady_clock::now()) {}

void TMessagePump::Pump() {
  const auto now = std::chrono::steady_clock::now();
  if (now - last_ < kMessageInterval) return;
  window_.ProcessMessages();
  last_ = std::chrono::steady_clock::now();
}

}  // namespace zered
