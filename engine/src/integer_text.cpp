#include <array>
#include <charconv>

#include "kq/engine/numbers.hpp"

namespace kq::engine {

std::string integer_text(std::int64_t value) {
  std::array<char, 24> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  return std::string(text.data(), result.ptr);
}

std::string integer_text(std::uint64_t value) {
  std::array<char, 24> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  return std::string(text.data(), result.ptr);
}

}  // namespace kq::engine
