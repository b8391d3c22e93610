// The whole program at work: the real window (offscreen), Visual FoxPro tables written by
// python3-dbf, and the private MariaDB server that the load script fills.

#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QPushButton>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "../qt/test_application.h"
#include "base/text_lines.h"
#include "platform/process.h"
#include "qt/form1.h"
#include "support/velbor_database.h"

namespace zered {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// The machines the program serves run Czech Windows: ANSI code page 1250, "," as the decimal
// separator, d.M.yyyy dates. The regional settings are read once, on first use, so this has to
// happen before any test starts.
const bool kCzechRegionalSettings = [] {
  setenv("LC_ALL", "cs_CZ.UTF-8", 1);
  return true;
}();

struct Shown {
  std::string title;
  std::string text;
  MessageIcon icon;
};

class RecordingPresenter : public MessagePresenter {
 public:
  explicit RecordingPresenter(std::vector<Shown>* shown) : shown_(shown) {}
  void ShowMessage(QWidget*, const QString& title, const QString& text, MessageIcon icon) override {
    shown_->push_back({title.toStdString(), text.toStdString(), icon});
  }

 private:
  std::vector<Shown>* shown_;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex;
}

// A loopback port that nobody listens on.
int UnusedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), length), 0);
  EXPECT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
  close(fd);
  return ntohs(address.sin_port);
}

// Checks that the run log holds one record block per entry of `counts` (the IN and OUT
// counts of that run), in the Czech date and time format.
void ExpectRunLog(const std::string& log, const std::vector<std::pair<int, int>>& counts) {
  ASSERT_TRUE(log.ends_with("\r\n"));
  const TextLines lines = SplitLines(log);
  ASSERT_EQ(lines.size(), 6 * counts.size()) << log;
  const std::string stamp = R"(\d{1,2}\.\d{1,2}\.\d{4}( \d{1,2}:\d{2}:\d{2})?)";
  for (size_t block = 0; block < counts.size(); ++block) {
    const auto [in, out] = counts[block];
    const std::string expected[] = {"-----",
                                    stamp,
                                    stamp + " IN: " + std::to_string(in),
                                    stamp + " OUT: " + std::to_string(out),
                                    stamp + " add",
                                    stamp + " odeslano"};
    for (size_t i = 0; i < 6; ++i) {
      const std::string& line = lines[6 * block + i];
      EXPECT_TRUE(std::regex_match(line, std::regex(expected[i])))
          << "block " << block << ": " << line;
    }
  }
}

enum class Cause { kMissingTable, kWrongPassword, kServerDown, kFailingStatement };

struct FailureCase {
  const char* name;
  Cause cause;
  const char* message_start;
  const char* message_part;
};

// Every test runs the program as if its executable were <root>/bin/Zered, with the connection
// settings in <root>/velbor05.ini, the accounting tables in a folder whose name has Czech
// letters and a blank, and its own database on the test server.
class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kCzechRegionalSettings);
    server_ = test::GetTestServer();
    ASSERT_NE(server_.port, 0);
    // Test cases run in parallel processes, each with its own database.
    database_ = "velbor_e2e_" + std::to_string(getpid());
    test::CreateVelborDatabase(server_, database_);

    std::string pattern = (fs::temp_directory_path() / "zered_e2e_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    bin_ = root_ / "bin";
    data_ = root_ / "účetní data";
    fs::create_directory(bin_);
    fs::create_directory(data_);
    OverrideExecutablePath((bin_ / "Zered").string());
    saved_directory_ = GetCurrentDir();
    WriteSettings(server_.admin_password, server_.port);
  }

  void TearDown() override {
    SetCurrentDir(saved_directory_);
    fs::remove_all(root_);
  }

  void WriteSettings(const std::string& password, int port) {
    std::ofstream(root_ / "velbor05.ini", std::ios::binary)
        << "[LogON]\r\nIP=" << server_.host << "\r\nUser=" << server_.admin_user
        << "\r\nPassword=" << password << "\r\nSQLport=" << port << "\r\n";
  }

  // Copies the tables of one fixture case into the data folder; `upper_case` names them as
  // they arrive from Windows (FAP.DBF, FAP.FPT).
  void UseTables(const char* fixture_case, bool upper_case = false) {
    for (const auto& entry :
         fs::directory_iterator(fs::path(ZERED_TEST_FIXTURES) / "e2e" / fixture_case)) {
      std::string name = entry.path().filename().string();
      if (upper_case) {
        for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      }
      fs::copy_file(entry.path(), data_ / name, fs::copy_options::overwrite_existing);
    }
  }

  std::unique_ptr<TForm1> NewForm(std::vector<std::string> arguments = {}) {
    auto form = std::make_unique<TForm1>(std::move(arguments),
                                         std::make_unique<RecordingPresenter>(&shown_));
    form->ExportRun.ZConnection1.SetDatabase(database_);
    return form;
  }

  // The window, shown, its folder field naming the data folder.
  std::unique_ptr<TForm1> MakeForm() {
    auto form = NewForm();
    EXPECT_TRUE(testing::ShowAndWaitUntilExposed(*form));
    form->LMDBrowseEdit1->SetPath(data_.string() + "/");
    return form;
  }

  // Lets the window work until `done` or a generous deadline.
  template <typename Predicate>
  static void ProcessEventsUntil(Predicate done) {
    QDeadlineTimer deadline(30000);
    while (!done() && !deadline.hasExpired()) {
      QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
  }

  // Presses Send; returns the one box the run showed.
  Shown Run(TForm1& form) {
    shown_.clear();
    form.Button3->click();
    EXPECT_EQ(shown_.size(), 1u);
    return shown_.empty() ? Shown{} : shown_.back();
  }

  void ExpectSuccess(TForm1& form) {
    const Shown box = Run(form);
    EXPECT_EQ(box.text, "hotovo");
    EXPECT_EQ(box.icon, MessageIcon::kWarning);
  }

  std::string Query(const std::string& sql) { return test::QueryRows(server_, database_, sql); }
  std::string Log() const { return ReadFile(bin_ / "proto.txt"); }
  std::string InvoiceLines() const { return ReadFile(bin_ / "sa2.txt"); }

  test::TestServer server_;
  std::string database_;
  fs::path root_, bin_, data_;
  std::string saved_directory_;
  std::vector<Shown> shown_;
};

TEST_F(EndToEndTest, ReceivablesArriveCompletedFromTheAddressBookAndInvoices) {
  UseTables("receivables");
  auto form = MakeForm();
  ExpectSuccess(*form);

  // Amounts with "." although the decimal separator is ","; an empty date is day 0.
  EXPECT_EQ(InvoiceLines(),
            "1|FP-1|2017100|2017-04-11|2017-04-25|1899-12-30|12100.5|0|0|25596641|CZ25596641|P|"
            "CZK\r\n"
            "2|FP-2|2017002|2017-05-02|2017-05-16|1899-12-30|500|500|500|60193336|CZ99999999|P|"
            "CZK\r\n"
            "3|FP-3|2017003|2017-05-02|2017-05-16|1899-12-30|100|0|100|47114983|CZ25596641|P|"
            "CZK\r\n"
            "10|FV-10|2017101|2017-05-02|2017-05-16|1899-12-30|-1250.5|0|-1250.5|00000000|"
            "CZ00000000|V|CZK\r\n"
            "11|FV-11|2017999|2017-05-02|2017-05-16|1899-12-30|100|0|100|00000000|CZ00000000|V|"
            "CZK\r\n");
  const std::string staged =
      "1\tFP-1\t2017100\t2017-04-11\t2017-04-25\t1899-12-30\t12100.50\t0.00\t0.00\t25596641\t"
      "CZ25596641\tP\tCZK\t12100.50\n"
      "2\tFP-2\t2017002\t2017-05-02\t2017-05-16\t1899-12-30\t500.00\t500.00\t500.00\t60193336\t"
      "CZ99999999\tP\tCZK\t0.00\n"
      "3\tFP-3\t2017003\t2017-05-02\t2017-05-16\t1899-12-30\t100.00\t0.00\t100.00\t47114983\t"
      "CZ25596641\tP\tCZK\t100.00\n"
      "10\tFV-10\t2017101\t2017-05-02\t2017-05-16\t1899-12-30\t-1250.50\t0.00\t-1250.50\t"
      "00000000\tCZ00000000\tV\tCZK\t-1250.50\n"
      "11\tFV-11\t2017999\t2017-05-02\t2017-05-16\t1899-12-30\t100.00\t0.00\t100.00\t00000000\t"
      "CZ00000000\tV\tCZK\t100.00\n";
  const std::string staged_query =
      "SELECT ID, CISLO, VS, VYSTAVENI, SPLATNOST, DATUHRADY, CASTKA, ZBYVA, CMCELKEM, ICO, DIC, "
      "TYP, MENA, CM FROM pohledavky2 ORDER BY CAST(ID AS UNSIGNED)";
  EXPECT_EQ(Query(staged_query), staged);

  // FP-1 and FP-3 match a partner by tax identifier (FP-3's company identifier names another
  // one), FP-2 only by company identifier; only issued invoices take a dealer. A receivable
  // paid in full has no payment date.
  const std::string receivables =
      "FP-1\t2017100\tP\t2017-04-25\t2017-04-11\t2017-04-11\t12100.50\t12100.50\t1899-12-30\t"
      "P001\tŽluťoučký kůň s.r.o.\tBrno\tNULL\n"
      "FP-2\t2017002\tP\t2017-05-16\t2017-05-02\t2017-05-02\t500.00\t0.00\tNULL\t"
      "P003\tPekárna Čermák\tOlomouc\tNULL\n"
      "FP-3\t2017003\tP\t2017-05-16\t2017-05-02\t2017-05-02\t100.00\t100.00\t1899-12-30\t"
      "P001\tŽluťoučký kůň s.r.o.\tBrno\tNULL\n"
      "FV-10\t2017101\tV\t2017-05-16\t2017-05-02\t2017-05-02\t-1250.50\t-1250.50\t1899-12-30\t"
      "\tNULL\tNULL\tDvořák\n"
      "FV-11\t2017999\tV\t2017-05-16\t2017-05-02\t2017-05-02\t100.00\t100.00\t1899-12-30\t"
      "\tNULL\tNULL\tNULL\n";
  const std::string receivables_query =
      "SELECT CFAKT, VS, TYP, SPLATNOST, VYSTAVENI, PLNENI, CASTKA, ZAPLACENO, DATUHRADY, "
      "KODPAR, NAZEVPODNI, POSTA, DEALER FROM pohledavky ORDER BY CFAKT";
  EXPECT_EQ(Query(receivables_query), receivables);
  ExpectRunLog(Log(), {{3, 2}});

  // A second run reloads the tables instead of adding to them and logs a second block.
  ExpectSuccess(*form);
  EXPECT_EQ(Query(staged_query), staged);
  EXPECT_EQ(Query(receivables_query), receivables);
  ExpectRunLog(Log(), {{3, 2}, {3, 2}});
}

TEST_F(EndToEndTest, SeparatorsEscapesAndLineBreaksInTextArriveExactly) {
  UseTables("special_text");
  auto form = MakeForm();
  ExpectSuccess(*form);

  struct Expected {
    const char* cislo;
    const char* vs;
    const char* ico;
    const char* dic;
  };
  const Expected kRows[] = {
      {"A|B", "C:\\ucty\\", "one\r\ntwo", "\\N"},
      {"end\\", "lf\nonly", "cr\ronly", "|"},
  };
  std::string expected;
  for (const Expected& row : kRows) {
    for (const char* value : {row.cislo, row.vs, row.ico, row.dic}) expected += Hex(value) + "\t";
    expected += "P\tCZK\n";
  }
  EXPECT_EQ(Query("SELECT HEX(CISLO), HEX(VS), HEX(ICO), HEX(DIC), TYP, MENA FROM pohledavky2 "
                  "ORDER BY CAST(ID AS UNSIGNED)"),
            expected);
}

// The tables carry the names they get on Windows (FAP.DBF, FAV.FPT).
TEST_F(EndToEndTest, CzechTextOfBothCodePagesArrivesAsTheSameCharacters) {
  UseTables("code_pages", /*upper_case=*/true);
  auto form = MakeForm();
  ExpectSuccess(*form);
  const std::string text = "Příliš žluťoučký kůň\túpěl ďábelské ódy\tŽŠČŘĎŤŇ\tĚŮÚÝÁÍÉ\n";
  EXPECT_EQ(Query("SELECT TYP, CISLO, VS, ICO, DIC FROM pohledavky2 ORDER BY TYP"),
            "P\t" + text + "V\t" + text);
}

class RunFailureTest : public EndToEndTest, public ::testing::WithParamInterface<FailureCase> {
 protected:
  void Break(Cause cause) {
    switch (cause) {
      case Cause::kMissingTable:
        fs::remove(data_ / "fav.dbf");
        break;
      case Cause::kWrongPassword:
        WriteSettings(server_.admin_password + "-wrong", server_.port);
        break;
      case Cause::kServerDown:
        WriteSettings(server_.admin_password, UnusedPort());
        break;
      case Cause::kFailingStatement:
        Query("RENAME TABLE fakt TO fakt_away");
        break;
    }
  }
  void Mend(Cause cause) {
    switch (cause) {
      case Cause::kMissingTable:
        UseTables("receivables");
        break;
      case Cause::kWrongPassword:
      case Cause::kServerDown:
        WriteSettings(server_.admin_password, server_.port);
        break;
      case Cause::kFailingStatement:
        // Bounded, so a lock kept by the failed run's connection fails the test instead of
        // hanging it.
        Query("SET SESSION lock_wait_timeout = 10; RENAME TABLE fakt_away TO fakt");
        break;
    }
  }
};

// A run that succeeded, then one that fails, then one after the cause is gone, all in one window:
// the settings are read anew by every run and the connection of the earlier run is not reused.
TEST_P(RunFailureTest, FailureIsShownLeavesTheLogAloneAndTheNextRunSucceeds) {
  const FailureCase& failure = GetParam();
  UseTables("receivables");
  auto form = MakeForm();
  ExpectSuccess(*form);
  const std::string log = Log();
  const std::string invoice_lines = InvoiceLines();

  Break(failure.cause);
  const Shown box = Run(*form);
  EXPECT_EQ(box.title, "Zered");
  EXPECT_EQ(box.icon, MessageIcon::kError);
  EXPECT_THAT(box.text, StartsWith(failure.message_start));
  EXPECT_THAT(box.text, HasSubstr(failure.message_part));
  EXPECT_EQ(Log(), log);
  EXPECT_EQ(InvoiceLines(), invoice_lines);
  std::set<std::string> files;
  for (const auto& entry : fs::directory_iterator(bin_)) files.insert(entry.path().filename());
  EXPECT_EQ(files, (std::set<std::string>{"proto.txt", "sa.txt", "sa2.txt", "zered.lock"}));

  // Nothing of the failed run stays open on the server to block the repair or the next run.
  EXPECT_EQ(
      Query("SELECT COUNT(*) FROM information_schema.innodb_trx t JOIN "
            "information_schema.processlist p ON p.ID = t.trx_mysql_thread_id WHERE p.DB = '" +
            database_ + "'"),
      "0\n");

  Mend(failure.cause);
  ExpectSuccess(*form);
  ExpectRunLog(Log(), {{3, 2}, {3, 2}});
  EXPECT_EQ(Query("SELECT COUNT(*), COUNT(DEALER) FROM pohledavky"), "5\t1\n");
}

INSTANTIATE_TEST_SUITE_P(
    Causes, RunFailureTest,
    ::testing::Values(
        FailureCase{"MissingTable", Cause::kMissingTable, "Open: file not found: ", "fav.dbf"},
        FailureCase{"WrongPassword", Cause::kWrongPassword, "SQL Error: ", "Access denied"},
        FailureCase{"ServerDown", Cause::kServerDown, "SQL Error: ", "connect"},
        FailureCase{"FailingStatement", Cause::kFailingStatement,
                    "SQL Error: ", "fakt' doesn't exist"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

// Unattended, the data folder comes from the window settings file, as a scheduler starts it.
TEST_F(EndToEndTest, AutomaticModeClosesTheWindowOnlyAfterASuccessfulRun) {
  UseTables("receivables");
  std::ofstream(bin_ / "Zered.INI", std::ios::binary)
      << "[TForm1]\r\nLMDBrowseEdit1_Path=" << data_.string() << "/\r\n";

  WriteSettings(server_.admin_password, UnusedPort());
  {
    auto form = NewForm({"/a"});
    form->show();
    form->activateWindow();
    ProcessEventsUntil([&] { return !shown_.empty(); });
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_THAT(shown_[0].text, StartsWith("SQL Error: "));
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(fs::exists(bin_ / "proto.txt"));
  }

  WriteSettings(server_.admin_password, server_.port);
  shown_.clear();
  auto form = NewForm({"/A"});
  form->show();
  form->activateWindow();
  ProcessEventsUntil([&] { return !form->isVisible(); });
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(shown_.empty());
  ExpectRunLog(Log(), {{3, 2}});
  EXPECT_EQ(Query("SELECT COUNT(*) FROM pohledavky"), "5\n");
}

// The window settings file cannot grow (a file-size limit, with SIGXFSZ ignored so that the
// write fails): both tries to save are shown, the window closes, the earlier file stays whole.
TEST_F(EndToEndTest, WindowSettingsThatCannotBeWrittenAtCloseLeaveTheEarlierFile) {
  const std::string earlier = "[TForm1]\r\nFormVersion=0\r\nLMDBrowseEdit1_Path=/srv/a/\r\n";
  std::ofstream(bin_ / "Zered.INI", std::ios::binary) << earlier;
  auto form = NewForm();
  ASSERT_TRUE(testing::ShowAndWaitUntilExposed(*form));
  form->LMDBrowseEdit1->setText(QString::fromUtf8("/srv/a much longer folder name/"));

  signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limit = saved;
  limit.rlim_cur = 16;
  setrlimit(RLIMIT_FSIZE, &limit);
  form->close();
  const bool closed = !form->isVisible();
  form.reset();
  setrlimit(RLIMIT_FSIZE, &saved);

  EXPECT_TRUE(closed);
  const std::string message = "Unable to write to " + (bin_ / "Zered.INI").string() + ".";
  ASSERT_EQ(shown_.size(), 2u);
  for (const Shown& box : shown_) {
    EXPECT_EQ(box.text, message);
    EXPECT_EQ(box.icon, MessageIcon::kError);
  }
  EXPECT_EQ(ReadFile(bin_ / "Zered.INI"), earlier);
  std::set<std::string> files;
  for (const auto& entry : fs::directory_iterator(bin_)) files.insert(entry.path().filename());
  EXPECT_EQ(files, std::set<std::string>{"Zered.INI"});
}

TEST_F(EndToEndTest, FolderFieldSurvivesARestart) {
  const QString folder = QString::fromUtf8("/srv/účetnictví/Ostrun data/");
  {
    auto form = NewForm();
    ASSERT_TRUE(testing::ShowAndWaitUntilExposed(*form));
    form->LMDBrowseEdit1->setText(folder);
    form->close();
  }
  EXPECT_TRUE(fs::exists(bin_ / "Zered.INI"));
  auto form = NewForm();
  ASSERT_TRUE(testing::ShowAndWaitUntilExposed(*form));
  EXPECT_EQ(form->LMDBrowseEdit1->text(), folder);
}

}  // namespace
}  // namespace zered
