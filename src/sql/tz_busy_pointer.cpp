#include "sql/tz_busy_pointer.h"

#include <utility>

namespace zered {

namespace {

struct BusyPointerState {
  int depth = 0;
  TZBusyPointerHook hook;
  // Whether the outermost On told the hook, so that the matching Off tells it too even when
  // the hook was replaced meanwhile.
  bool shown = false;
};

BusyPointerState& State() {
  static BusyPointerState state;
  return state;
}

}  // namespace

TZBusyPointerHook SetBusyPointerHook(TZBusyPointerHook hook) {
  return std::exchange(State().hook, std::move(hook));
}

void BusyPointerOn() {
  BusyPointerState& state = State();
  if (state.depth == 0 && state.hook) {
    state.hook(true);
    state.shown = true;
  }
  ++state.depth;
}

void BusyPointerOff() {
  BusyPointerState& state = State();
  if (state.depth == 0) return;
  --state.depth;
  if (state.depth == 0 && state.shown) {
    state.shown = false;
    if (state.hook) state.hook(false);
  }
}

int BusyPointerDepth() { return State().depth; }

}  // namespace zered
