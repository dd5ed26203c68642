#include "window_peer.hpp"

#include <algorithm>
#include <string>

#include "behaviour.hpp"
#include "kq/platform/window.hpp"
#include "monitors.hpp"
#include "win32_platform.hpp"

namespace kq::platform::win32 {

namespace {

// WM_DPICHANGED, which headers for older systems lack.
constexpr UINT dpi_changed = 0x02E0;

}  // namespace

Win32Peer::Win32Peer(Win32Platform& platform, Window& window, Window* owner)
    : platform_(platform), window_(window), dpi_(platform.dpi()), widgets_(window, dpi_) {
  const WindowDesign& design = window.design();
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  if (!design.fixed_frame) style |= WS_THICKFRAME;
  if (design.minimise_button) style |= WS_MINIMIZEBOX;
  if (design.maximise_button) style |= WS_MAXIMIZEBOX;
  DWORD ex_style = 0;
  HWND owner_hwnd = nullptr;
  if (owner != nullptr) {
    owner_hwnd = static_cast<Win32Peer&>(owner->peer()).hwnd();
    if (design.taskbar_entry) ex_style |= WS_EX_APPWINDOW;  // owned windows have none otherwise
  } else if (!design.taskbar_entry) {
    owner_hwnd = platform.taskbar_hider();
  }

  Dpi dpi = dpi_;
  RECT rect{0, 0, twips_to_pixels(design.client_width, dpi.x), twips_to_pixels(design.client_height, dpi.y)};
  AdjustWindowRectEx(&rect, style, FALSE, ex_style);
  int x = design.manual_position ? 0 : CW_USEDEFAULT;
  int y = design.manual_position ? 0 : CW_USEDEFAULT;
  CreateWindowExW(ex_style, platform.window_class(), wide(window.caption()).c_str(), style, x, y,
                  rect.right - rect.left, rect.bottom - rect.top, owner_hwnd, nullptr, platform.instance(), this);
  if (hwnd_ == nullptr) throw Failure("cannot create window " + std::string(design.name));
  // The icon goes with the window too, not only with its class, so every
  // window manager finds it.
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, GetClassLongPtrW(hwnd_, GCLP_HICON));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, GetClassLongPtrW(hwnd_, GCLP_HICONSM));
  widgets_.create(hwnd_, platform.instance(), platform.default_font());
  platform_.peer_created(*this);
  platform_.add_timers(window_);
}

Win32Peer::~Win32Peer() {
  platform_.forget_timers(window_);
  platform_.peer_destroyed(*this);
  if (hwnd_ != nullptr) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);  // the shared window is going away: hear nothing more
    if (modal_owner_ != nullptr) EnableWindow(modal_owner_, TRUE);
    DestroyWindow(hwnd_);
  }
  // The widgets' fonts and brushes go after their controls (member order).
}

Win32Peer* Win32Peer::of(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&window_procedure)) return nullptr;
  return reinterpret_cast<Win32Peer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK Win32Peer::window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* peer = static_cast<Win32Peer*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    if (peer != nullptr) {
      peer->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer));
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  auto* peer = reinterpret_cast<Win32Peer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (peer == nullptr) {
    // The invisible owner: a close request (taskkill sends one to every
    // top-level window) must not take the main window down with it.
    if (message == WM_CLOSE) return 0;
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  if (message == WM_NCDESTROY) {
    GetWindowRect(hwnd, &peer->last_rect_);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    peer->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  LRESULT result = 0;
  guarded([&] { result = peer->handle_message(message, wparam, lparam); });
  return result;
}

LRESULT Win32Peer::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      window_.deliver_close();  // refused while a modal dialog it owns is open
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;  // never holds the session up, also with a dialog open
    case WM_ENDSESSION:
      if (wparam != 0) platform_.end_session();  // keep the placements and options
      return 0;
    case WM_LBUTTONDBLCLK:
      window_.deliver_double_click();
      return 0;
    case dpi_changed:
      change_dpi({LOWORD(wparam), HIWORD(wparam)}, *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_COMMAND:
      if (lparam != 0)
        if (Control* control = widgets_.control_of(LOWORD(wparam))) command(*control, HIWORD(wparam));
      return 0;
    case WM_CTLCOLORSTATIC:
      if (HBRUSH brush = widgets_.colour_static(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam)))
        return reinterpret_cast<LRESULT>(brush);
      break;
    case WM_PAINT:
      paint();
      return 0;
    // A window without a minimise button is never minimised by design, and
    // without a taskbar entry nothing would bring it back. A window manager
    // that minimises it anyway (under Wine, one that always offers the
    // button) sees it restored at once, without taking the activation.
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_MINIMIZE && !window_.design().minimise_button) return 0;
      break;
    case WM_SIZE:
      if (wparam == SIZE_MINIMIZED && !window_.design().minimise_button) {
        ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        return 0;
      }
      break;
    case WM_ACTIVATE:
      // Coming back to the window brings the focus back to its control.
      if (LOWORD(wparam) != WA_INACTIVE && focus_ != nullptr) {
        if (HWND native = widgets_.native(*focus_)) {
          SetFocus(native);
          return 0;
        }
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void Win32Peer::command(Control& control, int code) {
  switch (control.kind()) {
    case ControlKind::tick_box:
    case ControlKind::push_button:
      // With BS_NOTIFY a quick second click arrives as BN_DOUBLECLICKED.
      if (code == BN_CLICKED || code == BN_DOUBLECLICKED) {
        if (auto* box = dynamic_cast<TickBox*>(&control)) box->click();
        if (auto* button = dynamic_cast<PushButton*>(&control)) button->click();
      } else if (code == BN_SETFOCUS) {
        window_.set_focus(&control);
      }
      return;
    case ControlKind::label:
      if (code == STN_DBLCLK) static_cast<Label&>(control).double_click();
      return;
    case ControlKind::text_field:
      if (code == EN_SETFOCUS) {
        window_.set_focus(&control);
      } else if (code == EN_CHANGE && !widgets_.showing_text()) {
        static_cast<TextField&>(control).set_text(widgets_.typed_text(control));
      }
      return;
    case ControlKind::line:
    case ControlKind::timer:
      return;
  }
}

void Win32Peer::paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  widgets_.paint_lines(dc);
  EndPaint(hwnd_, &paint);
}

bool Win32Peer::translate_key(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  if (message.wParam == VK_RETURN) {
    guarded([&] { window_.deliver_key(Key::enter); });
    return true;
  }
  if (message.wParam == VK_ESCAPE) {
    guarded([&] { window_.deliver_key(Key::escape); });
    return true;
  }
  return false;  // Tab and Space: dialog navigation and the controls themselves
}

Handle Win32Peer::handle() const { return handle_of(hwnd_); }

int Win32Peer::dpi_for(Edge edge) const {
  return edge == Edge::left || edge == Edge::width ? dpi_.x : dpi_.y;
}

int Win32Peer::edge_pixels(const RECT& rect, Edge edge) {
  switch (edge) {
    case Edge::left: return rect.left;
    case Edge::top: return rect.top;
    case Edge::width: return rect.right - rect.left;
    case Edge::height: return rect.bottom - rect.top;
  }
  return 0;
}

float Win32Peer::placement(Edge edge) const {
  RECT rect = last_rect_;
  if (hwnd_ != nullptr) GetWindowRect(hwnd_, &rect);
  return kept_.read(edge, edge_pixels(rect, edge), dpi_for(edge));
}

void Win32Peer::set_placement(Edge edge, float twips) {
  if (hwnd_ == nullptr) return;
  int pixels = twips_to_pixels(twips, dpi_for(edge));
  if (edge == Edge::width || edge == Edge::height) pixels = std::max(pixels, 0);
  RECT rect;
  GetWindowRect(hwnd_, &rect);
  int x = rect.left, y = rect.top, width = rect.right - rect.left, height = rect.bottom - rect.top;
  switch (edge) {
    case Edge::left: x = pixels; break;
    case Edge::top: y = pixels; break;
    case Edge::width: width = pixels; break;
    case Edge::height: height = pixels; break;
  }
  placing_ = true;
  MoveWindow(hwnd_, x, y, width, height, TRUE);
  placing_ = false;
  kept_.set(edge, pixels, twips);
}

// The window has moved to a screen of another DPI (or the screen's DPI
// changed): its size and its controls stay the same in twips, so they grow
// or shrink in pixels. The system's suggested place is taken when the user
// moved it there; a placement the program is setting stays where it was set.
void Win32Peer::change_dpi(Dpi now, const RECT& suggested) {
  if (now.x <= 0 || now.y <= 0 || now == dpi_) return;
  const float width = placement(Edge::width), height = placement(Edge::height);
  RECT rect;
  GetWindowRect(hwnd_, &rect);
  POINT at = placing_ ? POINT{rect.left, rect.top} : POINT{suggested.left, suggested.top};
  dpi_ = now;
  const int w = twips_to_pixels(width, dpi_.x), h = twips_to_pixels(height, dpi_.y);
  kept_.set(Edge::width, w, width);
  kept_.set(Edge::height, h, height);
  widgets_.change_dpi(dpi_);
  // MoveWindow, not SetWindowPos: that one is the keeper's, bound by name
  // and kept out of the import table.
  MoveWindow(hwnd_, at.x, at.y, w, h, TRUE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32Peer::caption_changed(std::string_view caption) {
  if (hwnd_ != nullptr) SetWindowTextW(hwnd_, wide(caption).c_str());
}

void Win32Peer::control_changed(Control& control) {
  if (!control.visible() || hwnd_ == nullptr) return;  // hidden: nothing native to update
  widgets_.show_state(control);
}

void Win32Peer::timer_changed(Timer& timer, TimerSetting what) { platform_.timer_changed(timer, what); }

void Win32Peer::focus_changed(Control* control) {
  focus_ = control;
  if (control == nullptr || hwnd_ == nullptr || !IsWindowVisible(hwnd_)) return;
  HWND native = widgets_.native(*control);
  if (native != nullptr && GetFocus() != native) SetFocus(native);
}

void Win32Peer::show(bool modal) {
  if (hwnd_ == nullptr) return;
  if (modal && window_.owner() != nullptr) {
    modal_owner_ = static_cast<Win32Peer&>(window_.owner()->peer()).hwnd();
    EnableWindow(modal_owner_, FALSE);
  }
  // Nothing else would bring back a window without a taskbar entry.
  if (!window_.design().taskbar_entry) bring_title_bar_on_screen(hwnd_);
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
  if (focus_ != nullptr) focus_changed(focus_);
}

void Win32Peer::close() {
  platform_.forget_timers(window_);
  if (hwnd_ == nullptr) return;
  // The owner takes input again before this window goes, so activation
  // returns to it rather than to another program.
  if (modal_owner_ != nullptr) {
    EnableWindow(modal_owner_, TRUE);
    modal_owner_ = nullptr;
  }
  DestroyWindow(hwnd_);
}

}  // namespace kq::platform::win32
