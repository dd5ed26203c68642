#include "monitors.hpp"

namespace kq::platform::win32 {

namespace {

BOOL CALLBACK add_work_area(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    const RECT& work = info.rcWork;
    reinterpret_cast<std::vector<Rect>*>(list)->push_back(
        {work.left, work.top, work.right - work.left, work.bottom - work.top});
  }
  return TRUE;
}

}  // namespace

std::vector<Rect> work_areas() {
  std::vector<Rect> areas;
  EnumDisplayMonitors(nullptr, nullptr, add_work_area, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

void bring_title_bar_on_screen(HWND window) {
  RECT outer;
  GetWindowRect(window, &outer);
  POINT client_origin{0, 0};
  ClientToScreen(window, &client_origin);
  Rect at{outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top};
  Rect mended = platform::bring_title_bar_on_screen(at, client_origin.y - outer.top, work_areas());
  if (mended != at) MoveWindow(window, mended.x, mended.y, mended.w, mended.h, TRUE);
}

}  // namespace kq::platform::win32
