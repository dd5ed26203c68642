#pragma once
// Conversions at the edge of the Windows API: the screen's DPI (twips to
// pixels is the shared geometry's), UTF-8 text to UTF-16, window handles to
// the 32-bit values the shared code passes around, colours to COLORREF.

#include <windows.h>

#include <string>
#include <string_view>

#include "kq/platform/design.hpp"
#include "kq/platform/geometry.hpp"
#include "kq/platform/platform.hpp"

namespace kq::platform::win32 {

struct Dpi {
  int x = 96, y = 96;
  static Dpi of_screen();
  friend constexpr bool operator==(Dpi, Dpi) = default;
};

std::wstring wide(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

Handle handle_of(HWND window);
HWND window_of(Handle handle);

inline COLORREF colour_ref(Rgb colour) { return RGB(colour.red, colour.green, colour.blue); }

}  // namespace kq::platform::win32
