// Asks the window manager for what a user would do, from outside the program:
//   wm_poke above <window> add|remove   _NET_WM_STATE_ABOVE on or off
//   wm_poke close <window>              _NET_CLOSE_WINDOW, as the close button
//   wm_poke delete <window>             WM_DELETE_WINDOW straight to the window, as a window
//                                       manager without _NET_CLOSE_WINDOW does on close
//   wm_poke iconify <window>            WM_CHANGE_STATE to IconicState, as a minimise button
//   wm_poke active                      prints the active window (decimal)
// Window ids in decimal or 0x hex.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void send_to_root(Display* display, Window window, const char* type, long l0, long l1, long l2, long l3) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, type, False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = l0;
  event.xclient.data.l[1] = l1;
  event.xclient.data.l[2] = l2;
  event.xclient.data.l[3] = l3;
  XSendEvent(display, DefaultRootWindow(display), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

int usage() {
  std::fputs("usage: wm_poke above <window> add|remove | close|delete|iconify <window> | active\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fputs("wm_poke: no display\n", stderr);
    return 1;
  }
  int status = 0;
  if (std::strcmp(argv[1], "above") == 0 && argc == 4) {
    Window window = std::strtoul(argv[2], nullptr, 0);
    long action = std::strcmp(argv[3], "add") == 0 ? 1 : 0;
    send_to_root(display, window, "_NET_WM_STATE", action,
                 static_cast<long>(XInternAtom(display, "_NET_WM_STATE_ABOVE", False)), 0, 2);
  } else if (std::strcmp(argv[1], "close") == 0 && argc == 3) {
    Window window = std::strtoul(argv[2], nullptr, 0);
    send_to_root(display, window, "_NET_CLOSE_WINDOW", CurrentTime, 2, 0, 0);
  } else if (std::strcmp(argv[1], "delete") == 0 && argc == 3) {
    Window window = std::strtoul(argv[2], nullptr, 0);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
  } else if (std::strcmp(argv[1], "iconify") == 0 && argc == 3) {
    Window window = std::strtoul(argv[2], nullptr, 0);
    send_to_root(display, window, "WM_CHANGE_STATE", IconicState, 0, 0, 0);
  } else if (std::strcmp(argv[1], "active") == 0) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    unsigned long active = 0;
    if (XGetWindowProperty(display, DefaultRootWindow(display),
                           XInternAtom(display, "_NET_ACTIVE_WINDOW", False), 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        count == 1)
      active = *reinterpret_cast<unsigned long*>(data);
    if (data != nullptr) XFree(data);
    std::printf("%lu\n", active);
  } else {
    status = usage();
  }
  XCloseDisplay(display);
  return status;
}
