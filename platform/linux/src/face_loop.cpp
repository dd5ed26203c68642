#include "kq/platform/linux/face_loop.hpp"

#include <poll.h>

#include <array>

#include "kq/platform/linux/clocks.hpp"

namespace kq::platform::linux_host {

namespace {

std::int64_t now() { return static_cast<std::int64_t>(boot_milliseconds()); }

}  // namespace

std::uint64_t FaceLoop::tick_count() const {
  return static_cast<std::uint64_t>(schedule_.tick_count(boot_milliseconds));
}

void FaceLoop::add_timers(Window& window) { schedule_.add(window, now()); }

void FaceLoop::timer_changed(Timer& timer, TimerSetting what) { schedule_.changed(timer, what, now()); }

void FaceLoop::forget_timers(const Window& window) { schedule_.remove(window); }

bool FaceLoop::sleep(int input) {
  wake_.arm(schedule_.next_due());
  std::array<pollfd, 3> fds{};
  nfds_t count = 0;
  auto watch = [&](int fd) {
    if (fd < 0) return -1;
    fds[count] = {fd, POLLIN, 0};
    return static_cast<int>(count++);
  };
  const int input_at = watch(input);
  const int stop_at = watch(stop_.fd());
  const int wake_at = watch(wake_.fd());
  if (::poll(fds.data(), count, wake_.poll_timeout()) <= 0) return false;
  auto events = [&](int at) { return at >= 0 ? fds[static_cast<std::size_t>(at)].revents : short{0}; };
  if (events(stop_at) & POLLIN) stop_.drain();
  if (events(wake_at) & POLLIN) wake_.drain();
  return events(input_at) != 0;
}

void FaceLoop::serve_timers() { schedule_.serve(now()); }

}  // namespace kq::platform::linux_host
