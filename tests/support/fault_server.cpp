#include "support/fault_server.h"

#include <gtest/gtest.h>

namespace zered::test {
namespace {

std::vector<std::string> Command(std::vector<std::string> arguments) {
  std::vector<std::string> command = {
      "python3", std::string(ZERED_TEST_SOURCE_DIR) + "/support/fault_server.py"};
  command.insert(command.end(), arguments.begin(), arguments.end());
  return command;
}

}  // namespace

FaultServer::FaultServer(std::vector<std::string> arguments)
    : process_(Command(std::move(arguments))) {
  const auto line = process_.ReadOutputLine(std::chrono::seconds(30));
  if (line) port_ = std::atoi(line->c_str());
  EXPECT_NE(port_, 0) << "the fault server did not report its port";
}

std::optional<std::string> FaultServer::NextReport(std::chrono::milliseconds timeout) {
  return process_.ReadOutputLine(timeout);
}

bool FaultServer::Reported(const std::string& report, std::chrono::milliseconds timeout) {
  const auto line = NextReport(timeout);
  EXPECT_EQ(line.value_or("(nothing)"), report);
  return line == report;
}

}  // namespace zered::test
