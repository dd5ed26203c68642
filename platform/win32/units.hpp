#pragma once
// Conversions at the edge of the Windows API: twips to pixels at the screen's
// real DPI (1440 twips per inch), UTF-8 text to UTF-16, window handles to the
// 32-bit values the shared code passes around, colours to COLORREF.

#include <windows.h>

#include <string>
#include <string_view>

#include "kq/platform/design.hpp"
#include "kq/platform/platform.hpp"

namespace kq::platform::win32 {

struct Dpi {
  int x = 96, y = 96;
  static Dpi of_screen();
};

// Nearest pixel; non-finite twips give 0 and far-off values are held inside
// the range window coordinates can take.
int twips_to_pixels(float twips, int dpi);
float pixels_to_twips(int pixels, int dpi);

std::wstring wide(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

Handle handle_of(HWND window);
HWND window_of(Handle handle);

inline COLORREF colour_ref(Rgb colour) { return RGB(colour.red, colour.green, colour.blue); }

}  // namespace kq::platform::win32
