// Main window behaviours that read more clearly as code than as scenarios:
// the state before load, the keeper's calls, failures that must not stop the
// program, and stored values the tick boxes cannot take.

#include <gmock/gmock.h>

#include <ostream>
#include <string>
#include <vector>

#include "kq/engine/worksheet.hpp"
#include "kq/ui/main_window_controls.hpp"
#include "ui_fixture.hpp"

namespace kq::ui::test {
namespace {

using ::testing::IsEmpty;
using engine::Cell;
namespace names = main_controls;

TEST_F(UiTest, JustCreatedNothingTicks) {
  EXPECT_EQ(main.caption(), "KQ-DADEDED: 00000X, 00X, 00X, 000X,");
  EXPECT_EQ(main.tick_box(names::AlwaysOnTop_TICKBOX).value(), 1);
  EXPECT_EQ(main.tick_box(names::AUTOSTART_TICKBOX).value(), 1);
  for (auto* timer : main.timers()) EXPECT_FALSE(timer->running()) << timer->name();
  sim.advance(10'000);
  EXPECT_THAT(log, IsEmpty());
}

struct KeeperCase {
  const char* front;
  std::vector<std::string> calls;
  friend void PrintTo(const KeeperCase& c, std::ostream* out) { *out << "front " << c.front; }
};

class Keeper : public UiTest, public ::testing::WithParamInterface<KeeperCase> {};

// The keeper asks twice, and its stacking calls never activate a window:
// flags SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE.
TEST_P(Keeper, CallsForTheWindowInFront) {
  store.values["AUTOSTART_TICKBOX"] = "0";  // keeps the engine out of the log
  main.show();
  sim.set_foreground(GetParam().front);
  take_log();
  sim.advance(999);
  EXPECT_THAT(take_log(), IsEmpty());
  sim.advance(1);
  EXPECT_EQ(take_log(), GetParam().calls);
  EXPECT_TRUE(failures.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Fronts, Keeper,
    ::testing::Values(
        KeeperCase{"main", {"GetForegroundWindow -> main"}},
        KeeperCase{"other",
                   {"GetForegroundWindow -> other", "GetForegroundWindow -> other",
                    "SetWindowPos other NOTOPMOST 19", "SetWindowPos main TOPMOST 19"}},
        KeeperCase{"none",
                   {"GetForegroundWindow -> none", "GetForegroundWindow -> none",
                    "SetWindowPos none NOTOPMOST 19", "SetWindowPos main TOPMOST 19"}}),
    [](const auto& info) { return std::string(info.param.front); });

TEST_F(UiTest, KeeperMakesMainTopmostAndDemotesTheOther) {
  main.show();
  sim.set_foreground("other");
  sim.advance(1000);
  EXPECT_TRUE(sim.topmost(main.handle()));
  EXPECT_FALSE(sim.topmost(platform::sim::other_window));
}

TEST_F(UiTest, TotalsTimerNeverRuns) {
  main.show();
  EXPECT_FALSE(main.timer(names::TOTALS_TIMER).running());
  EXPECT_EQ(main.timer(names::TOTALS_TIMER).interval(), 0);
}

// The hidden fields hold no text of their own: each reads its cell's, so
// what the stages write shows in the fields and what a driver sets in a field
// is the cell's new text.
TEST_F(UiTest, TextFieldsAreTheWorksheetCells) {
  for (std::size_t i = 0; i < engine::cell_count; ++i) {
    const auto cell = static_cast<Cell>(i);
    SCOPED_TRACE(engine::cell_name(cell));
    EXPECT_EQ(&main.text_field(engine::cell_name(cell)).text(), &main.worksheet().text(cell));
  }
  sim.set_tick_count(93'784'500);
  main.show();
  sim.advance(1);
  EXPECT_EQ(main.text_field("SECONDS_DIFFERENCE_ROUNDED_TB").text(), "4");
  main.text_field("DAYS_ROUNDED_TB").set_text("12");
  EXPECT_EQ(main.worksheet().text(Cell::DAYS_ROUNDED_TB), "12");
}

struct BrokenCell {
  Cell cell;
  const char* text;
  const char* caption;  // three seconds on, while the cell is broken
  friend void PrintTo(const BrokenCell& c, std::ostream* out) {
    *out << engine::cell_name(c.cell) << " = " << c.text;
  }
};

class StageFailures : public UiTest, public ::testing::WithParamInterface<BrokenCell> {};

// A stage that fails reaches no further than its timer: the other stages run
// on, the caption shows what they make of it (frozen where a failing stage
// feeds the seconds), and once the cell is mended the caption counts again.
TEST_P(StageFailures, AreSwallowedAndTheStagesGoOn) {
  sim.set_tick_count(93'784'500);
  main.show();
  sim.advance(1);
  EXPECT_EQ(main.caption(), "KQ-DADEDED: 1d, 2h, 3m, 4s");

  // Broken and mended as a driver would, through the cell's text field.
  auto& field = main.text_field(engine::cell_name(GetParam().cell));
  const std::string kept = field.text();
  field.set_text(GetParam().text);
  sim.advance(3000);
  EXPECT_EQ(main.caption(), GetParam().caption);
  EXPECT_THAT(failures, IsEmpty());
  EXPECT_EQ(sim.failure_count(), 0u);

  field.set_text(kept);
  sim.advance(10);
  EXPECT_EQ(main.caption(), "KQ-DADEDED: 1d, 2h, 3m, 7s");
}

INSTANTIATE_TEST_SUITE_P(Cells, StageFailures,
                         ::testing::Values(
                             // Division by zero before the days: nothing new reaches the hours.
                             BrokenCell{Cell::TOTAL_MIL_YEAR, "0", "KQ-DADEDED: 1d, 2h, 3m, 4s"},
                             // Whole days beyond 32 bits: the days keep 1, the rest counts on.
                             BrokenCell{Cell::TOTAL_MIL_DAY, "0.001", "KQ-DADEDED: 1d, 2h, 3m, 7s"},
                             // Hours beyond 32 bits, then an infinite product in the minutes.
                             BrokenCell{Cell::HOURS_24_TB, "1e308", "KQ-DADEDED: 1d, 2h, 3m, 4s"},
                             BrokenCell{Cell::MINS_60_TB, "1e308", "KQ-DADEDED: 1d, 2h, 3m, 4s"}));

struct StoredOption {
  const char* text;
  int value;
  friend void PrintTo(const StoredOption& o, std::ostream* out) { *out << '"' << o.text << '"'; }
};

class StoredOptions : public UiTest, public ::testing::WithParamInterface<StoredOption> {};

// A tick box takes 0, 1 and 2. Anything else it would refuse, and text that is
// no number, reads as the default (ticked) and the load goes on to its end.
TEST_P(StoredOptions, ReadAsTheTickBoxTakesThem) {
  store.values["AlwaysOnTop_TICKBOX"] = GetParam().text;
  store.values["AUTOSTART_TICKBOX"] = GetParam().text;
  main.show();
  EXPECT_EQ(main.tick_box(names::AlwaysOnTop_TICKBOX).value(), GetParam().value);
  EXPECT_EQ(main.tick_box(names::AUTOSTART_TICKBOX).value(), GetParam().value);
  EXPECT_EQ(main.caption(), disabled_caption);
  EXPECT_EQ(main.timer(names::AlwaysOnTopTimer).running(), GetParam().value == 1);
  EXPECT_EQ(main.timer(names::UPTIME_TIMER).running(), GetParam().value == 1);
  EXPECT_EQ(main.timer(names::KQ_DISPLAY_UPDATE_TIMER).interval(), 1);
  EXPECT_EQ(sim.failure_count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Texts, StoredOptions,
                         ::testing::Values(StoredOption{"0", 0}, StoredOption{"1", 1},
                                           StoredOption{"2", 2}, StoredOption{"3", 1},
                                           StoredOption{"-1", 1}, StoredOption{"32767", 1},
                                           StoredOption{"-32768", 1}, StoredOption{"99999", 1},
                                           StoredOption{"on", 1}, StoredOption{"", 1}));

TEST_F(UiTest, GarbledPlacementReadsAsDefaults) {
  store.values["MAIN_Left"] = "left";
  store.values["MAIN_Top"] = "-250.5";
  store.values["MAIN_Height"] = "3000";
  main.show();
  EXPECT_EQ(main.left(), 1000);
  EXPECT_EQ(main.top(), -250.5);
  EXPECT_EQ(main.width(), 4410);
  EXPECT_EQ(main.height(), 3000);
}

// A failed write keeps the old value of that key and loses nothing else.
TEST_F(UiTest, UnloadWritesTheOtherKeysWhenOneFails) {
  store.values["MAIN_Top"] = "77";
  store.values["AUTOSTART_TICKBOX"] = "0";
  store.failing = {"MAIN_Top"};
  run({[&] { sim.move("main", 1500, 2500); }, [&] { sim.close("main"); }});
  EXPECT_TRUE(main.closed());
  EXPECT_EQ(store.values["MAIN_Left"], "1500");
  EXPECT_EQ(store.values["MAIN_Top"], "77");
  EXPECT_EQ(store.values["AlwaysOnTop_TICKBOX"], "1");
  EXPECT_EQ(store.values["AUTOSTART_TICKBOX"], "0");
  EXPECT_FALSE(store.values.contains("MAIN_Width"));
  EXPECT_FALSE(store.values.contains("MAIN_Height"));
  EXPECT_EQ(sim.failure_count(), 0u);
}

}  // namespace
}  // namespace kq::ui::test
