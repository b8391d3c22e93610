#pragma once

#include <cstdint>

namespace zered {

// What a wait on a socket asks for and reports.
inline constexpr int kSocketReadable = 1;
inline constexpr int kSocketWritable = 2;
inline constexpr int kSocketException = 4;

// Waits at most `timeout_ms` milliseconds until `socket` (a file descriptor, on Windows a
// SOCKET) is ready for one of `events`. Returns the events that happened, 0 when the time ran
// out. When the wait itself fails, returns all of `events`, so that the caller's next call on
// the socket meets and reports the error.
int WaitForSocket(intptr_t socket, int events, int timeout_ms);

}  // namespace zered
