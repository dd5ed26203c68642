#include "kq/platform/window.hpp"

#include <algorithm>
#include <iterator>
#include <string>

namespace kq::platform {

namespace {

std::unique_ptr<Control> make_control(Window& window, const ControlDesign& design) {
  switch (design.kind) {
    case ControlKind::text_field: return std::make_unique<TextField>(window, design);
    case ControlKind::label: return std::make_unique<Label>(window, design);
    case ControlKind::tick_box: return std::make_unique<TickBox>(window, design);
    case ControlKind::push_button: return std::make_unique<PushButton>(window, design);
    case ControlKind::line: return std::make_unique<Line>(window, design);
    case ControlKind::timer: return std::make_unique<Timer>(window, design);
  }
  throw Failure("unknown control kind");
}

template <class T>
T& as(Control& control) {
  if (auto* typed = dynamic_cast<T*>(&control)) return *typed;
  throw UnknownControl("control " + std::string(control.name()) + " is of another kind");
}

}  // namespace

Window::Window(Platform& platform, const WindowDesign& design, Window* owner)
    : platform_(platform), design_(design), owner_(owner), caption_(design.caption) {
  controls_.reserve(design.controls.size());
  for (const auto& control : design.controls) controls_.push_back(make_control(*this, control));
  peer_ = platform_.create_peer(*this, owner_);
}

Window::~Window() = default;

void Window::set_caption(std::string_view caption) {
  if (caption == caption_) return;
  caption_.assign(caption);
  peer_->caption_changed(caption_);
}

Control& Window::control(std::string_view name) {
  for (auto& control : controls_)
    if (control->name() == name) return *control;
  throw UnknownControl("no control " + std::string(name) + " in " + std::string(this->name()));
}

TextField& Window::text_field(std::string_view name) { return as<TextField>(control(name)); }
Label& Window::label(std::string_view name) { return as<Label>(control(name)); }
TickBox& Window::tick_box(std::string_view name) { return as<TickBox>(control(name)); }
PushButton& Window::push_button(std::string_view name) { return as<PushButton>(control(name)); }
Timer& Window::timer(std::string_view name) { return as<Timer>(control(name)); }

std::vector<Timer*> Window::timers() const {
  std::vector<Timer*> result;
  for (const auto& control : controls_)
    if (auto* timer = dynamic_cast<Timer*>(control.get())) result.push_back(timer);
  return result;
}

void Window::set_focus(Control* control) {
  if (control == focus_) return;
  focus_ = control;
  peer_->focus_changed(focus_);
}

namespace {

// Focusable controls in tab order.
std::vector<Control*> tab_order(const std::vector<std::unique_ptr<Control>>& controls) {
  std::vector<Control*> order;
  for (const auto& control : controls)
    if (control->focusable()) order.push_back(control.get());
  std::stable_sort(order.begin(), order.end(), [](Control* a, Control* b) {
    return a->design().tab_index < b->design().tab_index;
  });
  return order;
}

}  // namespace

void Window::show() {
  if (on_load) on_load();
  state_ = State::shown;
  auto order = tab_order(controls_);
  if (!order.empty() && focus_ == nullptr) set_focus(order.front());
  peer_->show(false);
}

void Window::exec() {
  if (on_load) on_load();
  state_ = State::shown;
  auto order = tab_order(controls_);
  if (!order.empty() && focus_ == nullptr) set_focus(order.front());
  if (owner_ != nullptr) ++owner_->modal_children_;
  struct Release {
    Window* owner;
    ~Release() {
      if (owner != nullptr) --owner->modal_children_;
    }
  } release{owner_};
  peer_->show(true);
  if (owner_ != nullptr)
    platform_.run_modal(*this, *owner_);
  else
    platform_.run(*this);
}

void Window::unload() {
  if (state_ == State::closed) return;
  state_ = State::closed;  // a second close while unloading changes nothing
  if (on_unload) on_unload();
  peer_->close();
}

void Window::deliver_double_click() {
  if (!accepts_input()) return;
  if (on_double_click) on_double_click();
}

void Window::deliver_close() {
  if (!accepts_input()) return;
  unload();
}

void Window::deliver_key(Key key) {
  if (!accepts_input()) return;
  auto order = tab_order(controls_);
  switch (key) {
    case Key::tab: {
      if (order.empty()) return;
      auto it = std::find(order.begin(), order.end(), focus_);
      set_focus(it == order.end() || std::next(it) == order.end() ? order.front() : *std::next(it));
      return;
    }
    case Key::space:
      if (auto* box = dynamic_cast<TickBox*>(focus_)) box->click();
      else if (auto* button = dynamic_cast<PushButton*>(focus_)) button->click();
      return;
    case Key::enter:
      if (auto* button = dynamic_cast<PushButton*>(focus_)) button->click();
      return;
    case Key::escape:
      return;  // no control is the cancel button
  }
}

}  // namespace kq::platform
