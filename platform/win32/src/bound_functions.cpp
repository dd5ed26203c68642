#include "bound_functions.hpp"

#include <cstring>

namespace kq::platform::win32 {

namespace {

// The address of an exported function, or nullptr where the system lacks it.
template <class Function>
Function bind(const wchar_t* module_name, const char* function_name) {
  HMODULE module = LoadLibraryW(module_name);
  if (module == nullptr) return nullptr;
  FARPROC address = GetProcAddress(module, function_name);
  Function function = nullptr;
  static_assert(sizeof function == sizeof address);
  std::memcpy(&function, &address, sizeof function);  // a plain cast trips -Wcast-function-type
  return function;
}

using TickCount64Function = ULONGLONG(WINAPI*)();
using TickCountFunction = DWORD(WINAPI*)();
using ForegroundWindowFunction = HWND(WINAPI*)();
using SetWindowPosFunction = BOOL(WINAPI*)(HWND, HWND, int, int, int, int, UINT);

}  // namespace

std::uint64_t system_tick_count() {
  static const auto tick_count_64 = bind<TickCount64Function>(L"kernel32.dll", "GetTickCount64");
  if (tick_count_64 != nullptr) return tick_count_64();
  static const auto tick_count = bind<TickCountFunction>(L"kernel32.dll", "GetTickCount");
  return tick_count != nullptr ? tick_count() : 0;
}

HWND system_foreground_window() {
  static const auto foreground_window =
      bind<ForegroundWindowFunction>(L"user32.dll", "GetForegroundWindow");
  return foreground_window != nullptr ? foreground_window() : nullptr;
}

void system_set_window_pos(HWND window, HWND insert_after, UINT flags) {
  static const auto set_window_pos = bind<SetWindowPosFunction>(L"user32.dll", "SetWindowPos");
  if (set_window_pos != nullptr) set_window_pos(window, insert_after, 0, 0, 0, 0, flags);
}

}  // namespace kq::platform::win32
