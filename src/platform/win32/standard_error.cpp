#include "platform/standard_error.h"

#include <windows.h>

#include <string>

namespace zered {

void WriteStandardErrorLine(std::string_view line) {
  // A program of the GUI subsystem has a standard error handle only when its starter gave it
  // one (a redirection, a pipe of a scheduler or a console program).
  HANDLE stream = ::GetStdHandle(STD_ERROR_HANDLE);
  if (stream == nullptr || stream == INVALID_HANDLE_VALUE) return;
  std::string text(line);
  text += "\r\n";
  DWORD written = 0;
  // One write, so that lines of several processes sharing the stream do not interleave.
  ::WriteFile(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace zered
