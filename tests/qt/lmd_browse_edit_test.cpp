#include "qt/lmd_browse_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <string>

#include "test_application.h"

namespace zered {
namespace {

class BrowseEditTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::TestApplication(); }

  // A chooser that answers `answer` and remembers that it was asked.
  void Answer(std::optional<QString> answer) {
    field_.SetFolderChooser([this, answer](QWidget*) {
      ++asked_;
      return answer;
    });
  }

  TLMDBrowseEdit field_;
  int asked_ = 0;
};

TEST_F(BrowseEditTest, PathIsTheExactText) {
  const std::string texts[] = {"", "  /data/ostrun/  ", "C:\\UCTO\\", "/data/účetnictví",
                               std::string(70000, 'x')};
  for (const std::string& text : texts) {
    field_.SetPath(text);
    EXPECT_EQ(field_.Path(), text);
  }
}

TEST_F(BrowseEditTest, ConfirmedFolderReplacesTheWholeText) {
  field_.SetPath("typed by hand");
  Answer(QString("/srv/ostrun"));
  field_.BrowseButton()->click();
  EXPECT_EQ(asked_, 1);
  EXPECT_EQ(field_.Path(), "/srv/ostrun");
}

TEST_F(BrowseEditTest, CancelLeavesTheTextAlone) {
  for (std::string text : {"", "/srv/ostrun "}) {
    field_.SetPath(text);
    Answer(std::nullopt);
    field_.Browse();
    EXPECT_EQ(field_.Path(), text);
  }
}

TEST_F(BrowseEditTest, UpAndDownMoveTheCaretLikeLeftAndRight) {
  field_.SetPath("abcd");
  field_.setCursorPosition(2);
  QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
  QApplication::sendEvent(&field_, &up);
  EXPECT_EQ(field_.cursorPosition(), 1);
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QApplication::sendEvent(&field_, &down);
  QApplication::sendEvent(&field_, &down);
  EXPECT_EQ(field_.cursorPosition(), 3);
}

// Drives the real folder dialog: `act` runs once the modal dialog is up.
std::optional<QString> RunDialogWith(const std::function<void(QFileDialog&)>& act) {
  QTimer::singleShot(0, [act] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      ADD_FAILURE() << "no modal folder dialog";
      return;
    }
    act(*dialog);
  });
  return TLMDBrowseEdit::RunFolderDialog(nullptr);
}

TEST_F(BrowseEditTest, FolderDialogStartsAtTheTopAndOffersDirectoriesOnly) {
  std::optional<QString> result = RunDialogWith([](QFileDialog& dialog) {
    EXPECT_EQ(dialog.fileMode(), QFileDialog::Directory);
    EXPECT_TRUE(dialog.testOption(QFileDialog::ShowDirsOnly));
    EXPECT_EQ(QDir(dialog.directory()).absolutePath(), QDir::rootPath());
    dialog.reject();
  });
  EXPECT_FALSE(result.has_value());
}

TEST_F(BrowseEditTest, FolderDialogReturnsTheConfirmedFolder) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  std::optional<QString> result = RunDialogWith([&folder](QFileDialog& dialog) {
    dialog.selectFile(folder.path());
    static_cast<QDialog&>(dialog).accept();
  });
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(QDir(*result).canonicalPath(), QDir(folder.path()).canonicalPath());
}

}  // namespace
}  // namespace zered
