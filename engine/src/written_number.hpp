#pragma once
// Real text together with the number both readings make of it, so a stage
// that writes a real need not parse its own text again.

#include "kq/engine/numbers.hpp"

namespace kq::engine::detail {

// The real text of value (finite) in buffer; reads_as is what the lenient
// reading gives for that text (the value rounded to 15 digits, or an
// infinity where that lies beyond the double range).
std::string_view real_text_and_reading(double value, RealTextBuffer& buffer, double& reads_as);

}  // namespace kq::engine::detail
