#pragma once
// SIGINT, SIGTERM and SIGHUP close the main window normally (its unload
// behaviour writes the settings) instead of killing the process. The handler
// only sets a flag and writes a byte to a pipe that the event loop watches.

namespace kq::platform::linux_host {

class StopSignals {
 public:
  StopSignals();   // installs the handlers
  ~StopSignals();  // restores the previous ones
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  int fd() const;          // readable once a signal has come
  bool requested() const;  // a signal has come (stays true)
  void drain() const;      // empties the pipe
};

}  // namespace kq::platform::linux_host
