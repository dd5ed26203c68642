#pragma once
// How names and values are spelled in the settings file. Every byte string
// round-trips: "\" is written "\\", and each byte that would break the line
// structure is written "\xHH" (two hex digits):
//   everywhere:        control bytes 00-1F and 7F
//   section names:     "]"
//   keys:              "=", and a leading ";", "#" or "[", leading/trailing blanks
//   values:            leading/trailing blanks
// Reading turns "\\" and "\xHH" back into their bytes; any other backslash is
// kept as it stands, so hand-written values keep their backslashes.

#include <string>
#include <string_view>

namespace kq::settings::ini {

std::string escape_section(std::string_view name);
std::string escape_key(std::string_view key);
std::string escape_value(std::string_view value);
std::string unescape(std::string_view text);

}  // namespace kq::settings::ini
