#include "platform/standard_error.h"

#include <unistd.h>

#include <cerrno>
#include <string>

namespace zered {

void WriteStandardErrorLine(std::string_view line) {
  std::string text(line);
  text += '\n';
  // One write, so that lines of several processes sharing the stream do not interleave.
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = ::write(STDERR_FILENO, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // no stream, or nobody reads it any more
    done += static_cast<size_t>(written);
  }
}

}  // namespace zered
