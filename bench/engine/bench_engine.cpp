// One full cascade round (six stages) and the number/text rules on their own,
// each beside a baseline that does the same work through the C library's
// snprintf("%.15G") and strtod. Compare the pairs' times in one run.

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "kq/engine/cascade.hpp"
#include "kq/engine/numbers.hpp"

namespace {

using namespace kq::engine;

// Tick counts stepping through a day so no two rounds see the same numbers.
std::uint64_t tick_for(std::int64_t iteration) {
  return 93784000 + static_cast<std::uint64_t>(iteration % 86400000) * 37;
}

void BM_CascadeRound(benchmark::State& state) {
  Worksheet sheet;
  std::int64_t i = 0;
  for (auto _ : state) {
    capture_stage(sheet, tick_for(i++));
    day_stage(sheet);
    hour_stage(sheet);
    minute_stage(sheet);
    second_stage(sheet);
    std::string caption = compose_caption(sheet);
    benchmark::DoNotOptimize(caption);
  }
}
BENCHMARK(BM_CascadeRound);

// The same round written the obvious way with the C library: %.15G text
// (with its exponent turned to two digits as the cells want) and strtod.
namespace baseline {

using Cells = std::array<std::string, cell_count>;

std::string& at(Cells& cells, Cell cell) { return cells[static_cast<std::size_t>(cell)]; }
double read(Cells& cells, Cell cell) { return std::strtod(at(cells, cell).c_str(), nullptr); }

void write(Cells& cells, Cell cell, double value) {
  if (!std::isfinite(value)) throw std::runtime_error("stage failure");
  char text[40];
  std::snprintf(text, sizeof text, "%.15G", value);
  at(cells, cell) = text;
}

void write_integer(Cells& cells, Cell cell, long long value) {
  char text[24];
  std::snprintf(text, sizeof text, "%lld", value);
  at(cells, cell) = text;
}

int whole(double x) { return static_cast<int>(std::nearbyint(std::round((x - 0.5) * 1e7) / 1e7)); }

std::string round(Cells& c, std::uint64_t ticks) {
  write_integer(c, Cell::START_TB, static_cast<long long>(ticks));
  const std::pair<Cell, Cell> units[] = {
      {Cell::YEARS_TB, Cell::TOTAL_MIL_YEAR}, {Cell::MONTHS_TB, Cell::TOTAL_MIL_MONTH},
      {Cell::WEEKS_TB, Cell::TOTAL_MIL_WEEK}, {Cell::DAYS_TB, Cell::TOTAL_MIL_DAY},
      {Cell::HOURS_TB, Cell::TOTAL_MIL_HOUR}, {Cell::MINS_TB, Cell::TOTAL_MIL_MIN},
      {Cell::SECS_TB, Cell::TOTAL_MIL_SEC}};
  for (const auto& [unit, total] : units) {
    const double divisor = read(c, total);
    write(c, unit, read(c, Cell::START_TB) / divisor);
  }
  at(c, Cell::DAYS_MIRROR_TB) = at(c, Cell::DAYS_TB);
  const int days = whole(read(c, Cell::DAYS_TB));
  write_integer(c, Cell::DAYS_ROUNDED_TB, days);

  write(c, Cell::HOURS_FULL, read(c, Cell::DAYS_ROUNDED_TB) * read(c, Cell::HOURS_24_TB));
  write(c, Cell::HOURS_LEFT_TB, read(c, Cell::HOURS_TB) - read(c, Cell::HOURS_FULL));
  write_integer(c, Cell::HOURS_ROUNDED_TB, whole(read(c, Cell::HOURS_LEFT_TB)));

  write(c, Cell::MINUTES_LEFT_X_60_TB, read(c, Cell::HOURS_LEFT_TB) * read(c, Cell::MINS_60_TB));
  write(c, Cell::MINUTES_ROUNDED_X_60_TB,
        read(c, Cell::HOURS_ROUNDED_TB) * read(c, Cell::MINS_60_TB));
  write(c, Cell::MINUTES_DIFFERENCE_LEFT_TB,
        read(c, Cell::MINUTES_LEFT_X_60_TB) - read(c, Cell::MINUTES_ROUNDED_X_60_TB));
  write_integer(c, Cell::MINUTES_DIFFERENCE_ROUNDED_TB,
                whole(read(c, Cell::MINUTES_DIFFERENCE_LEFT_TB)));

  write(c, Cell::SECONDS_LEFT_TB,
        read(c, Cell::MINUTES_DIFFERENCE_LEFT_TB) * read(c, Cell::SECS_60_TB));
  write(c, Cell::SECONDS_ROUNDED_TB,
        read(c, Cell::MINUTES_DIFFERENCE_ROUNDED_TB) * read(c, Cell::SECS_60_TB));
  write(c, Cell::SECONDS_DIFFERENCE_TB,
        read(c, Cell::SECONDS_LEFT_TB) - read(c, Cell::SECONDS_ROUNDED_TB));
  write_integer(c, Cell::SECONDS_DIFFERENCE_ROUNDED_TB,
                whole(read(c, Cell::SECONDS_DIFFERENCE_TB)));

  return "KQ-DADEDED: " + at(c, Cell::DAYS_ROUNDED_TB) + "d, " + at(c, Cell::HOURS_ROUNDED_TB) +
         "h, " + at(c, Cell::MINUTES_DIFFERENCE_ROUNDED_TB) + "m, " +
         at(c, Cell::SECONDS_DIFFERENCE_ROUNDED_TB) + "s";
}

}  // namespace baseline

void BM_CascadeRound_Baseline(benchmark::State& state) {
  baseline::Cells cells;
  for (std::size_t i = 0; i < cell_count; ++i) {
    cells[i] = std::string(cell_initial_text(static_cast<Cell>(i)));
  }
  std::int64_t i = 0;
  for (auto _ : state) {
    std::string caption = baseline::round(cells, tick_for(i++));
    benchmark::DoNotOptimize(caption);
  }
}
BENCHMARK(BM_CascadeRound_Baseline);

// Texts and values as the cascade meets them.
const std::array<const char*, 8> texts = {"93784000",         "1.08546296296296",
                                          "26.0511111111111", "2.0511111111111",
                                          "123.066666666666", "3.99999999995899",
                                          "0.155066137566138", "9.51293759512938E-08"};
const std::array<double, 8> values = {93784000.0 / 86400000.0, 93784000.0 / 3600000.0,
                                      93784000.0 / 60000.0,    93784000.0 / 604800000.0,
                                      2.0511111111111 * 60.0,  3.06666666666599 * 60.0,
                                      3000.0 / 31536000000.0,  24.0};

void BM_LenientRead(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(lenient_read(texts[i++ % texts.size()]));
}
BENCHMARK(BM_LenientRead);

void BM_StrictRead(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(strict_read(texts[i++ % texts.size()]));
}
BENCHMARK(BM_StrictRead);

void BM_Read_Baseline_strtod(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(std::strtod(texts[i++ % texts.size()], nullptr));
}
BENCHMARK(BM_Read_Baseline_strtod);

void BM_RealText(benchmark::State& state) {
  std::size_t i = 0;
  RealTextBuffer buffer;
  for (auto _ : state) benchmark::DoNotOptimize(real_text(values[i++ % values.size()], buffer));
}
BENCHMARK(BM_RealText);

void BM_RealText_Baseline_snprintf(benchmark::State& state) {
  std::size_t i = 0;
  char text[40];
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::snprintf(text, sizeof text, "%.15G", values[i++ % values.size()]));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_RealText_Baseline_snprintf);

void BM_WholePart(benchmark::State& state) {
  std::size_t i = 0;
  const std::array<double, 4> xs = {1.08546296296296, 2.0511111111111, 3.06666666666599,
                                    3.99999999995899};
  for (auto _ : state) benchmark::DoNotOptimize(whole_part(xs[i++ % xs.size()]));
}
BENCHMARK(BM_WholePart);

}  // namespace

BENCHMARK_MAIN();
