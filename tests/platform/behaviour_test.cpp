#include "kq/platform/behaviour.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace kq::platform {
namespace {

TEST(RunBehaviour, AFailureEndsTheBehaviourAtItsStepAndGoesToTheSink) {
  std::vector<std::string> reported;
  const FailureSink sink = [&](std::string_view what) { reported.emplace_back(what); };
  std::vector<int> steps;

  EXPECT_TRUE(run_behaviour([&] { steps.push_back(1); }, &sink));
  EXPECT_FALSE(run_behaviour(
      [&] {
        steps.push_back(2);
        throw std::invalid_argument("refused value 3");
      },
      &sink));
  EXPECT_EQ(steps, (std::vector<int>{1, 2}));
  EXPECT_EQ(reported, (std::vector<std::string>{"refused value 3"}));
  // Not a standard exception: no failure of the program's; it goes on up.
  EXPECT_THROW(run_behaviour([] { throw 42; }, &sink), int);
  EXPECT_EQ(reported.size(), 1u);

  // No sink, or an empty one: the failure still stops here.
  EXPECT_FALSE(run_behaviour([] { throw std::runtime_error("x"); }));
  const FailureSink empty;
  EXPECT_FALSE(run_behaviour([] { throw std::runtime_error("x"); }, &empty));
}

}  // namespace
}  // namespace kq::platform
