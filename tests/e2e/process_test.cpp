// The program as a scheduler starts it: the real executable, copied into a program folder of
// its own, run with /A on the offscreen platform. A failed run keeps its box open and writes
// one line to standard error; the test reads it and ends the process.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "base/text_lines.h"
#include "support/child_process.h"
#include "support/fault_server.h"
#include "support/folder_contents.h"
#include "support/private_server.h"
#include "support/velbor_database.h"

namespace zered {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::StartsWith;

class ProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "zered_process_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    bin_ = root_ / "bin";
    const fs::path data = root_ / "účetní data";
    fs::create_directory(bin_);
    fs::create_directory(data);
    fs::copy_file(ZERED_EXECUTABLE, bin_ / "zered");
    for (const auto& entry :
         fs::directory_iterator(fs::path(ZERED_TEST_FIXTURES) / "e2e" / "receivables")) {
      fs::copy_file(entry.path(), data / entry.path().filename());
    }
    std::ofstream(bin_ / "zered.INI", std::ios::binary)
        << "[TForm1]\r\nLMDBrowseEdit1_Path=" << data.string() << "/\r\n";
  }

  void TearDown() override { fs::remove_all(root_); }

  void UseServer(const test::TestServer& server, int port = 0, const std::string& password = {}) {
    test::TestServer settings = server;
    if (!password.empty()) settings.admin_password = password;
    test::WriteConnectionSettings(root_.string() + "/", settings, port);
  }

  std::unique_ptr<test::ChildProcess> Start() {
    return std::make_unique<test::ChildProcess>(
        std::vector<std::string>{(bin_ / "zered").string(), "/A"});
  }

  // The program's line on standard error (the toolkit may print its own lines first).
  static std::optional<std::string> ProgramLine(test::ChildProcess& process) {
    const auto deadline = std::chrono::steady_clock::now() + 90s;
    while (std::chrono::steady_clock::now() < deadline) {
      const auto line = process.ReadErrorLine(std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now()));
      if (!line) return std::nullopt;
      if (line->starts_with("zered:")) return line;
    }
    return std::nullopt;
  }

  // Runs the program to its end: a successful unattended run closes by itself, with exit code
  // 0 and nothing of its own on standard error.
  void ExpectSuccessfulRun() {
    auto process = Start();
    const std::string errors = process->ReadErrorToEnd(120s);
    const auto status = process->Wait(10s);
    ASSERT_TRUE(status.has_value()) << "the run did not end";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    for (const std::string& line : SplitLines(errors)) {
      EXPECT_THAT(line, ::testing::Not(StartsWith("zered:")));
    }
  }

  std::string Log() const { return test::ReadFileBytes(bin_ / "proto.txt"); }

  fs::path root_, bin_;
};

struct FailureCase {
  const char* name;
  enum { kWrongPassword, kServerNeverGreets, kNothingAnswers } cause;
  const char* line;  // the whole line, or its start
};

void PrintTo(const FailureCase& failure, std::ostream* out) { *out << failure.name; }

class UnattendedFailureTest : public ProcessTest,
                              public ::testing::WithParamInterface<FailureCase> {};

// A scheduler learns why the run did not end; the box waits for the user as before. The
// silent servers take the connection's own bound of 20 seconds.
TEST_P(UnattendedFailureTest, WritesTheBoxTextAsOneLineToStandardErrorAndKeepsTheBox) {
  const FailureCase& failure = GetParam();
  std::unique_ptr<test::FaultServer> silent;
  const test::TestServer server = test::GetTestServer();
  if (failure.cause == FailureCase::kWrongPassword) {
    UseServer(server, 0, "wrong");
  } else {
    silent = std::make_unique<test::FaultServer>(std::vector<std::string>{
        failure.cause == FailureCase::kServerNeverGreets ? "mute" : "deaf"});
    ASSERT_NE(silent->Port(), 0);
    UseServer(server, silent->Port());
  }
  auto process = Start();
  const auto line = ProgramLine(*process);
  ASSERT_TRUE(line.has_value()) << "no line on standard error";
  EXPECT_THAT(*line, StartsWith(failure.line));
  EXPECT_FALSE(process->Wait(300ms).has_value()) << "the box did not wait";
  process->Kill();
  EXPECT_FALSE(fs::exists(bin_ / "proto.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Causes, UnattendedFailureTest,
    ::testing::Values(
        FailureCase{"WrongPassword", FailureCase::kWrongPassword,
                    "zered: SQL Error: Access denied for user 'zered_admin'@'localhost' (using "
                    "password: YES)"},
        FailureCase{"ServerNeverGreets", FailureCase::kServerNeverGreets,
                    "zered: SQL Error: Lost connection to server at 'handshake: reading initial "
                    "communication packet', system error: 110."},
        FailureCase{"NothingAnswers", FailureCase::kNothingAnswers,
                    "zered: SQL Error: Can't connect to server on '127.0.0.1' (110)"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

// A scheduled run that starts while another holds the program folder ends at once and
// touches nothing; a killed holder leaves no lock behind.
TEST_F(ProcessTest, SecondRunWhileTheFirstHoldsTheLockTouchesNothing) {
  // The database "velbor" that the program names: on a server of this test alone.
  test::PrivateServer server(std::string(ZERED_TEST_BINARY_DIR) + "/mariadb_two_runs");
  ASSERT_NE(server.Info().port, 0);
  test::CreateVelborDatabase(server.Info(), "velbor");
  UseServer(server.Info());
  ExpectSuccessfulRun();
  const std::string log = Log();

  // The first run holds the lock while it waits for a server that never greets.
  test::FaultServer silent({"mute"});
  ASSERT_NE(silent.Port(), 0);
  UseServer(server.Info(), silent.Port());
  auto first = Start();
  ASSERT_TRUE(silent.Reported("accepted", 90s));
  const auto before = test::FolderContents(bin_);

  auto second = Start();
  const auto line = ProgramLine(*second);
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(*line, "zered: The lock file \"" + (bin_ / "zered.lock").string() +
                       "\" is held: another run is in progress.");
  second->Kill();
  EXPECT_EQ(test::FolderContents(bin_), before);
  EXPECT_EQ(silent.NextReport(500ms), std::nullopt) << "the second run connected";

  // Killed while it holds the lock: the system releases it.
  first->Kill();
  UseServer(server.Info());
  ExpectSuccessfulRun();
  EXPECT_EQ(SplitLines(Log()).size(), 12u);
  EXPECT_EQ(Log().substr(0, log.size()), log);
  EXPECT_EQ(test::QueryRows(server.Info(), "velbor", "SELECT COUNT(*) FROM pohledavky"), "5\n");
}

}  // namespace
}  // namespace zered
