// Prints every change of a window title as "<milliseconds> <window> <title>",
// stamped on a Linux clock the moment the change is seen: the boot clock (the
// tick count of the Linux program) or the raw monotonic clock (the one Wine
// counts its tick count on). Watches every top-level window created after it
// starts, or one window given by id; can start the program to watch itself,
// printing "start <milliseconds>" just before and "pid <pid>" after.
//
//   kq-title-watch [--clock boot|raw] [--seconds N] [--window ID] [-- COMMAND ARGS...]

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

clockid_t clock_id = CLOCK_BOOTTIME;

double stamp() {
  timespec now{};
  clock_gettime(clock_id, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

std::string title_of(Display* display, Window window, Atom net_wm_name, Atom utf8) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, net_wm_name, 0, 1024, False, utf8, &type, &format, &count, &after,
                         &data) == Success &&
      data != nullptr && format == 8)
    title.assign(reinterpret_cast<char*>(data), count);
  if (data != nullptr) XFree(data);
  return title;
}

int ignore_errors(Display*, XErrorEvent*) { return 0; }  // windows come and go

}  // namespace

int main(int argc, char** argv) {
  double seconds = 60;
  Window only = None;
  int command = 0;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--clock") && i + 1 < argc) {
      clock_id = !std::strcmp(argv[++i], "raw") ? CLOCK_MONOTONIC_RAW : CLOCK_BOOTTIME;
    } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
      seconds = std::atof(argv[++i]);
    } else if (!std::strcmp(argv[i], "--window") && i + 1 < argc) {
      only = static_cast<Window>(std::strtoul(argv[++i], nullptr, 0));
    } else if (!std::strcmp(argv[i], "--")) {
      command = i + 1;
      break;
    } else {
      std::fputs("usage: kq-title-watch [--clock boot|raw] [--seconds N] [--window ID] [-- COMMAND...]\n", stderr);
      return 2;
    }
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fputs("kq-title-watch: no display\n", stderr);
    return 1;
  }
  XSetErrorHandler(ignore_errors);
  const Atom net_wm_name = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  std::map<Window, std::string> titles;
  auto report = [&](Window window, double at) {
    std::string title = title_of(display, window, net_wm_name, utf8);
    auto& last = titles[window];
    if (title.empty() || title == last) return;
    last = title;
    std::printf("%.3f 0x%lx %s\n", at, window, title.c_str());
    std::fflush(stdout);
  };
  if (only != None) {
    XSelectInput(display, only, PropertyChangeMask);
    report(only, stamp());
  } else {
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  }
  XSync(display, False);

  if (command > 0 && command < argc) {
    std::printf("start %.3f\n", stamp());
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
      close(ConnectionNumber(display));
      execvp(argv[command], argv + command);
      _exit(127);
    }
    std::printf("pid %d\n", static_cast<int>(child));
    std::fflush(stdout);
  }

  const double end = stamp() + seconds * 1000;
  pollfd connection{ConnectionNumber(display), POLLIN, 0};
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      const double at = stamp();
      if (event.type == CreateNotify && event.xcreatewindow.parent == DefaultRootWindow(display)) {
        XSelectInput(display, event.xcreatewindow.window, PropertyChangeMask);
        report(event.xcreatewindow.window, at);
      } else if (event.type == PropertyNotify && event.xproperty.atom == net_wm_name &&
                 event.xproperty.state == PropertyNewValue) {
        report(event.xproperty.window, at);
      }
    }
    const double left = end - stamp();
    if (left <= 0) break;
    ::poll(&connection, 1, static_cast<int>(left) + 1);
  }
  XCloseDisplay(display);
  return 0;
}
