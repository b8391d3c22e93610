#include "qt/message_box_presenter.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace zered {

void MessageBoxPresenter::ShowMessage(QWidget* parent, const QString& title, const QString& text,
                                      MessageIcon icon) {
  QMessageBox box(icon == MessageIcon::kError ? QMessageBox::Critical : QMessageBox::Warning, title,
                  text, QMessageBox::Ok, parent);
  // Messages quote file names and server texts; never read them as markup.
  box.setTextFormat(Qt::PlainText);
  box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
  box.exec();
}

}  // namespace zered
