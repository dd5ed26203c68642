#include "sim_peer.hpp"

#include <string>
#include <utility>

#include "kq/settings/values.hpp"

namespace kq::platform::sim {

namespace {

std::string_view edge_name(Edge edge) {
  switch (edge) {
    case Edge::left: return "Left";
    case Edge::top: return "Top";
    case Edge::width: return "Width";
    case Edge::height: return "Height";
  }
  return "?";
}

}  // namespace

SimPeer::SimPeer(SimPlatform& sim, Window& window, Handle handle, std::string name, bool caption_logged)
    : sim_(sim), window_(window), handle_(handle), name_(std::move(name)), caption_logged_(caption_logged) {
  // The window's controls exist already; timers running by design are armed
  // from the moment of creation.
  sim_.schedule_.add(window, static_cast<std::int64_t>(sim_.now()));
}

SimPeer::~SimPeer() { sim_.peer_destroyed(this); }

float SimPeer::placement(Edge edge) const { return placement_[static_cast<std::size_t>(edge)]; }

void SimPeer::set_placement(Edge edge, float twips) {
  sim_.log("set " + name_ + "." + std::string(edge_name(edge)) + " " + settings::placement_text(twips));
  placement_[static_cast<std::size_t>(edge)] = twips;
}

void SimPeer::move(float left, float top) {
  placement_[static_cast<std::size_t>(Edge::left)] = left;
  placement_[static_cast<std::size_t>(Edge::top)] = top;
}

void SimPeer::caption_changed(std::string_view caption) {
  if (caption_logged_) sim_.log("caption " + std::string(caption));
}

void SimPeer::control_changed(Control&) {}

void SimPeer::timer_changed(Timer& timer, TimerSetting what) {
  if (what == TimerSetting::interval)
    sim_.log("timer " + std::string(timer.name()) + " interval " + std::to_string(timer.interval()));
  else
    sim_.log("timer " + std::string(timer.name()) + (timer.enabled() ? " on" : " off"));
  // Every setting starts the period afresh, as the system's timer call does.
  sim_.schedule_.changed(timer, what, static_cast<std::int64_t>(sim_.now()));
}

void SimPeer::focus_changed(Control*) {}

void SimPeer::show(bool) { sim_.log("shown " + name_); }

void SimPeer::close() {
  closed_ = true;
  sim_.schedule_.remove(window_);
  sim_.log("closed " + name_);
}

}  // namespace kq::platform::sim
