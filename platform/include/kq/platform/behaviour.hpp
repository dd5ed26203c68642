#pragma once
// How every backend runs a behaviour from its event loop. A behaviour that
// fails (a standard exception) ends at the failing step (the steps before it
// stay done); the failure stops here and the loop goes on with the next
// event, as the toolkit on Windows does when an event handler gives up. The
// program shows no message of its own; a backend may pass the failure on to
// a sink (a debugger's output, a test's log). Anything thrown that is not a
// standard exception is no failure of the program's (a test driver's own
// stop, say) and goes on up.

#include <functional>
#include <string_view>
#include <type_traits>

namespace kq::platform {

using FailureSink = std::function<void(std::string_view what)>;

namespace detail {
bool run_behaviour(void (*call)(void*), void* behaviour, const FailureSink* sink);
}  // namespace detail

// Runs the behaviour; false when it failed, and the failure's what() went
// to the sink. Nothing is allocated on the way.
template <class Behaviour>
bool run_behaviour(Behaviour&& behaviour, const FailureSink* sink = nullptr) {
  using Plain = std::remove_reference_t<Behaviour>;
  return detail::run_behaviour([](void* b) { (*static_cast<Plain*>(b))(); },
                               const_cast<void*>(static_cast<const void*>(&behaviour)), sink);
}

}  // namespace kq::platform
