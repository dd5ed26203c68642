#include "units.hpp"

#include <cstdint>

namespace kq::platform::win32 {

Dpi Dpi::of_screen() {
  Dpi dpi;
  if (HDC screen = GetDC(nullptr)) {
    dpi.x = GetDeviceCaps(screen, LOGPIXELSX);
    dpi.y = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  if (dpi.x <= 0) dpi.x = 96;
  if (dpi.y <= 0) dpi.y = 96;
  return dpi;
}

std::wstring wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
  return text;
}

std::string narrow(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  int length = static_cast<int>(utf16.size());
  int size = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, text.data(), size, nullptr, nullptr);
  return text;
}

// Window handles hold 32 significant bits on 64-bit Windows too and are
// sign-extended (HWND_TOPMOST is -1).
Handle handle_of(HWND window) {
  return static_cast<Handle>(reinterpret_cast<std::uintptr_t>(window));
}

HWND window_of(Handle handle) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(handle)));
}

}  // namespace kq::platform::win32
