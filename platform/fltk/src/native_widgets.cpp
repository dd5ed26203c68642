#include "native_widgets.hpp"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cstdlib>

#include "kq/platform/linux/behaviour.hpp"
#include "kq/platform/window.hpp"
#include "window_peer.hpp"

namespace kq::platform::fltk {

namespace {

void on_window_callback(Fl_Widget* widget, void*) {
  // FLTK closes a window on Escape by this callback; Escape closes nothing here.
  if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
  static_cast<NativeWindow*>(widget)->peer().user_close();
}

bool plain_key() { return (Fl::event_state() & (FL_SHIFT | FL_CTRL | FL_ALT | FL_META)) == 0; }

}  // namespace

NativeWindow::NativeWindow(FltkWindowPeer& peer, int w, int h) : Fl_Double_Window(w, h), peer_(peer) {
  callback(on_window_callback);
  end();
}

int NativeWindow::handle(int event) {
  switch (event) {
    case FL_KEYBOARD:
    case FL_KEYUP:
    case FL_SHORTCUT:
      if (int used = handle_key(event)) return used;
      break;
    case FL_FOCUS:
      // The window takes the focus: the focused control is the shared one.
      if (Fl_Widget* widget = peer_.focus_widget()) {
        Fl::focus(widget);
        widget->redraw();
        return 1;
      }
      break;
    case FL_PUSH:
      if (Fl_Double_Window::handle(event)) return 1;  // a control took it
      if (Fl::event_button() == FL_LEFT_MOUSE && Fl::event_clicks() > 0) {
        Fl::event_clicks(0);  // a third click starts a new pair
        peer_.user_double_click();
      }
      return 1;
    default:
      break;
  }
  return Fl_Double_Window::handle(event);
}

int NativeWindow::handle_key(int event) {
  switch (Fl::event_key()) {
    case FL_Tab:
      if (event == FL_KEYBOARD && plain_key()) peer_.user_key(Key::tab);
      return 1;  // Shift+Tab and FLTK's own navigation move nowhere
    case ' ':
      // Windows activates on the release of Space; key repeat does not click again.
      if (event == FL_KEYUP && plain_key()) peer_.user_key(Key::space);
      return 1;
    case FL_Enter:
    case FL_KP_Enter:
      if (event == FL_KEYBOARD) peer_.user_key(Key::enter);
      return 1;
    case FL_Escape:
      if (event == FL_KEYBOARD) peer_.user_key(Key::escape);
      return 1;
    case FL_Left:
    case FL_Right:
    case FL_Up:
    case FL_Down:
      return 1;
    default:
      return 0;
  }
}

LabelWidget::LabelWidget(FltkWindowPeer& peer, Label& label, int x, int y, int w, int h)
    : Fl_Box(x, y, w, h), peer_(peer), label_(label) {}

int LabelWidget::handle(int event) {
  if (event != FL_PUSH) return Fl_Box::handle(event);
  if (Fl::event_button() == FL_LEFT_MOUSE && Fl::event_clicks() > 0 && peer_.window().accepts_input()) {
    Fl::event_clicks(0);
    linux_host::run_behaviour([this] { label_.double_click(); });
  }
  return 1;  // a label takes its own clicks; the window's double-click is not for it
}

TickBoxWidget::TickBoxWidget(int x, int y, int w, int h) : Fl_Check_Button(x, y, w, h) {}

int TickBoxWidget::handle(int event) {
  if (event == FL_KEYBOARD || event == FL_KEYUP || event == FL_SHORTCUT) return 0;
  return Fl_Check_Button::handle(event);
}

PushButtonWidget::PushButtonWidget(int x, int y, int w, int h) : Fl_Button(x, y, w, h) {}

int PushButtonWidget::handle(int event) {
  if (event == FL_KEYBOARD || event == FL_KEYUP || event == FL_SHORTCUT) return 0;
  return Fl_Button::handle(event);
}

LineWidget::LineWidget(int x1, int y1, int x2, int y2)
    : Fl_Widget(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + 1, std::abs(y2 - y1) + 1),
      x1_(x1), y1_(y1), x2_(x2), y2_(y2) {}

void LineWidget::draw() {
  fl_color(FL_FOREGROUND_COLOR);
  fl_line_style(FL_SOLID, 1);
  fl_line(x1_, y1_, x2_, y2_);
}

}  // namespace kq::platform::fltk
