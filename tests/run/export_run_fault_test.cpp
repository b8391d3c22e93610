// The export run meeting real faults: a server killed with SIGKILL in the middle of the script,
// a connection cut while the invoice lines travel, a full file system and a file-size limit in
// the program folder. Each fault is followed by a run after it is gone.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/files.h"
#include "run/export_run_fixture.h"
#include "support/child_process.h"
#include "support/fault_server.h"
#include "support/private_server.h"
#include "support/velbor_database.h"

namespace zered {
namespace {

namespace fs = std::filesystem;
using ::testing::AnyOf;
using ::testing::StartsWith;

// What the client library says when the server went away under a statement.
const auto kLostServer = AnyOf(StartsWith("SQL Error: Lost connection to server during query"),
                               StartsWith("SQL Error: Server has gone away"));

using test::FolderContents;

// Runs the run in the window double and reads the server's tables.
class FaultFixture : public test::ExportRunFixture {
 protected:
  // Presses Send; returns the box it showed (the completion box included).
  test::Shown Run(TExportRun& run) {
    window_.shown_.clear();
    run.Button3Click();
    EXPECT_EQ(window_.shown_.size(), 1u);
    return window_.shown_.empty() ? test::Shown{} : window_.shown_.back();
  }

  void ExpectSuccess(TExportRun& run) {
    const test::Shown box = Run(run);
    EXPECT_EQ(box.text, "hotovo");
  }

  std::string Query(const test::TestServer& server, const std::string& sql) {
    return test::QueryRows(server, database_, sql);
  }

  // Both receivables tables hold exactly the lines of invoices `first` to `last` (as
  // WriteTable numbers them), each once.
  void ExpectTablesHold(const test::TestServer& server, int first, int last, int count) {
    const std::string expected = std::to_string(count) + "\t" + std::to_string(count) + "\t" +
                                 std::to_string(first) + "\t" + std::to_string(last) + "\n";
    EXPECT_EQ(Query(server,
                    "SELECT COUNT(*), COUNT(DISTINCT ID), MIN(CAST(ID AS UNSIGNED)), "
                    "MAX(CAST(ID AS UNSIGNED)) FROM pohledavky2"),
              expected);
    EXPECT_EQ(Query(server,
                    "SELECT COUNT(*), COUNT(DISTINCT CFAKT), MIN(CAST(SUBSTR(CFAKT, 3) AS "
                    "UNSIGNED)), MAX(CAST(SUBSTR(CFAKT, 3) AS UNSIGNED)) FROM pohledavky"),
              expected);
  }
};

enum class KillPoint { kDuringTheLoad, kBetweenLaterStatements };

struct KillCase {
  const char* name;
  KillPoint point;
  int records;  // in fap.dbf of the run that meets the kill
  // What the crashed server kept of that run: the rows of pohledavky2 and pohledavky.
  const char* staged_after_recovery;
  const char* receivables_after_recovery;
};

void PrintTo(const KillCase& kill, std::ostream* out) { *out << kill.name; }

class ServerKillTest : public FaultFixture, public ::testing::WithParamInterface<KillCase> {
 protected:
  void SetUp() override {
    FaultFixture::SetUp();
    // A server of this test alone: the others keep theirs while this one dies.
    server_ = std::make_unique<test::PrivateServer>(std::string(ZERED_TEST_BINARY_DIR) +
                                                    "/mariadb_kill_" + GetParam().name);
    ASSERT_NE(server_->Info().port, 0);
    test::CreateVelborDatabase(server_->Info(), "velbor_kill");
    UseServer(server_->Info(), "velbor_kill");
  }

  // Waits until the server's process list shows a session matching `condition`; false when
  // none did within a minute.
  bool ServerShows(const test::TestServer& server, const std::string& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
      if (test::QueryRows(server, "",
                          "SELECT COUNT(*) > 0 FROM information_schema.PROCESSLIST WHERE " +
                              condition) == "1\n") {
        return true;
      }
    }
    return false;
  }

  std::unique_ptr<test::PrivateServer> server_;
};

TEST_P(ServerKillTest, RunEndsWithTheClientsErrorAndTheNextRunReloadsEverything) {
  const KillCase& kill = GetParam();
  const test::TestServer& server = server_->Info();
  WriteTable("fap.dbf", 3);
  auto run = MakeRun();
  ExpectSuccess(*run);
  const std::string log = ReadLog();

  WriteTable("fap.dbf", kill.records, 1001);
  WriteTable("fav.dbf", 2, 900001);
  std::unique_ptr<test::ChildProcess> lock_holder;
  std::string shown_at_work = "INFO LIKE 'LOAD DATA%'";
  if (kill.point == KillPoint::kBetweenLaterStatements) {
    // Another session holds the address book, which the tenth statement is the first to
    // read: the ninth has completed when the tenth waits for it.
    lock_holder = std::make_unique<test::ChildProcess>(std::vector<std::string>{
        "mariadb", "--no-defaults", "--protocol=TCP", "-h", server.host, "-P",
        std::to_string(server.port), "-u", server.admin_user, "-p" + server.admin_password,
        database_, "-e", "LOCK TABLES adresar WRITE; SELECT SLEEP(300)"});
    ASSERT_TRUE(ServerShows(server, "INFO = 'SELECT SLEEP(300)'"));
    shown_at_work = "INFO LIKE 'UPDATE pohledavky p, adresar a%' AND STATE LIKE 'Waiting%'";
  }
  // Killed from another thread once the server shows that point of the script.
  bool killed = false;
  std::thread watcher;
  on_step_ = [&](int step) {
    if (step != 24) return;
    watcher = std::thread([&] {
      killed = ServerShows(server, shown_at_work);
      if (killed) server_->Kill();
    });
  };
  const test::Shown box = Run(*run);
  on_step_ = nullptr;
  if (watcher.joinable()) watcher.join();
  ASSERT_TRUE(killed);
  EXPECT_EQ(box.title, "Zered");
  EXPECT_EQ(box.icon, MessageIcon::kError);
  EXPECT_THAT(box.text, kLostServer);
  EXPECT_EQ(ReadLog(), log);

  // Crash recovery keeps what was committed when the server died.
  server_->Resume();
  EXPECT_EQ(Query(server, "SELECT COUNT(*) FROM pohledavky2"), kill.staged_after_recovery);
  EXPECT_EQ(Query(server, "SELECT COUNT(*) FROM pohledavky"), kill.receivables_after_recovery);

  // The next run of the same window reconnects and reloads both tables.
  ExpectSuccess(*run);
  ExpectTablesHold(server, 1001, 900002, kill.records + 2);
  EXPECT_EQ(ReadLog().substr(0, log.size()), log);
  EXPECT_EQ(SplitLines(ReadLog()).size(), 12u);
}

INSTANTIATE_TEST_SUITE_P(
    Points, ServerKillTest,
    ::testing::Values(
        // The load runs in the transaction that the staging table's emptying began: rolled
        // back, the staging table is empty and the receivables are those of the earlier run.
        KillCase{"DuringTheLoad", KillPoint::kDuringTheLoad, 200000, "0\n", "3\n"},
        // Emptying the receivables committed the staged lines; their copy and the ninth
        // statement were not committed.
        KillCase{"BetweenLaterStatements", KillPoint::kBetweenLaterStatements, 50, "52\n", "0\n"}),
    [](const ::testing::TestParamInfo<KillCase>& info) { return info.param.name; });

class ConnectionCutTest : public FaultFixture {
 protected:
  void SetUp() override {
    FaultFixture::SetUp();
    database_ = "velbor_cut_" + std::to_string(getpid());
    test::CreateVelborDatabase(test::GetTestServer(), database_);
    UseServer(test::GetTestServer(), database_);
  }
  void TearDown() override {
    test::QueryRows(test::GetTestServer(), "", "DROP DATABASE " + database_);
    FaultFixture::TearDown();
  }
};

TEST_F(ConnectionCutTest, CutWhileTheInvoiceLinesTravelFailsTheRunAndTheNextRunIsWhole) {
  const test::TestServer server = test::GetTestServer();
  WriteTable("fap.dbf", 3);
  auto run = MakeRun();
  ExpectSuccess(*run);
  const std::string log = ReadLog();

  // 50,000 lines are some megabytes, compressed well beyond the 64 KiB after which the proxy
  // cuts; the login and the statements before the load take less than 2 KiB.
  WriteTable("fap.dbf", 50000, 1001);
  WriteTable("fav.dbf", 2, 900001);
  test::FaultServer proxy({"cut", std::to_string(server.port), "65536"});
  ASSERT_NE(proxy.Port(), 0);
  UseServer(server, database_, proxy.Port());
  const test::Shown box = Run(*run);
  EXPECT_TRUE(proxy.Reported("accepted", std::chrono::seconds(10)));
  EXPECT_TRUE(proxy.Reported("cut", std::chrono::seconds(10)));
  EXPECT_EQ(box.icon, MessageIcon::kError);
  EXPECT_THAT(box.text, kLostServer);
  EXPECT_EQ(ReadLog(), log);
  // The emptied staging table was committed, the lines of the cut load were not.
  EXPECT_EQ(Query(server, "SELECT COUNT(*) FROM pohledavky2"), "0\n");
  EXPECT_EQ(Query(server, "SELECT COUNT(*) FROM pohledavky"), "3\n");

  UseServer(server, database_);
  ExpectSuccess(*run);
  ExpectTablesHold(server, 1001, 900002, 50002);
  EXPECT_EQ(SplitLines(ReadLog()).size(), 12u);
}

// How a file of the program folder is kept from being written completely.
enum class Limit {
  kFullFileSystem,  // the program folder is a small tmpfs, filled up
  kFileSizeLimit,   // RLIMIT_FSIZE, with SIGXFSZ ignored so that a write fails instead
};

struct DiskCase {
  const char* name;
  Limit limit;
  const char* file;
  int fault_step;      // the step before which the limit comes; 0: before the run
  const char* reason;  // the system's text for the error
};

void PrintTo(const DiskCase& disk, std::ostream* out) { *out << disk.name; }

class DiskFullTest : public FaultFixture, public ::testing::WithParamInterface<DiskCase> {
 protected:
  void SetUp() override {
    FaultFixture::SetUp();
    if (GetParam().limit == Limit::kFullFileSystem) {
      // A mount namespace of this test process alone: the tmpfs goes with the process,
      // however it ends, and nobody else sees it.
      if (::unshare(CLONE_NEWNS) != 0 ||
          ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        GTEST_SKIP() << "no mount namespace for this user: " << std::strerror(errno);
      }
      ASSERT_EQ(::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=256k"), 0)
          << std::strerror(errno);
      mounted_ = true;
    }
    database_ = "velbor_disk_" + std::to_string(getpid());
    test::CreateVelborDatabase(test::GetTestServer(), database_);
    UseServer(test::GetTestServer(), database_);
    // The tables would not fit the tmpfs.
    UseTableFolder(root_ / "data");
    WriteTable("fap.dbf", 3);
    WriteTable("fav.dbf", 0);
  }

  void TearDown() override {
    Lift();
    test::QueryRows(test::GetTestServer(), "", "DROP DATABASE " + database_);
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    FaultFixture::TearDown();
  }

  void Impose() {
    if (GetParam().limit == Limit::kFullFileSystem) {
      std::ofstream filler(folder_ / "filler", std::ios::binary);
      const std::string block(4096, 'x');
      while (filler.write(block.data(), block.size())) {
      }
      return;
    }
    ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &saved_limit_);
    rlimit limit = saved_limit_;
    limit.rlim_cur = 512;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    limited_ = true;
  }

  void Lift() {
    if (limited_) ::setrlimit(RLIMIT_FSIZE, &saved_limit_);
    limited_ = false;
    fs::remove(folder_ / "filler");
  }

  bool mounted_ = false;
  bool limited_ = false;
  rlimit saved_limit_{};
};

TEST_P(DiskFullTest, FileThatCannotBeWrittenFailsTheRunAndKeepsTheEarlierFiles) {
  const DiskCase& disk = GetParam();
  const test::TestServer server = test::GetTestServer();
  auto run = MakeRun();
  ExpectSuccess(*run);
  // A run log longer than the file-size limit.
  WriteLog(ReadLog() + std::string(600, '-') + "\r\n");
  const auto earlier = FolderContents(folder_);

  // Lines that do not fit the tmpfs: sa2.txt cannot be written while the tables are read.
  WriteTable("fap.dbf", disk.fault_step == 0 ? 5000 : 10, 1001);
  if (disk.fault_step == 0) Impose();
  on_step_ = [&](int step) {
    if (step == disk.fault_step) Impose();
  };
  const test::Shown box = Run(*run);
  on_step_ = nullptr;
  EXPECT_EQ(box.icon, MessageIcon::kError);
  EXPECT_EQ(box.text,
            "Cannot create file \"" + (folder_ / disk.file).string() + "\". " + disk.reason + ".");
  Lift();
  // Every earlier file under its name, nothing half written, no temporary file.
  auto after = FolderContents(folder_);
  if (std::string(disk.file) != "sa2.txt" && disk.fault_step > 19) {
    // Written in full by the steps before the fault.
    EXPECT_NE(after["sa2.txt"], earlier.at("sa2.txt"));
    after["sa2.txt"] = earlier.at("sa2.txt");
  }
  EXPECT_EQ(after, earlier);
  // The run log comes last: by then the server has the lines.
  EXPECT_EQ(Query(server, "SELECT COUNT(*) FROM pohledavky"),
            std::string(disk.file) == "proto.txt" ? "10\n" : "3\n");

  // With the fault gone (and lines that fit the tmpfs) the next run succeeds.
  WriteTable("fap.dbf", 10, 1001);
  ExpectSuccess(*run);
  EXPECT_EQ(SplitLines(ReadLog()).size(), SplitLines(earlier.at("proto.txt")).size() + 6);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DiskFullTest,
    ::testing::Values(DiskCase{"InvoiceLinesOnAFullFileSystem", Limit::kFullFileSystem, "sa2.txt",
                               0, "No space left on device"},
                      DiskCase{"LoadScriptOnAFullFileSystem", Limit::kFullFileSystem, "sa.txt", 20,
                               "No space left on device"},
                      DiskCase{"RunLogOnAFullFileSystem", Limit::kFullFileSystem, "proto.txt", 26,
                               "No space left on device"},
                      DiskCase{"InvoiceLinesBeyondTheFileSizeLimit", Limit::kFileSizeLimit,
                               "sa2.txt", 0, "File too large"},
                      DiskCase{"LoadScriptBeyondTheFileSizeLimit", Limit::kFileSizeLimit, "sa.txt",
                               20, "File too large"},
                      DiskCase{"RunLogBeyondTheFileSizeLimit", Limit::kFileSizeLimit, "proto.txt",
                               26, "File too large"}),
    [](const ::testing::TestParamInfo<DiskCase>& info) { return info.param.name; });

}  // namespace
}  // namespace zered
