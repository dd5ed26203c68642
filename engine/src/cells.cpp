#include <algorithm>
#include <array>

#include "kq/engine/worksheet.hpp"

namespace kq::engine {
namespace {

constexpr std::array<std::string_view, register_count> registers{
    "DAYS_WHOLE", "HOURS_WHOLE", "MINUTES_WHOLE", "SECONDS_WHOLE"};

}  // namespace

std::optional<Cell> cell_by_name(std::string_view name) {
  auto found = std::find_if(cell_table.begin(), cell_table.end(),
                            [name](const CellInfo& info) { return info.name == name; });
  if (found == cell_table.end()) return std::nullopt;
  return static_cast<Cell>(found - cell_table.begin());
}

std::string_view register_name(Register reg) { return registers[static_cast<std::size_t>(reg)]; }

std::optional<Register> register_by_name(std::string_view name) {
  auto found = std::find(registers.begin(), registers.end(), name);
  if (found == registers.end()) return std::nullopt;
  return static_cast<Register>(found - registers.begin());
}

}  // namespace kq::engine
