#include "kq/platform/controls.hpp"

#include <string>

#include "kq/platform/window.hpp"

namespace kq::platform {

bool Control::focusable() const {
  switch (kind()) {
    case ControlKind::text_field:
    case ControlKind::tick_box:
    case ControlKind::push_button:
      return visible() && design_.tab_index >= 0;
    default:
      return false;
  }
}

TextField::TextField(Window& window, const ControlDesign& design)
    : Control(window, design), own_(design.text) {}

void TextField::set_text(std::string_view text) {
  const bool changed = text != store_->text();
  store_->set_text(text);
  if (changed) window().peer().control_changed(*this);
}

void TextField::bind(TextStore& store) {
  const bool changed = store.text() != store_->text();
  store_ = &store;
  if (changed) window().peer().control_changed(*this);
}

Label::Label(Window& window, const ControlDesign& design)
    : Control(window, design), caption_(design.text) {}

void Label::set_caption(std::string_view caption) {
  if (caption == caption_) return;
  caption_.assign(caption);
  window().peer().control_changed(*this);
}

void Label::double_click() {
  if (on_double_click) on_double_click();
}

TickBox::TickBox(Window& window, const ControlDesign& design)
    : Control(window, design), value_(design.value) {}

void TickBox::set_value(int value) {
  if (value < 0 || value > 2)
    throw RefusedValue("tick box " + std::string(name()) + " refuses " + std::to_string(value));
  if (Observer* observer = window().platform().observer()) observer->tick_box_setting(*this, value);
  if (value == value_) return;
  value_ = value;
  window().peer().control_changed(*this);
  run_click();
}

void TickBox::click() {
  value_ = value_ == 1 ? 0 : 1;
  window().peer().control_changed(*this);
  run_click();
}

void TickBox::run_click() {
  if (Observer* observer = window().platform().observer()) observer->click_starting(*this);
  if (on_click) on_click();
}

void PushButton::click() {
  if (Observer* observer = window().platform().observer()) observer->click_starting(*this);
  if (on_click) on_click();
}

Timer::Timer(Window& window, const ControlDesign& design)
    : Control(window, design), interval_(design.interval), enabled_(design.enabled) {}

void Timer::set_interval(int milliseconds) {
  interval_ = milliseconds < 0 ? 0 : milliseconds;
  window().peer().timer_changed(*this, TimerSetting::interval);
}

void Timer::set_enabled(bool on) {
  enabled_ = on;
  window().peer().timer_changed(*this, TimerSetting::enabled);
}

void Timer::tick() {
  if (!running() || in_tick_ || window().closed()) return;
  in_tick_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{in_tick_};
  if (on_tick) on_tick();
}

}  // namespace kq::platform
