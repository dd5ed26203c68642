#include "kq/platform/term/term_platform.hpp"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "kq/platform/linux/behaviour.hpp"
#include "kq/platform/linux/face_loop.hpp"
#include "kq/platform/term/face_line.hpp"
#include "kq/platform/window.hpp"

namespace kq::platform::term {

namespace {

using linux_host::run_behaviour;

void write_all(std::string_view text) {
  while (!text.empty()) {
    ssize_t written = ::write(STDOUT_FILENO, text.data(), text.size());
    if (written <= 0) return;  // a closed terminal: nothing more to show
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

// The terminal's width now (it may change while the program runs), 0 when unknown.
int terminal_columns() {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0) return size.ws_col;
  return 0;
}

Output stdout_kind() {
  const char* term = std::getenv("TERM");
  return output_kind(isatty(STDOUT_FILENO) != 0, term != nullptr ? term : "");
}

// Keys one at a time without echo, wherever the output goes; Ctrl-C still
// raises SIGINT.
class RawKeys {
 public:
  RawKeys() {
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved_) != 0) return;
    termios raw = saved_;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    active_ = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
  }
  ~RawKeys() {
    if (active_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
  }
  RawKeys(const RawKeys&) = delete;
  RawKeys& operator=(const RawKeys&) = delete;

 private:
  termios saved_{};
  bool active_ = false;
};

class TermPlatform;

class TermPeer final : public WindowPeer {
 public:
  TermPeer(TermPlatform& platform, Window& window, Handle handle)
      : platform_(platform), window_(window), handle_(handle) {}
  ~TermPeer() override;

  Handle handle() const override { return handle_; }
  float placement(Edge edge) const override { return placement_[static_cast<std::size_t>(edge)]; }
  void set_placement(Edge edge, float twips) override { placement_[static_cast<std::size_t>(edge)] = twips; }
  void caption_changed(std::string_view caption) override;
  void control_changed(Control&) override {}
  void timer_changed(Timer& timer, TimerSetting what) override;
  void focus_changed(Control*) override {}
  void show(bool modal) override;
  void close() override;

 private:
  bool is_face() const { return window_.owner() == nullptr; }
  TermPlatform& platform_;
  Window& window_;
  Handle handle_;
  std::array<float, 4> placement_{};
  bool shown_ = false;
};

class TermPlatform final : public Platform {
 public:
  TermPlatform() : line_(stdout_kind()) {}

  std::unique_ptr<WindowPeer> create_peer(Window& window, Window* owner) override {
    Handle handle = next_handle_++;
    if (owner == nullptr && main_handle_ == no_window) main_handle_ = handle;
    auto peer = std::make_unique<TermPeer>(*this, window, handle);
    loop_.add_timers(window);
    return peer;
  }

  void run(Window& main) override {
    while (!main.closed()) {
      if (loop_.stop_requested()) {
        run_behaviour([&] { main.deliver_close(); });
        if (main.closed()) break;
      }
      if (quit_key_) {
        quit_key_ = false;
        run_behaviour([&] { main.deliver_close(); });
        continue;
      }
      wait_once();
    }
  }

  void run_modal(Window& dialog, Window&) override {
    // No face for a dialog here: it closes as soon as it opens.
    run_behaviour([&] { dialog.deliver_close(); });
  }

  std::uint64_t tick_count() override { return loop_.tick_count(); }
  Handle foreground_window() override { return main_handle_; }
  void set_window_pos(Handle, Stacking, std::uint32_t) override {}

  // For the peers.
  void timer_changed(Timer& timer, TimerSetting what) { loop_.timer_changed(timer, what); }
  void forget_timers(const Window& window) { loop_.forget_timers(window); }

  void show_face(std::string_view caption) {
    raw_keys_.emplace();
    write_all(line_.shown());
    face_shown_ = true;
    show_caption(caption);
  }

  void show_caption(std::string_view caption) {
    if (!face_shown_) return;
    write_all(line_.caption(caption, line_.output() == Output::lines ? 0 : terminal_columns()));
  }

  void close_face() {
    if (!face_shown_) return;
    face_shown_ = false;
    write_all(line_.closed());
    raw_keys_.reset();
  }

 private:
  // Sleeps until a key, a stop signal or the timers' once-a-second wake-up.
  void wait_once() {
    if (loop_.sleep(keys_open_ ? STDIN_FILENO : -1)) read_keys();
    loop_.serve_timers();
  }

  void read_keys() {
    char buffer[64];
    ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got <= 0) {
      keys_open_ = false;  // end of input: only the signals close the window now
      return;
    }
    for (ssize_t i = 0; i < got; ++i)
      if (buffer[i] == 'q' || buffer[i] == 'Q') quit_key_ = true;
  }

  FaceLine line_;
  bool face_shown_ = false;
  bool keys_open_ = true;
  bool quit_key_ = false;
  Handle next_handle_ = 1;
  Handle main_handle_ = no_window;
  std::optional<RawKeys> raw_keys_;
  linux_host::FaceLoop loop_;
};

TermPeer::~TermPeer() {
  platform_.forget_timers(window_);
  if (shown_ && is_face()) platform_.close_face();
}

void TermPeer::caption_changed(std::string_view caption) {
  if (shown_ && is_face()) platform_.show_caption(caption);
}

void TermPeer::timer_changed(Timer& timer, TimerSetting what) { platform_.timer_changed(timer, what); }

void TermPeer::show(bool) {
  shown_ = true;
  if (is_face()) platform_.show_face(window_.caption());
}

void TermPeer::close() {
  platform_.forget_timers(window_);
  if (shown_ && is_face()) platform_.close_face();
  shown_ = false;
}

}  // namespace

std::unique_ptr<Platform> open_term_platform() { return std::make_unique<TermPlatform>(); }

}  // namespace kq::platform::term
