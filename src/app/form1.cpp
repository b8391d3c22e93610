#include "app/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include "app/app_texts.h"
#include "app/message_box_presenter.h"
#include "app/progress_bar_export_progress.h"
#include "base/exceptions.h"
#include "export/invoice_line_file.h"
#include "export/load_script.h"
#include "export/run_log.h"
#include "export/table_export.h"
#include "platform/process.h"
#include "platform/regional_settings.h"
#include "settings/connection_settings.h"
#include "sql/tz_busy_pointer.h"

namespace zered {

namespace {

const char kTitle[] = "Zered - Ostrun";
const char kSendCaption[] = "Odeslat";
const char kLoadingCaption[] = "načítám data";
const char kSendingCaption[] = "odesílám na server";
const char kDoneCaption[] = "hotovo";

// Tahoma is rarely installed outside Windows; these come closest in width and shape.
void SubstituteTahoma() {
  static const bool done = [] {
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans Condensed"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("Noto Sans")});
    return true;
  }();
  (void)done;
}

}  // namespace

struct TForm1::RunState {
  std::unique_ptr<RunLog> run_log;
  std::unique_ptr<TInvoiceLineFile> invoice_lines;
  std::unique_ptr<TProgressBarExportProgress> progress;
};

TForm1::TForm1(std::vector<std::string> arguments, std::unique_ptr<MessagePresenter> presenter,
               QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      LMDBrowseEdit1(new TLMDBrowseEdit(this)),
      suiProgressBar1(new TsuiProgressBar(this)),
      Button3(new QPushButton(this)),
      arguments_(std::move(arguments)),
      presenter_(presenter ? std::move(presenter) : std::make_unique<MessageBoxPresenter>()) {
  SubstituteTahoma();
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromUtf8(kTitle));
  setFixedSize(507, 100);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, colours.color(QPalette::Button));
  setPalette(colours);
  setAutoFillBackground(true);
  setFont(QFont(QStringLiteral("Tahoma"), 8));

  LMDBrowseEdit1->setObjectName(QStringLiteral("LMDBrowseEdit1"));
  LMDBrowseEdit1->setGeometry(8, 21, 343, 21);

  // The layout's property order: the look first, so the colours and picture set after it
  // are the ones drawn.
  suiProgressBar1->setObjectName(QStringLiteral("suiProgressBar1"));
  suiProgressBar1->setGeometry(8, 60, 486, 20);
  suiProgressBar1->SetUIStyle(MacOS);
  suiProgressBar1->SetCaptionColor(Qt::black);
  suiProgressBar1->SetShowCaption(true);
  suiProgressBar1->SetSmartShowCaption(false);
  suiProgressBar1->SetMax(100);
  suiProgressBar1->SetMin(0);
  suiProgressBar1->SetPosition(50);
  suiProgressBar1->SetOrientation(suiHorizontal);
  suiProgressBar1->SetBorderColor(QColor(127, 127, 127));
  suiProgressBar1->SetColor(QColor(231, 231, 231));
  suiProgressBar1->SetPicture(TsuiProgressBar::GlossyBluePicture());

  Button3->setObjectName(QStringLiteral("Button3"));
  Button3->setGeometry(365, 8, 129, 39);
  Button3->setText(QString::fromUtf8(kSendCaption));
  Button3->setFont(QFont(QStringLiteral("Tahoma"), 10));
  connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);

  setTabOrder(LMDBrowseEdit1, Button3);
  LMDBrowseEdit1->setFocus();

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
  SetBusyPointerHook([](bool busy) {
    if (busy) {
      QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
      QGuiApplication::restoreOverrideCursor();
    }
  });

  ZSQLProcessor1.SetConnection(&ZConnection1);
  ZSQLProcessor1.SetDelimiter(";");

  FormStorage1.SetStoredProps({"LMDBrowseEdit1.Path"});
  FormStorage1.Loaded();
}

TForm1::~TForm1() {
  FormStorage1.HandleDestroy();
  SetBusyPointerHook(nullptr);
}

IStoredComponent* TForm1::FindComponent(std::string_view name) {
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))
                     .compare(LMDBrowseEdit1->objectName(), Qt::CaseInsensitive) == 0
             ? &folder_component_
             : nullptr;
}

bool TForm1::AutomaticMode() const { return IsAutomaticMode(arguments_); }

bool TForm1::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && !activated_once_) {
    activated_once_ = true;
    // Pressed after the activation has been handled, as a click would arrive.
    if (AutomaticMode()) {
      QMetaObject::invokeMethod(Button3, &QPushButton::click, Qt::QueuedConnection);
    }
  }
  return QWidget::event(event);
}

void TForm1::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormStorage1.HandleShow();
  if (!shown_once_ && !event->spontaneous()) {
    shown_once_ = true;
    CenterOnScreen();
  }
  QWidget::showEvent(event);
}

void TForm1::CenterOnScreen() {
  QScreen* target = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  if (target == nullptr) return;
  QRect frame = frameGeometry();
  frame.moveCenter(target->availableGeometry().center());
  move(frame.topLeft());
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (run_in_progress_) {
    close_pending_ = true;
    event->ignore();
    return;
  }
  FormStorage1.HandleCloseGranted();
  QWidget::closeEvent(event);
}

void TForm1::ShowException(const std::exception& error) {
  if (dynamic_cast<const EAbort*>(&error) != nullptr) return;
  auto* own = dynamic_cast<const Exception*>(&error);
  std::string message = own != nullptr ? own->Message() : std::string(error.what());
  presenter_->ShowMessage(this, ApplicationTitle(ExecutablePath()),
                          DisplayText(FailureBoxText(std::move(message))), MessageIcon::kError);
}

void TForm1::Button3Click() {
  // The run processes events between records; a second press must not start a run inside
  // the first one on the same lists and components.
  if (run_in_progress_) return;
  run_in_progress_ = true;
  try {
    Run();
  } catch (const std::exception& error) {
    // The run's lists are discarded unsaved before the box is shown.
    run_.reset();
    ShowException(error);
  } catch (...) {
    run_.reset();
    ShowException(Exception("Unknown failure"));
  }
  run_.reset();
  run_in_progress_ = false;
  if (close_pending_) {
    close_pending_ = false;
    close();
  }
}

void TForm1::Run() {
  struct Step {
    int number;
    void (TForm1::*perform)();
  };
  static constexpr Step kSteps[] = {
      {1, &TForm1::ResetProgress},
      {2, &TForm1::EnterProgramFolder},
      {3, &TForm1::ShowLoading},
      {4, &TForm1::LoadRunLog},
      {5, &TForm1::StartRunLogBlock},
      {6, &TForm1::AdvanceProgress},
      {7, &TForm1::DisconnectFromServer},
      {8, &TForm1::ReadConnectionSettings},
      {11, &TForm1::CreateInvoiceLines},
      {12, &TForm1::ExportReceivedInvoices},
      {15, &TForm1::ExportIssuedInvoices},
      {18, &TForm1::ShowSending},
      {19, &TForm1::SaveInvoiceLines},
      {20, &TForm1::WriteLoadScript},
      {21, &TForm1::LoadScriptIntoProcessor},
      {22, &TForm1::LogScriptLoaded},
      {23, &TForm1::ConnectToServer},
      {24, &TForm1::ExecuteScript},
      {25, &TForm1::ShowDone},
      {26, &TForm1::SaveRunLog},
      {27, &TForm1::Complete},
  };
  run_ = std::make_unique<RunState>();
  for (const Step& step : kSteps) {
    if (step_observer_) step_observer_(step.number);
    (this->*step.perform)();
  }
}

void TForm1::ShowCaption(const QString& caption) {
  Button3->setText(caption);
  QCoreApplication::processEvents();
}

void TForm1::ResetProgress() { suiProgressBar1->SetPosition(0); }

void TForm1::EnterProgramFolder() {
  // Relative file names of the run resolve here; a failure shows up when a file is used.
  (void)SetCurrentDir(ProgramFolder());
}

void TForm1::ShowLoading() { ShowCaption(QString::fromUtf8(kLoadingCaption)); }

void TForm1::LoadRunLog() {
  run_->run_log = std::make_unique<RunLog>();
  run_->run_log->Load();
}

void TForm1::StartRunLogBlock() {
  run_->run_log->Append("-----");
  run_->run_log->AppendTimestamped("");
}

void TForm1::AdvanceProgress() { suiProgressBar1->SetPosition(25); }

void TForm1::DisconnectFromServer() { ZConnection1.Disconnect(); }

void TForm1::ReadConnectionSettings() {
  // Read anew on every run, so changed settings take effect without a restart.
  const ConnectionSettings settings = zered::ReadConnectionSettings(FormStorage1);
  ZConnection1.SetHostName(settings.host_name);
  ZConnection1.SetUser(settings.user);
  ZConnection1.SetPassword(settings.password);
  ZConnection1.SetPort(settings.port);
}

void TForm1::CreateInvoiceLines() {
  // Relative to the current directory, which is the program folder since step 2.
  run_->invoice_lines = std::make_unique<TInvoiceLineFile>(kInvoiceLineFileName,
                                                           Dbf1.FormatSettings().decimal_separator);
  run_->progress = std::make_unique<TProgressBarExportProgress>(*suiProgressBar1);
}

int TForm1::ExportTable(const char* table_name, char type_letter) {
  return zered::ExportTable(Dbf1, table_name, type_letter, *run_->invoice_lines, *run_->progress);
}

void TForm1::ExportReceivedInvoices() {
  Dbf1.Close();
  Dbf1.SetFilePath(LMDBrowseEdit1->Path());
  const int visited = ExportTable("fap.dbf", 'P');
  run_->run_log->AppendTimestamped(" IN: " + std::to_string(visited));
  Dbf1.Close();
}

void TForm1::ExportIssuedInvoices() {
  // The folder stays as the received invoices set it.
  const int visited = ExportTable("fav.dbf", 'V');
  run_->run_log->AppendTimestamped(" OUT: " + std::to_string(visited));
  Dbf1.Close();
}

void TForm1::ShowSending() { ShowCaption(QString::fromUtf8(kSendingCaption)); }

void TForm1::SaveInvoiceLines() {
  run_->invoice_lines->Commit();
  run_->invoice_lines.reset();
}

void TForm1::WriteLoadScript() { zered::WriteLoadScript(kLoadScriptFileName); }

void TForm1::LoadScriptIntoProcessor() {
  ZSQLProcessor1.Script().Clear();
  ZSQLProcessor1.Script().LoadFromFile(kLoadScriptFileName);
}

void TForm1::LogScriptLoaded() { run_->run_log->AppendTimestamped(" add"); }

void TForm1::ConnectToServer() { ZConnection1.Connect(); }

void TForm1::ExecuteScript() {
  try {
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

void TForm1::ShowDone() { ShowCaption(QString::fromUtf8(kDoneCaption)); }

void TForm1::SaveRunLog() {
  run_->run_log->AppendTimestamped(" odeslano");
  run_->run_log->Save();
  run_->run_log.reset();
}

void TForm1::Complete() {
  if (AutomaticMode()) {
    // Carried out by Button3Click as soon as the run has returned.
    close();
    return;
  }
  presenter_->ShowMessage(this, QStringLiteral("Warning"), QString::fromUtf8(kDoneCaption),
                          MessageIcon::kWarning);
}

}  // namespace zered
