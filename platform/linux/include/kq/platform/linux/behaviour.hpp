#pragma once
// The Linux faces run their behaviours by the platform's one failure rule.

#include "kq/platform/behaviour.hpp"

namespace kq::platform::linux_host {

using kq::platform::run_behaviour;

}  // namespace kq::platform::linux_host
