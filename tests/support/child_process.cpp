#include "support/child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace zered::test {
namespace {

using Clock = std::chrono::steady_clock;

void ClosePipe(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

ChildProcess::ChildProcess(std::vector<std::string> argv, std::vector<std::string> environment) {
  int in[2], out[2], err[2];
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
    ADD_FAILURE() << "pipe: " << std::strerror(errno);
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);

  std::vector<std::string> env_text;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const std::string name = text.substr(0, text.find('=') + 1);
    bool replaced = false;
    for (const std::string& own : environment) replaced = replaced || own.starts_with(name);
    if (!replaced) env_text.push_back(text);
  }
  env_text.insert(env_text.end(), environment.begin(), environment.end());
  std::vector<char*> env_pointers;
  for (std::string& text : env_text) env_pointers.push_back(text.data());
  env_pointers.push_back(nullptr);
  std::vector<char*> arg_pointers;
  for (std::string& arg : argv) arg_pointers.push_back(arg.data());
  arg_pointers.push_back(nullptr);

  const int result = ::posix_spawnp(&pid_, arg_pointers[0], &actions, nullptr, arg_pointers.data(),
                                    env_pointers.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  stdin_fd_ = in[1];
  stdout_.fd = out[0];
  stderr_.fd = err[0];
  if (result != 0) {
    pid_ = -1;
    ADD_FAILURE() << "cannot start " << argv[0] << ": " << std::strerror(result);
  }
}

ChildProcess::~ChildProcess() {
  ClosePipe(stdin_fd_);
  // Programs that end when their stdin closes get a moment to do so.
  if (pid_ > 0 && !Wait(std::chrono::milliseconds(2000))) Kill();
  ClosePipe(stdout_.fd);
  ClosePipe(stderr_.fd);
}

bool ChildProcess::Fill(Stream& stream, Clock::time_point deadline) {
  if (stream.fd < 0) return false;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  pollfd ready{stream.fd, POLLIN, 0};
  const int polled = ::poll(&ready, 1, static_cast<int>(std::max<int64_t>(left.count(), 0)));
  if (polled < 0 && errno == EINTR) return true;
  if (polled <= 0) return false;
  char buffer[4096];
  const ssize_t got = ::read(stream.fd, buffer, sizeof buffer);
  if (got < 0 && errno == EINTR) return true;
  if (got <= 0) {
    ClosePipe(stream.fd);
    return false;
  }
  stream.buffered.append(buffer, static_cast<size_t>(got));
  return true;
}

std::optional<std::string> ChildProcess::ReadLine(Stream& stream,
                                                  std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const size_t end = stream.buffered.find('\n');
    if (end != std::string::npos) {
      std::string line = stream.buffered.substr(0, end);
      stream.buffered.erase(0, end + 1);
      return line;
    }
    if (!Fill(stream, deadline)) return std::nullopt;
  }
}

std::optional<std::string> ChildProcess::ReadOutputLine(std::chrono::milliseconds timeout) {
  return ReadLine(stdout_, timeout);
}

std::optional<std::string> ChildProcess::ReadErrorLine(std::chrono::milliseconds timeout) {
  return ReadLine(stderr_, timeout);
}

std::string ChildProcess::ReadErrorToEnd(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (Fill(stderr_, deadline)) {
  }
  std::string text;
  text.swap(stderr_.buffered);
  return text;
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
  if (pid_ <= 0) return std::nullopt;
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_ || (done < 0 && errno != EINTR)) {
      pid_ = -1;
      return status;
    }
    if (Clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void ChildProcess::Kill() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
}

}  // namespace zered::test
