#pragma once

#include <functional>

namespace zered {

// The busy pointer shared by the whole process: a nesting counter and an optional screen hook.
// The hook is called with true when the outermost BusyPointerOn starts and with false when the
// matching outermost BusyPointerOff ends, so nested pairs show one busy period. User-interface
// thread only; unguarded.
using TZBusyPointerHook = std::function<void(bool busy)>;

// Installs (or, with an empty hook, removes) the screen hook. Returns the previous hook.
TZBusyPointerHook SetBusyPointerHook(TZBusyPointerHook hook);

void BusyPointerOn();
// Does nothing when the counter is already 0.
void BusyPointerOff();
// The current nesting depth (0 when not busy).
int BusyPointerDepth();

}  // namespace zered
