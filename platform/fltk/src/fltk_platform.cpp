#include "fltk_platform.hpp"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <algorithm>
#include <cmath>
#include <utility>

#include "kq/platform/fltk/fltk_platform.hpp"
#include "kq/platform/linux/behaviour.hpp"
#include "kq/platform/program_icon.hpp"
#include "kq/platform/window.hpp"
#include "window_peer.hpp"

namespace kq::platform::fltk {

namespace {

// The desktop's own text size at 96 DPI (FLTK's default), for the controls
// that set no font of their own.
constexpr int design_text_pixels = 14;

// One icon image as RGB pixels, each pixel of the design `scale` pixels wide.
std::unique_ptr<Fl_RGB_Image> icon_image(const IconImage& image, int scale) {
  const int size = image.size * scale;
  auto* pixels = new uchar[static_cast<std::size_t>(size * size * 3)];
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      auto rgb = icon_pixel(image, x / scale, y / scale);
      std::copy(rgb.begin(), rgb.end(), pixels + static_cast<std::size_t>((y * size + x) * 3));
    }
  auto icon = std::make_unique<Fl_RGB_Image>(pixels, size, size, 3);
  icon->alloc_array = 1;  // the image frees its pixels
  return icon;
}

}  // namespace

FltkPlatform::FltkPlatform(Display* display)
    : x11_(display), dpi_(x11_.dpi()), frame_guess_(x11_.probe_frame_extents().value_or(design_frame(dpi_))) {
  // Widgets take their text size when they are made: scale it before any is.
  FL_NORMAL_SIZE = static_cast<Fl_Fontsize>(std::lround(design_text_pixels * dpi_ / 96.0));
  // The two design images, and on a high-DPI screen the same two in whole
  // multiples of their pixels, so the window manager need not blur them.
  const int scale = static_cast<int>(std::lround(dpi_ / 96.0));
  for (const auto& image : program_icon) icons_.push_back(icon_image(image, 1));
  if (scale > 1)
    for (const auto& image : program_icon) icons_.push_back(icon_image(image, scale));
  Fl::add_system_handler(&FltkPlatform::on_x_event, this);
}

FltkPlatform::~FltkPlatform() { Fl::remove_system_handler(&FltkPlatform::on_x_event); }

std::unique_ptr<WindowPeer> FltkPlatform::create_peer(Window& window, Window* owner) {
  return std::make_unique<FltkWindowPeer>(*this, window, owner);
}

// The loop sleeps in one poll on the X connection, the stop signals and the
// timers' wake-up, which comes once a second. FLTK runs only when X has
// something for it, so a wake-up that only serves timers costs the poll, one
// clock reading, the ticks and the re-arming of the wake-up.
void FltkPlatform::wait_once() {
  Display* display = fl_display;
  // The queue length as a field read (QLength), not a library call: this
  // runs on every wake-up.
  if (QLength(display) > 0 || deferred_double_click_ != nullptr) {
    let_fltk_work();  // events already read, by a round trip of our own
    serve_timers();
    return;
  }
  if (loop_.sleep(ConnectionNumber(display))) let_fltk_work();
  serve_timers();
}

void FltkPlatform::serve_timers() {
  Display* display = fl_display;
  loop_.serve_timers();
  if (Fl::damage()) Fl::flush();
  if (x11_.take_unsent()) XFlush(display);
}

void FltkPlatform::let_fltk_work() {
  Fl::wait(0.0);  // reads and handles events, redraws, flushes
  if (auto* peer = std::exchange(deferred_double_click_, nullptr)) peer->run_double_click();
}

void FltkPlatform::run(Window& main) {
  while (!main.closed()) {
    if (loop_.stop_requested()) {
      linux_host::run_behaviour([&] { main.deliver_close(); });
      if (main.closed()) break;
    }
    wait_once();
  }
}

void FltkPlatform::run_modal(Window& dialog, Window&) {
  while (!dialog.closed()) {
    if (loop_.stop_requested()) {
      // The dialog closes first; the main window's loop then closes the main window.
      linux_host::run_behaviour([&] { dialog.deliver_close(); });
      if (dialog.closed()) break;
    }
    wait_once();
  }
}

std::uint64_t FltkPlatform::tick_count() { return loop_.tick_count(); }

Handle FltkPlatform::foreground_window() { return static_cast<Handle>(x11_.active_window()); }

void FltkPlatform::set_window_pos(Handle window, Stacking insert_after, std::uint32_t) {
  if (window == no_window) return;
  x11_.set_above(window, insert_after == Stacking::topmost);
}

std::vector<Rect> FltkPlatform::screens() const {
  std::vector<Rect> result;
  for (int n = 0; n < Fl::screen_count(); ++n) {
    Rect screen;
    Fl::screen_xywh(screen.x, screen.y, screen.w, screen.h, n);
    result.push_back(screen);
  }
  return result;
}

int FltkPlatform::font_for(const Font& wanted) {
  bool bold = wanted.weight >= 600;
  auto key = std::make_tuple(std::string(wanted.face), bold, wanted.italic);
  if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;
  // FLTK's Xft names start with the style: ' ' plain, 'B' bold, 'I' italic,
  // 'P' bold italic; fontconfig then finds the face or a metric twin.
  char style = bold ? (wanted.italic ? 'P' : 'B') : (wanted.italic ? 'I' : ' ');
  font_names_.push_back(style + std::string(wanted.face));
  int index = FL_FREE_FONT + static_cast<int>(fonts_.size());
  Fl::set_font(static_cast<Fl_Font>(index), font_names_.back().c_str());
  fonts_.emplace(key, index);
  return index;
}

int FltkPlatform::points_to_pixels(int points) const {
  return static_cast<int>(std::lround(points * dpi_ / 72.0));
}

void FltkPlatform::apply_icons(Fl_Window& window) {
  std::vector<const Fl_RGB_Image*> images;
  for (const auto& icon : icons_) images.push_back(icon.get());
  window.icons(images.data(), static_cast<int>(images.size()));
}

void FltkPlatform::add_timers(Window& window) { loop_.add_timers(window); }

void FltkPlatform::timer_changed(Timer& timer, TimerSetting what) { loop_.timer_changed(timer, what); }

void FltkPlatform::forget_timers(const Window& window) { loop_.forget_timers(window); }

void FltkPlatform::peer_created(FltkWindowPeer& peer) { peers_.push_back(&peer); }

void FltkPlatform::peer_destroyed(FltkWindowPeer& peer) {
  std::erase(peers_, &peer);
  if (deferred_double_click_ == &peer) deferred_double_click_ = nullptr;
}

int FltkPlatform::on_x_event(void* event, void* data) {
  auto* platform = static_cast<FltkPlatform*>(data);
  const auto& xevent = *static_cast<XEvent*>(event);
  auto& x11 = platform->x11_;
  if (x11.is_root_property_change(xevent)) {
    x11.root_property_changed(xevent);
    return 0;
  }
  if (x11.is_frame_extents_change(xevent)) {
    for (auto* peer : platform->peers_)
      if (peer->xid() == xevent.xproperty.window) {
        peer->frame_extents_changed();
        // Framed: later frame changes come with the moves below.
        x11.ignore_property_changes(peer->xid());
      }
  } else if (xevent.type == ConfigureNotify || xevent.type == ReparentNotify) {
    for (auto* peer : platform->peers_)
      if (peer->xid() == xevent.xany.window) peer->frame_extents_changed();
  }
  // Iconified: the window manager sets WM_STATE, then unmaps the window.
  // Once framed, our windows report no property changes: the unmap comes.
  if (x11.is_wm_state_change(xevent) || xevent.type == UnmapNotify)
    for (auto* peer : platform->peers_)
      if (peer->xid() == xevent.xany.window) peer->window_state_changed();
  return 0;  // FLTK handles the event as usual
}

namespace {

// A request that fails is left without effect, as the keeper expects of its
// calls: the window in front may be gone by the time it is asked about.
// (Xlib's own handler would end the process.)
int ignore_x_error(Display*, XErrorEvent*) { return 0; }

}  // namespace

std::unique_ptr<Platform> open_fltk_platform() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return nullptr;
  fl_open_display(display);
  XSetErrorHandler(ignore_x_error);
  return std::make_unique<FltkPlatform>(display);
}

}  // namespace kq::platform::fltk
