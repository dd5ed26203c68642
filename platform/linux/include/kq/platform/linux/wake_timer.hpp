#pragma once
// What wakes a Linux face's loop for its timers: a timer file descriptor on
// the boot clock, the clock the tick count is read from, armed at an absolute
// deadline. It becomes readable once the tick count reaches the deadline,
// also when the machine slept past it, so the caption catches up at once
// after a suspend.

#include <cstdint>
#include <optional>

namespace kq::platform::linux_host {

class WakeTimer {
 public:
  WakeTimer();
  ~WakeTimer();
  WakeTimer(const WakeTimer&) = delete;
  WakeTimer& operator=(const WakeTimer&) = delete;

  // Readable once the deadline has come; -1 where the system has no timer
  // descriptors (the loop then sleeps with poll_timeout()).
  int fd() const { return fd_; }
  // The next deadline in boot-clock milliseconds, or none. The system hears
  // only of a changed deadline.
  void arm(std::optional<std::int64_t> due);
  // The poll timeout that goes with fd(): -1 (wait for the descriptor or
  // for nothing), or the milliseconds to the deadline without a descriptor.
  int poll_timeout() const;
  // After the descriptor was readable.
  void drain();

 private:
  int fd_ = -1;
  std::optional<std::int64_t> armed_;
};

}  // namespace kq::platform::linux_host
