#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QWidget>
#include <QWindow>

namespace zered::testing {

// The one QApplication of a GUI test executable, created on first use and kept for the rest
// of the process (widgets of later tests need it alive).
inline QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "zered_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// Shows `widget` and processes events until its window is on the screen (painted).
inline bool ShowAndWaitUntilExposed(QWidget& widget) {
  widget.show();
  QDeadlineTimer deadline(10000);
  while (!deadline.hasExpired()) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    QWindow* window = widget.window()->windowHandle();
    if (window != nullptr && window->isExposed()) {
      QApplication::processEvents();
      return true;
    }
  }
  return false;
}

// Creates the application before any fixture constructs its widgets.
class ApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { TestApplication(); }
};

inline ::testing::Environment* const kApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

}  // namespace zered::testing
