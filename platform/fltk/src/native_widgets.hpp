#pragma once
// The FLTK widgets behind a window and its visible controls. They hold no
// state of their own that matters: every user action goes to the window's
// peer, which hands it to the shared Window and control classes; the peer
// then sets the widgets from the shared state.

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Widget.H>

namespace kq::platform {
class Control;
class Label;
}  // namespace kq::platform

namespace kq::platform::fltk {

class FltkWindowPeer;

// A top-level window. Tab, Space, Enter and Escape go to the shared window
// (focus movement and activation follow the design's tab order, not FLTK's
// own navigation); a double-click in the client area is reported; the close
// button reports a close, Escape closes nothing.
class NativeWindow : public Fl_Double_Window {
 public:
  NativeWindow(FltkWindowPeer& peer, int w, int h);
  int handle(int event) override;
  void place_by_program() { force_position(1); }
  FltkWindowPeer& peer() { return peer_; }

 private:
  int handle_key(int event);
  FltkWindowPeer& peer_;
};

// A label: a box with its caption; a double-click on it runs its behaviour.
class LabelWidget : public Fl_Box {
 public:
  LabelWidget(FltkWindowPeer& peer, Label& label, int x, int y, int w, int h);
  int handle(int event) override;

 private:
  FltkWindowPeer& peer_;
  Label& label_;
};

// Tick box and push button: the click comes from FLTK, the keyboard is left
// to the window (see NativeWindow).
class TickBoxWidget : public Fl_Check_Button {
 public:
  TickBoxWidget(int x, int y, int w, int h);
  int handle(int event) override;
};

class PushButtonWidget : public Fl_Button {
 public:
  PushButtonWidget(int x, int y, int w, int h);
  int handle(int event) override;
};

// A straight line between two points of the client area.
class LineWidget : public Fl_Widget {
 public:
  LineWidget(int x1, int y1, int x2, int y2);
  void draw() override;

 private:
  int x1_, y1_, x2_, y2_;
};

}  // namespace kq::platform::fltk
