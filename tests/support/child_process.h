#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace zered::test {

// A program started by a test, with pipes to its stdin, stdout and stderr. Every wait has a
// deadline. The destructor closes its stdin, kills it when it still runs and reaps it, so a
// failing test leaves no process behind.
class ChildProcess {
 public:
  // Starts `argv[0]` (searched in PATH) with the test's environment plus `environment`
  // ("NAME=value" entries, replacing those of the same name). Fails the test when it cannot.
  explicit ChildProcess(std::vector<std::string> argv, std::vector<std::string> environment = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The next line (without its line break) of its stdout or stderr; nullopt when the stream
  // ended or `timeout` passed first.
  std::optional<std::string> ReadOutputLine(std::chrono::milliseconds timeout);
  std::optional<std::string> ReadErrorLine(std::chrono::milliseconds timeout);
  // All that is left of its stderr until it closes (the process ended) or `timeout` passed.
  std::string ReadErrorToEnd(std::chrono::milliseconds timeout);

  // Waits for it to end; its exit status as waitpid gives it, or nullopt after `timeout`.
  std::optional<int> Wait(std::chrono::milliseconds timeout);
  // Kills it (SIGKILL) and reaps it.
  void Kill();
  bool Running() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }

 private:
  struct Stream {
    int fd = -1;
    std::string buffered;
  };
  std::optional<std::string> ReadLine(Stream& stream, std::chrono::milliseconds timeout);
  // Reads what arrives within `timeout`; false at the stream's end or when the time is up.
  bool Fill(Stream& stream, std::chrono::steady_clock::time_point deadline);

  pid_t pid_ = -1;
  int stdin_fd_ = -1;
  Stream stdout_;
  Stream stderr_;
};

}  // namespace zered::test
