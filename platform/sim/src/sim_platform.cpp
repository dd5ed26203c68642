#include "kq/platform/sim/sim_platform.hpp"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "kq/platform/behaviour.hpp"
#include "sim_peer.hpp"

namespace kq::platform::sim {

namespace {

bool has_click_behaviour(const Control& control) {
  if (auto* box = dynamic_cast<const TickBox*>(&control)) return static_cast<bool>(box->on_click);
  if (auto* button = dynamic_cast<const PushButton*>(&control)) return static_cast<bool>(button->on_click);
  return false;
}

const std::string& name_of(const Control& control) {
  return static_cast<const SimPeer&>(control.window().peer()).name();
}

}  // namespace

SimPlatform::SimPlatform() {
  schedule_.set_delivery([this](Timer& timer) { deliver([&] { timer.tick(); }); });
  set_observer(this);
}

void SimPlatform::name_window(std::string_view design_name, std::string name, Caption caption) {
  namings_.insert_or_assign(std::string(design_name), Naming{std::move(name), caption});
}

SimPlatform::Naming SimPlatform::naming(std::string_view design_name) const {
  auto found = namings_.find(design_name);
  if (found != namings_.end()) return found->second;
  return {std::string(design_name), Caption::not_logged};
}

void SimPlatform::tick_box_setting(TickBox& box, int value) {
  log("set " + name_of(box) + "." + std::string(box.name()) + " " + std::to_string(value));
}

void SimPlatform::click_starting(Control& control) {
  // A tick box without a click behaviour (the main window's option boxes)
  // starts nothing worth a line.
  if (has_click_behaviour(control)) log("click " + name_of(control) + "." + std::string(control.name()));
}

SimPlatform::~SimPlatform() = default;

std::unique_ptr<WindowPeer> SimPlatform::create_peer(Window& window, Window* owner) {
  const Handle handle = 0x00010000u | (next_serial_++ << 4);
  auto [name, caption] = naming(window.name());
  auto peer = std::make_unique<SimPeer>(*this, window, handle, std::move(name), caption == Caption::logged);
  peers_.push_back(peer.get());
  if (owner != nullptr) log("open " + peer->name());
  return peer;
}

void SimPlatform::peer_destroyed(SimPeer* peer) {
  schedule_.remove(peer->window());
  peers_.erase(std::remove(peers_.begin(), peers_.end(), peer), peers_.end());
}

void SimPlatform::log(std::string_view line) const {
  if (events_) events_(line);
}

template <class F>
void SimPlatform::deliver(F&& event) {
  if (!run_behaviour(event, &failures_)) ++failure_count_;
}

bool SimPlatform::pull_step() {
  if (driver_finished_ || !driver_) {
    driver_finished_ = true;
    return false;
  }
  bool more = true;
  deliver([&] { more = driver_(); });
  if (!more) driver_finished_ = true;
  return more;
}

void SimPlatform::run(Window& main) {
  while (!main.closed())
    if (!pull_step()) return;
}

void SimPlatform::run_modal(Window& dialog, Window&) {
  // The owner's timers keep ticking: advance() serves every open window.
  while (!dialog.closed())
    if (!pull_step()) return;
}

std::uint64_t SimPlatform::tick_count() { return tick_base_ + (now_ - tick_time_); }

void SimPlatform::set_tick_count(std::uint64_t count) {
  tick_base_ = count;
  tick_time_ = now_;
}

void SimPlatform::advance(std::uint64_t milliseconds) {
  const std::uint64_t target = now_ + milliseconds;
  for (;;) {
    auto next = schedule_.next_due();
    if (!next || static_cast<std::uint64_t>(*next) > target) break;
    now_ = std::max(now_, static_cast<std::uint64_t>(*next));
    schedule_.serve(*next);
  }
  // A tick that ran a nested loop may already have moved the clock further.
  now_ = std::max(now_, target);
}

Handle SimPlatform::foreground_window() {
  Handle result = no_window;
  if (foreground_.empty()) {
    auto oldest = std::find_if(peers_.begin(), peers_.end(), [](SimPeer* peer) { return peer->open(); });
    if (oldest != peers_.end()) result = (*oldest)->handle();
  } else if (foreground_ == "other") {
    result = other_window;
  } else if (foreground_ != "none") {
    if (Window* front = window(foreground_)) result = front->handle();
  }
  log("GetForegroundWindow -> " + handle_name(result));
  return result;
}

void SimPlatform::set_window_pos(Handle window, Stacking insert_after, std::uint32_t flags) {
  const bool top = insert_after == Stacking::topmost;
  log("SetWindowPos " + handle_name(window) + (top ? " TOPMOST " : " NOTOPMOST ") +
      std::to_string(flags));
  if (window != no_window) topmost_[window] = top;
}

bool SimPlatform::topmost(Handle window) const {
  auto found = topmost_.find(window);
  return found != topmost_.end() && found->second;
}

std::string SimPlatform::handle_name(Handle window) const {
  if (window == no_window) return "none";
  if (window == other_window) return "other";
  for (SimPeer* peer : peers_)
    if (peer->handle() == window) return peer->name();
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(window));
  return text;
}

Window* SimPlatform::window(std::string_view name) const {
  for (auto it = peers_.rbegin(); it != peers_.rend(); ++it)
    if ((*it)->open() && (*it)->name() == name) return &(*it)->window();
  return nullptr;
}

Control* SimPlatform::input_control(std::string_view window_name, std::string_view name) const {
  Window* target = window(window_name);
  if (target == nullptr || !target->accepts_input()) return nullptr;
  for (const auto& control : target->controls())
    if (control->name() == name) return control->visible() ? control.get() : nullptr;
  return nullptr;
}

bool SimPlatform::double_click(std::string_view window_name) {
  Window* target = window(window_name);
  if (target == nullptr || !target->accepts_input()) return false;
  deliver([&] { target->deliver_double_click(); });
  return true;
}

bool SimPlatform::double_click(std::string_view window_name, std::string_view label) {
  auto* target = dynamic_cast<Label*>(input_control(window_name, label));
  if (target == nullptr) return false;
  deliver([&] { target->double_click(); });
  return true;
}

bool SimPlatform::click(std::string_view window_name, std::string_view name) {
  Control* target = input_control(window_name, name);
  if (auto* box = dynamic_cast<TickBox*>(target)) {
    deliver([&] { box->click(); });
    return true;
  }
  if (auto* button = dynamic_cast<PushButton*>(target)) {
    deliver([&] { button->click(); });
    return true;
  }
  return false;
}

bool SimPlatform::key(std::string_view window_name, Key pressed) {
  Window* target = window(window_name);
  if (target == nullptr || !target->accepts_input()) return false;
  deliver([&] { target->deliver_key(pressed); });
  return true;
}

bool SimPlatform::close(std::string_view window_name) {
  Window* target = window(window_name);
  if (target == nullptr || !target->accepts_input()) return false;
  deliver([&] { target->deliver_close(); });
  return true;
}

bool SimPlatform::move(std::string_view window_name, float left, float top) {
  Window* target = window(window_name);
  if (target == nullptr || !target->accepts_input()) return false;
  static_cast<SimPeer&>(target->peer()).move(left, top);
  return true;
}

std::function<bool()> drive_steps(std::deque<Step>& steps) {
  return [&steps] {
    if (steps.empty()) return false;
    auto step = std::move(steps.front());
    steps.pop_front();
    step();
    return true;
  };
}

}  // namespace kq::platform::sim
