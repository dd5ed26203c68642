#pragma once
// GoogleTest's Notification, for a C++ library without std::mutex (MinGW's
// Windows threads model). GoogleTest uses it only to start the threads of
// its own thread helpers; a flag polled with a short sleep does that.
#include <windows.h>

#include <atomic>

namespace testing::internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify() { notified_ = true; }
  void WaitForNotification() {
    while (!notified_) Sleep(1);
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace testing::internal
