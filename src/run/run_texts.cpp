#include "run/run_texts.h"

namespace zered {

bool IsAutomaticMode(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return false;
  std::string first = arguments.front();
  for (char& c : first) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return first == "/A";
}

std::string FailureBoxText(std::string message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  return message;
}

std::string StandardErrorText(const std::string& box_text) {
  std::string line = "zered: " + box_text;
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

}  // namespace zered
