#include "window_peer.hpp"

#include <FL/Fl.H>
#include <FL/Fl_Output.H>
#include <FL/x.H>

#include <algorithm>

#include "fltk_platform.hpp"
#include "kq/platform/linux/behaviour.hpp"
#include "native_widgets.hpp"

namespace kq::platform::fltk {

using linux_host::run_behaviour;

namespace {

// FLTK reads "@" as the start of a symbol; "@@" draws one "@".
std::string fltk_label_text(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    escaped += c;
    if (c == '@') escaped += '@';
  }
  return escaped;
}

Fl_Color fltk_colour(Rgb rgb) { return fl_rgb_color(rgb.red, rgb.green, rgb.blue); }

// The window manager shows this for the window while iconic; the window is never iconic.
constexpr const char* icon_name = "KQ-DADEDED";

}  // namespace

FltkWindowPeer::FltkWindowPeer(FltkPlatform& platform, Window& window, Window* owner)
    : platform_(platform), window_(window), owner_(owner), caption_(window.caption()) {
  const double dpi = platform_.dpi();
  frame_ = platform_.frame_guess();
  const auto& design = window_.design();
  Rect client{0, 0, twips_to_pixels(design.client_width, dpi), twips_to_pixels(design.client_height, dpi)};
  outer_ = outer_rect(client, frame_);
  outer_.x = outer_.y = 0;
  native_ = std::make_unique<NativeWindow>(*this, std::max(1, client.w), std::max(1, client.h));
  native_->xclass("kq-rez-v1");
  build_widgets();
  platform_.peer_created(*this);
  platform_.add_timers(window_);
}

FltkWindowPeer::~FltkWindowPeer() {
  platform_.forget_timers(window_);
  platform_.peer_destroyed(*this);
  native_.reset();
}

void FltkWindowPeer::build_widgets() {
  const double dpi = platform_.dpi();
  auto px = [dpi](float twips) { return twips_to_pixels(twips, dpi); };

  // FLTK's own focus order follows the order of children; add the focusable
  // ones by tab index so that both agree.
  std::vector<Control*> order;
  for (const auto& control : window_.controls())
    if (control->visible()) order.push_back(control.get());
  std::stable_sort(order.begin(), order.end(), [](Control* a, Control* b) {
    return a->design().tab_index < b->design().tab_index;
  });

  native_->begin();
  for (Control* control : order) {
    const auto& d = control->design();
    Fl_Widget* widget = nullptr;
    switch (control->kind()) {
      case ControlKind::label: {
        auto* box = new LabelWidget(*this, static_cast<Label&>(*control), px(d.left), px(d.top),
                                    px(d.width), px(d.height));
        if (d.back_colour) {
          box->box(FL_FLAT_BOX);
          box->color(fltk_colour(*d.back_colour));
        }
        if (d.text_colour) box->labelcolor(fltk_colour(*d.text_colour));
        if (d.font) {
          box->labelfont(platform_.font_for(*d.font));
          box->labelsize(platform_.points_to_pixels(d.font->points));
        }
        // Labels keep their box whatever their text, text at the top as on Windows.
        box->align(FL_ALIGN_INSIDE | FL_ALIGN_TOP | FL_ALIGN_CLIP | (d.centred ? 0 : FL_ALIGN_LEFT));
        widget = box;
        break;
      }
      case ControlKind::tick_box:
        widget = new TickBoxWidget(px(d.left), px(d.top), px(d.width), px(d.height));
        break;
      case ControlKind::push_button:
        widget = new PushButtonWidget(px(d.left), px(d.top), px(d.width), px(d.height));
        break;
      case ControlKind::text_field: {
        auto* field = new Fl_Output(px(d.left), px(d.top), px(d.width), px(d.height));
        widget = field;
        break;
      }
      case ControlKind::line:
        widget = new LineWidget(px(d.left), px(d.top), px(d.width), px(d.height));
        break;
      case ControlKind::timer:
        break;
    }
    if (widget == nullptr) continue;
    if (control->kind() == ControlKind::tick_box || control->kind() == ControlKind::push_button) {
      widget->callback(
          [](Fl_Widget* w, void* data) {
            static_cast<NativeWindow*>(w->window())->peer().user_clicked(*static_cast<Control*>(data));
          },
          control);
      widget->when(FL_WHEN_RELEASE);
    }
    widgets_.emplace_back(control, widget);
    sync_widget(*control);
  }
  native_->end();
}

Fl_Widget* FltkWindowPeer::widget_for(const Control* control) const {
  for (const auto& [c, widget] : widgets_)
    if (c == control) return widget;
  return nullptr;
}

Fl_Widget* FltkWindowPeer::focus_widget() const { return widget_for(window_.focus()); }

void FltkWindowPeer::sync_widget(Control& control) {
  Fl_Widget* widget = widget_for(&control);
  if (widget == nullptr) return;
  switch (control.kind()) {
    case ControlKind::label:
      widget->copy_label(fltk_label_text(static_cast<Label&>(control).caption()).c_str());
      break;
    case ControlKind::tick_box: {
      auto& box = static_cast<TickBox&>(control);
      auto* button = static_cast<Fl_Button*>(widget);
      if (widget->label() == nullptr) widget->copy_label(fltk_label_text(control.design().text).c_str());
      button->value(box.value() != 0);
      // The greyed value 2 shows as a grey tick.
      button->selection_color(box.value() == 2 ? FL_INACTIVE_COLOR : FL_FOREGROUND_COLOR);
      widget->redraw();
      break;
    }
    case ControlKind::push_button:
      if (widget->label() == nullptr) widget->copy_label(fltk_label_text(control.design().text).c_str());
      break;
    case ControlKind::text_field:
      static_cast<Fl_Output*>(widget)->value(static_cast<TextField&>(control).text().c_str());
      break;
    default:
      break;
  }
}

Handle FltkWindowPeer::handle() const { return static_cast<Handle>(xid()); }

::Window FltkWindowPeer::xid() const { return native_->shown() ? fl_xid(native_.get()) : 0; }

namespace {

int edge_of(const Rect& outer, Edge edge) {
  switch (edge) {
    case Edge::left: return outer.x;
    case Edge::top: return outer.y;
    case Edge::width: return outer.w;
    case Edge::height: return outer.h;
  }
  return 0;
}

}  // namespace

float FltkWindowPeer::placement(Edge edge) const {
  Rect outer = outer_;
  if (shown_ && native_->shown())
    outer = outer_rect({native_->x(), native_->y(), native_->w(), native_->h()}, frame_);
  return kept_.read(edge, edge_of(outer, edge), platform_.dpi());
}

void FltkWindowPeer::set_placement(Edge edge, float twips) {
  if (shown_ && native_->shown())  // start from where the user has put it
    outer_ = outer_rect({native_->x(), native_->y(), native_->w(), native_->h()}, frame_);
  int pixels = twips_to_pixels(twips, platform_.dpi());
  switch (edge) {
    case Edge::left: outer_.x = pixels; break;
    case Edge::top: outer_.y = pixels; break;
    case Edge::width: outer_.w = pixels; break;
    case Edge::height: outer_.h = pixels; break;
  }
  kept_.set(edge, pixels, twips);
  if (shown_) apply_outer();
}

void FltkWindowPeer::apply_outer() {
  Rect client = client_rect(outer_, frame_);
  // The size limits first: a window manager keeps a window inside them.
  native_->size_range(client.w, client.h, client.w, client.h);
  native_->resize(client.x, client.y, client.w, client.h);
  native_->place_by_program();
  // FLTK rewrites the Motif hints with every size_range on a shown window.
  if (native_->shown()) platform_.x11().set_fixed_frame_without_min_max(xid());
}

void FltkWindowPeer::caption_changed(std::string_view caption) {
  caption_.assign(caption);
  // Before the window exists FLTK takes the label; after, only the two names
  // window managers read are set, once per change.
  if (shown_ && native_->shown())
    platform_.x11().set_title(xid(), caption_);
  else
    native_->copy_label(caption_.c_str());
}

void FltkWindowPeer::control_changed(Control& control) { sync_widget(control); }

void FltkWindowPeer::timer_changed(Timer& timer, TimerSetting what) { platform_.timer_changed(timer, what); }

void FltkWindowPeer::focus_changed(Control* control) {
  if (!shown_) return;
  if (Fl_Widget* widget = widget_for(control)) {
    Fl_Widget* before = Fl::focus();
    Fl::focus(widget);
    if (before != nullptr) before->redraw();
    widget->redraw();
  }
}

void FltkWindowPeer::show(bool modal) {
  frame_ = platform_.frame_guess();
  auto screens = platform_.screens();
  outer_ = bring_title_bar_on_screen(outer_, frame_.top, screens);
  Rect client = client_rect(outer_, frame_);
  native_->size_range(client.w, client.h, client.w, client.h);
  native_->resize(client.x, client.y, client.w, client.h);
  native_->place_by_program();
  native_->copy_label(caption_.c_str());
  native_->iconlabel(icon_name);
  platform_.apply_icons(*native_);
  if (modal) native_->set_modal();
  shown_ = true;

  native_->show();
  // FLTK has just mapped the window. These requests leave in the same batch,
  // before the window manager can look at the window; should it have
  // already, it reads property changes too, and the state comes as a client
  // message.
  mark_window_manager_hints();

  if (Fl_Widget* widget = focus_widget()) Fl::focus(widget);
}

void FltkWindowPeer::mark_window_manager_hints() {
  ::Window id = xid();
  auto& x11 = platform_.x11();
  x11.set_fixed_frame_without_min_max(id);
  if (!window_.design().taskbar_entry) x11.set_skip_taskbar(id);
  if (owner_ != nullptr) {
    auto* owner_peer = dynamic_cast<FltkWindowPeer*>(&owner_->peer());
    if (owner_peer != nullptr && owner_peer->xid() != 0) x11.set_transient_for(id, owner_peer->xid());
  }
}

void FltkWindowPeer::frame_extents_changed() {
  auto frame = platform_.x11().frame_extents(xid());
  if (!frame) return;
  platform_.frame_seen(*frame);
  bool first = !frame_from_manager_;
  frame_from_manager_ = true;
  if (*frame == frame_) return;
  // The first time, keep the outer frame where it was asked for: the client
  // area moves and shrinks or grows by the difference. Later (a new theme),
  // the client area stays and the frame grows around it.
  if (!first) outer_ = outer_rect({native_->x(), native_->y(), native_->w(), native_->h()}, *frame);
  frame_ = *frame;
  apply_outer();
}

// A window without a minimise button is never iconic by design, and with no
// taskbar entry nothing would bring it back: a window manager that iconifies
// it anyway (some always offer the button) sees it return at once, without
// the focus, so that the window the user works in keeps it.
void FltkWindowPeer::window_state_changed() {
  if (!shown_ || window_.design().minimise_button) return;
  auto& x11 = platform_.x11();
  if (x11.is_iconic(xid())) x11.map_without_focus(xid());
}

void FltkWindowPeer::close() {
  platform_.forget_timers(window_);
  shown_ = false;
  native_->hide();
}

void FltkWindowPeer::user_double_click() {
  // Runs after FLTK has finished with the click: the behaviour may open a
  // modal dialog with its own loop.
  platform_.defer_double_click(*this);
}

void FltkWindowPeer::run_double_click() {
  run_behaviour([this] { window_.deliver_double_click(); });
}

void FltkWindowPeer::user_clicked(Control& control) {
  if (!window_.accepts_input()) {
    sync_widget(control);  // undo what FLTK drew
    return;
  }
  run_behaviour([&] {
    window_.set_focus(&control);
    if (auto* box = dynamic_cast<TickBox*>(&control))
      box->click();
    else if (auto* button = dynamic_cast<PushButton*>(&control))
      button->click();
  });
}

void FltkWindowPeer::user_key(Key key) {
  run_behaviour([&] { window_.deliver_key(key); });
}

void FltkWindowPeer::user_close() {
  run_behaviour([&] { window_.deliver_close(); });
}

}  // namespace kq::platform::fltk
