#pragma once
// A top-level window built from a design. Behaviours are plain members
// (on_load, on_unload, on_double_click); the backend delivers events through
// the deliver_* calls.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kq/failure.hpp"
#include "kq/platform/controls.hpp"
#include "kq/platform/design.hpp"
#include "kq/platform/platform.hpp"

namespace kq::platform {

enum class Key : std::uint8_t { tab, space, enter, escape };

// A control asked for by a name its window lacks, or as a kind it is not.
class UnknownControl : public Failure {
 public:
  using Failure::Failure;
};

class Window {
 public:
  // Creates every control in its design-time state and the backend's peer.
  // The load behaviour has not run yet.
  Window(Platform& platform, const WindowDesign& design, Window* owner = nullptr);
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  std::string_view name() const { return design_.name; }
  const WindowDesign& design() const { return design_; }
  Platform& platform() const { return platform_; }
  Window* owner() const { return owner_; }
  WindowPeer& peer() const { return *peer_; }
  Handle handle() const { return peer_->handle(); }

  const std::string& caption() const { return caption_; }
  void set_caption(std::string_view caption);  // the peer hears only of real changes

  float left() const { return peer_->placement(Edge::left); }
  float top() const { return peer_->placement(Edge::top); }
  float width() const { return peer_->placement(Edge::width); }
  float height() const { return peer_->placement(Edge::height); }
  void set_left(float twips) { peer_->set_placement(Edge::left, twips); }
  void set_top(float twips) { peer_->set_placement(Edge::top, twips); }
  void set_width(float twips) { peer_->set_placement(Edge::width, twips); }
  void set_height(float twips) { peer_->set_placement(Edge::height, twips); }

  // Controls by design name; throws UnknownControl for an unknown name or kind.
  Control& control(std::string_view name);
  TextField& text_field(std::string_view name);
  Label& label(std::string_view name);
  TickBox& tick_box(std::string_view name);
  PushButton& push_button(std::string_view name);
  Timer& timer(std::string_view name);
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  std::vector<Timer*> timers() const;  // in design order

  // Keyboard focus, by tab index among focusable controls.
  Control* focus() const { return focus_; }
  void set_focus(Control* control);

  // Lifecycle. show(): load, then the window appears. exec(): load, then the
  // window appears modally over its owner and the call returns once it has
  // been unloaded. unload(): the unload behaviour, then the window closes.
  void show();
  void exec();
  void unload();
  bool loaded() const { return state_ == State::shown; }
  bool closed() const { return state_ == State::closed; }
  // False while a modal dialog owned by this window is open, and once closed.
  bool accepts_input() const { return state_ == State::shown && modal_children_ == 0; }

  // Events from the backend.
  void deliver_double_click();  // in the client area
  void deliver_close();         // the title bar's close button
  void deliver_key(Key key);    // focus movement and activation of the focused control

  std::function<void()> on_load;
  std::function<void()> on_unload;
  std::function<void()> on_double_click;

 private:
  enum class State : std::uint8_t { created, shown, closed };
  Platform& platform_;
  const WindowDesign& design_;
  Window* owner_;
  std::string caption_;
  std::vector<std::unique_ptr<Control>> controls_;
  Control* focus_ = nullptr;
  State state_ = State::created;
  int modal_children_ = 0;
  std::unique_ptr<WindowPeer> peer_;
};

}  // namespace kq::platform
