#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dbf/tdbf.h"
#include "sql/tz_connection.h"
#include "sql/tz_sql_processor.h"

namespace zered {

// The lock file in the program folder that a run holds (see TExportRun).
inline constexpr char kRunLockFileName[] = "zered.lock";

class IRunWindow;
class TFormPlacement;

// The export run: the program's one job, as 27 numbered steps on the user-interface thread. It
// reads fap.dbf and fav.dbf from the window's data folder, writes sa2.txt and sa.txt into the
// program folder, has the server load them, and appends a record block to the run log. The run
// owns the window's non-visual components and drives the window only through IRunWindow; the
// front end creates one run with its window and keeps it as long as the window.
//
// A failing step ends the run and its message is shown in an error box (the silent abort shows
// nothing); the run log is written only at the end of a successful run. While a run is in
// progress a further press of Send is ignored, and a request to close the window is held back
// and carried out as soon as the run has ended, so a run is never left half done.
//
// From its first step to the saved run log a run holds the lock file kRunLockFileName of the
// program folder; a run that finds it held by another process (or another run object) fails
// before its first step and touches nothing. A failure shown in the box is also written to
// standard error as one line "zered: <the box's text>".
class TExportRun {
 public:
  // `window` and `storage` (the window's settings storage, pointed at the connection settings
  // for the span of their reads) outlive the run. `arguments`: the command-line arguments after
  // the program name; the first one selects the automatic mode.
  TExportRun(IRunWindow& window, TFormPlacement& storage, std::vector<std::string> arguments);
  ~TExportRun();
  TExportRun(const TExportRun&) = delete;
  TExportRun& operator=(const TExportRun&) = delete;

  // The components, named as in the window's layout, reused by every run.
  TDbf Dbf1{"Dbf1"};
  TZConnection ZConnection1{"ZConnection1"};
  TZSQLProcessor ZSQLProcessor1{"ZSQLProcessor1"};

  bool AutomaticMode() const;
  bool InProgress() const { return in_progress_; }

  // The Send button was pressed: performs a run, unless one is in progress already.
  void Button3Click();

  // The window became active. True only the first time and only in the automatic mode: the
  // window then presses Send, after the activation has been handled, as a click would arrive.
  bool StartsAtActivation();

  // The window is asked to close. False while a run is in progress: the close is then carried
  // out (through IRunWindow::CloseWindow) as soon as the run has ended.
  bool CloseQuery();

  // Shows a failure in the error box titled with the application title; nothing for the silent
  // abort. The window's other failures (its settings storage) are shown here too.
  void ShowException(const std::exception& error);

  // Called before each step of a run with the step's number. An exception thrown from it ends
  // the run at that step exactly as a failing step does.
  void SetStepObserver(std::function<void(int step)> observer) {
    step_observer_ = std::move(observer);
  }

 private:
  // What lives only while a run is in progress.
  struct RunState;

  void PerformSteps();
  // Takes the program folder's lock for the run, or fails when another run holds it.
  void LockProgramFolder();
  // Sets the Send button's caption, then lets the window process its pending messages.
  void ShowCaption(const char* caption);

  // The run's steps, in the order PerformSteps() performs them.
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

  // Opens one table of the data folder and appends its invoice lines; returns the number of
  // records visited.
  int ExportTable(const char* table_name, char type_letter);

  IRunWindow& window_;
  TFormPlacement& storage_;
  std::vector<std::string> arguments_;
  std::function<void(int)> step_observer_;
  std::unique_ptr<RunState> run_;
  bool in_progress_ = false;
  bool close_pending_ = false;
  bool activated_once_ = false;
};

}  // namespace zered
