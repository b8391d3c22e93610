#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace zered {

// True when the first command-line argument (after the program name), with its ASCII letters
// in upper case, is exactly "/A". Later arguments are never examined.
bool IsAutomaticMode(const std::vector<std::string>& arguments);

// The application title: the executable's file name without its folder and without
// everything from its first "." on, its first character unchanged, the rest in lower case.
QString ApplicationTitle(const std::string& executable_path);

// The failure box's text: the message with a "." appended when it is not empty and its last
// byte sorts after "." (unsigned byte order).
std::string FailureBoxText(std::string message);

// Text from the lower layers for display: UTF-8 when the bytes are valid UTF-8 (file names,
// the system's reasons), otherwise the ANSI code page (the server's and the tables' texts).
QString DisplayText(std::string_view bytes);

}  // namespace zered
