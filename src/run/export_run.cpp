#include "run/export_run.h"

#include "base/exceptions.h"
#include "base/format.h"
#include "export/invoice_line_file.h"
#include "export/load_script.h"
#include "export/run_log.h"
#include "export/table_export.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/standard_error.h"
#include "run/run_texts.h"
#include "run/run_window.h"
#include "run/sending_progress.h"
#include "run/window_export_progress.h"
#include "settings/connection_settings.h"

namespace zered {

namespace {

const char kLoadingCaption[] = "načítám data";
const char kSendingCaption[] = "odesílám na server";
const char kDoneCaption[] = "hotovo";

}  // namespace

struct TExportRun::RunState {
  std::unique_ptr<TFileLock> lock;
  std::unique_ptr<RunLog> run_log;
  std::unique_ptr<TInvoiceLineFile> invoice_lines;
  std::unique_ptr<TWindowExportProgress> progress;
};

TExportRun::TExportRun(IRunWindow& window, TFormPlacement& storage,
                       std::vector<std::string> arguments)
    : window_(window), storage_(storage), arguments_(std::move(arguments)) {
  Dbf1.SetReadOnly(true);
  Dbf1.SetTableLevel(25);

  ZConnection1.SetProtocol("mysql-5");
  ZConnection1.SetHostName("localhost");
  ZConnection1.SetPort(3306);
  ZConnection1.SetDatabase("velbor");
  ZConnection1.SetUser("root");
  ZConnection1.SetProperties({"Codepage=cp1250", "Compress=yes"});
  ZConnection1.SetAutoCommit(false);
  ZConnection1.SetSQLHourGlass(true);

  ZSQLProcessor1.SetConnection(&ZConnection1);
  ZSQLProcessor1.SetDelimiter(";");
}

TExportRun::~TExportRun() = default;

bool TExportRun::AutomaticMode() const { return IsAutomaticMode(arguments_); }

bool TExportRun::StartsAtActivation() {
  if (activated_once_) return false;
  activated_once_ = true;
  return AutomaticMode();
}

bool TExportRun::CloseQuery() {
  if (!in_progress_) return true;
  close_pending_ = true;
  return false;
}

void TExportRun::ShowException(const std::exception& error) {
  if (dynamic_cast<const EAbort*>(&error) != nullptr) return;
  auto* own = dynamic_cast<const Exception*>(&error);
  const std::string message = own != nullptr ? own->Message() : std::string(error.what());
  const std::string text = FailureBoxText(message);
  // Before the box, which waits for the user: an unattended run's scheduler reads this line.
  WriteStandardErrorLine(StandardErrorText(text));
  window_.ShowMessage(ApplicationTitle(ExecutablePath()), text, MessageIcon::kError);
}

void TExportRun::Button3Click() {
  // The run processes messages between records; a second press must not start a run inside
  // the first one on the same lists and components.
  if (in_progress_) return;
  in_progress_ = true;
  try {
    PerformSteps();
  } catch (const std::exception& error) {
    // The run's lists are discarded unsaved before the box is shown.
    run_.reset();
    ShowException(error);
  } catch (...) {
    run_.reset();
    ShowException(Exception("Unknown failure"));
  }
  run_.reset();
  in_progress_ = false;
  if (close_pending_) {
    close_pending_ = false;
    window_.CloseWindow();
  }
}

void TExportRun::PerformSteps() {
  struct Step {
    int number;
    void (TExportRun::*perform)();
  };
  static constexpr Step kSteps[] = {
      {1, &TExportRun::ResetProgress},
      {2, &TExportRun::EnterProgramFolder},
      {3, &TExportRun::ShowLoading},
      {4, &TExportRun::LoadRunLog},
      {5, &TExportRun::StartRunLogBlock},
      {6, &TExportRun::AdvanceProgress},
      {7, &TExportRun::DisconnectFromServer},
      {8, &TExportRun::ReadConnectionSettings},
      {11, &TExportRun::CreateInvoiceLines},
      {12, &TExportRun::ExportReceivedInvoices},
      {15, &TExportRun::ExportIssuedInvoices},
      {18, &TExportRun::ShowSending},
      {19, &TExportRun::SaveInvoiceLines},
      {20, &TExportRun::WriteLoadScript},
      {21, &TExportRun::LoadScriptIntoProcessor},
      {22, &TExportRun::LogScriptLoaded},
      {23, &TExportRun::ConnectToServer},
      {24, &TExportRun::ExecuteScript},
      {25, &TExportRun::ShowDone},
      {26, &TExportRun::SaveRunLog},
      {27, &TExportRun::Complete},
  };
  run_ = std::make_unique<RunState>();
  LockProgramFolder();
  for (const Step& step : kSteps) {
    if (step_observer_) step_observer_(step.number);
    (this->*step.perform)();
  }
}

void TExportRun::ShowCaption(const char* caption) {
  window_.SetSendCaption(caption);
  window_.ProcessMessages();
}

void TExportRun::LockProgramFolder() {
  // Two runs on one program folder (a scheduled one and a press of Send) would read the same
  // run log and each save its own copy, and interleave their reloads of the same tables.
  const std::string path = ProgramFolder() + kRunLockFileName;
  run_->lock = std::make_unique<TFileLock>(path);
  if (!run_->lock->Locked()) {
    throw Exception(
        Format("The lock file \"%s\" is held: another run is in progress", path.c_str()));
  }
}

void TExportRun::ResetProgress() { window_.SetProgressPosition(0); }

void TExportRun::EnterProgramFolder() {
  // Relative file names of the run resolve here; a failure shows up when a file is used.
  (void)SetCurrentDir(ProgramFolder());
}

void TExportRun::ShowLoading() { ShowCaption(kLoadingCaption); }

void TExportRun::LoadRunLog() {
  run_->run_log = std::make_unique<RunLog>();
  run_->run_log->Load();
}

void TExportRun::StartRunLogBlock() {
  run_->run_log->Append("-----");
  run_->run_log->AppendTimestamped("");
}

void TExportRun::AdvanceProgress() { window_.SetProgressPosition(25); }

void TExportRun::DisconnectFromServer() { ZConnection1.Disconnect(); }

void TExportRun::ReadConnectionSettings() {
  // Read anew on every run, so changed settings take effect without a restart.
  const ConnectionSettings settings = zered::ReadConnectionSettings(storage_);
  ZConnection1.SetHostName(settings.host_name);
  ZConnection1.SetUser(settings.user);
  ZConnection1.SetPassword(settings.password);
  ZConnection1.SetPort(settings.port);
}

void TExportRun::CreateInvoiceLines() {
  // Relative to the current directory, which is the program folder since step 2.
  run_->invoice_lines = std::make_unique<TInvoiceLineFile>(kInvoiceLineFileName,
                                                           Dbf1.FormatSettings().decimal_separator);
  run_->progress = std::make_unique<TWindowExportProgress>(window_);
}

int TExportRun::ExportTable(const char* table_name, char type_letter) {
  return zered::ExportTable(Dbf1, table_name, type_letter, *run_->invoice_lines, *run_->progress);
}

void TExportRun::ExportReceivedInvoices() {
  Dbf1.Close();
  Dbf1.SetFilePath(window_.FolderPath());
  const int visited = ExportTable("fap.dbf", 'P');
  run_->run_log->AppendTimestamped(" IN: " + std::to_string(visited));
  Dbf1.Close();
}

void TExportRun::ExportIssuedInvoices() {
  // The folder stays as the received invoices set it.
  const int visited = ExportTable("fav.dbf", 'V');
  run_->run_log->AppendTimestamped(" OUT: " + std::to_string(visited));
  Dbf1.Close();
}

void TExportRun::ShowSending() { ShowCaption(kSendingCaption); }

void TExportRun::SaveInvoiceLines() {
  run_->invoice_lines->Commit();
  run_->invoice_lines.reset();
}

void TExportRun::WriteLoadScript() { zered::WriteLoadScript(kLoadScriptFileName); }

void TExportRun::LoadScriptIntoProcessor() {
  ZSQLProcessor1.Script().Clear();
  ZSQLProcessor1.Script().LoadFromFile(kLoadScriptFileName);
}

void TExportRun::LogScriptLoaded() { run_->run_log->AppendTimestamped(" add"); }

void TExportRun::ConnectToServer() { ZConnection1.Connect(); }

void TExportRun::ExecuteScript() {
  uint64_t invoice_line_bytes = 0;
  try {
    invoice_line_bytes = TReadOnlyFile(kInvoiceLineFileName).Size();
  } catch (const Exception&) {
    // Only the bar's scale depends on it; the load statement reports the file itself.
  }
  try {
    TSendingProgress progress(window_, ZSQLProcessor1, invoice_line_bytes);
    ZSQLProcessor1.Execute();
  } catch (...) {
    // Left open, the failed script's transaction keeps its locks on the receivables tables
    // until the next run disconnects: after a failed unattended run the window stays open
    // indefinitely, and the next scheduled run, like any repair of the database, waits on
    // them. Closing the connection ends it (the connection's rollback does nothing at its
    // default isolation level); other clients see what the next run's disconnect would leave.
    try {
      ZConnection1.Disconnect();
    } catch (const std::exception&) {
      // The script's failure is the one to show.
    }
    throw;
  }
}

void TExportRun::ShowDone() { ShowCaption(kDoneCaption); }

void TExportRun::SaveRunLog() {
  run_->run_log->AppendTimestamped(" odeslano");
  run_->run_log->Save();
  run_->run_log.reset();
}

void TExportRun::Complete() {
  // The run's files and tables are final: a run started while the box waits may go ahead.
  run_->lock.reset();
  if (AutomaticMode()) {
    // Carried out by Button3Click as soon as the run has returned.
    close_pending_ = true;
    return;
  }
  window_.ShowMessage("Warning", kDoneCaption, MessageIcon::kWarning);
}

}  // namespace zered
