#include "qt/form1.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QFontInfo>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "base/text_lines.h"
#include "platform/process.h"
#include "support/invoice_tables.h"
#include "support/velbor_database.h"
#include "test_application.h"

namespace zered {
namespace {

struct Shown {
  QString title;
  QString text;
  MessageIcon icon;
};

class RecordingPresenter : public MessagePresenter {
 public:
  explicit RecordingPresenter(std::vector<Shown>* shown) : shown_(shown) {}
  void ShowMessage(QWidget*, const QString& title, const QString& text, MessageIcon icon) override {
    shown_->push_back({title, text, icon});
  }

 private:
  std::vector<Shown>* shown_;
};

template <typename Predicate>
bool WaitUntil(Predicate done) {
  QDeadlineTimer deadline(10000);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// Each test process has its own database: CTest runs the tests of this file in parallel.
const std::string& Database() {
  static const std::string name = "velbor_form1_" + std::to_string(getpid());
  return name;
}

// Each test runs the window as if its executable lay in a fresh folder, so the run log
// and the current directory of a run land there. The folder holds empty invoice tables (the
// empty folder field points there) and the connection settings above it name the private
// test server.
class Form1Test : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::CreateVelborDatabase(test::GetTestServer(), Database()); }
  static void TearDownTestSuite() {
    test::QueryRows(test::GetTestServer(), "", "DROP DATABASE " + Database());
  }

  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "form1_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = std::filesystem::path(pattern) / "bin";
    std::filesystem::create_directory(folder_);
    OverrideExecutablePath((folder_ / "ZERED.bin").string());
    saved_directory_ = GetCurrentDir();
    test::WriteInvoiceTable((folder_ / "fap.dbf").string(), 0);
    test::WriteInvoiceTable((folder_ / "fav.dbf").string(), 0);
    test::WriteConnectionSettings(pattern + "/", test::GetTestServer());
  }
  void TearDown() override {
    SetCurrentDir(saved_directory_);
    std::filesystem::remove_all(folder_.parent_path());
  }

  std::unique_ptr<TForm1> MakeForm(std::vector<std::string> arguments = {}) {
    auto form = std::make_unique<TForm1>(std::move(arguments),
                                         std::make_unique<RecordingPresenter>(&shown_));
    form->ExportRun.ZConnection1.SetDatabase(Database());
    form->ExportRun.SetStepObserver([this, f = form.get()](int step) {
      steps_.push_back(step);
      captions_.push_back(f->Button3->text());
      if (on_step_) on_step_(step);
    });
    return form;
  }

  std::string LogPath() const { return (folder_ / "proto.txt").string(); }
  void WriteLog(const std::string& bytes) { std::ofstream(LogPath(), std::ios::binary) << bytes; }
  std::string ReadLog() const {
    std::ifstream in(LogPath(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  int RunsStarted() const { return static_cast<int>(std::count(steps_.begin(), steps_.end(), 1)); }

  std::filesystem::path folder_;
  std::string saved_directory_;
  std::vector<Shown> shown_;
  std::vector<int> steps_;
  std::vector<QString> captions_;  // the Send button's caption as each step begins
  std::function<void(int)> on_step_;
};

TEST_F(Form1Test, WindowLayout) {
  auto form = MakeForm();
  EXPECT_EQ(form->windowTitle(), "Zered - Ostrun");
  EXPECT_EQ(form->size(), QSize(507, 100));
  EXPECT_EQ(form->minimumSize(), form->maximumSize());
  Qt::WindowFlags flags = form->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(form->LMDBrowseEdit1->geometry(), QRect(8, 21, 343, 21));
  EXPECT_EQ(form->suiProgressBar1->geometry(), QRect(8, 60, 486, 20));
  EXPECT_EQ(form->Button3->geometry(), QRect(365, 8, 129, 39));
  EXPECT_EQ(form->Button3->text(), "Odeslat");
  EXPECT_EQ(form->font().pointSize(), 8);
  EXPECT_EQ(form->Button3->font().pointSize(), 10);
  EXPECT_EQ(form->LMDBrowseEdit1->Path(), "");
  EXPECT_EQ(form->suiProgressBar1->Position(), 50);
  EXPECT_EQ(form->suiProgressBar1->Caption(), "50%");

  ASSERT_TRUE(testing::ShowAndWaitUntilExposed(*form));
  form->LMDBrowseEdit1->setFocus();
  QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
  QApplication::sendEvent(form->LMDBrowseEdit1, &tab);
  EXPECT_EQ(QApplication::focusWidget(), form->Button3);
}

TEST_F(Form1Test, ButtonRunsTheExportAndTheWindowShowsItsCaptionsBarAndBoxes) {
  auto form = MakeForm();
  ASSERT_TRUE(testing::ShowAndWaitUntilExposed(*form));
  form->Button3->click();

  EXPECT_EQ(captions_[3], QString::fromUtf8("načítám data"));
  EXPECT_EQ(captions_[12], QString::fromUtf8("odesílám na server"));
  EXPECT_EQ(form->Button3->text(), QString::fromUtf8("hotovo"));
  // Both tables are empty: the sending ends with all 13 statements done.
  EXPECT_EQ(form->suiProgressBar1->Max(), 13);
  EXPECT_EQ(form->suiProgressBar1->Position(), 13);
  EXPECT_EQ(form->suiProgressBar1->Caption(), "100%");
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].title, "Warning");
  EXPECT_EQ(shown_[0].text, "hotovo");
  EXPECT_EQ(shown_[0].icon, MessageIcon::kWarning);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(ReadLog().ends_with(" odeslano\r\n"));

  // A failure box carries the application title and the decoded message.
  on_step_ = [](int step) {
    if (step == 18) throw Exception("Soubor \"/data/účty\" chybí");
  };
  form->Button3->click();
  ASSERT_EQ(shown_.size(), 2u);
  EXPECT_EQ(shown_[1].title, "Zered");
  EXPECT_EQ(shown_[1].text, QString::fromUtf8("Soubor \"/data/účty\" chybí."));
  EXPECT_EQ(shown_[1].icon, MessageIcon::kError);
}

TEST_F(Form1Test, AutomaticModeRunsOnceAtActivationAndCloses) {
  auto form = MakeForm({"/a"});
  form->show();
  form->activateWindow();
  ASSERT_TRUE(WaitUntil([&] { return !form->isVisible(); }));
  EXPECT_EQ(RunsStarted(), 1);
  EXPECT_TRUE(shown_.empty());
  EXPECT_TRUE(ReadLog().ends_with(" odeslano\r\n"));
}

TEST_F(Form1Test, FailedAutomaticRunKeepsTheWindowAndIsNotRepeated) {
  auto form = MakeForm({"/A"});
  on_step_ = [](int step) {
    if (step == 6) throw Exception("no tables");
  };
  form->show();
  form->activateWindow();
  ASSERT_TRUE(WaitUntil([&] { return RunsStarted() == 1 && !form->ExportRun.InProgress(); }));
  // Activating again (after the box, or back from another program) starts nothing.
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(form.get(), &activate);
  QApplication::processEvents();
  EXPECT_EQ(RunsStarted(), 1);
  EXPECT_TRUE(form->isVisible());
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].text, "no tables.");

  // A run started by hand in the automatic mode also ends by closing the window.
  on_step_ = nullptr;
  form->Button3->click();
  EXPECT_FALSE(form->isVisible());
}

TEST_F(Form1Test, NormalModeDoesNotRunAtActivation) {
  auto form = MakeForm({"/AUTO", "/A"});
  ASSERT_TRUE(testing::ShowAndWaitUntilExposed(*form));
  form->activateWindow();
  WaitUntil([&] { return form->isActiveWindow(); });
  QApplication::processEvents();
  EXPECT_EQ(RunsStarted(), 0);
}

TEST_F(Form1Test, CloseDuringARunWaitsForItsEnd) {
  auto form = MakeForm();
  ASSERT_TRUE(testing::ShowAndWaitUntilExposed(*form));
  bool visible_after_close = false;
  on_step_ = [&](int step) {
    if (step == 18) {
      form->close();
      visible_after_close = form->isVisible();
    }
  };
  form->Button3->click();
  EXPECT_TRUE(visible_after_close);
  EXPECT_EQ(steps_.back(), 27);
  EXPECT_TRUE(ReadLog().ends_with(" odeslano\r\n"));
  EXPECT_FALSE(form->isVisible());
}

// For a large office the sending takes a long while: the window goes on handling its events
// throughout it, a press of Send is still ignored and a close still waits for the run's end.
TEST_F(Form1Test, WindowStaysAliveWhileTheServerLoadsHalfAMillionLines) {
  test::WriteInvoiceTable((folder_ / "fap.dbf").string(), 250000);
  test::WriteInvoiceTable((folder_ / "fav.dbf").string(), 250000);
  auto form = MakeForm();
  ASSERT_TRUE(testing::ShowAndWaitUntilExposed(*form));

  using Clock = std::chrono::steady_clock;
  std::vector<Clock::time_point> ticks;  // the timer's events handled while step 24 runs
  bool sending = false;
  QTimer timer;
  timer.setInterval(10);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (!sending) return;
    ticks.push_back(Clock::now());
    if (ticks.size() == 5) form->Button3->click();
    if (ticks.size() == 10) form->close();
  });
  timer.start();
  Clock::time_point started, ended;
  on_step_ = [&](int step) {
    if (step == 24) {
      sending = true;
      started = Clock::now();
    } else if (step == 25) {
      sending = false;
      ended = Clock::now();
    }
  };
  form->Button3->click();

  ASSERT_EQ(steps_.back(), 27);
  EXPECT_EQ(RunsStarted(), 1);
  EXPECT_TRUE(ReadLog().ends_with(" odeslano\r\n"));
  EXPECT_EQ(test::QueryRows(test::GetTestServer(), Database(), "SELECT COUNT(*) FROM pohledavky2"),
            "500000\n");
  EXPECT_FALSE(form->isVisible());  // the close asked for during the sending, done at its end
  ASSERT_GE(ticks.size(), 10u);
  // How long the window went without handling an event; a figure to read, not to assert.
  Clock::duration longest = ticks.front() - started;
  for (size_t i = 1; i < ticks.size(); ++i) longest = std::max(longest, ticks[i] - ticks[i - 1]);
  longest = std::max(longest, ended - ticks.back());
  const auto ms = [](Clock::duration d) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
  };
  RecordProperty("sending_ms", std::to_string(ms(ended - started)));
  RecordProperty("longest_gap_ms", std::to_string(ms(longest)));
  std::cout << "sending took " << ms(ended - started) << " ms, " << ticks.size()
            << " timer events handled, longest gap " << ms(longest) << " ms\n";
}

}  // namespace
}  // namespace zered
