#include <array>
#include <charconv>
#include <cmath>

#include "kq/engine/cascade.hpp"
#include "kq/engine/numbers.hpp"
#include "written_number.hpp"

namespace kq::engine {
namespace {

constexpr std::uint64_t max_exact_integer = std::uint64_t{1} << 53;

constexpr std::array<std::string_view, 6> stage_names{"capture", "day",    "hour",
                                                      "minute",  "second", "display"};

// One run of one stage: every operation it needs, each failing the stage the
// way the cascade fails, so the step lists below read like the algorithm.
class StageRun {
 public:
  StageRun(Worksheet& sheet, Stage stage) : sheet_(sheet), stage_(stage) {}

  double lenient(Cell cell) {
    if (const auto known = sheet_.known_number(cell)) return known->value;
    const double value = lenient_read(sheet_.text(cell));
    sheet_.remember_number(cell, {value, false});
    return value;
  }

  // A non-finite result (division by zero, overflow) ends the stage here.
  double guarded(double result) const {
    if (!std::isfinite(result)) throw StageFailure(stage_);
    return result;
  }

  void write_real(Cell cell, double value) {
    RealTextBuffer buffer;
    double reads_as = 0;
    const std::string_view text = detail::real_text_and_reading(value, buffer, reads_as);
    // Beyond the double range the strict reading fails; let it find that out.
    sheet_.set_text(cell, text, {reads_as, std::isfinite(reads_as)});
  }

  void write_integer(Cell cell, std::int64_t value) {
    std::array<char, 24> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    // Every int32 is exact as a double.
    sheet_.set_text(cell, std::string_view(text.data(), static_cast<std::size_t>(end - text.data())),
                    {static_cast<double>(value), true});
  }

  void write_tick_count(std::uint64_t ticks) {
    std::array<char, 24> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), ticks).ptr;
    const std::string_view digits(text.data(), static_cast<std::size_t>(end - text.data()));
    if (ticks <= max_exact_integer) {
      sheet_.set_text(Cell::START_TB, digits, {static_cast<double>(ticks), true});
    } else {
      sheet_.set_text(Cell::START_TB, digits);  // the reading rounds it; leave that to it
    }
  }

  void copy(Cell from, Cell to) {
    sheet_.set_text(to, sheet_.text(from));
    if (const auto known = sheet_.known_number(from)) sheet_.remember_number(to, *known);
  }

  // Strict reading, then the whole part; either failing leaves the register as it was.
  void whole_part_into(Cell from, Register reg) {
    const auto known = sheet_.known_number(from);
    const std::optional<double> x =
        known && known->whole ? std::optional<double>(known->value) : strict_read(sheet_.text(from));
    if (!x) throw StageFailure(stage_);
    const std::optional<std::int32_t> whole = whole_part(*x);
    if (!whole) throw StageFailure(stage_);
    sheet_.set_reg(reg, *whole);
  }

  std::int32_t reg(Register reg) const { return sheet_.reg(reg); }

  // remainder * factor - whole * factor: this unit's remainder, then its whole part.
  void split(Cell larger_remainder, Cell larger_whole, Cell factor, Cell remainder_scaled,
             Cell whole_scaled, Cell remainder, Register whole_reg, Cell whole_cell) {
    write_real(remainder_scaled, guarded(lenient(larger_remainder) * lenient(factor)));
    write_real(whole_scaled, guarded(lenient(larger_whole) * lenient(factor)));
    write_real(remainder, guarded(lenient(remainder_scaled) - lenient(whole_scaled)));
    whole_part_into(remainder, whole_reg);
    write_integer(whole_cell, reg(whole_reg));
  }

 private:
  Worksheet& sheet_;
  Stage stage_;
};

struct UnitDivision {
  Cell unit;
  Cell total;
};

// Largest unit first; a failing division leaves the later units as they were.
constexpr std::array<UnitDivision, 7> capture_divisions{{
    {Cell::YEARS_TB, Cell::TOTAL_MIL_YEAR},
    {Cell::MONTHS_TB, Cell::TOTAL_MIL_MONTH},
    {Cell::WEEKS_TB, Cell::TOTAL_MIL_WEEK},
    {Cell::DAYS_TB, Cell::TOTAL_MIL_DAY},
    {Cell::HOURS_TB, Cell::TOTAL_MIL_HOUR},
    {Cell::MINS_TB, Cell::TOTAL_MIL_MIN},
    {Cell::SECS_TB, Cell::TOTAL_MIL_SEC},
}};

}  // namespace

std::string_view stage_name(Stage stage) { return stage_names[static_cast<std::size_t>(stage)]; }

std::optional<Stage> stage_by_name(std::string_view name) {
  for (std::size_t i = 0; i < stage_names.size(); ++i) {
    if (stage_names[i] == name) return static_cast<Stage>(i);
  }
  return std::nullopt;
}

StageFailure::StageFailure(Stage stage)
    : Failure("the " + std::string(stage_name(stage)) + " stage failed"),
      stage_(stage) {}

void capture_stage(Worksheet& sheet, std::uint64_t tick_count) {
  StageRun run(sheet, Stage::capture);
  run.write_tick_count(tick_count);
  for (const UnitDivision& division : capture_divisions) {
    const double total = run.lenient(division.total);
    const double start = run.lenient(Cell::START_TB);
    run.write_real(division.unit, run.guarded(start / total));
  }
  run.copy(Cell::DAYS_TB, Cell::DAYS_MIRROR_TB);
  run.whole_part_into(Cell::DAYS_TB, Register::DAYS_WHOLE);
}

void day_stage(Worksheet& sheet) {
  StageRun run(sheet, Stage::day);
  run.write_integer(Cell::DAYS_ROUNDED_TB, run.reg(Register::DAYS_WHOLE));
}

void hour_stage(Worksheet& sheet) {
  StageRun run(sheet, Stage::hour);
  // The total hours come straight from the capture, the whole days from the day stage.
  run.write_real(Cell::HOURS_FULL,
                 run.guarded(run.lenient(Cell::DAYS_ROUNDED_TB) * run.lenient(Cell::HOURS_24_TB)));
  run.write_real(Cell::HOURS_LEFT_TB,
                 run.guarded(run.lenient(Cell::HOURS_TB) - run.lenient(Cell::HOURS_FULL)));
  run.whole_part_into(Cell::HOURS_LEFT_TB, Register::HOURS_WHOLE);
  run.write_integer(Cell::HOURS_ROUNDED_TB, run.reg(Register::HOURS_WHOLE));
}

void minute_stage(Worksheet& sheet) {
  StageRun run(sheet, Stage::minute);
  run.split(Cell::HOURS_LEFT_TB, Cell::HOURS_ROUNDED_TB, Cell::MINS_60_TB,
            Cell::MINUTES_LEFT_X_60_TB, Cell::MINUTES_ROUNDED_X_60_TB,
            Cell::MINUTES_DIFFERENCE_LEFT_TB, Register::MINUTES_WHOLE,
            Cell::MINUTES_DIFFERENCE_ROUNDED_TB);
}

void second_stage(Worksheet& sheet) {
  StageRun run(sheet, Stage::second);
  run.split(Cell::MINUTES_DIFFERENCE_LEFT_TB, Cell::MINUTES_DIFFERENCE_ROUNDED_TB,
            Cell::SECS_60_TB, Cell::SECONDS_LEFT_TB, Cell::SECONDS_ROUNDED_TB,
            Cell::SECONDS_DIFFERENCE_TB, Register::SECONDS_WHOLE,
            Cell::SECONDS_DIFFERENCE_ROUNDED_TB);
}

}  // namespace kq::engine
