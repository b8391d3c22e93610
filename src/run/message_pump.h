#pragma once

#include <chrono>

namespace zered {

class IRunWindow;

// Lets the window process its pending messages when asked, but at most every few milliseconds:
// often enough for the close box and the Send button to answer at once, seldom enough that a
// check per record or per block costs nothing.
class TMessagePump {
 public:
  explicit TMessagePump(IRunWindow& window);
  void Pump();

 private:
  IRunWindow& window_;
  std::chrono::steady_clock::time_point last_;
};

}  // namespace zered
