#include "win32_platform.hpp"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "behaviour.hpp"
#include "bound_functions.hpp"
#include "kq/platform/native.hpp"
#include "kq/platform/win32/win32_platform.hpp"
#include "kq/platform/window.hpp"
#include "resource_ids.h"
#include "window_peer.hpp"

namespace kq::platform::win32 {

namespace {

constexpr wchar_t class_name[] = L"KQ_DADEDED_WINDOW";

// Once a second, 2 ms after the tick count passes each whole second (the
// system timer then fires within one step of its clock); a timer just
// switched on first ticks after 16 ms.
constexpr TimerSchedule::Tuning timer_tuning{
    .policy = TimerSchedule::Policy::whole_seconds, .floor_ms = 16, .after_ms = 2, .gather_ms = 1};
constexpr UINT_PTR wake_timer_id = 1;

// The system timer's callback has no room for an object: one platform per process.
Win32Platform* waking = nullptr;

std::int64_t tick_now() { return static_cast<std::int64_t>(system_tick_count()); }

}  // namespace

Win32Platform::Win32Platform()
    : instance_(GetModuleHandleW(nullptr)),
      dpi_(Dpi::of_screen()),
      default_font_(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))),
      schedule_(timer_tuning) {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.style = CS_DBLCLKS;  // double-clicks in the client area must arrive
  window_class.lpfnWndProc = Win32Peer::window_procedure;
  window_class.hInstance = instance_;
  window_class.hIcon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(KQ_APP_ICON), IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  window_class.hIconSm = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(KQ_APP_ICON), IMAGE_ICON,
                                                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = class_name;
  if (RegisterClassExW(&window_class) == 0) throw Failure("cannot register the window class");

  // An owned window has no taskbar entry yet keeps its ordinary title bar;
  // this owner is never shown.
  taskbar_hider_ = CreateWindowExW(0, class_name, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_, nullptr);
  if (taskbar_hider_ == nullptr) throw Failure("cannot create the owner window");

  // A failing tick ends that behaviour; the other ticks of the wake-up still run.
  schedule_.set_delivery([](Timer& timer) { guarded([&] { timer.tick(); }); });
  waking = this;
}

Win32Platform::~Win32Platform() {
  if (waking == this) waking = nullptr;
  if (taskbar_hider_ != nullptr) DestroyWindow(taskbar_hider_);
  UnregisterClassW(class_name, instance_);
}

const wchar_t* Win32Platform::window_class() const { return class_name; }

std::unique_ptr<WindowPeer> Win32Platform::create_peer(Window& window, Window* owner) {
  return std::make_unique<Win32Peer>(*this, window, owner);
}

void Win32Platform::pump(MSG& message) {
  HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (Win32Peer* peer = Win32Peer::of(root)) {
    if (peer->translate_key(message)) return;
    if (IsDialogMessageW(root, &message)) return;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void Win32Platform::run(Window& main) {
  MSG message;
  while (!main.closed()) {
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) return;
    pump(message);
  }
}

void Win32Platform::run_modal(Window& dialog, Window&) {
  // The owner is disabled (see Win32Peer::show); the timers' messages still
  // come through this loop and are dispatched.
  MSG message;
  while (!dialog.closed()) {
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) return;
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));  // the outer loop must see it too
      return;
    }
    pump(message);
  }
}

void Win32Platform::peer_destroyed(Win32Peer& peer) { std::erase(peers_, &peer); }

void Win32Platform::end_session() {
  std::vector<Win32Peer*> newest_first(peers_.rbegin(), peers_.rend());
  for (Win32Peer* peer : newest_first) {
    if (std::find(peers_.begin(), peers_.end(), peer) == peers_.end()) continue;  // gone meanwhile
    Window& window = peer->window();
    if (window.loaded()) guarded([&] { window.unload(); });
  }
}

// Inside a wake-up, GetTickCount64 is read once, by the schedule.
std::uint64_t Win32Platform::tick_count() { return static_cast<std::uint64_t>(schedule_.tick_count(system_tick_count)); }

void Win32Platform::add_timers(Window& window) {
  const auto now = tick_now();
  schedule_.add(window, now);
  arm(now, false);
}

void Win32Platform::timer_changed(Timer& timer, TimerSetting what) {
  const auto now = tick_now();
  schedule_.changed(timer, what, now);
  arm(now, false);
}

void Win32Platform::forget_timers(const Window& window) {
  schedule_.remove(window);
  arm(tick_now(), false);
}

// One timer on the owner window serves every window, so it fires in every
// loop that dispatches messages: ours, a modal dialog's, the system's own
// while a window is dragged.
void Win32Platform::arm(std::int64_t now, bool fired) {
  const auto due = schedule_.next_due();
  if (!fired && due == armed_) return;
  armed_ = due;
  if (!due) {
    KillTimer(taskbar_hider_, wake_timer_id);
    period_ = 0;
    return;
  }
  const auto delay = std::clamp<std::int64_t>(*due - now, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  // A system timer that has just fired comes again after the same delay:
  // when that is about the delay wanted, setting it again (a call into the
  // system every second) would change nothing.
  if (fired && period_ != 0 && std::abs(delay - period_) <= 3) return;
  SetTimer(taskbar_hider_, wake_timer_id, static_cast<UINT>(delay), &Win32Platform::on_wake);
  period_ = delay;
}

void CALLBACK Win32Platform::on_wake(HWND, UINT, UINT_PTR, DWORD) {
  if (waking != nullptr) waking->wake();
}

void Win32Platform::wake() {
  const auto now = tick_now();
  schedule_.serve(now);
  arm(now, true);
}

Handle Win32Platform::foreground_window() { return handle_of(system_foreground_window()); }

void Win32Platform::set_window_pos(Handle window, Stacking insert_after, std::uint32_t flags) {
  HWND after = insert_after == Stacking::topmost ? HWND_TOPMOST : HWND_NOTOPMOST;
  system_set_window_pos(window_of(window), after, flags);
}

std::unique_ptr<Platform> open_win32_platform() { return std::make_unique<Win32Platform>(); }

}  // namespace kq::platform::win32

namespace kq::platform {

std::unique_ptr<Platform> open_native_platform() { return win32::open_win32_platform(); }

}  // namespace kq::platform
