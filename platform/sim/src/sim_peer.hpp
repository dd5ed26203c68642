#pragma once
// The simulator's half of one window: placement and the log lines a change
// makes; its timers are in the platform's schedule.

#include <array>
#include <cstdint>
#include <string>

#include "kq/platform/sim/sim_platform.hpp"

namespace kq::platform::sim {

class SimPeer : public WindowPeer {
 public:
  SimPeer(SimPlatform& sim, Window& window, Handle handle, std::string name, bool caption_logged);
  ~SimPeer() override;

  Handle handle() const override { return handle_; }
  float placement(Edge edge) const override;
  void set_placement(Edge edge, float twips) override;
  void caption_changed(std::string_view caption) override;
  void control_changed(Control& control) override;
  void timer_changed(Timer& timer, TimerSetting what) override;
  void focus_changed(Control* control) override;
  void show(bool modal) override;
  void close() override;

  // A drag by the user: no behaviour runs and nothing is logged.
  void move(float left, float top);

  Window& window() const { return window_; }
  const std::string& name() const { return name_; }
  bool open() const { return !closed_; }

 private:
  SimPlatform& sim_;
  Window& window_;
  Handle handle_;
  std::string name_;
  bool caption_logged_;
  std::array<float, 4> placement_{};
  bool closed_ = false;
};

}  // namespace kq::platform::sim
