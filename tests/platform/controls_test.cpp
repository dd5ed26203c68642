// The shared controls, as every backend sees them (here through the simulator).

#include <gmock/gmock.h>

#include "sim_fixture.hpp"

namespace kq::platform::test {
namespace {

using ::testing::ElementsAre;

class Controls : public SimTest {
 protected:
  Controls() : main(sim, owner_design), dialog(sim, dialog_design, &main) {
    box = &dialog.tick_box("FIRST_TICKBOX");
    box->on_click = [this] { note("click behaviour sees " + std::to_string(box->value())); };
    dialog.push_button("OK_BUTTON").on_click = [this] { note("OK behaviour"); };
    main.show();
    dialog.show();
    take_log();
  }

  Window main;
  Window dialog;
  TickBox* box;
};

TEST_F(Controls, TickBoxRefusesValuesOutsideZeroToTwo) {
  for (int refused : {3, -1, 256, -32768}) {
    EXPECT_THROW(box->set_value(refused), RefusedValue) << refused;
    EXPECT_EQ(box->value(), 1);
  }
  EXPECT_TRUE(take_log().empty()) << "a refused value sets nothing and runs nothing";
}

TEST_F(Controls, SettingTheValueItHoldsRunsNothing) {
  box->set_value(1);
  EXPECT_THAT(take_log(), ElementsAre("set about.FIRST_TICKBOX 1"));
}

TEST_F(Controls, AChangingSetRunsTheClickBeforeItReturns) {
  box->set_value(0);
  note("set returned");
  box->set_value(2);
  note("set returned");
  EXPECT_THAT(take_log(), ElementsAre("set about.FIRST_TICKBOX 0", "click about.FIRST_TICKBOX",
                                      "click behaviour sees 0", "set returned", "set about.FIRST_TICKBOX 2",
                                      "click about.FIRST_TICKBOX", "click behaviour sees 2", "set returned"));
}

TEST_F(Controls, AUserClickTogglesBetweenOneAndZeroWithoutASetLine) {
  box->click();
  box->click();
  box->set_value(2);
  take_log();
  box->click();  // greyed counts as off: a click ticks it
  EXPECT_EQ(box->value(), 1);
  EXPECT_THAT(take_log(), ElementsAre("click about.FIRST_TICKBOX", "click behaviour sees 1"));
}

TEST_F(Controls, TickBoxWithoutBehaviourLogsOnlyTheSet) {
  main.tick_box("OPTION_TICKBOX").set_value(0);
  EXPECT_THAT(take_log(), ElementsAre("set main.OPTION_TICKBOX 0"));
}

TEST_F(Controls, TabVisitsFocusableControlsInTabOrder) {
  // The label (tab 0) and the hidden box (tab 4) are skipped.
  EXPECT_EQ(dialog.focus()->name(), "OK_BUTTON");
  std::vector<std::string_view> visited;
  for (int i = 0; i < 4; ++i) {
    dialog.deliver_key(Key::tab);
    visited.push_back(dialog.focus()->name());
  }
  EXPECT_THAT(visited, ElementsAre("FIRST_TICKBOX", "SECOND_TICKBOX", "OK_BUTTON", "FIRST_TICKBOX"));
}

TEST_F(Controls, KeysActOnTheFocusedControl) {
  dialog.deliver_key(Key::escape);
  dialog.deliver_key(Key::enter);
  dialog.deliver_key(Key::tab);
  dialog.deliver_key(Key::space);
  dialog.deliver_key(Key::enter);  // a tick box ignores Enter
  EXPECT_THAT(take_log(), ElementsAre("click about.OK_BUTTON", "OK behaviour", "click about.FIRST_TICKBOX",
                                      "click behaviour sees 0"));
  EXPECT_FALSE(dialog.closed()) << "Escape closes nothing";
}

TEST_F(Controls, LabelDoubleClickAndCaption) {
  auto& label = dialog.label("NOTE_LABEL");
  label.on_double_click = [&] { label.set_caption("changed"); };
  label.double_click();
  EXPECT_EQ(label.caption(), "changed");
}

TEST_F(Controls, NegativeIntervalGivesNoTicks) {
  auto& timer = main.timer("A_TIMER");
  timer.set_interval(-5);
  timer.set_enabled(true);
  EXPECT_EQ(timer.interval(), 0);
  EXPECT_FALSE(timer.running());
}

}  // namespace
}  // namespace kq::platform::test
