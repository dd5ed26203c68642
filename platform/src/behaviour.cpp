#include "kq/platform/behaviour.hpp"

#include <exception>

namespace kq::platform::detail {

bool run_behaviour(void (*call)(void*), void* behaviour, const FailureSink* sink) {
  try {
    call(behaviour);
    return true;
  } catch (const std::exception& failure) {
    if (sink != nullptr && *sink) (*sink)(failure.what());
  }
  return false;
}

}  // namespace kq::platform::detail
