#pragma once

#include <QWidget>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/browse_edit_component.h"
#include "app/message_presenter.h"
#include "dbf/tdbf.h"
#include "settings/form_storage.h"
#include "settings/form_storage_owner.h"
#include "sql/tz_connection.h"
#include "sql/tz_sql_processor.h"
#include "widgets/lmd_browse_edit.h"
#include "widgets/sui_progress_bar.h"

class QPushButton;

namespace zered {

class RunLog;

// The main window: the folder field, the progress bar and the Send button, and the export run
// that the button starts. A run is one synchronous sequence of numbered steps on the UI
// thread; it lets the window process its events only where it shows a caption and once per
// table record. A failing step ends the run and its message is shown in an error box (the
// silent abort shows nothing); the run log is written only at the end of a successful run.
//
// While a run is in progress a further press of Send is ignored, and a request to close the
// window is held back and carried out as soon as the run has ended, so a run is never left
// half done by its own window.
class TForm1 : public QWidget, public IFormStorageOwner {
  Q_OBJECT

 public:
  // `arguments`: the command-line arguments after the program name; the first one selects
  // the automatic mode. The presenter shows the failure and completion boxes.
  explicit TForm1(std::vector<std::string> arguments,
                  std::unique_ptr<MessagePresenter> presenter = nullptr, QWidget* parent = nullptr);
  ~TForm1() override;

  // The window's components, named as in its layout; owned by the window and reused by
  // every run.
  TLMDBrowseEdit* const LMDBrowseEdit1;
  TsuiProgressBar* const suiProgressBar1;
  QPushButton* const Button3;
  TDbf Dbf1{"Dbf1"};
  TZConnection ZConnection1{"ZConnection1"};
  TZSQLProcessor ZSQLProcessor1{"ZSQLProcessor1"};

  bool AutomaticMode() const;
  bool RunInProgress() const { return run_in_progress_; }

  // Shows a failure in the error box titled with the application title; nothing for the
  // silent abort.
  void ShowException(const std::exception& error) override;

  // The window as its settings storage sees it.
  std::string ClassName() const override { return "TForm1"; }
  IStoredComponent* FindComponent(std::string_view name) override;

  // Called before each step of a run with the step's number. An exception thrown from it
  // ends the run at that step exactly as a failing step does.
  void SetStepObserver(std::function<void(int step)> observer) {
    step_observer_ = std::move(observer);
  }

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // What lives only while a run is in progress.
  struct RunState;

  // The Send button's click.
  void Button3Click();
  void Run();
  // Sets the Send button's caption, then lets the window process its pending events.
  void ShowCaption(const QString& caption);
  void CenterOnScreen();

  // The run's steps, in the order Run() performs them.
  void ResetProgress();            // 1
  void EnterProgramFolder();       // 2
  void ShowLoading();              // 3
  void LoadRunLog();               // 4
  void StartRunLogBlock();         // 5
  void AdvanceProgress();          // 6
  void DisconnectFromServer();     // 7
  void ReadConnectionSettings();   // 8-10
  void CreateInvoiceLines();       // 11
  void ExportReceivedInvoices();   // 12-14
  void ExportIssuedInvoices();     // 15-17
  void ShowSending();              // 18
  void SaveInvoiceLines();         // 19
  void WriteLoadScript();          // 20
  void LoadScriptIntoProcessor();  // 21
  void LogScriptLoaded();          // 22
  void ConnectToServer();          // 23
  void ExecuteScript();            // 24
  void ShowDone();                 // 25
  void SaveRunLog();               // 26
  void Complete();                 // 27

  // Opens one table of the data folder and appends its invoice lines; returns the number
  // of records visited.
  int ExportTable(const char* table_name, char type_letter);

  TBrowseEditComponent folder_component_{*LMDBrowseEdit1};

 public:
  // Remembers the folder field between starts of the program.
  TFormStorage FormStorage1{*this};

 private:
  std::vector<std::string> arguments_;
  std::unique_ptr<MessagePresenter> presenter_;
  std::function<void(int)> step_observer_;
  std::unique_ptr<RunState> run_;
  bool run_in_progress_ = false;
  bool close_pending_ = false;
  bool activated_once_ = false;
  bool shown_once_ = false;
};

}  // namespace zered
