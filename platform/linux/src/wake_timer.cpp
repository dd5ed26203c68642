#include "kq/platform/linux/wake_timer.hpp"

#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>

#include "kq/platform/linux/clocks.hpp"

namespace kq::platform::linux_host {

WakeTimer::WakeTimer() : fd_(timerfd_create(CLOCK_BOOTTIME, TFD_CLOEXEC | TFD_NONBLOCK)) {}

WakeTimer::~WakeTimer() {
  if (fd_ >= 0) ::close(fd_);
}

void WakeTimer::arm(std::optional<std::int64_t> due) {
  if (due == armed_) return;
  armed_ = due;
  if (fd_ < 0) return;
  itimerspec deadline{};  // all zero: disarmed
  if (due) {
    // Zero would disarm: a deadline at boot is long past anyway.
    const std::int64_t at = std::max<std::int64_t>(*due, 1);
    deadline.it_value.tv_sec = static_cast<time_t>(at / 1000);
    deadline.it_value.tv_nsec = static_cast<long>(at % 1000) * 1'000'000L;
  }
  timerfd_settime(fd_, TFD_TIMER_ABSTIME, &deadline, nullptr);
}

int WakeTimer::poll_timeout() const {
  if (fd_ >= 0 || !armed_) return -1;
  const auto now = static_cast<std::int64_t>(boot_milliseconds());
  return static_cast<int>(std::clamp<std::int64_t>(*armed_ - now, 0, 1 << 30));
}

void WakeTimer::drain() {
  std::uint64_t expirations = 0;
  [[maybe_unused]] auto got = ::read(fd_, &expirations, sizeof expirations);
}

}  // namespace kq::platform::linux_host
