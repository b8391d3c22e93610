#include "qt/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include "qt/display_text.h"
#include "qt/message_box_presenter.h"
#include "sql/tz_busy_pointer.h"

namespace zered {

namespace {

const char kTitle[] = "Zered - Ostrun";
const char kSendCaption[] = "Odeslat";

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

TForm1::TForm1(std::vector<std::string> arguments, std::unique_ptr<MessagePresenter> presenter,
               QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      LMDBrowseEdit1(new TLMDBrowseEdit(this)),
      suiProgressBar1(new TsuiProgressBar(this)),
      Button3(new QPushButton(this)),
      presenter_(presenter ? std::move(presenter) : std::make_unique<MessageBoxPresenter>()),
      ExportRun(*this, FormStorage1, std::move(arguments)) {
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
  connect(Button3, &QPushButton::clicked, this, [this] { ExportRun.Button3Click(); });

  setTabOrder(LMDBrowseEdit1, Button3);
  LMDBrowseEdit1->setFocus();

  SetBusyPointerHook([](bool busy) {
    if (busy) {
      QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
      QGuiApplication::restoreOverrideCursor();
    }
  });

  FormStorage1.SetStoredProps({"LMDBrowseEdit1.Path"});
  FormStorage1.Loaded();
}

TForm1::~TForm1() {
  FormStorage1.HandleDestroy();
  SetBusyPointerHook(nullptr);
}

IStoredComponent* TForm1::FindComponent(std::string_view name) {
  return folder_component_.Find(name);
}

void TForm1::ShowException(const std::exception& error) { ExportRun.ShowException(error); }

bool TForm1::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && ExportRun.StartsAtActivation()) {
    // Pressed after the activation has been handled, as a click would arrive.
    QMetaObject::invokeMethod(Button3, &QPushButton::click, Qt::QueuedConnection);
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
  if (!ExportRun.CloseQuery()) {
    event->ignore();
    return;
  }
  FormStorage1.HandleCloseGranted();
  QWidget::closeEvent(event);
}

void TForm1::SetSendCaption(std::string_view caption) {
  Button3->setText(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
}

void TForm1::ProcessMessages() { QCoreApplication::processEvents(); }

void TForm1::SetProgressVisible(bool visible) { suiProgressBar1->setVisible(visible); }

void TForm1::SetProgressMax(int max) { suiProgressBar1->SetMax(max); }

void TForm1::SetProgressPosition(int position) { suiProgressBar1->SetPosition(position); }

std::string TForm1::FolderPath() const { return LMDBrowseEdit1->Path(); }

void TForm1::SetFolderPath(const std::string& path) { LMDBrowseEdit1->SetPath(path); }

void TForm1::ShowMessage(std::string_view title, std::string_view text, MessageIcon icon) {
  presenter_->ShowMessage(this, DisplayText(title), DisplayText(text), icon);
}

void TForm1::CloseWindow() { close(); }

}  // namespace zered
