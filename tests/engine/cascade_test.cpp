// The six stages over a worksheet: the worked example cell by cell, the
// captions at the edges of the tick count, the settling of runs out of
// cascade order, and stage failures with the writes they leave behind.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "kq/engine/cascade.hpp"

namespace kq::engine {
namespace {

class Cascade : public testing::Test {
 protected:
  // One run of each stage in cascade order; the caption of its display run.
  std::string round(std::uint64_t ticks) {
    capture_stage(sheet, ticks);
    day_stage(sheet);
    hour_stage(sheet);
    minute_stage(sheet);
    second_stage(sheet);
    return compose_caption(sheet);
  }

  // Every cell's text, to show what a failing stage did or did not write.
  std::map<Cell, std::string> snapshot() const {
    std::map<Cell, std::string> texts;
    for (std::size_t i = 0; i < cell_count; ++i) {
      const auto cell = static_cast<Cell>(i);
      texts[cell] = sheet.text(cell);
    }
    return texts;
  }

  // The cells whose text differs from the snapshot.
  std::vector<Cell> changed_since(const std::map<Cell, std::string>& before) const {
    std::vector<Cell> changed;
    for (const auto& [cell, text] : before) {
      if (sheet.text(cell) != text) changed.push_back(cell);
    }
    return changed;
  }

  Worksheet sheet;
};

TEST_F(Cascade, WorkedExampleCellByCell) {
  EXPECT_EQ(round(93784000), "KQ-DADEDED: 1d, 2h, 3m, 4s");
  const std::pair<Cell, const char*> expected[] = {
      {Cell::START_TB, "93784000"},
      {Cell::WEEKS_TB, "0.155066137566138"},
      {Cell::DAYS_TB, "1.08546296296296"},
      {Cell::DAYS_MIRROR_TB, "1.08546296296296"},
      {Cell::HOURS_TB, "26.0511111111111"},
      {Cell::MINS_TB, "1563.06666666667"},
      {Cell::SECS_TB, "93784"},
      {Cell::DAYS_ROUNDED_TB, "1"},
      {Cell::HOURS_FULL, "24"},
      {Cell::HOURS_LEFT_TB, "2.0511111111111"},
      {Cell::HOURS_ROUNDED_TB, "2"},
      {Cell::MINUTES_LEFT_X_60_TB, "123.066666666666"},
      {Cell::MINUTES_ROUNDED_X_60_TB, "120"},
      {Cell::MINUTES_DIFFERENCE_LEFT_TB, "3.06666666666599"},
      {Cell::MINUTES_DIFFERENCE_ROUNDED_TB, "3"},
      {Cell::SECONDS_LEFT_TB, "183.999999999959"},
      {Cell::SECONDS_ROUNDED_TB, "180"},
      {Cell::SECONDS_DIFFERENCE_TB, "3.99999999995899"},
      {Cell::SECONDS_DIFFERENCE_ROUNDED_TB, "4"},
      // 93784000 / 31536000000 and / 2419200000, to 15 digits
      {Cell::YEARS_TB, "0.00297387113140538"},
      {Cell::MONTHS_TB, "0.0387665343915344"},
  };
  for (const auto& [cell, text] : expected) EXPECT_EQ(sheet.text(cell), text) << cell_name(cell);
  EXPECT_EQ(sheet.reg(Register::DAYS_WHOLE), 1);
  EXPECT_EQ(sheet.reg(Register::HOURS_WHOLE), 2);
  EXPECT_EQ(sheet.reg(Register::MINUTES_WHOLE), 3);
  EXPECT_EQ(sheet.reg(Register::SECONDS_WHOLE), 4);
}

struct CaptionCase {
  std::uint64_t ticks;
  const char* caption;
};
void PrintTo(const CaptionCase& c, std::ostream* os) { *os << c.ticks; }


class CascadeCaption : public Cascade, public testing::WithParamInterface<CaptionCase> {};

TEST_P(CascadeCaption, OneRoundOnAFreshWorksheet) {
  EXPECT_EQ(round(GetParam().ticks), std::string("KQ-DADEDED: ") + GetParam().caption);
  EXPECT_EQ(sheet.text(Cell::START_TB), std::to_string(GetParam().ticks));
}

INSTANTIATE_TEST_SUITE_P(
    TickCounts, CascadeCaption,
    testing::Values(
        CaptionCase{0, "0d, 0h, 0m, 0s"}, CaptionCase{999, "0d, 0h, 0m, 0s"},
        CaptionCase{59999, "0d, 0h, 0m, 59s"}, CaptionCase{86399999, "0d, 23h, 59m, 59s"},
        CaptionCase{93784000, "1d, 2h, 3m, 4s"},
        // exact boundaries follow the whole-part step: odd whole values step back
        CaptionCase{4000, "0d, 0h, 0m, 4s"}, CaptionCase{3000, "0d, 0h, 0m, 2s"},
        CaptionCase{60000, "0d, 0h, 0m, 60s"}, CaptionCase{180000, "0d, 0h, 2m, 60s"},
        CaptionCase{3600000, "0d, 0h, 60m, 0s"}, CaptionCase{7200000, "0d, 2h, 0m, 0s"},
        CaptionCase{86400000, "0d, 24h, 0m, 0s"},
        CaptionCase{2147483648, "24d, 20h, 31m, 23s"},
        CaptionCase{4294967295, "49d, 17h, 2m, 47s"},
        // past the 32-bit range the count simply carries on
        CaptionCase{4294967296, "49d, 17h, 2m, 47s"},
        CaptionCase{4928523500, "57d, 1h, 2m, 3s"}));

TEST_F(Cascade, LargestThirtyTwoBitCountThenWrapToZero) {
  EXPECT_EQ(round(4294967295), "KQ-DADEDED: 49d, 17h, 2m, 47s");
  EXPECT_EQ(sheet.text(Cell::START_TB), "4294967295");
  EXPECT_EQ(sheet.text(Cell::DAYS_TB), "49.7102696180556");
  EXPECT_EQ(round(0), "KQ-DADEDED: 0d, 0h, 0m, 0s");
  EXPECT_EQ(sheet.text(Cell::START_TB), "0");
}

TEST_F(Cascade, TwoToTheThirtyFirst) {
  EXPECT_EQ(round(2147483648), "KQ-DADEDED: 24d, 20h, 31m, 23s");
  EXPECT_EQ(sheet.text(Cell::START_TB), "2147483648");
}

TEST_F(Cascade, ReverseOrderRoundsSettleOnTheFifth) {
  const std::vector<std::string> expected = {
      "KQ-DADEDED: DAYS_ROUNDED_TBd, HOURS_ROUNDED_TBh, MINUTES_DIFFERENCE_ROUNDED_TBm, "
      "SECONDS_DIFFERENCE_ROUNDED_TBs",
      "KQ-DADEDED: 0d, 0h, 0m, 0s",
      "KQ-DADEDED: 1d, 26h, 0m, 0s",
      "KQ-DADEDED: 1d, 2h, 3m, 0s",
      "KQ-DADEDED: 1d, 2h, 3m, 4s",
      "KQ-DADEDED: 1d, 2h, 3m, 4s",
  };
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(compose_caption(sheet), expected[i]) << "round " << i + 1;
    second_stage(sheet);
    minute_stage(sheet);
    hour_stage(sheet);
    day_stage(sheet);
    capture_stage(sheet, 93784000);
  }
}

TEST_F(Cascade, FirstRunsOnAFreshWorksheetSeeZeros) {
  day_stage(sheet);
  EXPECT_EQ(sheet.text(Cell::DAYS_ROUNDED_TB), "0");

  Worksheet fresh;
  hour_stage(fresh);
  minute_stage(fresh);
  second_stage(fresh);
  for (Cell cell :
       {Cell::HOURS_FULL, Cell::HOURS_LEFT_TB, Cell::HOURS_ROUNDED_TB, Cell::MINUTES_LEFT_X_60_TB,
        Cell::MINUTES_ROUNDED_X_60_TB, Cell::MINUTES_DIFFERENCE_LEFT_TB,
        Cell::MINUTES_DIFFERENCE_ROUNDED_TB, Cell::SECONDS_LEFT_TB, Cell::SECONDS_ROUNDED_TB,
        Cell::SECONDS_DIFFERENCE_TB, Cell::SECONDS_DIFFERENCE_ROUNDED_TB}) {
    EXPECT_EQ(fresh.text(cell), "0") << cell_name(cell);
  }
  EXPECT_EQ(fresh.text(Cell::START_TB), "START_TB");  // no capture ran
}

struct DriverCase {
  Cell cell;
  const char* text;
  const char* caption;
};
void PrintTo(const DriverCase& c, std::ostream* os) {
  *os << cell_name(c.cell) << '=' << c.text;
}


class DriverSetConstant : public Cascade, public testing::WithParamInterface<DriverCase> {};

TEST_P(DriverSetConstant, TakesEffectAtTheNextRound) {
  sheet.set_text(GetParam().cell, GetParam().text);
  EXPECT_EQ(round(93784000), std::string("KQ-DADEDED: ") + GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(Constants, DriverSetConstant,
                         testing::Values(DriverCase{Cell::HOURS_24_TB, "0", "1d, 26h, 3m, 4s"},
                                         DriverCase{Cell::SECS_60_TB, "0", "1d, 2h, 3m, 0s"},
                                         DriverCase{Cell::TOTAL_MIL_DAY, "86400000 ms",
                                                    "1d, 2h, 3m, 4s"},
                                         DriverCase{Cell::TOTAL_MIL_DAY, " 8.64e7",
                                                    "1d, 2h, 3m, 4s"}));

TEST_F(Cascade, FailedCaptureKeepsItsEarlierWritesAndTheOtherStagesGoOn) {
  ASSERT_EQ(round(93784000), "KQ-DADEDED: 1d, 2h, 3m, 4s");
  const auto before = snapshot();
  sheet.set_text(Cell::TOTAL_MIL_YEAR, "0");

  try {
    capture_stage(sheet, 100000000);
    FAIL() << "the capture divided by zero";
  } catch (const StageFailure& failure) {
    EXPECT_EQ(failure.stage(), Stage::capture);
  }
  EXPECT_EQ(sheet.text(Cell::START_TB), "100000000");
  EXPECT_EQ(sheet.text(Cell::DAYS_TB), "1.08546296296296");
  EXPECT_EQ(changed_since(before), (std::vector<Cell>{Cell::TOTAL_MIL_YEAR, Cell::START_TB}));
  EXPECT_EQ(sheet.reg(Register::DAYS_WHOLE), 1);

  day_stage(sheet);
  hour_stage(sheet);
  minute_stage(sheet);
  second_stage(sheet);
  EXPECT_EQ(compose_caption(sheet), "KQ-DADEDED: 1d, 2h, 3m, 4s");

  // A reused buffer holding a longer caption from before keeps nothing of it.
  std::string buffer = "KQ-DADEDED: 12345d, 23h, 59m, 59s and more";
  compose_caption(sheet, buffer);
  EXPECT_EQ(buffer, "KQ-DADEDED: 1d, 2h, 3m, 4s");
}

struct CaptureFailureCase {
  const char* name;
  Cell total;
  const char* text;
  std::uint64_t ticks;
  std::vector<Cell> written;  // besides START_TB, in the order written
};
void PrintTo(const CaptureFailureCase& c, std::ostream* os) { *os << c.name; }


class CaptureFailure : public Cascade, public testing::WithParamInterface<CaptureFailureCase> {};

TEST_P(CaptureFailure, EndsAtTheFailingStep) {
  const CaptureFailureCase& c = GetParam();
  sheet.set_text(c.total, c.text);
  sheet.set_reg(Register::DAYS_WHOLE, 17);
  const auto before = snapshot();
  EXPECT_THROW(capture_stage(sheet, c.ticks), StageFailure);

  std::vector<Cell> expected_changes = c.written;
  if (sheet.text(Cell::START_TB) != before.at(Cell::START_TB)) {
    expected_changes.insert(expected_changes.begin(), Cell::START_TB);
  }
  std::sort(expected_changes.begin(), expected_changes.end());
  EXPECT_EQ(changed_since(before), expected_changes);
  EXPECT_EQ(sheet.text(Cell::START_TB), std::to_string(c.ticks));
  EXPECT_EQ(sheet.reg(Register::DAYS_WHOLE), 17);  // the register keeps its value
}

const std::vector<Cell> all_units = {Cell::YEARS_TB, Cell::MONTHS_TB, Cell::WEEKS_TB,
                                     Cell::DAYS_TB,  Cell::HOURS_TB,  Cell::MINS_TB,
                                     Cell::SECS_TB};

INSTANTIATE_TEST_SUITE_P(
    Cases, CaptureFailure,
    testing::Values(
        CaptureFailureCase{"EmptyDay", Cell::TOTAL_MIL_DAY, "", 93784000,
                           {Cell::YEARS_TB, Cell::MONTHS_TB, Cell::WEEKS_TB}},
        CaptureFailureCase{"LettersForAYear", Cell::TOTAL_MIL_YEAR, "year", 93784000, {}},
        CaptureFailureCase{"ZeroByZero", Cell::TOTAL_MIL_HOUR, "0", 0,
                           {Cell::YEARS_TB, Cell::MONTHS_TB, Cell::WEEKS_TB, Cell::DAYS_TB}},
        // the quotient overflows the double range
        CaptureFailureCase{"TinySecond", Cell::TOTAL_MIL_SEC, "1e-310", 93784000,
                           {Cell::YEARS_TB, Cell::MONTHS_TB, Cell::WEEKS_TB, Cell::DAYS_TB,
                            Cell::HOURS_TB, Cell::MINS_TB}},
        // the days reach 2^31: every cell written, the whole-part step fails
        CaptureFailureCase{"ThousandthDay", Cell::TOTAL_MIL_DAY, "0.001", 93784000,
                           {Cell::YEARS_TB, Cell::MONTHS_TB, Cell::WEEKS_TB, Cell::DAYS_TB,
                            Cell::HOURS_TB, Cell::MINS_TB, Cell::SECS_TB, Cell::DAYS_MIRROR_TB}},
        // the largest 64-bit count is far more days than the register holds
        CaptureFailureCase{"LargestCount", Cell::TOTAL_MIL_DAY, "86400000",
                           18446744073709551615u,
                           {Cell::YEARS_TB, Cell::MONTHS_TB, Cell::WEEKS_TB, Cell::DAYS_TB,
                            Cell::HOURS_TB, Cell::MINS_TB, Cell::SECS_TB,
                            Cell::DAYS_MIRROR_TB}}),
    [](const testing::TestParamInfo<CaptureFailureCase>& info) { return info.param.name; });

TEST_F(Cascade, WholeDaysBeyondTheRegisterWriteTheTextsFirst) {
  sheet.set_text(Cell::TOTAL_MIL_DAY, "0.001");
  EXPECT_THROW(capture_stage(sheet, 93784000), StageFailure);
  EXPECT_EQ(sheet.text(Cell::DAYS_TB), "93784000000");
  EXPECT_EQ(sheet.text(Cell::DAYS_MIRROR_TB), "93784000000");
}

struct LaterStageFailureCase {
  const char* name;
  Cell constant;
  const char* text;
  void (*stage)(Worksheet&);
  Stage stage_id;
  std::vector<Cell> written;
  Register unchanged_register;
};
void PrintTo(const LaterStageFailureCase& c, std::ostream* os) { *os << c.name; }


class LaterStageFailure : public Cascade,
                          public testing::WithParamInterface<LaterStageFailureCase> {};

TEST_P(LaterStageFailure, EndsAtTheFailingStep) {
  const LaterStageFailureCase& c = GetParam();
  ASSERT_EQ(round(93784000), "KQ-DADEDED: 1d, 2h, 3m, 4s");
  sheet.set_text(c.constant, c.text);
  const std::int32_t register_before = sheet.reg(c.unchanged_register);
  const auto before = snapshot();

  try {
    c.stage(sheet);
    FAIL() << "the stage ran to its end";
  } catch (const StageFailure& failure) {
    EXPECT_EQ(failure.stage(), c.stage_id);
  }
  std::vector<Cell> expected_changes = c.written;
  std::sort(expected_changes.begin(), expected_changes.end());
  EXPECT_EQ(changed_since(before), expected_changes);
  EXPECT_EQ(sheet.reg(c.unchanged_register), register_before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LaterStageFailure,
    testing::Values(
        // the product overflows at the first step: nothing written
        LaterStageFailureCase{"HugeMinuteFactor", Cell::MINS_60_TB, "1e308", minute_stage,
                              Stage::minute, {}, Register::MINUTES_WHOLE},
        // finite hours, but far below -2^31 once the huge days are taken off
        LaterStageFailureCase{"HugeHourFactor", Cell::HOURS_24_TB, "1e308", hour_stage,
                              Stage::hour, {Cell::HOURS_FULL, Cell::HOURS_LEFT_TB},
                              Register::HOURS_WHOLE},
        // the remainder reaches 2^31: three texts written, the register kept
        LaterStageFailureCase{"LargeSecondFactor", Cell::SECS_60_TB, "1e12", second_stage,
                              Stage::second,
                              {Cell::SECONDS_LEFT_TB, Cell::SECONDS_ROUNDED_TB,
                               Cell::SECONDS_DIFFERENCE_TB},
                              Register::SECONDS_WHOLE},
        // the hours beyond the days lie within 15-digit rounding of the
        // largest double: written, but the strict reading fails on them
        LaterStageFailureCase{"HoursBeyondDoubleRange", Cell::HOURS_TB,
                              "1.7976931348623157e308", hour_stage, Stage::hour,
                              {Cell::HOURS_LEFT_TB}, Register::HOURS_WHOLE}),
    [](const testing::TestParamInfo<LaterStageFailureCase>& info) { return info.param.name; });

TEST_F(Cascade, NextStageReadsWhatADriverSetBetweenRuns) {
  ASSERT_EQ(round(93784000), "KQ-DADEDED: 1d, 2h, 3m, 4s");
  sheet.set_text(Cell::HOURS_LEFT_TB, "7.55 hours");
  sheet.set_text(Cell::MINS_60_TB, "10");
  minute_stage(sheet);
  EXPECT_EQ(sheet.text(Cell::MINUTES_LEFT_X_60_TB), "75.5");
  EXPECT_EQ(sheet.text(Cell::MINUTES_ROUNDED_X_60_TB), "20");
  EXPECT_EQ(sheet.text(Cell::MINUTES_DIFFERENCE_ROUNDED_TB), "55");
  // a number beyond the double range, set where the capture wrote one
  sheet.set_text(Cell::HOURS_TB, "1e999");
  EXPECT_THROW(hour_stage(sheet), StageFailure);
}

TEST_F(Cascade, StageNamesLeadBackToTheirStages) {
  for (Stage stage : {Stage::capture, Stage::day, Stage::hour, Stage::minute, Stage::second,
                      Stage::display}) {
    EXPECT_EQ(stage_by_name(stage_name(stage)), stage);
  }
  EXPECT_EQ(stage_name(Stage::capture), "capture");
  EXPECT_EQ(stage_by_name("Capture"), std::nullopt);
}

}  // namespace
}  // namespace kq::engine
