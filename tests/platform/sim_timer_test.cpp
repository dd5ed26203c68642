// The simulator's clock and timer schedule.

#include <gmock/gmock.h>

#include <stdexcept>

#include "sim_fixture.hpp"

namespace kq::platform::test {
namespace {

using ::testing::ElementsAre;

class SimTimers : public SimTest {
 protected:
  SimTimers() : owner(sim, owner_design) {
    a = &owner.timer("A_TIMER");
    b = &owner.timer("B_TIMER");
    a->on_tick = [this] { ticks.push_back("A@" + std::to_string(sim.now())); };
    b->on_tick = [this] { ticks.push_back("B@" + std::to_string(sim.now())); };
    owner.show();
  }
  static void start(Timer& timer, int interval) {
    timer.set_interval(interval);
    timer.set_enabled(true);
  }

  Window owner;
  Timer* a;
  Timer* b;
  std::vector<std::string> ticks;
};

TEST_F(SimTimers, WaitIncludesTheLastMillisecond) {
  start(*a, 1000);
  sim.advance(999);
  EXPECT_TRUE(ticks.empty());
  sim.advance(1);
  EXPECT_THAT(ticks, ElementsAre("A@1000"));
  sim.advance(2000);
  EXPECT_THAT(ticks, ElementsAre("A@1000", "A@2000", "A@3000"));
  EXPECT_EQ(sim.now(), 3000u);
}

TEST_F(SimTimers, DueTogetherGoInDesignOrderWhateverTheStartOrder) {
  start(*a, 2);
  start(*b, 2);
  sim.advance(4);
  EXPECT_THAT(ticks, ElementsAre("B@2", "A@2", "B@4", "A@4"));
}

TEST_F(SimTimers, OwnerBeforeDialogAtTheSameMoment) {
  Window dialog(sim, dialog_design, &owner);
  auto& d = dialog.timer("D_TIMER");
  d.on_tick = [this] { ticks.push_back("D@" + std::to_string(sim.now())); };
  start(d, 5);
  start(*a, 5);
  sim.advance(5);
  EXPECT_THAT(ticks, ElementsAre("A@5", "D@5"));
}

TEST_F(SimTimers, DifferentPeriodsInterleaveByTime) {
  start(*a, 3);
  start(*b, 2);
  sim.advance(6);
  EXPECT_THAT(ticks, ElementsAre("B@2", "A@3", "B@4", "B@6", "A@6"));
}

TEST_F(SimTimers, FloorBoundsShortPeriodsOnly) {
  sim.set_timer_floor(16);
  start(*a, 1);
  start(*b, 40);
  sim.advance(48);
  EXPECT_THAT(ticks, ElementsAre("A@16", "A@32", "B@40", "A@48"));
}

TEST_F(SimTimers, NoTicksWithoutIntervalOrWhenOff) {
  a->set_enabled(true);  // interval 0
  b->set_interval(5);    // off
  sim.advance(100);
  EXPECT_TRUE(ticks.empty());
}

TEST_F(SimTimers, EverySettingStartsThePeriodAfresh) {
  start(*a, 10);
  sim.advance(7);
  a->set_interval(10);  // the same interval again
  sim.advance(9);
  EXPECT_TRUE(ticks.empty());
  sim.advance(1);
  EXPECT_THAT(ticks, ElementsAre("A@17"));
  sim.advance(5);
  a->set_enabled(false);
  sim.advance(20);
  a->set_enabled(true);
  sim.advance(10);
  EXPECT_THAT(ticks, ElementsAre("A@17", "A@52"));
}

TEST_F(SimTimers, AChangeMadeInsideATickTakesEffectAtOnce) {
  start(*a, 2);
  start(*b, 2);
  b->on_tick = [this] {
    ticks.push_back("B@" + std::to_string(sim.now()));
    a->set_enabled(false);  // A was due at the same moment: it does not tick
  };
  sim.advance(10);
  EXPECT_THAT(ticks, ElementsAre("B@2", "B@4", "B@6", "B@8", "B@10"));
}

TEST_F(SimTimers, ATickIsNeverReentered) {
  start(*a, 1);
  start(*b, 1);
  int depth = 0;
  a->on_tick = [&] {
    ++depth;
    ticks.push_back("A" + std::to_string(depth) + "@" + std::to_string(sim.now()));
    if (depth == 1 && sim.now() == 1) sim.advance(2);  // a nested loop inside the tick
    --depth;
  };
  sim.advance(3);
  // B ticks inside A's nested loop; A does not; the outer loop then
  // carries on from where the nested one left the clock.
  EXPECT_THAT(ticks, ElementsAre("B@1", "A1@1", "B@2", "B@3"));
  EXPECT_EQ(sim.now(), 3u);
  sim.advance(1);
  EXPECT_THAT(ticks, ElementsAre("B@1", "A1@1", "B@2", "B@3", "B@4", "A1@4"));
}

TEST_F(SimTimers, AFailingTickIsReportedAndTheLoopGoesOn) {
  std::vector<std::string> failures;
  sim.set_failure_sink([&](std::string_view what) { failures.emplace_back(what); });
  start(*a, 1);
  start(*b, 1);
  b->on_tick = [] { throw std::runtime_error("stage failed"); };
  sim.advance(2);
  EXPECT_THAT(ticks, ElementsAre("A@1", "A@2"));
  EXPECT_THAT(failures, ElementsAre("stage failed", "stage failed"));
  EXPECT_EQ(sim.failure_count(), 2u);
}

TEST_F(SimTimers, AClosedWindowsTimersStop) {
  start(*a, 1);
  sim.advance(1);
  owner.unload();
  sim.advance(5);
  EXPECT_THAT(ticks, ElementsAre("A@1"));
}

TEST_F(SimTimers, TimerSettingsAreLoggedEvenWhenUnchanged) {
  take_log();
  a->set_interval(1000);
  a->set_enabled(true);
  a->set_enabled(true);
  a->set_enabled(false);
  EXPECT_THAT(take_log(), ElementsAre("timer A_TIMER interval 1000", "timer A_TIMER on",
                                      "timer A_TIMER on", "timer A_TIMER off"));
}

TEST(SimClock, TickCounterFollowsTheClockPastThirtyTwoBits) {
  SimPlatform sim;
  EXPECT_EQ(sim.tick_count(), 0u);
  sim.advance(250);
  EXPECT_EQ(sim.tick_count(), 250u);
  sim.set_tick_count(4294967295u);
  EXPECT_EQ(sim.tick_count(), 4294967295u);
  sim.advance(2);
  EXPECT_EQ(sim.tick_count(), 4294967297u);
  EXPECT_EQ(sim.now(), 252u);
}

}  // namespace
}  // namespace kq::platform::test
