#include "platform/socket_wait.h"

#include <winsock2.h>

namespace zered {

int WaitForSocket(intptr_t socket, int events, int timeout_ms) {
  WSAPOLLFD entry{};
  entry.fd = static_cast<SOCKET>(socket);
  if (events & kSocketReadable) entry.events |= POLLRDNORM;
  if (events & kSocketWritable) entry.events |= POLLWRNORM;
  if (events & kSocketException) entry.events |= POLLRDBAND;
  const int count = WSAPoll(&entry, 1, timeout_ms < 0 ? 0 : timeout_ms);
  if (count == 0) return 0;
  if (count == SOCKET_ERROR) return events;
  int ready = 0;
  if (entry.revents & (POLLRDNORM | POLLHUP | POLLERR)) ready |= kSocketReadable;
  if (entry.revents & (POLLWRNORM | POLLERR)) ready |= kSocketWritable;
  if (entry.revents & POLLRDBAND) ready |= kSocketException;
  // A closed or failed socket: whatever was asked, the next call reads the error.
  if (entry.revents & (POLLHUP | POLLERR | POLLNVAL)) ready |= events;
  return ready & events ? ready & events : events;
}

}  // namespace zered
