#pragma once

#include <cstdint>
#include <functional>

namespace zered {

// What the program does while the client waits for the server, shared by the whole process
// (user-interface thread only, unguarded, like the busy pointer): the window processes its
// messages, and the progress bar follows the local file being sent.
struct TZWaitHooks {
  // Called every few milliseconds while a statement runs on the server, and for every block of
  // a local file sent. The hook may let the window process its messages; it must not use the
  // connection.
  std::function<void()> waiting;
  // Called with the bytes of the local file sent so far, for every block.
  std::function<void(uint64_t bytes)> local_file_sent;
};

// Installs the hooks (empty ones call nothing); returns those installed before.
TZWaitHooks SetWaitHooks(TZWaitHooks hooks);

void NotifyWaiting();
void NotifyLocalFileSent(uint64_t bytes);

}  // namespace zered
