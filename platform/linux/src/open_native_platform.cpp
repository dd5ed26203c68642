// The native platform on Linux: the FLTK desktop face when an X display
// opens, otherwise the terminal face (a console, an ssh session). Someone who
// has a display and gets the terminal face is told why, in one line.

#include <cstdio>
#include <cstdlib>

#include "kq/platform/native.hpp"
#include "kq/platform/term/term_platform.hpp"

#if KQ_HAVE_FLTK
#include "kq/platform/fltk/fltk_platform.hpp"
#endif

namespace kq::platform {

namespace {

const char* set_variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : nullptr;
}

}  // namespace

std::unique_ptr<Platform> open_native_platform() {
#if KQ_HAVE_FLTK
  if (auto desktop = fltk::open_fltk_platform()) return desktop;
#endif
  const char* x11 = set_variable("DISPLAY");
  const char* wayland = set_variable("WAYLAND_DISPLAY");
  if (x11 != nullptr || wayland != nullptr) {
#if KQ_HAVE_FLTK
    if (x11 != nullptr) {
      std::fprintf(stderr, "kq-rez-v1: cannot open the X display \"%s\"; showing the uptime on the terminal\n", x11);
    } else {
      std::fprintf(stderr, "kq-rez-v1: the window needs X11 (DISPLAY is not set, only WAYLAND_DISPLAY); "
                           "showing the uptime on the terminal\n");
    }
#else
    std::fprintf(stderr, "kq-rez-v1: built without the desktop face (terminal only); "
                         "showing the uptime on the terminal\n");
#endif
  }
  return term::open_term_platform();
}

}  // namespace kq::platform
