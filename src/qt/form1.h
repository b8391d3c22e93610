#pragma once

#include <QWidget>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "qt/lmd_browse_edit.h"
#include "qt/message_presenter.h"
#include "qt/sui_progress_bar.h"
#include "run/export_run.h"
#include "run/folder_field_component.h"
#include "run/run_window.h"
#include "settings/form_storage.h"
#include "settings/form_storage_owner.h"

class QPushButton;

namespace zered {

// The main window on Qt: the folder field, the progress bar and the Send button, laid out as
// the program's window is, and a thin front end of the export run. The run performs every
// step; the window routes its events to it: the button's click, the first activation (the
// automatic mode), the close request (held back while a run is in progress).
class TForm1 : public QWidget, public IRunWindow, public IFormStorageOwner {
  Q_OBJECT

 public:
  // `arguments`: the command-line arguments after the program name. The presenter shows the
  // failure and completion boxes (tests record them).
  explicit TForm1(std::vector<std::string> arguments,
                  std::unique_ptr<MessagePresenter> presenter = nullptr, QWidget* parent = nullptr);
  ~TForm1() override;

  // The window's visual components, named as in its layout.
  TLMDBrowseEdit* const LMDBrowseEdit1;
  TsuiProgressBar* const suiProgressBar1;
  QPushButton* const Button3;

  // IRunWindow
  void SetSendCaption(std::string_view caption) override;
  void ProcessMessages() override;
  void SetProgressVisible(bool visible) override;
  void SetProgressMax(int max) override;
  void SetProgressPosition(int position) override;
  std::string FolderPath() const override;
  void SetFolderPath(const std::string& path) override;
  void ShowMessage(std::string_view title, std::string_view text, MessageIcon icon) override;
  void CloseWindow() override;

  // IFormStorageOwner
  std::string ClassName() const override { return "TForm1"; }
  IStoredComponent* FindComponent(std::string_view name) override;
  void ShowException(const std::exception& error) override;

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CenterOnScreen();

  std::unique_ptr<MessagePresenter> presenter_;
  TFolderFieldComponent folder_component_{*this};
  bool shown_once_ = false;

 public:
  // Remembers the folder field between starts of the program.
  TFormStorage FormStorage1{*this};
  // The export run that the Send button starts; it owns the non-visual components.
  TExportRun ExportRun;
};

}  // namespace zered
