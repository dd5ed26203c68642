// The kq-cascade script protocol in process: what each command prints and
// which lines are outside the grammar.

#include <gtest/gtest.h>

#include <sstream>

#include "script.hpp"

namespace kq::tools {
namespace {

struct ScriptCase {
  const char* name;
  const char* script;
  const char* output;
  int status;
};
void PrintTo(const ScriptCase& c, std::ostream* os) { *os << c.name; }


class Script : public testing::TestWithParam<ScriptCase> {};

TEST_P(Script, PrintsExactlyThis) {
  std::istringstream in(GetParam().script);
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(run_script(in, out, err), GetParam().status);
  EXPECT_EQ(out.str(), GetParam().output);
  if (GetParam().status == 0) {
    EXPECT_EQ(err.str(), "");
  } else {
    EXPECT_NE(err.str().find("line "), std::string::npos) << err.str();
  }
}

const char* const names_caption =
    "KQ-DADEDED: DAYS_ROUNDED_TBd, HOURS_ROUNDED_TBh, MINUTES_DIFFERENCE_ROUNDED_TBm, "
    "SECONDS_DIFFERENCE_ROUNDED_TBs\n";

INSTANTIATE_TEST_SUITE_P(
    Commands, Script,
    testing::Values(
        ScriptCase{"Empty", "", "", 0},
        ScriptCase{"CommentsAndEmptyLines", "# get START_TB\n\n#\nget HOURS_24_TB\n", "24\n", 0},
        ScriptCase{"CarriageReturnsDropped", "get MINS_60_TB\r\nreg DAYS_WHOLE\r\n", "60\n0\n", 0},
        ScriptCase{"LastLineWithoutLineFeed", "get SECS_60_TB", "60\n", 0},
        ScriptCase{"NoCaptionBeforeDisplay", "caption\n", "", 0},
        ScriptCase{"CaptionOfCellNames", "display\ncaption\n", names_caption, 0},
        ScriptCase{"NewForgetsTheCaption", "display\nnew\ncaption\n", "", 0},
        ScriptCase{"NewRestoresEveryCell",
                   "set HOURS_24_TB 7\ncapture 5\nnew\nget HOURS_24_TB\nget START_TB\n",
                   "24\nSTART_TB\n", 0},
        ScriptCase{"SetKeepsBlanks", "set DAYS_ROUNDED_TB  a  b \nget DAYS_ROUNDED_TB\n",
                   " a  b \n", 0},
        ScriptCase{"SetEmptyText", "set DAYS_TB\nget DAYS_TB\nset HOURS_TB \nget HOURS_TB\n",
                   "\n\n", 0},
        ScriptCase{"DisplayTakesCellsAsText",
                   "set DAYS_ROUNDED_TB x\nset HOURS_ROUNDED_TB\ndisplay\ncaption\n",
                   "KQ-DADEDED: xd, h, MINUTES_DIFFERENCE_ROUNDED_TBm, "
                   "SECONDS_DIFFERENCE_ROUNDED_TBs\n",
                   0},
        ScriptCase{"CaptionStaysUntilTheNextDisplay",
                   "display\ncapture 93784000\nday\nhour\nminute\nsecond\ncaption\n"
                   "display\ncaption\n",
                   "KQ-DADEDED: DAYS_ROUNDED_TBd, HOURS_ROUNDED_TBh, "
                   "MINUTES_DIFFERENCE_ROUNDED_TBm, SECONDS_DIFFERENCE_ROUNDED_TBs\n"
                   "KQ-DADEDED: 1d, 2h, 3m, 4s\n",
                   0},
        ScriptCase{"FailureGoesOn",
                   "set TOTAL_MIL_YEAR 0\ncapture 5\nget START_TB\nreg DAYS_WHOLE\n",
                   "failed capture\n5\n0\n", 0},
        ScriptCase{"LargestCount", "capture 18446744073709551615\nget START_TB\n",
                   "failed capture\n18446744073709551615\n", 0},
        ScriptCase{"LeadingZerosAreDecimal", "capture 007\nget START_TB\n", "7\n", 0},
        ScriptCase{"EachStageFailureNamed",
                   "capture 93784000\nday\nset HOURS_24_TB 1e308\nhour\n"
                   "set MINS_60_TB 1e308\nminute\nset MINUTES_DIFFERENCE_LEFT_TB 5\n"
                   "set SECS_60_TB 1e308\nsecond\n",
                   "failed hour\nfailed minute\nfailed second\n", 0},
        // outside the grammar: named on standard error, status 2, output so far kept
        ScriptCase{"OutputBeforeABadLineStays", "get HOURS_24_TB\nbogus\nget HOURS_24_TB\n",
                   "24\n", 2},
        ScriptCase{"UnknownCommand", "Day\n", "", 2},
        ScriptCase{"BlankLineIsNotEmpty", " \n", "", 2},
        ScriptCase{"IndentedComment", " # note\n", "", 2},
        ScriptCase{"UnknownCell", "get NOPE\n", "", 2},
        ScriptCase{"TrailingSpaceAfterCell", "get START_TB \n", "", 2},
        ScriptCase{"MissingCell", "get\n", "", 2},
        ScriptCase{"SetWithoutCell", "set\n", "", 2},
        ScriptCase{"SetUnknownCell", "set NOPE 1\n", "", 2},
        ScriptCase{"UnknownRegister", "reg DAYS_TB\n", "", 2},
        ScriptCase{"CaptureWithoutCount", "capture\n", "", 2},
        ScriptCase{"CaptureEmptyCount", "capture \n", "", 2},
        ScriptCase{"CaptureTwoSpaces", "capture  5\n", "", 2},
        ScriptCase{"CaptureNegative", "capture -1\n", "", 2},
        ScriptCase{"CapturePlus", "capture +1\n", "", 2},
        ScriptCase{"CaptureFraction", "capture 1.5\n", "", 2},
        ScriptCase{"CaptureBeyondSixtyFourBits", "capture 18446744073709551616\n", "", 2},
        ScriptCase{"StageWithArgument", "day 1\n", "", 2},
        ScriptCase{"StageWithTrailingSpace", "display \n", "", 2},
        ScriptCase{"NewWithArgument", "new x\n", "", 2},
        ScriptCase{"CaptionWithArgument", "caption x\n", "", 2}),
    [](const testing::TestParamInfo<ScriptCase>& info) { return info.param.name; });

TEST(Script, BadLineIsNamedByNumber) {
  std::istringstream in("# one\n\nget HOURS_24_TB\nfrobnicate now\n");
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(run_script(in, out, err), exit_bad_script);
  EXPECT_NE(err.str().find("line 4"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("frobnicate now"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace kq::tools
