#pragma once
// Runs one behaviour from the event loop. A behaviour that fails ends at the
// failing step (the steps before it stay done); the failure stops there and
// the loop goes on with the next event, as the toolkit does on Windows when
// an event handler gives up.

#include <exception>

namespace kq::platform::linux_host {

template <class Behaviour>
void run_behaviour(Behaviour&& behaviour) noexcept {
  try {
    behaviour();
  } catch (const std::exception&) {
    // The program shows no message of its own; nothing else to undo.
  }
}

}  // namespace kq::platform::linux_host
