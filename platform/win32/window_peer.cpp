#include "window_peer.hpp"

#include <algorithm>
#include <string>

#include "kq/platform/window.hpp"
#include "units.hpp"
#include "win32_platform.hpp"

namespace kq::platform::win32 {

namespace {

// Control identifiers start above IDOK and IDCANCEL, which dialog navigation
// sends for Enter and Escape: no control here is a default or cancel button.
constexpr int first_control_id = 100;


// WM_DPICHANGED, which headers for older systems lack.
constexpr UINT dpi_changed = 0x02E0;

HFONT design_font(const Font& wanted, int dpi_y) {
  LOGFONTW log{};
  log.lfHeight = -MulDiv(wanted.points, dpi_y, 72);
  log.lfWeight = wanted.weight;
  log.lfItalic = wanted.italic;
  log.lfUnderline = wanted.underline;
  log.lfStrikeOut = wanted.strikeout;
  log.lfCharSet = static_cast<BYTE>(wanted.charset);
  log.lfQuality = DEFAULT_QUALITY;
  std::wstring face = wide(wanted.face);
  face.resize(std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
  std::copy(face.begin(), face.end(), log.lfFaceName);
  return CreateFontIndirectW(&log);
}

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

// The monitors' work areas, where a window brought back may go.
std::vector<Rect> work_areas() {
  std::vector<Rect> areas;
  EnumDisplayMonitors(nullptr, nullptr, add_work_area, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

}  // namespace

Win32Peer::Win32Peer(Win32Platform& platform, Window& window, Window* owner)
    : platform_(platform), window_(window), dpi_(platform.dpi()), natives_(window.controls().size()) {
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
  create_controls();
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
  for (Native& native : natives_) {
    if (native.font != nullptr) DeleteObject(native.font);
    if (native.back != nullptr) DeleteObject(native.back);
  }
}

void Win32Peer::create_controls() {
  const auto& controls = window_.controls();
  // Creation order is the order Tab walks, so create in tab order.
  std::vector<int> order;
  for (int i = 0; i < static_cast<int>(controls.size()); ++i) order.push_back(i);
  auto rank = [&](int i) {
    int tab = controls[static_cast<std::size_t>(i)]->design().tab_index;
    return tab < 0 ? 1 << 30 : tab;
  };
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return rank(a) < rank(b); });

  Dpi dpi = dpi_;
  for (int index : order) {
    Control& control = *controls[static_cast<std::size_t>(index)];
    const ControlDesign& design = control.design();
    if (!control.visible()) continue;  // hidden controls live in the shared state only
    const wchar_t* native_class = nullptr;
    std::wstring text;
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD ex_style = 0;
    switch (control.kind()) {
      case ControlKind::label:
        native_class = L"STATIC";
        text = wide(static_cast<Label&>(control).caption());
        style |= SS_NOTIFY | (design.centred ? SS_CENTER : SS_LEFT);
        break;
      case ControlKind::tick_box:
        native_class = L"BUTTON";
        text = wide(design.text);
        // Not an automatic box: the shared tick box decides the value.
        style |= BS_3STATE | BS_NOTIFY;
        break;
      case ControlKind::push_button:
        native_class = L"BUTTON";
        text = wide(design.text);
        style |= BS_PUSHBUTTON | BS_NOTIFY;
        break;
      case ControlKind::text_field:
        native_class = L"EDIT";
        text = wide(static_cast<TextField&>(control).text());
        style |= ES_AUTOHSCROLL;
        ex_style |= WS_EX_CLIENTEDGE;
        break;
      case ControlKind::line:
      case ControlKind::timer:
        continue;  // painted, or no face at all
    }
    if (control.focusable()) style |= WS_TABSTOP;

    HWND native = CreateWindowExW(
        ex_style, native_class, text.c_str(), style, twips_to_pixels(design.left, dpi.x),
        twips_to_pixels(design.top, dpi.y), twips_to_pixels(design.width, dpi.x),
        twips_to_pixels(design.height, dpi.y), hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(first_control_id + index)), platform_.instance(), nullptr);
    if (native == nullptr) throw Failure("cannot create control " + std::string(design.name));
    Native& slot = natives_[static_cast<std::size_t>(index)];
    slot.hwnd = native;

    HFONT font = platform_.default_font();
    if (design.font) {
      slot.font = design_font(*design.font, dpi.y);
      if (slot.font != nullptr) font = slot.font;
    }
    SendMessageW(native, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (design.back_colour) slot.back = CreateSolidBrush(colour_ref(*design.back_colour));
    if (control.kind() == ControlKind::tick_box)
      SendMessageW(native, BM_SETCHECK, static_cast<WPARAM>(static_cast<TickBox&>(control).value()), 0);
  }
}

Win32Peer* Win32Peer::of(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&window_procedure)) return nullptr;
  return reinterpret_cast<Win32Peer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

const FailureSink* debug_output() {
  static const FailureSink sink = [](std::string_view what) { OutputDebugStringA(std::string(what).c_str()); };
  return &sink;
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
    case WM_COMMAND: {
      int index = LOWORD(wparam) - first_control_id;
      if (lparam != 0 && index >= 0 && index < static_cast<int>(natives_.size())) command(index, HIWORD(wparam));
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      return colour_static(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
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
        if (HWND native = natives_[static_cast<std::size_t>(index_of(*focus_))].hwnd) {
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

void Win32Peer::command(int control_index, int code) {
  Control& control = *window_.controls()[static_cast<std::size_t>(control_index)];
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
      } else if (code == EN_CHANGE && !updating_field_) {
        HWND native = natives_[static_cast<std::size_t>(control_index)].hwnd;
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(native)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(native, text.data(), static_cast<int>(text.size()))));
        static_cast<TextField&>(control).set_text(narrow(text));
      }
      return;
    case ControlKind::line:
    case ControlKind::timer:
      return;
  }
}

LRESULT Win32Peer::colour_static(HDC dc, HWND native) {
  int index = GetDlgCtrlID(native) - first_control_id;
  if (index >= 0 && index < static_cast<int>(natives_.size())) {
    const ControlDesign& design = window_.controls()[static_cast<std::size_t>(index)]->design();
    const Native& slot = natives_[static_cast<std::size_t>(index)];
    if (design.text_colour) SetTextColor(dc, colour_ref(*design.text_colour));
    if (slot.back != nullptr) {
      SetBkColor(dc, colour_ref(*design.back_colour));
      SetBkMode(dc, OPAQUE);
      return reinterpret_cast<LRESULT>(slot.back);
    }
    if (design.text_colour) {
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
  }
  return DefWindowProcW(hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(native));
}

void Win32Peer::paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  Dpi dpi = dpi_;
  HPEN pen = nullptr;
  for (const auto& control : window_.controls()) {
    if (control->kind() != ControlKind::line || !control->visible()) continue;
    if (pen == nullptr) pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ before = SelectObject(dc, pen);
    const ControlDesign& line = control->design();
    MoveToEx(dc, twips_to_pixels(line.left, dpi.x), twips_to_pixels(line.top, dpi.y), nullptr);
    LineTo(dc, twips_to_pixels(line.width, dpi.x), twips_to_pixels(line.height, dpi.y));
    SelectObject(dc, before);
  }
  if (pen != nullptr) DeleteObject(pen);
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

int Win32Peer::index_of(Control& control) const {
  const auto& controls = window_.controls();
  for (std::size_t i = 0; i < controls.size(); ++i)
    if (controls[i].get() == &control) return static_cast<int>(i);
  throw UnknownControl("control of another window");
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
  const auto& controls = window_.controls();
  for (std::size_t i = 0; i < natives_.size(); ++i) {
    Native& slot = natives_[i];
    if (slot.hwnd == nullptr) continue;
    const ControlDesign& design = controls[i]->design();
    // MoveWindow, not SetWindowPos: that one is the keeper's, bound by name
    // and kept out of the import table. Neither changes stacking or focus.
    MoveWindow(slot.hwnd, twips_to_pixels(design.left, dpi_.x), twips_to_pixels(design.top, dpi_.y),
               twips_to_pixels(design.width, dpi_.x), twips_to_pixels(design.height, dpi_.y), TRUE);
    if (design.font) {
      if (HFONT font = design_font(*design.font, dpi_.y)) {
        SendMessageW(slot.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (slot.font != nullptr) DeleteObject(slot.font);
        slot.font = font;
      }
    }
  }
  MoveWindow(hwnd_, at.x, at.y, w, h, TRUE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32Peer::caption_changed(std::string_view caption) {
  if (hwnd_ != nullptr) SetWindowTextW(hwnd_, wide(caption).c_str());
}

void Win32Peer::control_changed(Control& control) {
  if (!control.visible() || hwnd_ == nullptr) return;  // hidden: nothing native to update
  HWND native = natives_[static_cast<std::size_t>(index_of(control))].hwnd;
  if (native == nullptr) return;
  switch (control.kind()) {
    case ControlKind::label:
      SetWindowTextW(native, wide(static_cast<Label&>(control).caption()).c_str());
      return;
    case ControlKind::tick_box:
      SendMessageW(native, BM_SETCHECK, static_cast<WPARAM>(static_cast<TickBox&>(control).value()), 0);
      return;
    case ControlKind::text_field:
      updating_field_ = true;
      SetWindowTextW(native, wide(static_cast<TextField&>(control).text()).c_str());
      updating_field_ = false;
      return;
    case ControlKind::push_button:
    case ControlKind::line:
    case ControlKind::timer:
      return;
  }
}

void Win32Peer::timer_changed(Timer& timer, TimerSetting what) { platform_.timer_changed(timer, what); }

void Win32Peer::focus_changed(Control* control) {
  focus_ = control;
  if (control == nullptr || hwnd_ == nullptr || !IsWindowVisible(hwnd_)) return;
  HWND native = natives_[static_cast<std::size_t>(index_of(*control))].hwnd;
  if (native != nullptr && GetFocus() != native) SetFocus(native);
}

void Win32Peer::show(bool modal) {
  if (hwnd_ == nullptr) return;
  if (modal && window_.owner() != nullptr) {
    modal_owner_ = static_cast<Win32Peer&>(window_.owner()->peer()).hwnd();
    EnableWindow(modal_owner_, FALSE);
  }
  if (!window_.design().taskbar_entry) bring_title_bar_on_screen();
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

// A window without a taskbar entry whose title bar is on no monitor could
// never be reached again, so it comes back onto the nearest monitor's work
// area. A title bar with any part in a work area stays exactly where it is.
void Win32Peer::bring_title_bar_on_screen() {
  RECT outer;
  GetWindowRect(hwnd_, &outer);
  POINT client_origin{0, 0};
  ClientToScreen(hwnd_, &client_origin);
  Rect at{outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top};
  Rect mended = platform::bring_title_bar_on_screen(at, client_origin.y - outer.top, work_areas());
  if (mended != at) MoveWindow(hwnd_, mended.x, mended.y, mended.w, mended.h, TRUE);
}

}  // namespace kq::platform::win32
