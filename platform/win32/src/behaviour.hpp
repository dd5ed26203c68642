#pragma once
// How the Windows face runs a behaviour from the system's callbacks: a
// failure stops at the behaviour, by the platform's one rule, and a debugger
// hears of it. Nothing at all may unwind through the system's own frames, so
// whatever else is thrown stops here too.

#include "kq/platform/behaviour.hpp"

namespace kq::platform::win32 {

const FailureSink* debug_output();

template <class Action>
void guarded(Action&& action) {
  try {
    run_behaviour(action, debug_output());
  } catch (...) {
    (*debug_output())("a behaviour failed");
  }
}

}  // namespace kq::platform::win32
