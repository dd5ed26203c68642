#pragma once
// UTF-8 <-> UTF-16 for the wide-character API. Unpaired surrogates, which
// Windows file names may hold, travel as their three-byte form (WTF-8) both
// ways; a byte sequence that is not UTF-8 becomes U+FFFD.

#include <string>
#include <string_view>

namespace kq::settings::registry {

std::wstring to_wide(std::string_view text);
std::string from_wide(std::wstring_view text);

}  // namespace kq::settings::registry
