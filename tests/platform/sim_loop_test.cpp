// The simulator's message loops, modal display, input and desktop.

#include <gmock/gmock.h>

#include <deque>
#include <functional>
#include <memory>

#include "sim_fixture.hpp"

namespace kq::platform::test {
namespace {

using ::testing::ElementsAre;

// The main window's double-click opens the dialog modally, as the program's
// own windows do; the steps of a small script drive both loops.
class SimLoops : public SimTest {
 protected:
  SimLoops() : main(sim, owner_design) {
    main.on_double_click = [this] {
      Window dialog(sim, dialog_design, &main);
      dialog.on_load = [this] { note("dialog load"); };
      dialog.on_unload = [this] { note("dialog unload"); };
      dialog.exec();
      note("double-click returns");
    };
    main.on_unload = [this] { note("main unload"); };
    auto& keeper = main.timer("A_TIMER");
    keeper.on_tick = [this] { note("tick " + std::to_string(sim.now())); };
    sim.set_driver(kq::platform::sim::drive_steps(steps));
  }
  void script(std::initializer_list<std::function<void()>> list) { steps.assign(list); }

  Window main;
  std::deque<std::function<void()>> steps;
};

TEST_F(SimLoops, ModalDialogRunsTheFollowingStepsUntilItCloses) {
  script({
      [this] { sim.double_click("main"); },
      [this] { sim.advance(2000); },
      [this] { note(sim.double_click("main") ? "main took input" : "main ignored input"); },
      [this] { note(sim.close("main") ? "main closed" : "main ignored close"); },
      [this] { sim.close("about"); },
      [this] { note("back in the main loop"); },
      [this] { sim.close("main"); },
      [this] { note("never reached"); },
  });
  main.show();
  auto& keeper = main.timer("A_TIMER");
  keeper.set_interval(1000);
  keeper.set_enabled(true);
  take_log();
  sim.run(main);
  EXPECT_THAT(take_log(), ElementsAre("open about", "dialog load", "shown about", "tick 1000", "tick 2000",
                                      "main ignored input", "main ignored close", "dialog unload",
                                      "closed about", "double-click returns", "back in the main loop",
                                      "main unload", "closed main"));
  EXPECT_FALSE(sim.driver_finished());
  EXPECT_EQ(sim.window("about"), nullptr);
}

TEST_F(SimLoops, TheEndOfTheScriptEndsEveryLoopWithoutClosing) {
  script({[this] { sim.double_click("main"); }});
  main.show();
  take_log();
  sim.run(main);
  EXPECT_THAT(take_log(), ElementsAre("open about", "dialog load", "shown about", "double-click returns"));
  EXPECT_TRUE(sim.driver_finished());
  EXPECT_FALSE(main.closed());
}

TEST_F(SimLoops, AFailingStepIsReportedAndTheLoopGoesOn) {
  script({[] { throw std::runtime_error("behaviour failed"); }, [this] { sim.close("main"); }});
  main.show();
  sim.run(main);
  EXPECT_EQ(sim.failure_count(), 1u);
  EXPECT_TRUE(main.closed());
}

TEST_F(SimLoops, InputFindsWindowsAndControlsByName) {
  main.show();
  EXPECT_EQ(sim.window("main"), &main);
  EXPECT_EQ(sim.window("about"), nullptr);
  EXPECT_FALSE(sim.click("main", "OPTION_TICKBOX")) << "hidden controls take no input";
  EXPECT_FALSE(sim.click("main", "NO_SUCH_CONTROL"));
  EXPECT_FALSE(sim.double_click("about"));
  Window dialog(sim, dialog_design, &main);
  dialog.show();
  EXPECT_EQ(sim.window("about"), &dialog);
  EXPECT_FALSE(sim.click("about", "HIDDEN_TICKBOX"));
  EXPECT_TRUE(sim.click("about", "FIRST_TICKBOX"));
  EXPECT_EQ(dialog.tick_box("FIRST_TICKBOX").value(), 0);
  EXPECT_FALSE(sim.double_click("about", "OK_BUTTON")) << "only labels take a double-click";
}

TEST_F(SimLoops, BehavioursSetPlacementAndTheUserMovesWithoutALine) {
  main.set_left(1000);
  main.set_top(1234.5f);
  main.set_width(4410);
  main.set_height(0.25f);
  main.show();
  EXPECT_TRUE(sim.move("main", 3000, -20));
  EXPECT_EQ(main.left(), 3000);
  EXPECT_EQ(main.top(), -20);
  EXPECT_EQ(main.width(), 4410);
  EXPECT_THAT(take_log(), ElementsAre("set main.Left 1000", "set main.Top 1234.5", "set main.Width 4410",
                                      "set main.Height 0.25", "shown main"));
}

TEST_F(SimLoops, CaptionLinesOnlyForRealChangesOfAWindowWhoseCaptionIsLogged) {
  main.set_caption("one");
  main.set_caption("one");
  main.set_caption("two");
  Window dialog(sim, dialog_design, &main);
  dialog.set_caption("not the program's output");
  EXPECT_THAT(take_log(), ElementsAre("caption one", "caption two", "open about"));
}

TEST_F(SimLoops, AWindowOfADesignNobodyNamedGoesByItsDesignName) {
  static const WindowDesign stranger_design{.name = "STRANGER", .caption = "", .controls = dialog_controls};
  main.show();
  Window stranger(sim, stranger_design, &main);
  stranger.set_caption("unwatched");
  stranger.show();
  EXPECT_EQ(sim.window("STRANGER"), &stranger);
  EXPECT_EQ(sim.window("about"), nullptr);
  EXPECT_TRUE(sim.click("STRANGER", "FIRST_TICKBOX"));
  EXPECT_EQ(sim.foreground_window(), main.handle()) << "the oldest open window is in front";
  EXPECT_THAT(take_log(), ElementsAre("shown main", "open STRANGER", "shown STRANGER",
                                      "GetForegroundWindow -> main"));
}

TEST_F(SimLoops, ForegroundIsResolvedAtEachCall) {
  main.show();
  take_log();
  EXPECT_EQ(sim.foreground_window(), main.handle());
  sim.set_foreground("about");
  EXPECT_EQ(sim.foreground_window(), no_window) << "no dialog is open";
  {
    Window dialog(sim, dialog_design, &main);
    dialog.show();
    EXPECT_EQ(sim.foreground_window(), dialog.handle());
    EXPECT_NE(dialog.handle(), main.handle());
  }
  sim.set_foreground("other");
  EXPECT_EQ(sim.foreground_window(), sim::other_window);
  sim.set_foreground("none");
  EXPECT_EQ(sim.foreground_window(), no_window);
  EXPECT_THAT(take_log(),
              ElementsAre("GetForegroundWindow -> main", "GetForegroundWindow -> none", "open about",
                          "shown about", "GetForegroundWindow -> about", "GetForegroundWindow -> other",
                          "GetForegroundWindow -> none"));
}

TEST_F(SimLoops, StackingCallsSetAndClearTopmost) {
  main.show();
  take_log();
  const std::uint32_t flags = swp_nomove | swp_nosize | swp_noactivate;
  EXPECT_FALSE(sim.topmost(main.handle()));
  sim.set_window_pos(sim::other_window, Stacking::topmost, flags);
  sim.set_window_pos(main.handle(), Stacking::topmost, flags);
  EXPECT_TRUE(sim.topmost(sim::other_window));
  sim.set_window_pos(sim::other_window, Stacking::not_topmost, flags);
  sim.set_window_pos(no_window, Stacking::not_topmost, 3);
  EXPECT_FALSE(sim.topmost(sim::other_window));
  EXPECT_TRUE(sim.topmost(main.handle()));
  EXPECT_THAT(take_log(), ElementsAre("SetWindowPos other TOPMOST 19", "SetWindowPos main TOPMOST 19",
                                      "SetWindowPos other NOTOPMOST 19", "SetWindowPos none NOTOPMOST 3"));
}

}  // namespace
}  // namespace kq::platform::test
