// The timer schedule's policy for the real faces, against a fake clock: one
// wake-up a second shortly after the tick count passes each whole second,
// never a tick that reads the whole second itself, a quick first tick for a
// timer just switched on, catching up after a suspend, and the order of
// every burst.

#include "kq/platform/timer_schedule.hpp"

#include <gmock/gmock.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "kq/platform/window.hpp"

namespace kq::platform {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr TimerSchedule::Tuning real_face{
    .policy = TimerSchedule::Policy::whole_seconds, .floor_ms = 16, .after_ms = 2, .gather_ms = 1};

// The backend's part: every window joins the schedule, every setting is
// passed on with the fake clock's reading.
class FakePlatform;

class FakePeer final : public WindowPeer {
 public:
  FakePeer(FakePlatform& platform) : platform_(platform) {}
  Handle handle() const override { return 1; }
  float placement(Edge) const override { return 0; }
  void set_placement(Edge, float) override {}
  void caption_changed(std::string_view) override {}
  void control_changed(Control&) override {}
  void timer_changed(Timer& timer, TimerSetting what) override;
  void focus_changed(Control*) override {}
  void show(bool) override {}
  void close() override {}

 private:
  FakePlatform& platform_;
};

class FakePlatform final : public Platform {
 public:
  TimerSchedule schedule{real_face};
  std::int64_t clock = 0;  // what the tick count reads now

  std::unique_ptr<WindowPeer> create_peer(Window& window, Window*) override {
    auto peer = std::make_unique<FakePeer>(*this);
    schedule.add(window, clock);
    return peer;
  }
  void run(Window&) override {}
  void run_modal(Window&, Window&) override {}
  std::uint64_t tick_count() override {
    return static_cast<std::uint64_t>(schedule.tick_count([this] { return clock; }));
  }
  Handle foreground_window() override { return 0; }
  void set_window_pos(Handle, Stacking, std::uint32_t) override {}
};

void FakePeer::timer_changed(Timer& timer, TimerSetting what) { platform_.schedule.changed(timer, what, platform_.clock); }

ControlDesign timer_design(std::string_view name) {
  ControlDesign design{};
  design.name = name;
  design.kind = ControlKind::timer;
  design.enabled = false;
  return design;
}

// Like the main window: the keeper, then the stages from capture to display.
const ControlDesign main_timers[] = {timer_design("KEEPER"), timer_design("CAPTURE"), timer_design("DAY"),
                                     timer_design("DISPLAY")};
const WindowDesign main_design{.name = "MAIN", .caption = "", .controls = main_timers};
const ControlDesign dialog_timers[] = {timer_design("DIALOG")};
const WindowDesign dialog_design{.name = "DIALOG", .caption = "", .controls = dialog_timers};

const char* const stages[] = {"CAPTURE", "DAY", "DISPLAY"};

class WholeSeconds : public ::testing::Test {
 protected:
  WholeSeconds() {
    platform.clock = 5300;
    main = std::make_unique<Window>(platform, main_design);
    for (const auto& control : main->controls()) watch(static_cast<Timer&>(*control));
  }
  void watch(Timer& timer) {
    timer.on_tick = [this, &timer] {
      ticks.push_back(std::string(timer.name()) + "@" + std::to_string(platform.tick_count()));
    };
  }
  void start(const char* name, int interval) {
    main->timer(name).set_interval(interval);
    main->timer(name).set_enabled(true);
  }
  void start_stages() {
    for (const char* name : stages) start(name, 1);
  }
  // The loop of a face on a fine clock: sleeps until the next due time,
  // reads the clock, serves. Returns the wake-ups that ticked something.
  int run_until(std::int64_t end) {
    int wake_ups = 0;
    while (auto due = platform.schedule.next_due()) {
      if (*due > end) break;
      platform.clock = std::max(platform.clock, *due);
      if (platform.schedule.serve(platform.clock) > 0) ++wake_ups;
    }
    platform.clock = std::max(platform.clock, end);
    return wake_ups;
  }
  std::vector<std::string> take() { return std::exchange(ticks, {}); }

  FakePlatform platform;
  std::unique_ptr<Window> main;
  std::vector<std::string> ticks;
};

TEST_F(WholeSeconds, SwitchedOnTheyTickSoonThenOnceASecondJustAfterIt) {
  start_stages();
  EXPECT_EQ(platform.schedule.next_due(), 5316);
  EXPECT_EQ(run_until(5999), 1);
  EXPECT_THAT(take(), ElementsAre("CAPTURE@5316", "DAY@5316", "DISPLAY@5316"));
  EXPECT_EQ(run_until(9999), 4);
  EXPECT_THAT(take(), ElementsAre("CAPTURE@6002", "DAY@6002", "DISPLAY@6002", "CAPTURE@7002", "DAY@7002",
                                  "DISPLAY@7002", "CAPTURE@8002", "DAY@8002", "DISPLAY@8002", "CAPTURE@9002",
                                  "DAY@9002", "DISPLAY@9002"));
  // An hour on: one wake-up a second, no more.
  EXPECT_EQ(run_until(9999 + 3600 * 1000), 3600);
}

TEST_F(WholeSeconds, TheKeeperRidesTheSameWakeUpsAndNeverComesEarly) {
  start("KEEPER", 1000);
  start_stages();
  EXPECT_EQ(run_until(8999), 4);  // 5316, 6002, then 7002 and 8002 with the keeper
  EXPECT_THAT(take(), ElementsAre("CAPTURE@5316", "DAY@5316", "DISPLAY@5316",  //
                                  "CAPTURE@6002", "DAY@6002", "DISPLAY@6002",  //
                                  "KEEPER@7002", "CAPTURE@7002", "DAY@7002", "DISPLAY@7002",
                                  "KEEPER@8002", "CAPTURE@8002", "DAY@8002", "DISPLAY@8002"));
  // Switched on, a 1000 ms timer waits at least its interval for the first
  // tick, up to the next wake-up.
  for (const char* name : stages) main->timer(name).set_enabled(false);
  struct Case {
    std::int64_t on;
    std::int64_t first;
  };
  for (Case c : {Case{10001, 11002}, Case{10002, 11002}, Case{10003, 12002}, Case{10999, 12002}}) {
    main->timer("KEEPER").set_enabled(false);
    platform.clock = c.on;
    main->timer("KEEPER").set_enabled(true);
    EXPECT_EQ(platform.schedule.next_due(), c.first) << c.on;
    run_until(c.first);
    EXPECT_THAT(take(), ElementsAre("KEEPER@" + std::to_string(c.first))) << c.on;
  }
}

TEST_F(WholeSeconds, SettingARunningTimerAgainKeepsItsRhythm) {
  start("KEEPER", 1000);
  start_stages();
  run_until(7500);
  take();
  main->timer("KEEPER").set_interval(1000);  // what the start-up schedule might do again
  for (const char* name : stages) main->timer(name).set_enabled(true);
  EXPECT_EQ(platform.schedule.next_due(), 8002);
  EXPECT_EQ(run_until(8002), 1);
  EXPECT_EQ(take().size(), 4u);
}

TEST_F(WholeSeconds, SwitchedOnBetweenTwoSecondsInAnyOrderTheyTickTogetherInDesignOrder) {
  start("KEEPER", 1000);
  run_until(7400);
  take();
  // The AutoStart switch's order, spread over a millisecond boundary.
  for (const char* name : {"DAY", "DISPLAY"}) start(name, 1);
  platform.clock = 7401;
  start("CAPTURE", 1);
  EXPECT_EQ(run_until(7999), 1);
  EXPECT_THAT(take(), ElementsAre("CAPTURE@7416", "DAY@7416", "DISPLAY@7416"));
  EXPECT_EQ(run_until(8002), 1);
  EXPECT_THAT(take(), ElementsAre("KEEPER@8002", "CAPTURE@8002", "DAY@8002", "DISPLAY@8002"));
}

TEST_F(WholeSeconds, OlderWindowsGoFirst) {
  Window dialog(platform, dialog_design);
  watch(dialog.timer("DIALOG"));
  dialog.timer("DIALOG").set_interval(1);
  dialog.timer("DIALOG").set_enabled(true);
  start("DISPLAY", 1);
  run_until(6002);
  EXPECT_THAT(take(), ElementsAre("DISPLAY@5316", "DIALOG@5316", "DISPLAY@6002", "DIALOG@6002"));
  dialog.unload();
  platform.schedule.remove(dialog);
  run_until(7002);
  EXPECT_THAT(take(), ElementsAre("DISPLAY@7002"));
}

TEST_F(WholeSeconds, ATickThatStopsOrRestartsALaterOneIsHonouredInTheSameBurst) {
  start_stages();
  main->timer("CAPTURE").on_tick = [this] {
    ticks.emplace_back("CAPTURE");
    main->timer("DAY").set_enabled(false);
    main->timer("DISPLAY").set_enabled(false);
    main->timer("DISPLAY").set_enabled(true);  // switched on afresh: a first tick soon
  };
  run_until(5316);
  EXPECT_THAT(take(), ElementsAre("CAPTURE"));
  EXPECT_EQ(platform.schedule.next_due(), 5316 + 16);
  EXPECT_EQ(platform.schedule.armed(), 2u);
}

TEST_F(WholeSeconds, StoppedIdleAndRemovedTimersAreNotArmed) {
  main->timer("CAPTURE").set_enabled(true);  // interval 0: no ticks
  start("DAY", 1);
  main->timer("DAY").set_interval(0);
  EXPECT_FALSE(platform.schedule.next_due().has_value());
  start("DISPLAY", 1);
  platform.schedule.remove(*main);
  main->timer("DISPLAY").set_interval(1);  // a closed window's timer set again
  EXPECT_FALSE(platform.schedule.next_due().has_value());
  EXPECT_EQ(platform.schedule.serve(99'000), 0);
}

TEST_F(WholeSeconds, AFailingTickEndsOnlyItself) {
  start_stages();
  main->timer("DAY").on_tick = [] { throw std::runtime_error("stage failed"); };
  run_until(6002);
  EXPECT_THAT(take(), ElementsAre("CAPTURE@5316", "DISPLAY@5316", "CAPTURE@6002", "DISPLAY@6002"));
}

TEST_F(WholeSeconds, AfterASuspendEachTimerTicksOnceAtOnceThenBackOnTheSecond) {
  start("KEEPER", 1000);
  start_stages();
  run_until(8002);
  take();
  platform.clock = 500'123;  // the machine slept: the boot clock moved on
  EXPECT_LT(*platform.schedule.next_due(), platform.clock);
  EXPECT_EQ(platform.schedule.serve(platform.clock), 4);
  EXPECT_THAT(take(), ElementsAre("KEEPER@500123", "CAPTURE@500123", "DAY@500123", "DISPLAY@500123"));
  EXPECT_EQ(platform.schedule.next_due(), 501'002);
}

TEST_F(WholeSeconds, AClockReadingTheWholeSecondIsNeverServed) {
  start_stages();
  run_until(5316);
  take();
  // A wake-up a little early, or a coarse clock that has not stepped yet:
  // nothing due is served at the whole second itself, however it got due.
  platform.clock = 6000;
  EXPECT_EQ(platform.schedule.serve(6000), 0);
  EXPECT_EQ(platform.schedule.next_due(), 6002);
  platform.clock = 6001;
  EXPECT_EQ(platform.schedule.serve(6001), 3);  // one millisecond early is gathered
  EXPECT_THAT(take(), ElementsAre("CAPTURE@6001", "DAY@6001", "DISPLAY@6001"));
  // Switched on again 16 ms before a second: the first tick falls on it.
  for (const char* name : stages) main->timer(name).set_enabled(false);
  platform.clock = 6984;
  for (const char* name : stages) main->timer(name).set_enabled(true);
  platform.clock = 7000;
  EXPECT_EQ(platform.schedule.serve(7000), 0);
  EXPECT_EQ(run_until(7001), 1);
  EXPECT_THAT(take(), ElementsAre("CAPTURE@7001", "DAY@7001", "DISPLAY@7001"));
}

// A clock that only moves in system timer steps (15.625 ms, read truncated
// to milliseconds), and a system timer that fires at the first step at or
// after the due time: every whole second still gives one burst, read past
// the second, within one step of it.
TEST_F(WholeSeconds, ACoarseClockWaitsOneStepPastTheSecond) {
  struct Case {
    const char* name;
    double step;
    std::int64_t switched_on;
  };
  for (Case c : {Case{"coarse", 15.625, 5300}, Case{"coarse, first tick on the second", 15.625, 5984},
                 Case{"fine", 1.0, 5300}, Case{"ten", 10.0, 5990}}) {
    SCOPED_TRACE(c.name);
    FakePlatform coarse;
    auto reading = [&](std::int64_t step) { return static_cast<std::int64_t>(std::floor(step * c.step)); };
    std::int64_t step = static_cast<std::int64_t>(std::ceil(static_cast<double>(c.switched_on) / c.step));
    coarse.clock = reading(step);
    Window window(coarse, main_design);
    std::vector<std::int64_t> captures;
    window.timer("CAPTURE").on_tick = [&] { captures.push_back(static_cast<std::int64_t>(coarse.tick_count())); };
    int bursts = 0;
    for (const char* name : stages) {
      window.timer(name).set_interval(1);
      window.timer(name).set_enabled(true);
    }
    window.timer("KEEPER").set_interval(1000);
    window.timer("KEEPER").set_enabled(true);
    for (; reading(step) < 65'000; ++step) {
      coarse.clock = reading(step);
      auto due = coarse.schedule.next_due();
      if (due && *due <= coarse.clock && coarse.schedule.serve(coarse.clock) > 0) ++bursts;
    }
    ASSERT_FALSE(captures.empty());
    EXPECT_LE(captures.front() - c.switched_on, 16 + static_cast<std::int64_t>(std::ceil(c.step)) + 1);
    // One burst a second after the first, each read past its second, soon.
    EXPECT_EQ(bursts, 1 + 64 - captures.front() / 1000);
    for (std::size_t i = 1; i < captures.size(); ++i) {
      const std::int64_t past = captures[i] % 1000;
      EXPECT_GE(past, 1) << captures[i];
      EXPECT_LE(past, 2 + static_cast<std::int64_t>(std::ceil(c.step))) << captures[i];
      EXPECT_EQ(captures[i] / 1000, captures[i - 1] / 1000 + 1) << captures[i];
    }
  }
}

TEST_F(WholeSeconds, TicksReadTheWakeUpsClockReading) {
  start("CAPTURE", 1);
  std::int64_t inside = 0;
  main->timer("CAPTURE").on_tick = [&] {
    platform.clock += 5;  // time passes during the tick
    inside = static_cast<std::int64_t>(platform.tick_count());
  };
  run_until(5316);
  EXPECT_EQ(inside, 5316);
  EXPECT_FALSE(platform.schedule.serving_at().has_value());
}

}  // namespace
}  // namespace kq::platform
