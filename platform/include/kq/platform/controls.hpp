#pragma once
// The controls of a window. State lives here, shared by every backend; the
// backend is told of each change through the window's peer and delivers user
// input by calling click()/tick().

#include <functional>
#include <string>
#include <string_view>

#include "kq/failure.hpp"
#include "kq/platform/design.hpp"

namespace kq::platform {

class Window;

// A value a tick box does not take (anything but 0, 1 and 2).
class RefusedValue : public Failure {
 public:
  using Failure::Failure;
};

class Control {
 public:
  Control(Window& window, const ControlDesign& design) : window_(window), design_(design) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  std::string_view name() const { return design_.name; }
  ControlKind kind() const { return design_.kind; }
  const ControlDesign& design() const { return design_; }
  Window& window() const { return window_; }
  bool visible() const { return design_.visible; }
  // Can hold the keyboard focus: visible, in the tab order, takes input.
  bool focusable() const;

 private:
  Window& window_;
  const ControlDesign& design_;
};

// Where a text field keeps its text when another part of the program owns
// that text: the field then reads and writes it there and holds none itself.
class TextStore {
 public:
  virtual const std::string& text() const = 0;
  virtual void set_text(std::string_view text) = 0;

 protected:
  ~TextStore() = default;
};

class TextField : public Control {
 public:
  TextField(Window& window, const ControlDesign& design);
  const std::string& text() const { return store_->text(); }
  // The peer hears only of a real change; the store is told of every set.
  void set_text(std::string_view text);
  // From now on the field's text is the store's, which must outlive the
  // field's use. Text the owner writes straight into the store reaches no
  // peer, which suits a field nobody sees.
  void bind(TextStore& store);

 private:
  class OwnText final : public TextStore {
   public:
    explicit OwnText(std::string_view text) : text_(text) {}
    const std::string& text() const override { return text_; }
    void set_text(std::string_view text) override { text_.assign(text); }

   private:
    std::string text_;
  };
  OwnText own_;
  TextStore* store_ = &own_;
};

class Label : public Control {
 public:
  Label(Window& window, const ControlDesign& design);
  const std::string& caption() const { return caption_; }
  void set_caption(std::string_view caption);  // the same text again changes nothing
  void double_click();                         // user input

  std::function<void()> on_double_click;

 private:
  std::string caption_;
};

class TickBox : public Control {
 public:
  TickBox(Window& window, const ControlDesign& design);
  int value() const { return value_; }
  // From a behaviour: refuses anything but 0, 1, 2 (RefusedValue); a change of
  // value runs on_click before this returns; the same value runs nothing.
  void set_value(int value);
  // A user's click: 1 becomes 0, anything else 1; runs on_click.
  void click();

  std::function<void()> on_click;

 private:
  void run_click();
  int value_;
};

class PushButton : public Control {
 public:
  using Control::Control;
  void click();  // user input
  std::function<void()> on_click;
};

class Line : public Control {
 public:
  using Control::Control;
};

class Timer : public Control {
 public:
  Timer(Window& window, const ControlDesign& design);
  int interval() const { return interval_; }
  bool enabled() const { return enabled_; }
  // Ticks only while enabled with a non-zero interval.
  bool running() const { return enabled_ && interval_ > 0; }
  void set_interval(int milliseconds);
  void set_enabled(bool on);
  // The backend delivers a tick; ignored when not running or already inside
  // on_tick (a tick behaviour is never re-entered).
  void tick();

  std::function<void()> on_tick;

 private:
  int interval_;
  bool enabled_;
  bool in_tick_ = false;
};

}  // namespace kq::platform
