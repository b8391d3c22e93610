#pragma once

#include <QString>
#include <string_view>

namespace zered {

// Text from the lower layers for display: UTF-8 when the bytes are valid UTF-8 (file names,
// the system's reasons), otherwise the ANSI code page (the server's and the tables' texts).
QString DisplayText(std::string_view bytes);

}  // namespace zered
