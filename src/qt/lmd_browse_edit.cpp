#include "qt/lmd_browse_edit.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <limits>

namespace zered {

namespace {

constexpr int kButtonWidth = 18;

// A small yellow folder, drawn rather than shipped as an image file.
QPixmap FolderPicture() {
  QPixmap pixmap(13, 14);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  const QColor outline(128, 128, 0);
  painter.setPen(outline);
  painter.setBrush(QColor(255, 255, 0));
  painter.drawRect(0, 4, 12, 8);
  painter.setBrush(QColor(192, 192, 0));
  painter.drawRect(1, 2, 4, 2);
  painter.setPen(QColor(255, 255, 255));
  painter.drawLine(1, 5, 11, 5);
  return pixmap;
}

}  // namespace

TLMDBrowseEdit::TLMDBrowseEdit(QWidget* parent)
    : QLineEdit(parent), button_(new QToolButton(this)), chooser_(&RunFolderDialog) {
  button_->setIcon(QIcon(FolderPicture()));
  button_->setIconSize(QSize(13, 14));
  button_->setCursor(Qt::ArrowCursor);
  button_->setFocusPolicy(Qt::NoFocus);
  button_->setAutoRaise(false);
  setTextMargins(0, 0, kButtonWidth, 0);
  setMaxLength(std::numeric_limits<int>::max());
  connect(button_, &QToolButton::clicked, this, &TLMDBrowseEdit::Browse);
}

std::string TLMDBrowseEdit::Path() const { return QFile::encodeName(text()).toStdString(); }

void TLMDBrowseEdit::SetPath(const std::string& path) {
  QString decoded = QFile::decodeName(QByteArray::fromStdString(path));
  if (decoded != text()) setText(decoded);
}

std::optional<QString> TLMDBrowseEdit::RunFolderDialog(QWidget* parent) {
  QString folder = QFileDialog::getExistingDirectory(
      parent, QString(), QDir::rootPath(),
      QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
  if (folder.isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(folder);
}

void TLMDBrowseEdit::Browse() {
  if (!hasFocus()) setFocus(Qt::OtherFocusReason);
  // No preselection: the chooser never sees the field's text.
  std::optional<QString> folder = chooser_ ? chooser_(window()) : std::nullopt;
  if (folder) setText(*folder);
}

void TLMDBrowseEdit::keyPressEvent(QKeyEvent* event) {
  // Up and Down move the caret like Left and Right, as in the platform's own edit fields.
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::ShiftModifier ||
      event->modifiers() == Qt::KeypadModifier) {
    bool mark = event->modifiers() == Qt::ShiftModifier;
    if (event->key() == Qt::Key_Up) {
      cursorBackward(mark);
      return;
    }
    if (event->key() == Qt::Key_Down) {
      cursorForward(mark);
      return;
    }
  }
  QLineEdit::keyPressEvent(event);
}

void TLMDBrowseEdit::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  // Inside the field's frame, at its right end.
  const int frame = 2;
  button_->setGeometry(width() - kButtonWidth - frame, frame, kButtonWidth, height() - 2 * frame);
}

}  // namespace zered
