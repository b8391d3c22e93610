#pragma once

#include <string>
#include <vector>

namespace zered {

// True when the first command-line argument (after the program name), with its ASCII letters
// in upper case, is exactly "/A". Later arguments are never examined.
bool IsAutomaticMode(const std::vector<std::string>& arguments);

// The failure box's text: the message with a "." appended when it is not empty and its last
// byte sorts after "." (unsigned byte order).
std::string FailureBoxText(std::string message);

// The line a shown failure box also writes to standard error: "zered: " and the box's text,
// its line breaks turned into blanks so that it stays one line.
std::string StandardErrorText(const std::string& box_text);

}  // namespace zered
