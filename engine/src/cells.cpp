#include <algorithm>
#include <array>

#include "kq/engine/worksheet.hpp"

namespace kq::engine {
namespace {

struct CellInfo {
  std::string_view name;
  std::string_view initial;  // working cells start with their own name
};

// Same order as the Cell enumeration.
constexpr std::array<CellInfo, cell_count> cells{{
    {"TOTAL_MIL_SEC", "1000"},
    {"TOTAL_MIL_MIN", "60000"},
    {"TOTAL_MIL_HOUR", "3600000"},
    {"TOTAL_MIL_DAY", "86400000"},
    {"TOTAL_MIL_WEEK", "604800000"},
    {"TOTAL_MIL_MONTH", "2419200000"},  // 28-day month
    {"TOTAL_MIL_YEAR", "31536000000"},  // 365-day year
    {"HOURS_24_TB", "24"},
    {"MINS_60_TB", "60"},
    {"SECS_60_TB", "60"},
    {"START_TB", "START_TB"},
    {"YEARS_TB", "YEARS_TB"},
    {"MONTHS_TB", "MONTHS_TB"},
    {"WEEKS_TB", "WEEKS_TB"},
    {"DAYS_TB", "DAYS_TB"},
    {"HOURS_TB", "HOURS_TB"},
    {"MINS_TB", "MINS_TB"},
    {"SECS_TB", "SECS_TB"},
    {"DAYS_MIRROR_TB", "DAYS_MIRROR_TB"},
    {"DAYS_ROUNDED_TB", "DAYS_ROUNDED_TB"},
    {"HOURS_FULL", "HOURS_FULL"},
    {"HOURS_LEFT_TB", "HOURS_LEFT_TB"},
    {"HOURS_ROUNDED_TB", "HOURS_ROUNDED_TB"},
    {"MINUTES_LEFT_X_60_TB", "MINUTES_LEFT_X_60_TB"},
    {"MINUTES_ROUNDED_X_60_TB", "MINUTES_ROUNDED_X_60_TB"},
    {"MINUTES_DIFFERENCE_LEFT_TB", "MINUTES_DIFFERENCE_LEFT_TB"},
    {"MINUTES_DIFFERENCE_ROUNDED_TB", "MINUTES_DIFFERENCE_ROUNDED_TB"},
    {"SECONDS_LEFT_TB", "SECONDS_LEFT_TB"},
    {"SECONDS_ROUNDED_TB", "SECONDS_ROUNDED_TB"},
    {"SECONDS_DIFFERENCE_TB", "SECONDS_DIFFERENCE_TB"},
    {"SECONDS_DIFFERENCE_ROUNDED_TB", "SECONDS_DIFFERENCE_ROUNDED_TB"},
}};

constexpr std::array<std::string_view, register_count> registers{
    "DAYS_WHOLE", "HOURS_WHOLE", "MINUTES_WHOLE", "SECONDS_WHOLE"};

}  // namespace

std::string_view cell_name(Cell cell) { return cells[static_cast<std::size_t>(cell)].name; }

std::string_view cell_initial_text(Cell cell) {
  return cells[static_cast<std::size_t>(cell)].initial;
}

std::optional<Cell> cell_by_name(std::string_view name) {
  auto found = std::find_if(cells.begin(), cells.end(),
                            [name](const CellInfo& info) { return info.name == name; });
  if (found == cells.end()) return std::nullopt;
  return static_cast<Cell>(found - cells.begin());
}

std::string_view register_name(Register reg) { return registers[static_cast<std::size_t>(reg)]; }

std::optional<Register> register_by_name(std::string_view name) {
  auto found = std::find(registers.begin(), registers.end(), name);
  if (found == registers.end()) return std::nullopt;
  return static_cast<Register>(found - registers.begin());
}

}  // namespace kq::engine
