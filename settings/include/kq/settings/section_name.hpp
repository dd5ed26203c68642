#pragma once
// The section is the running program's file name without its extension.

#include <string>
#include <string_view>

namespace kq::settings {

// The name a program runs under when nothing better can be found.
inline constexpr std::string_view fallback_program = "KQ-REZ-V1";

// "KQ-REZ-V1.exe" -> "KQ-REZ-V1", "a.b.c" -> "a.b", ".hidden" stays whole,
// "name." -> "name". Takes the bare file name: each backend cuts off the
// folder by its own rules (a "\\" is part of a file name on Unix).
std::string name_without_extension(std::string_view file_name);

}  // namespace kq::settings
