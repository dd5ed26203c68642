#include "kq/platform/linux/timer_schedule.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "kq/platform/window.hpp"

namespace kq::platform::linux_host {
namespace {

// A window needs a peer; these tests only look at the schedule, which the
// peer feeds from timer_changed.
class SchedulePeer final : public WindowPeer {
 public:
  SchedulePeer(TimerSchedule& schedule, std::int64_t& now) : schedule_(schedule), now_(now) {}
  Handle handle() const override { return 1; }
  float placement(Edge) const override { return 0; }
  void set_placement(Edge, float) override {}
  void caption_changed(std::string_view) override {}
  void control_changed(Control&) override {}
  void tick_box_setting(TickBox&, int) override {}
  void click_starting(Control&) override {}
  void timer_changed(Timer& timer, TimerSetting what) override { schedule_.changed(timer, what, now_); }
  void focus_changed(Control*) override {}
  void show(bool) override {}
  void close() override {}

 private:
  TimerSchedule& schedule_;
  std::int64_t& now_;
};

class SchedulePlatform final : public Platform {
 public:
  TimerSchedule schedule;
  std::int64_t now = 1000;
  std::unique_ptr<WindowPeer> create_peer(Window&, Window*) override {
    return std::make_unique<SchedulePeer>(schedule, now);
  }
  void run(Window&) override {}
  void run_modal(Window&, Window&) override {}
  std::uint64_t tick_count() override { return 0; }
  Handle foreground_window() override { return 0; }
  void set_window_pos(Handle, Stacking, std::uint32_t) override {}
};

ControlDesign timer_design(std::string_view name) {
  ControlDesign design{};
  design.name = name;
  design.kind = ControlKind::timer;
  return design;
}

const ControlDesign timers[] = {timer_design("KEEPER"), timer_design("FIRST"), timer_design("SECOND"),
                                timer_design("THIRD")};

WindowDesign window_design() {
  WindowDesign design{};
  design.name = "W";
  design.controls = timers;
  return design;
}
const WindowDesign design = window_design();

class TimerScheduleTest : public ::testing::Test {
 protected:
  TimerScheduleTest() {
    for (const char* name : {"KEEPER", "FIRST", "SECOND", "THIRD"})
      window.timer(name).on_tick = [this, name] { ticks.emplace_back(name); };
  }
  void start(const char* name, int interval) {
    window.timer(name).set_interval(interval);
    window.timer(name).set_enabled(true);
  }
  int serve_at(std::int64_t now) {
    platform.now = now;
    return platform.schedule.serve(now);
  }

  SchedulePlatform platform;
  Window window{platform, design};
  std::vector<std::string> ticks;
};

TEST_F(TimerScheduleTest, OneMillisecondTimerRunsNoFasterThanTheFloor) {
  start("FIRST", 1);
  EXPECT_EQ(platform.schedule.next_due(), 1000 + TimerSchedule::floor_ms);
  EXPECT_EQ(serve_at(1001), 0);
  EXPECT_EQ(serve_at(1000 + TimerSchedule::floor_ms), 1);
  EXPECT_EQ(platform.schedule.next_due(), 1000 + 2 * TimerSchedule::floor_ms);
}

TEST_F(TimerScheduleTest, TimersDueTogetherTickInOneWakeUpInDesignOrder) {
  // Started in another order than the design's, and a few milliseconds apart.
  start("THIRD", 1);
  platform.now += 2;
  start("FIRST", 1);
  start("SECOND", 1);
  start("KEEPER", 1000);
  EXPECT_EQ(serve_at(1018), 3);
  EXPECT_EQ(ticks, (std::vector<std::string>{"FIRST", "SECOND", "THIRD"}));
  // Re-armed from the same wake-up, they stay together.
  ticks.clear();
  EXPECT_EQ(serve_at(1018 + TimerSchedule::floor_ms), 3);
  for (const char* name : {"FIRST", "SECOND", "THIRD"}) window.timer(name).set_enabled(false);
  EXPECT_EQ(serve_at(2002), 1);  // the keeper alone
}

TEST_F(TimerScheduleTest, ATickThatStopsOrRestartsAnotherTimerIsHonouredInTheSameWakeUp) {
  start("FIRST", 1);
  start("SECOND", 1);
  start("THIRD", 1);
  window.timer("FIRST").on_tick = [this] {
    ticks.emplace_back("FIRST");
    window.timer("SECOND").set_enabled(false);
    window.timer("THIRD").set_enabled(false);
    window.timer("THIRD").set_enabled(true);  // armed afresh: due a period from now
  };
  EXPECT_EQ(serve_at(1016), 1);
  EXPECT_EQ(ticks, (std::vector<std::string>{"FIRST"}));
  EXPECT_EQ(platform.schedule.armed(), 2u);
}

TEST_F(TimerScheduleTest, NewIntervalRestartsTheCountSwitchingOnAgainDoesNot) {
  start("KEEPER", 1000);
  platform.now = 1500;
  window.timer("KEEPER").set_enabled(true);
  EXPECT_EQ(platform.schedule.next_due(), 2000);
  window.timer("KEEPER").set_interval(1000);
  EXPECT_EQ(platform.schedule.next_due(), 2500);
}

TEST_F(TimerScheduleTest, StoppedZeroIntervalAndForgottenTimersAreNotArmed) {
  window.timer("FIRST").set_enabled(true);  // interval 0: no ticks
  EXPECT_EQ(platform.schedule.armed(), 0u);
  start("SECOND", 1);
  window.timer("SECOND").set_interval(0);
  EXPECT_EQ(platform.schedule.armed(), 0u);
  start("THIRD", 1);
  platform.schedule.forget(window);
  EXPECT_FALSE(platform.schedule.next_due().has_value());
  EXPECT_EQ(serve_at(5000), 0);
}

TEST_F(TimerScheduleTest, AFailingTickEndsOnlyItself) {
  start("FIRST", 1);
  start("SECOND", 1);
  window.timer("FIRST").on_tick = [] { throw std::runtime_error("stage failed"); };
  EXPECT_EQ(serve_at(1016), 2);
  EXPECT_EQ(ticks, (std::vector<std::string>{"SECOND"}));
  EXPECT_EQ(platform.schedule.armed(), 2u);  // both tick again next time
}

}  // namespace
}  // namespace kq::platform::linux_host
