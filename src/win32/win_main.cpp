#include <windows.h>

#include "platform/process.h"
#include "win32/main_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show_command) {
  zered::TMainWindow form1(zered::CommandLineArguments());
  if (!form1.Create(show_command)) return 1;
  form1.RunMessageLoop();
  // Failed runs end the process normally too.
  return 0;
}
