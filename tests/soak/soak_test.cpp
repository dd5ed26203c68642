// The whole program on the simulator for days of virtual time, across the
// point where a 32-bit tick counter would wrap (2^32 ms, 49.7 days): the
// caption is compared every simulated second with the uptime computed
// independently from the tick count of the stages' last run.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "kq/platform/sim/sim_platform.hpp"
#include "kq/settings/memory_store.hpp"
#include "kq/ui/main_window.hpp"
#include "uptime_model.hpp"

namespace kq::soak {
namespace {

constexpr std::uint64_t day = 86400000;
constexpr std::uint64_t wrap_point = std::uint64_t{1} << 32;

struct SoakRun {
  std::uint64_t first_count;  // the tick counter at start-up
  std::uint64_t seconds;      // simulated seconds to run
  std::uint32_t floor;        // the bound on the timers' period, ms
};

struct Figures {
  std::uint64_t samples = 0;
  std::uint64_t boundary_samples = 0;  // caption differs from the plain uptime, as allowed
  std::uint64_t mismatches = 0;
};

Figures soak(const SoakRun& run) {
  platform::sim::SimPlatform sim;
  sim.set_timer_floor(run.floor);
  sim.set_tick_count(run.first_count);
  settings::MemoryStore store;  // empty: both options on
  ui::MainWindow main(sim, store);
  main.show();
  sim.set_foreground("other");  // the keeper works every second

  Figures figures;
  for (std::uint64_t second = 1; second <= run.seconds; ++second) {
    sim.advance(1000);
    // All six stages run together, in cascade order, every `floor` ms from
    // start-up; the caption shows the count of the last such run.
    const std::uint64_t last_run = sim.now() / run.floor * run.floor;
    const std::uint64_t count = run.first_count + last_run;
    const std::string& caption = main.caption();
    ++figures.samples;
    if (last_run == 0) {  // no stage has run yet
      EXPECT_EQ(caption, ui::disabled_caption);
      continue;
    }
    if (caption == caption_of(plain_uptime(count))) continue;
    if (caption == caption_of(boundary_uptime(count))) {
      ++figures.boundary_samples;
      continue;
    }
    if (++figures.mismatches <= 10)
      ADD_FAILURE() << "at tick count " << count << ": " << caption << ", expected "
                    << caption_of(plain_uptime(count));
  }
  EXPECT_TRUE(sim.topmost(main.handle()));
  EXPECT_EQ(sim.failure_count(), 0u);
  return figures;
}

void report(const char* name, const SoakRun& run, const Figures& figures, std::chrono::duration<double> took) {
  std::printf("%s: %llu simulated seconds from tick count %llu, floor %u ms: %llu samples, %llu at an exact "
              "boundary, %.1f s real time\n",
              name, static_cast<unsigned long long>(run.seconds),
              static_cast<unsigned long long>(run.first_count), run.floor,
              static_cast<unsigned long long>(figures.samples),
              static_cast<unsigned long long>(figures.boundary_samples), took.count());
}

void soak_and_report(const char* name, const SoakRun& run) {
  const auto began = std::chrono::steady_clock::now();
  const Figures figures = soak(run);
  report(name, run, figures, std::chrono::steady_clock::now() - began);
  EXPECT_EQ(figures.mismatches, 0u);
  EXPECT_GT(figures.boundary_samples, 0u) << "the run met no exact unit boundary";
}

#ifndef KQ_SOAK_LONG

// The caption model itself, on the counts the cascade is known to show.
TEST(UptimeModel, ExactBoundariesFollowTheWholePartStep) {
  struct Case {
    std::uint64_t count;
    const char* caption;
  };
  const Case cases[] = {
      {0, "KQ-DADEDED: 0d, 0h, 0m, 0s"},
      {3000, "KQ-DADEDED: 0d, 0h, 0m, 2s"},
      {4000, "KQ-DADEDED: 0d, 0h, 0m, 4s"},
      {59999, "KQ-DADEDED: 0d, 0h, 0m, 59s"},
      {60000, "KQ-DADEDED: 0d, 0h, 0m, 60s"},
      {180000, "KQ-DADEDED: 0d, 0h, 2m, 60s"},
      {3600000, "KQ-DADEDED: 0d, 0h, 60m, 0s"},
      {7200000, "KQ-DADEDED: 0d, 2h, 0m, 0s"},
      {86400000, "KQ-DADEDED: 0d, 24h, 0m, 0s"},
      {86399999, "KQ-DADEDED: 0d, 23h, 59m, 59s"},
      {93784000, "KQ-DADEDED: 1d, 2h, 3m, 4s"},
      {2147483648, "KQ-DADEDED: 24d, 20h, 31m, 23s"},
      {4294967295, "KQ-DADEDED: 49d, 17h, 2m, 47s"},
  };
  for (const auto& c : cases) EXPECT_EQ(caption_of(boundary_uptime(c.count)), c.caption) << c.count;
}

// Nine virtual hours across 2^32 ms (seconds of real time even under the
// sanitizers). The floor, a little over a second, puts every run of the
// stages under a check and walks the runs through every millisecond of the
// second, so odd seconds are met exactly now and then; one run falls 3 ms
// before the 50th day, inside the band where the days already read as whole.
TEST(Soak, HoursAcrossTheCounterWrap) {
  constexpr std::uint32_t floor = 1003;
  constexpr std::uint64_t run_near_day_50 = 28547;
  const SoakRun run{50 * day - 3 - run_near_day_50 * floor, 9 * 3600, floor};
  ASSERT_LT(run.first_count, wrap_point);
  ASSERT_GT(run.first_count + run.seconds * 1000, 50 * day);
  soak_and_report("soak", run);
}

#else

// Eleven weeks of virtual time from just after start-up to day 77, 2^32 ms
// (day 49.7) on the way.
TEST(Soak, WeeksAcrossTheCounterWrap) {
  const SoakRun run{123, 77ull * 24 * 3600, 1003};
  ASSERT_GT(run.first_count + run.seconds * 1000, wrap_point);
  soak_and_report("long soak", run);
}

#endif

}  // namespace
}  // namespace kq::soak
