#include "app/form1.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QFontInfo>
#include <QKeyEvent>
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../widgets/test_application.h"
#include "base/exceptions.h"
#include "base/text_lines.h"
#include "platform/process.h"
#include "support/dbf_builder.h"
#include "support/velbor_database.h"

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
    test::DbfBuilder empty_table;
    for (const char* field : {"ID", "CISLO", "VARSYM", "ICO", "DIC"})
      empty_table.Field(field, 'C', 10);
    for (const char* field : {"DATUM", "DATSPLAT", "DATLIKV"}) empty_table.Field(field, 'D', 8);
    for (const char* field : {"KCCELKEM", "KCLIKV", "CMCELKEM"})
      empty_table.Field(field, 'N', 10, 2);
    empty_table.Write((folder_ / "fap.dbf").string());
    empty_table.Write((folder_ / "fav.dbf").string());
    test::WriteConnectionSettings(pattern + "/", test::GetTestServer());
  }
  void TearDown() override {
    SetCurrentDir(saved_directory_);
    std::filesystem::remove_all(folder_.parent_path());
  }

  std::unique_ptr<TForm1> MakeForm(std::vector<std::string> arguments = {}) {
    auto form = std::make_unique<TForm1>(std::move(arguments),
                                         std::make_unique<RecordingPresenter>(&shown_));
    form->ZConnection1.SetDatabase(Database());
    form->SetStepObserver([this, f = form.get()](int step) {
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

TEST_F(Form1Test, RunShowsItsCaptionsLogsAndCompletes) {
  WriteLog("-----\nearlier run\n");
  auto form = MakeForm();
  ASSERT_TRUE(testing::ShowAndWaitUntilExposed(*form));
  SetCurrentDir("/");
  form->Button3->click();

  EXPECT_EQ(steps_, (std::vector<int>{1,  2,  3,  4,  5,  6,  7,  8,  11, 12, 15,
                                      18, 19, 20, 21, 22, 23, 24, 25, 26, 27}));
  // A caption is shown by the step before the one that observes it.
  EXPECT_EQ(captions_[3], QString::fromUtf8("načítám data"));
  EXPECT_EQ(captions_[11], QString::fromUtf8("načítám data"));
  EXPECT_EQ(captions_[12], QString::fromUtf8("odesílám na server"));
  EXPECT_EQ(captions_[19], QString::fromUtf8("hotovo"));
  EXPECT_EQ(form->Button3->text(), QString::fromUtf8("hotovo"));
  // Both tables are empty: the bar's maximum is 0 and it keeps the position 25 of step 6.
  EXPECT_EQ(form->suiProgressBar1->Max(), 0);
  EXPECT_EQ(form->suiProgressBar1->Position(), 25);
  EXPECT_EQ(form->suiProgressBar1->Caption(), "0%");
  EXPECT_EQ(std::filesystem::path(GetCurrentDir()), folder_);

  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].title, "Warning");
  EXPECT_EQ(shown_[0].text, "hotovo");
  EXPECT_EQ(shown_[0].icon, MessageIcon::kWarning);
  EXPECT_TRUE(form->isVisible());

  TextLines lines = SplitLines(ReadLog());
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "-----");
  EXPECT_EQ(lines[1], "earlier run");
  EXPECT_EQ(lines[2], "-----");
  EXPECT_FALSE(lines[3].empty());
  EXPECT_TRUE(lines[4].ends_with(" IN: 0")) << lines[4];
  EXPECT_TRUE(lines[5].ends_with(" OUT: 0")) << lines[5];
  EXPECT_TRUE(lines[6].ends_with(" add")) << lines[6];
  EXPECT_TRUE(lines[7].ends_with(" odeslano"));
  EXPECT_TRUE(ReadLog().ends_with(" odeslano\r\n"));

  // A finished run leaves the button ready for the next one.
  form->Button3->click();
  EXPECT_EQ(RunsStarted(), 2);
  EXPECT_EQ(SplitLines(ReadLog()).size(), 2 + 2 * (lines.size() - 2));
}

TEST_F(Form1Test, FailureIsShownAndLeavesNoTraceInTheLog) {
  WriteLog("-----\r\nearlier run\r\n");
  auto form = MakeForm();
  on_step_ = [](int step) {
    if (step == 18) throw EDatabaseError("Dbf1: Field 'id' not found");
  };
  form->Button3->click();
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].title, "Zered");
  EXPECT_EQ(shown_[0].text, "Dbf1: Field 'id' not found.");
  EXPECT_EQ(shown_[0].icon, MessageIcon::kError);
  EXPECT_EQ(ReadLog(), "-----\r\nearlier run\r\n");
  EXPECT_EQ(form->Button3->text(), QString::fromUtf8("načítám data"));
  EXPECT_FALSE(form->RunInProgress());
}

TEST_F(Form1Test, SilentAbortShowsNothing) {
  auto form = MakeForm();
  on_step_ = [](int step) {
    if (step == 26) throw EAbort();
  };
  form->Button3->click();
  EXPECT_TRUE(shown_.empty());
  EXPECT_FALSE(std::filesystem::exists(LogPath()));
  EXPECT_FALSE(form->RunInProgress());
}

TEST_F(Form1Test, LogThatCannotBeWrittenIsAFailure) {
  // A folder stands where the log should be written.
  std::filesystem::create_directory(LogPath());
  auto form = MakeForm();
  form->Button3->click();
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].icon, MessageIcon::kError);
  EXPECT_TRUE(shown_[0].text.contains("proto.txt")) << shown_[0].text.toStdString();
  EXPECT_EQ(steps_.back(), 26);
  EXPECT_TRUE(std::filesystem::is_directory(LogPath()));
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
  ASSERT_TRUE(WaitUntil([&] { return RunsStarted() == 1 && !form->RunInProgress(); }));
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

TEST_F(Form1Test, PressDuringARunIsRefused) {
  auto form = MakeForm();
  on_step_ = [&form](int step) {
    if (step == 18) form->Button3->click();
  };
  form->Button3->click();
  EXPECT_EQ(RunsStarted(), 1);
  EXPECT_EQ(std::count(steps_.begin(), steps_.end(), 27), 1);
  EXPECT_EQ(shown_.size(), 1u);  // the one completion box
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

}  // namespace
}  // namespace zered
