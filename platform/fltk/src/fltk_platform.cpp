#include "fltk_platform.hpp"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <algorithm>
#include <cmath>

#include "kq/platform/fltk/fltk_platform.hpp"
#include "kq/platform/linux/behaviour.hpp"
#include "kq/platform/linux/clocks.hpp"
#include "kq/platform/window.hpp"
#include "kq/platform/fltk/program_icon.hpp"
#include "window_peer.hpp"

namespace kq::platform::fltk {

using linux_host::steady_milliseconds;

FltkPlatform::FltkPlatform(Display* display)
    : x11_(display), dpi_(x11_.dpi()), frame_guess_(design_frame(dpi_)) {
  for (const auto& image : program_icon_images()) {
    const auto count = static_cast<std::size_t>(image.size * image.size * 3);
    auto* pixels = new uchar[count];
    for (int y = 0; y < image.size; ++y)
      for (int x = 0; x < image.size; ++x) {
        auto rgb = icon_pixel(image, x, y);
        std::copy(rgb.begin(), rgb.end(), pixels + static_cast<std::size_t>((y * image.size + x) * 3));
      }
    auto icon = std::make_unique<Fl_RGB_Image>(pixels, image.size, image.size, 3);
    icon->alloc_array = 1;  // the image frees its pixels
    icons_.push_back(std::move(icon));
  }
  Fl::add_system_handler(&FltkPlatform::on_x_event, this);
  if (stop_.fd() >= 0) Fl::add_fd(stop_.fd(), &FltkPlatform::on_stop_signal, this);
}

FltkPlatform::~FltkPlatform() {
  Fl::remove_timeout(&FltkPlatform::on_timers_due, this);
  if (stop_.fd() >= 0) Fl::remove_fd(stop_.fd());
  Fl::remove_system_handler(&FltkPlatform::on_x_event);
}

std::unique_ptr<WindowPeer> FltkPlatform::create_peer(Window& window, Window* owner) {
  return std::make_unique<FltkWindowPeer>(*this, window, owner);
}

void FltkPlatform::wait_once() {
  Fl::wait(1e20);
}

void FltkPlatform::run(Window& main) {
  while (!main.closed()) {
    if (stop_.requested()) {
      linux_host::run_behaviour([&] { main.deliver_close(); });
      if (main.closed()) break;
    }
    wait_once();
  }
}

void FltkPlatform::run_modal(Window& dialog, Window&) {
  while (!dialog.closed()) {
    if (stop_.requested()) {
      // The dialog closes first; the main window's loop then closes the main window.
      linux_host::run_behaviour([&] { dialog.deliver_close(); });
      if (dialog.closed()) break;
    }
    wait_once();
  }
}

std::uint64_t FltkPlatform::tick_count() { return linux_host::boot_milliseconds(); }

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

int FltkPlatform::font_for(const FontSpec& spec) {
  bool bold = spec.weight >= 600;
  auto key = std::make_tuple(std::string(spec.face), bold, spec.italic);
  if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;
  // FLTK's Xft names start with the style: ' ' plain, 'B' bold, 'I' italic,
  // 'P' bold italic; fontconfig then finds the face or a metric twin.
  char style = bold ? (spec.italic ? 'P' : 'B') : (spec.italic ? 'I' : ' ');
  font_names_.push_back(style + std::string(spec.face));
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

void FltkPlatform::timer_changed(Timer& timer, TimerSetting what) {
  schedule_.changed(timer, what, steady_milliseconds());
  arm_timers();
}

void FltkPlatform::forget_timers(const Window& window) {
  schedule_.forget(window);
  arm_timers();
}

void FltkPlatform::arm_timers() {
  Fl::remove_timeout(&FltkPlatform::on_timers_due, this);
  auto due = schedule_.next_due();
  if (!due) return;
  auto wait = std::max<std::int64_t>(0, *due - steady_milliseconds());
  Fl::add_timeout(static_cast<double>(wait) / 1000.0, &FltkPlatform::on_timers_due, this);
}

void FltkPlatform::on_timers_due(void* data) {
  auto* platform = static_cast<FltkPlatform*>(data);
  platform->schedule_.serve(steady_milliseconds());
  platform->arm_timers();
}

void FltkPlatform::on_stop_signal(int, void* data) { static_cast<FltkPlatform*>(data)->stop_.drain(); }

void FltkPlatform::peer_created(FltkWindowPeer& peer) { peers_.push_back(&peer); }

void FltkPlatform::peer_destroyed(FltkWindowPeer& peer) { std::erase(peers_, &peer); }

int FltkPlatform::on_x_event(void* event, void* data) {
  auto* platform = static_cast<FltkPlatform*>(data);
  const auto& xevent = *static_cast<XEvent*>(event);
  if (platform->x11_.is_frame_extents_change(xevent))
    for (auto* peer : platform->peers_)
      if (peer->xid() == xevent.xproperty.window) peer->frame_extents_changed();
  return 0;  // FLTK handles the event as usual
}

std::unique_ptr<Platform> open_fltk_platform() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return nullptr;
  fl_open_display(display);
  return std::make_unique<FltkPlatform>(display);
}

}  // namespace kq::platform::fltk
