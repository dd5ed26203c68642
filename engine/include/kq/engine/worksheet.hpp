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

struct CellInfo {
  std::string_view name;
  std::string_view initial;  // working cells start with their own name
};

// The one table of cell names and initial texts, in the order of Cell. It is
// constant data so that a window design can lay the cells out at compile time.
inline constexpr std::array<CellInfo, cell_count> cell_table{{
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

static_assert(cell_table.back().name == "SECONDS_DIFFERENCE_ROUNDED_TB",
              "the table follows the order of Cell");

constexpr std::string_view cell_name(Cell cell) {
  return cell_table[static_cast<std::size_t>(cell)].name;
}
constexpr std::string_view cell_initial_text(Cell cell) {
  return cell_table[static_cast<std::size_t>(cell)].initial;
}
std::optional<Cell> cell_by_name(std::string_view name);
std::string_view register_name(Register reg);
std::optional<Register> register_by_name(std::string_view name);

class Worksheet {
 public:
  Worksheet();  // every cell its initial text, every register 0

  const std::string& text(Cell cell) const { return cells_[index(cell)]; }
  void set_text(Cell cell, std::string_view text) {
    cells_[index(cell)].assign(text);
    numbers_[index(cell)] = {};
  }

  // What the readings make of a cell's current text, remembered by the stages
  // so that a text is not parsed again until it changes: any set_text forgets
  // it. `whole` says the strict reading gives the value too (otherwise the
  // strict reading has not been asked).
  struct KnownNumber {
    double value = 0;
    bool whole = false;
  };
  std::optional<KnownNumber> known_number(Cell cell) const {
    const Memo& memo = numbers_[index(cell)];
    if (!memo.known) return std::nullopt;
    return KnownNumber{memo.value, memo.whole};
  }
  void remember_number(Cell cell, KnownNumber number) {
    numbers_[index(cell)] = {number.value, true, number.whole};
  }
  void set_text(Cell cell, std::string_view text, KnownNumber number) {
    cells_[index(cell)].assign(text);
    remember_number(cell, number);
  }

  std::int32_t reg(Register r) const { return registers_[static_cast<std::size_t>(r)]; }
  void set_reg(Register r, std::int32_t value) { registers_[static_cast<std::size_t>(r)] = value; }

 private:
  static std::size_t index(Cell c) { return static_cast<std::size_t>(c); }
  struct Memo {
    double value = 0;
    bool known = false;
    bool whole = false;
  };
  std::array<std::string, cell_count> cells_;
  std::array<Memo, cell_count> numbers_{};
  std::array<std::int32_t, register_count> registers_{};
};

}  // namespace kq::engine
