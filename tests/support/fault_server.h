#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace zered::test {

// A loopback server that fails a MySQL client (tests/support/fault_server.py): "mute"
// accepts and never greets, "deaf" answers no connect at all, "cut" forwards to a real
// server and cuts a connection after a number of bytes from its client. It ends with the
// object.
class FaultServer {
 public:
  // `arguments`: the mode and its arguments, as fault_server.py takes them.
  explicit FaultServer(std::vector<std::string> arguments);

  // 0 when it did not start (the test has failed then).
  int Port() const { return port_; }
  // Waits for its next report ("accepted", "cut"); false when another came or none in time.
  bool Reported(const std::string& report, std::chrono::milliseconds timeout);
  // Its next report, or nullopt when none came in time.
  std::optional<std::string> NextReport(std::chrono::milliseconds timeout);

 private:
  ChildProcess process_;
  int port_ = 0;
};

}  // namespace zered::test
