// The worksheet's names, initial texts and registers.

#include <gtest/gtest.h>

#include "kq/engine/numbers.hpp"
#include "kq/engine/worksheet.hpp"

namespace kq::engine {
namespace {

constexpr Cell first_working_cell = Cell::START_TB;

std::vector<Cell> all_cells() {
  std::vector<Cell> cells;
  for (std::size_t i = 0; i < cell_count; ++i) cells.push_back(static_cast<Cell>(i));
  return cells;
}

bool is_working(Cell cell) { return cell >= first_working_cell; }

TEST(Worksheet, StartsWithTheInitialTexts) {
  const Worksheet sheet;
  EXPECT_EQ(sheet.text(Cell::START_TB), "START_TB");
  EXPECT_EQ(sheet.text(Cell::HOURS_FULL), "HOURS_FULL");
  EXPECT_EQ(sheet.text(Cell::HOURS_24_TB), "24");
  EXPECT_EQ(sheet.text(Cell::MINS_60_TB), "60");
  EXPECT_EQ(sheet.text(Cell::SECS_60_TB), "60");
  EXPECT_EQ(sheet.text(Cell::TOTAL_MIL_SEC), "1000");
  EXPECT_EQ(sheet.text(Cell::TOTAL_MIL_MIN), "60000");
  EXPECT_EQ(sheet.text(Cell::TOTAL_MIL_HOUR), "3600000");
  EXPECT_EQ(sheet.text(Cell::TOTAL_MIL_DAY), "86400000");
  EXPECT_EQ(sheet.text(Cell::TOTAL_MIL_WEEK), "604800000");
  EXPECT_EQ(sheet.text(Cell::TOTAL_MIL_MONTH), "2419200000");
  EXPECT_EQ(sheet.text(Cell::TOTAL_MIL_YEAR), "31536000000");
  for (Register reg : {Register::DAYS_WHOLE, Register::HOURS_WHOLE, Register::MINUTES_WHOLE,
                       Register::SECONDS_WHOLE}) {
    EXPECT_EQ(sheet.reg(reg), 0) << register_name(reg);
  }
}

TEST(Worksheet, WorkingCellsStartAsTheirOwnNameAndReadAsNoNumber) {
  const Worksheet sheet;
  int working = 0;
  for (Cell cell : all_cells()) {
    if (!is_working(cell)) continue;
    ++working;
    EXPECT_EQ(sheet.text(cell), cell_name(cell));
    EXPECT_EQ(lenient_read(sheet.text(cell)), 0.0) << cell_name(cell);
    EXPECT_FALSE(strict_read(sheet.text(cell)).has_value()) << cell_name(cell);
  }
  EXPECT_EQ(working, 21);
}

TEST(Worksheet, NamesLeadBackToTheirCellsAndRegisters) {
  for (Cell cell : all_cells()) EXPECT_EQ(cell_by_name(cell_name(cell)), cell);
  for (std::size_t i = 0; i < register_count; ++i) {
    const auto reg = static_cast<Register>(i);
    EXPECT_EQ(register_by_name(register_name(reg)), reg);
  }
  EXPECT_EQ(cell_by_name("start_tb"), std::nullopt);  // names are exact
  EXPECT_EQ(cell_by_name(""), std::nullopt);
  EXPECT_EQ(register_by_name("DAYS_TB"), std::nullopt);
}

TEST(Worksheet, WritesReplaceTheWholeTextAndTouchNothingElse) {
  Worksheet sheet;
  sheet.set_text(Cell::DAYS_TB, "letters, not a number");
  sheet.set_text(Cell::DAYS_MIRROR_TB, sheet.text(Cell::DAYS_TB));
  EXPECT_EQ(sheet.text(Cell::DAYS_MIRROR_TB), "letters, not a number");
  sheet.set_text(Cell::DAYS_TB, "");
  EXPECT_EQ(sheet.text(Cell::DAYS_TB), "");
  EXPECT_EQ(sheet.text(Cell::DAYS_MIRROR_TB), "letters, not a number");
  sheet.set_reg(Register::HOURS_WHOLE, -7);
  EXPECT_EQ(sheet.reg(Register::HOURS_WHOLE), -7);
  EXPECT_EQ(sheet.reg(Register::DAYS_WHOLE), 0);
}

TEST(Worksheet, UnitTotalsDivideIntoWholeDays) {
  const Worksheet sheet;
  const double day = lenient_read(sheet.text(Cell::TOTAL_MIL_DAY));
  EXPECT_EQ(lenient_read(sheet.text(Cell::TOTAL_MIL_MONTH)) / day, 28.0);
  EXPECT_EQ(lenient_read(sheet.text(Cell::TOTAL_MIL_YEAR)) / day, 365.0);
  EXPECT_EQ(lenient_read(sheet.text(Cell::TOTAL_MIL_WEEK)) / day, 7.0);
}

}  // namespace
}  // namespace kq::engine
