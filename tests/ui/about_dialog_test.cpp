// About dialog behaviours when the store will not take a write: the step
// after the failed write still runs, and the other keys are still written.

#include <algorithm>
#include <ostream>

#include "kq/ui/about_dialog.hpp"
#include "kq/ui/about_dialog_controls.hpp"
#include "kq/ui/main_window_controls.hpp"
#include "ui_fixture.hpp"

namespace kq::ui::test {
namespace {

TEST_F(UiTest, ClearingAutoStartShowsTheDisabledCaptionEvenWhenItsWriteFails) {
  store.failing = {"AUTOSTART_TICKBOX"};
  sim.set_tick_count(93'784'500);
  run({[&] { sim.advance(1); },
       [&] { sim.double_click("main"); },
       [&] { sim.click("about", about_controls::AUTOSTART_TICKBOX); },
       [&] {
         EXPECT_EQ(main.caption(), disabled_caption);
         EXPECT_EQ(main.tick_box(main_controls::AUTOSTART_TICKBOX).value(), 0);
         EXPECT_FALSE(main.timer(main_controls::UPTIME_TIMER).enabled());
         EXPECT_FALSE(main.timer(main_controls::KQ_DISPLAY_UPDATE_TIMER).enabled());
         sim.advance(2000);
         EXPECT_EQ(main.caption(), disabled_caption);
       },
       [&] { sim.close("about"); },
       [&] { sim.close("main"); }});
  EXPECT_TRUE(main.closed());
  EXPECT_FALSE(store.values.contains("AUTOSTART_TICKBOX"));
  EXPECT_EQ(sim.failure_count(), 0u);
}

TEST_F(UiTest, AboutPositionWritesGoOnPastAFailedKey) {
  store.failing = {"ABOUT_Left"};
  run({[&] { sim.double_click("main"); },
       [&] { sim.move("about", 3000, 4000); },
       [&] { sim.click("about", about_controls::OK_BUTTON); },
       [&] { sim.close("main"); }});
  EXPECT_TRUE(main.closed());
  EXPECT_FALSE(store.values.contains("ABOUT_Left"));
  EXPECT_EQ(store.values["ABOUT_Top"], "4000");
  EXPECT_EQ(store.values["MAIN_Left"], "1000");
  EXPECT_EQ(sim.failure_count(), 0u);
}

struct DialogOption {
  const char* stored;
  int dialog_value;  // the dialog's box after load
  int main_value;    // the main window's box after the dialog's load
  bool click_ran;
  friend void PrintTo(const DialogOption& o, std::ostream* out) { *out << '"' << o.stored << '"'; }
};

class DialogOptions : public UiTest, public ::testing::WithParamInterface<DialogOption> {};

// The dialog's boxes start ticked; only a stored value that changes one runs
// its click, and a value the box would refuse reads as ticked.
TEST_P(DialogOptions, LoadRunsTheClickOnlyOnAChange) {
  const auto& option = GetParam();
  store.values["AlwaysOnTop_TICKBOX"] = option.stored;
  run({[&] {
         main.tick_box(main_controls::AlwaysOnTop_TICKBOX).set_value(1);  // as if switched on meanwhile
         take_log();
         sim.double_click("main");
       },
       [&] {
         auto* about = sim.window("about");
         ASSERT_NE(about, nullptr);
         EXPECT_EQ(about->tick_box(about_controls::AlwaysOnTop_TICKBOX).value(), option.dialog_value);
         EXPECT_EQ(main.tick_box(main_controls::AlwaysOnTop_TICKBOX).value(), option.main_value);
         const auto lines = take_log();
         const bool clicked =
             std::find(lines.begin(), lines.end(), "click about.AlwaysOnTop_TICKBOX") != lines.end();
         EXPECT_EQ(clicked, option.click_ran);
         sim.close("about");
       },
       [&] { sim.close("main"); }});
  EXPECT_EQ(sim.failure_count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Stored, DialogOptions,
                         ::testing::Values(DialogOption{"1", 1, 1, false},
                                           DialogOption{"0", 0, 0, true},
                                           DialogOption{"2", 2, 0, true},
                                           DialogOption{"5", 1, 1, false},
                                           DialogOption{"x", 1, 1, false}));

}  // namespace
}  // namespace kq::ui::test
