#include "kq/platform/linux/stop_signals.hpp"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace kq::platform::linux_host {

namespace {

constexpr std::array stop_signals{SIGINT, SIGTERM, SIGHUP};
int pipe_fds[2] = {-1, -1};
volatile sig_atomic_t stop_requested = 0;
struct sigaction previous[stop_signals.size()];

extern "C" void on_stop_signal(int) {
  int saved = errno;
  stop_requested = 1;
  char byte = 1;
  [[maybe_unused]] auto written = write(pipe_fds[1], &byte, 1);
  errno = saved;
}

}  // namespace

StopSignals::StopSignals() {
  if (pipe2(pipe_fds, O_CLOEXEC | O_NONBLOCK) != 0) pipe_fds[0] = pipe_fds[1] = -1;
  struct sigaction action {};
  action.sa_handler = on_stop_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < stop_signals.size(); ++i)
    sigaction(stop_signals[i], &action, &previous[i]);
}

StopSignals::~StopSignals() {
  for (std::size_t i = 0; i < stop_signals.size(); ++i) sigaction(stop_signals[i], &previous[i], nullptr);
  for (int& fd : pipe_fds) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
}

int StopSignals::fd() const { return pipe_fds[0]; }

bool StopSignals::requested() const { return stop_requested != 0; }

void StopSignals::drain() const {
  char buffer[64];
  while (pipe_fds[0] >= 0 && read(pipe_fds[0], buffer, sizeof buffer) > 0) {
  }
}

}  // namespace kq::platform::linux_host
