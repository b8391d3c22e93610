#pragma once

#include "qt/message_presenter.h"

namespace zered {

// The program's presenter: a QMessageBox.
class MessageBoxPresenter : public MessagePresenter {
 public:
  void ShowMessage(QWidget* parent, const QString& title, const QString& text,
                   MessageIcon icon) override;
};

}  // namespace zered
