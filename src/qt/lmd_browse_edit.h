#pragma once

#include <QLineEdit>
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QToolButton;

namespace zered {

// A single-line folder field with a browse button at its right end. The text is free; Path is
// exactly the field's text (nothing trimmed, no delimiter added or removed). The browse button
// opens a modal folder chooser at the top of the folder tree, without a preselected folder;
// a confirmed folder replaces the whole text, a cancelled chooser leaves the text alone.
class TLMDBrowseEdit : public QLineEdit {
  Q_OBJECT

 public:
  // Runs a modal folder chooser over `parent`; the chosen folder's full path, or nothing when
  // the user cancels.
  using FolderChooser = std::function<std::optional<QString>(QWidget* parent)>;

  explicit TLMDBrowseEdit(QWidget* parent = nullptr);

  // The text in the platform's 8-bit file name encoding, ready to be used as a folder.
  std::string Path() const;
  // Replaces the text; the same text again changes nothing.
  void SetPath(const std::string& path);

  // Replaces the chooser that the browse button runs (tests drive it without a person).
  void SetFolderChooser(FolderChooser chooser) { chooser_ = std::move(chooser); }
  // The platform's folder dialog: directories only, starting at the root of the file system.
  static std::optional<QString> RunFolderDialog(QWidget* parent);

  // What a click of the browse button does.
  void Browse();

  QToolButton* BrowseButton() const { return button_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QToolButton* button_;
  FolderChooser chooser_;
};

}  // namespace zered
