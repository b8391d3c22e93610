// A console tool for the end-to-end tests under Wine: it reads and answers the program's windows
// from outside, as a person at the screen would.
//
//   window_probe box [seconds]    waits for a message box, prints its title and its text on two
//                                 lines, presses its OK button; exit code 1 when none appears
//   window_probe close [seconds]  asks the main window ("TForm1") to close; 1 when none is there
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Found {
  HWND window = nullptr;
};

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  GetWindowTextA(window, text.data(), length + 1);
  text.resize(std::strlen(text.c_str()));
  return text;
}

BOOL CALLBACK FindMessageBox(HWND window, LPARAM data) {
  if (!IsWindowVisible(window) || ClassOf(window) != "#32770") return TRUE;
  reinterpret_cast<Found*>(data)->window = window;
  return FALSE;
}

// The box's message: the text of its Static child that is not the icon.
std::string MessageOf(HWND box) {
  std::string message;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == "Static" && GetWindowTextLengthA(child) > 0) message = TextOf(child);
  }
  return message;
}

template <typename Find>
HWND WaitFor(Find find, int seconds) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
  for (;;) {
    if (HWND window = find()) return window;
    if (GetTickCount64() >= deadline) return nullptr;
    Sleep(50);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
  if (command == "box") {
    HWND box = WaitFor(
        [] {
          Found found;
          EnumWindows(&FindMessageBox, reinterpret_cast<LPARAM>(&found));
          return found.window;
        },
        seconds);
    if (box == nullptr) return 1;
    std::printf("%s\n%s\n", TextOf(box).c_str(), MessageOf(box).c_str());
    std::fflush(stdout);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return 0;
  }
  if (command == "close") {
    HWND main_window = WaitFor([] { return FindWindowA("TForm1", nullptr); }, seconds);
    if (main_window == nullptr) return 1;
    PostMessageA(main_window, WM_CLOSE, 0, 0);
    return 0;
  }
  std::fprintf(stderr, "usage: window_probe box|close [seconds]\n");
  return 2;
}
