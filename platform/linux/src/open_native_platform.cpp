// The native platform on Linux: the FLTK desktop face when an X display
// opens, otherwise the terminal face (a console, an ssh session).

#include "kq/platform/native.hpp"
#include "kq/platform/term/term_platform.hpp"

#if KQ_HAVE_FLTK
#include "kq/platform/fltk/fltk_platform.hpp"
#endif

namespace kq::platform {

std::unique_ptr<Platform> open_native_platform() {
#if KQ_HAVE_FLTK
  if (auto desktop = fltk::open_fltk_platform()) return desktop;
#endif
  return term::open_term_platform();
}

}  // namespace kq::platform
