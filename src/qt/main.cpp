#include <QApplication>
#include <string>
#include <vector>

#include "qt/form1.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  // The caret blinks every 530 ms, a full on-off cycle in Qt's terms.
  QApplication::setCursorFlashTime(1060);
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  zered::TForm1 form1(std::move(arguments));
  form1.show();
  form1.activateWindow();
  application.exec();
  // Failed runs end the process normally too.
  return 0;
}
