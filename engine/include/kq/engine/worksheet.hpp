#pragma once
// The uptime worksheet: 31 named text cells and four whole-unit registers.
// Every intermediate result of the cascade lives here as text.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kq::engine {

// Constants first (unit totals, then unit factors), then the working cells in
// the order the cascade writes them.
enum class Cell : std::uint8_t {
  TOTAL_MIL_SEC,
  TOTAL_MIL_MIN,
  TOTAL_MIL_HOUR,
  TOTAL_MIL_DAY,
  TOTAL_MIL_WEEK,
  TOTAL_MIL_MONTH,
  TOTAL_MIL_YEAR,
  HOURS_24_TB,
  MINS_60_TB,
  SECS_60_TB,
  START_TB,
  YEARS_TB,
  MONTHS_TB,
  WEEKS_TB,
  DAYS_TB,
  HOURS_TB,
  MINS_TB,
  SECS_TB,
  DAYS_MIRROR_TB,
  DAYS_ROUNDED_TB,
  HOURS_FULL,
  HOURS_LEFT_TB,
  HOURS_ROUNDED_TB,
  MINUTES_LEFT_X_60_TB,
  MINUTES_ROUNDED_X_60_TB,
  MINUTES_DIFFERENCE_LEFT_TB,
  MINUTES_DIFFERENCE_ROUNDED_TB,
  SECONDS_LEFT_TB,
  SECONDS_ROUNDED_TB,
  SECONDS_DIFFERENCE_TB,
  SECONDS_DIFFERENCE_ROUNDED_TB,
};
inline constexpr std::size_t cell_count = 31;

enum class Register : std::uint8_t { DAYS_WHOLE, HOURS_WHOLE, MINUTES_WHOLE, SECONDS_WHOLE };
inline constexpr std::size_t register_count = 4;

std::string_view cell_name(Cell cell);
std::optional<Cell> cell_by_name(std::string_view name);
std::string_view cell_initial_text(Cell cell);
std::string_view register_name(Register reg);
std::optional<Register> register_by_name(std::string_view name);

class Worksheet {
 public:
  Worksheet();  // every cell its initial text, every register 0

  const std::string& text(Cell cell) const { return cells_[index(cell)]; }
  void set_text(Cell cell, std::string_view text) { cells_[index(cell)].assign(text); }

  std::int32_t reg(Register r) const { return registers_[static_cast<std::size_t>(r)]; }
  void set_reg(Register r, std::int32_t value) { registers_[static_cast<std::size_t>(r)] = value; }

 private:
  static std::size_t index(Cell c) { return static_cast<std::size_t>(c); }
  std::array<std::string, cell_count> cells_;
  std::array<std::int32_t, register_count> registers_{};
};

}  // namespace kq::engine
