#pragma once

#include <QString>

#include "run/run_window.h"

class QWidget;

namespace zered {

// Shows a modal message box with one "OK" button and returns when it is dismissed. The window
// shows its failure and completion boxes through it, so tests can observe them.
class MessagePresenter {
 public:
  virtual ~MessagePresenter() = default;
  virtual void ShowMessage(QWidget* parent, const QString& title, const QString& text,
                           MessageIcon icon) = 0;
};

}  // namespace zered
