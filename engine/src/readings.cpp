#include <cmath>

#include "kq/engine/numbers.hpp"
#include "number_syntax.hpp"

namespace kq::engine {

using detail::is_blank;

double lenient_read(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && is_blank(text[pos])) ++pos;
  const detail::NumberScan scan = detail::scan_number(text, pos);
  if (!scan.has_digits) return 0.0;
  // Whatever follows the number is ignored.
  return detail::number_value(text, scan);
}

std::optional<double> strict_read(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && is_blank(text[first])) ++first;
  while (last > first && is_blank(text[last - 1])) --last;
  const std::string_view trimmed = text.substr(first, last - first);

  const detail::NumberScan scan = detail::scan_number(trimmed, 0);
  if (!scan.has_digits || scan.end != trimmed.size()) return std::nullopt;
  const double value = detail::number_value(trimmed, scan);
  if (std::isinf(value)) return std::nullopt;  // beyond the range of a double
  return value;
}

}  // namespace kq::engine
