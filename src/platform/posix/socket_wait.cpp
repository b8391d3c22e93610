#include "platform/socket_wait.h"

#include <poll.h>

#include <cerrno>

namespace zered {

int WaitForSocket(intptr_t socket, int events, int timeout_ms) {
  pollfd entry{};
  entry.fd = static_cast<int>(socket);
  if (events & kSocketReadable) entry.events |= POLLIN;
  if (events & kSocketWritable) entry.events |= POLLOUT;
  if (events & kSocketException) entry.events |= POLLPRI;
  const int count = ::poll(&entry, 1, timeout_ms < 0 ? 0 : timeout_ms);
  if (count == 0 || (count < 0 && errno == EINTR)) return 0;
  if (count < 0) return events;
  int ready = 0;
  if (entry.revents & (POLLIN | POLLHUP | POLLERR)) ready |= kSocketReadable;
  if (entry.revents & (POLLOUT | POLLERR)) ready |= kSocketWritable;
  if (entry.revents & POLLPRI) ready |= kSocketException;
  // A closed or failed socket: whatever was asked, the next call reads the error.
  if (entry.revents & (POLLHUP | POLLERR | POLLNVAL)) ready |= events;
  return ready & events ? ready & events : events;
}

}  // namespace zered
