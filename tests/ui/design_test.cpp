// The two window designs against the layout tables they were drawn from,
// transcribed here a second time row by row. The fields' texts are the
// worksheet's own and are checked against it rather than copied.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "kq/engine/worksheet.hpp"
#include "kq/ui/about_dialog.hpp"
#include "kq/ui/main_window.hpp"
#include "kq/ui/main_window_controls.hpp"

namespace {

using kq::platform::ControlDesign;
using kq::platform::ControlKind;
using kq::platform::WindowDesign;

std::vector<std::string> split(const std::string& row, char separator) {
  std::vector<std::string> fields;
  std::stringstream in(row);
  for (std::string field; std::getline(in, field, separator);) fields.push_back(field);
  return fields;
}

const ControlDesign* find(const WindowDesign& design, std::string_view name) {
  for (const auto& control : design.controls)
    if (control.name == name) return &control;
  return nullptr;
}

// One row: name|kind|text|left|top|width|height|tab|visible|value
struct Row {
  std::string name, kind, text;
  float left, top, width, height;
  int tab;
  bool visible;
  int value;
};

std::vector<Row> parse(const char* table) {
  std::vector<Row> rows;
  std::stringstream in(table);
  for (std::string line; std::getline(in, line);) {
    if (line.empty()) continue;
    auto f = split(line, '|');
    rows.push_back({f.at(0), f.at(1), f.at(2), std::stof(f.at(3)), std::stof(f.at(4)),
                    std::stof(f.at(5)), std::stof(f.at(6)), std::stoi(f.at(7)), f.at(8) == "shown",
                    std::stoi(f.at(9))});
  }
  return rows;
}

std::string kind_name(ControlKind kind) {
  switch (kind) {
    case ControlKind::text_field: return "field";
    case ControlKind::label: return "label";
    case ControlKind::tick_box: return "tick";
    case ControlKind::push_button: return "button";
    case ControlKind::line: return "line";
    case ControlKind::timer: return "timer";
  }
  return "?";
}

void expect_rows(const WindowDesign& design, const char* table) {
  const auto rows = parse(table);
  std::size_t drawn = 0;
  for (const auto& control : design.controls)
    if (control.kind != ControlKind::timer) ++drawn;
  EXPECT_EQ(drawn, rows.size()) << "controls besides timers";
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto* control = find(design, row.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(kind_name(control->kind), row.kind);
    if (row.kind != "field") {  // a field's text is its cell's, checked below
      EXPECT_EQ(control->text, row.text);
    }
    EXPECT_EQ(control->left, row.left);
    EXPECT_EQ(control->top, row.top);
    EXPECT_EQ(control->width, row.width);
    EXPECT_EQ(control->height, row.height);
    EXPECT_EQ(control->tab_index, row.tab);
    EXPECT_EQ(control->visible, row.visible);
    if (row.kind == "tick") {
      EXPECT_EQ(control->value, row.value);
    }
  }
}

// The line's width and height hold its second end.
constexpr const char* main_controls = R"(
START_LABEL|label|START|240|1560|855|255|16|hidden|0
Label9|label|SECONDS|240|2040|855|255|17|hidden|0
Label8|label|MINUTES|240|2520|855|255|18|hidden|0
Label7|label|HOURS|240|3000|855|255|19|hidden|0
Label6|label|DAYS|240|3480|855|255|20|hidden|0
Label5|label|WEEKS|240|3960|855|255|21|hidden|0
Label4|label|MONTHS|240|4440|855|255|22|hidden|0
Label3|label|YEARS|240|4920|855|255|23|hidden|0
Label13|label|RESULT|3840|1680|855|255|24|hidden|0
START_TB|field||1200|1440|2535|405|8|hidden|0
TOTAL_MIL_SEC|field||1200|2040|1215|375|15|hidden|0
TOTAL_MIL_MIN|field||1200|2520|1215|375|14|hidden|0
TOTAL_MIL_HOUR|field||1200|3000|1215|375|13|hidden|0
TOTAL_MIL_DAY|field||1200|3480|1215|375|12|hidden|0
TOTAL_MIL_WEEK|field||1200|3960|1215|375|11|hidden|0
TOTAL_MIL_MONTH|field||1200|4440|1215|375|10|hidden|0
TOTAL_MIL_YEAR|field||1200|4920|1215|375|9|hidden|0
SECS_TB|field||2640|2040|1935|375|7|hidden|0
MINS_TB|field||2640|2520|1935|375|4|hidden|0
HOURS_TB|field||2640|3000|1935|375|5|hidden|0
DAYS_TB|field||2640|3480|1935|375|6|hidden|0
WEEKS_TB|field||2640|3960|1935|375|3|hidden|0
MONTHS_TB|field||2640|4440|1935|375|2|hidden|0
YEARS_TB|field||2640|4920|1935|375|1|hidden|0
DAYS_MIRROR_TB|field||5280|1320|1935|375|29|hidden|0
DAYS_ROUNDED_TB|field||5280|1800|1935|375|40|hidden|0
HOURS_24_TB|field||7680|1320|375|375|39|hidden|0
HOURS_FULL|field||7320|1800|1215|375|38|hidden|0
HOURS_LEFT_TB|field||8640|1320|1935|375|37|hidden|0
HOURS_ROUNDED_TB|field||8640|1800|1935|375|36|hidden|0
MINS_60_TB|field||5760|2640|375|375|35|hidden|0
MINUTES_LEFT_X_60_TB|field||6240|2400|2895|375|34|hidden|0
MINUTES_ROUNDED_X_60_TB|field||6240|2880|2895|375|32|hidden|0
MINUTES_DIFFERENCE_LEFT_TB|field||9240|2400|2295|375|27|hidden|0
MINUTES_DIFFERENCE_ROUNDED_TB|field||9240|2880|2295|375|26|hidden|0
SECS_60_TB|field||5760|3720|375|375|33|hidden|0
SECONDS_LEFT_TB|field||6240|3480|2175|375|31|hidden|0
SECONDS_ROUNDED_TB|field||6240|3960|2175|375|30|hidden|0
SECONDS_DIFFERENCE_TB|field||8640|3720|2295|375|28|hidden|0
SECONDS_DIFFERENCE_ROUNDED_TB|field||8640|4200|2295|375|25|hidden|0
AlwaysOnTop_TICKBOX|tick|Always On Top|960|1080|1455|255|0|hidden|1
AUTOSTART_TICKBOX|tick|AutoStart|2880|1080|1095|255|41|hidden|1
Line1|line||5160|1320|5160|5400|-1|shown|0
)";

constexpr const char* about_controls = R"(
KQ_TITLE_1|label|RUVOREVA|120|120|2295|375|1|shown|0
KQ_TITLE_2|label|KQ-DADEDED|2520|120|2775|375|6|shown|0
KQ_TITLE_3|label|KQ-REZ|5400|120|1335|375|5|shown|0
VERSION_TEXTBOX|label|Version 1.0|6840|120|1695|375|3|shown|0
CREATOR_TEXTBOX|label|Created By Vudavo88|120|600|5175|375|2|shown|0
FREEWARE_TEXTBOX|label|!!! FREEWARE !!!|5400|600|3135|375|4|shown|0
AlwaysOnTop_TICKBOX|tick|Always On Top|840|1200|1575|495|8|shown|1
AUTOSTART_TICKBOX|tick|AutoStart|3720|1200|975|495|7|shown|1
OK_BUTTON|button|OK|6000|1200|2055|615|0|shown|0
)";

TEST(MainWindowDesign, Window) {
  const auto& design = kq::ui::main_window_design();
  EXPECT_EQ(design.name, "KQ_REZ_MAIN");
  EXPECT_EQ(design.caption, "KQ-DADEDED: 00000X, 00X, 00X, 000X,");
  EXPECT_EQ(design.client_width, 12060);
  EXPECT_EQ(design.client_height, 5730);
  EXPECT_TRUE(design.fixed_frame);
  EXPECT_FALSE(design.minimise_button);
  EXPECT_FALSE(design.maximise_button);
  EXPECT_FALSE(design.taskbar_entry);
  EXPECT_TRUE(design.manual_position);
}

TEST(MainWindowDesign, EveryControlAsLaidOut) {
  expect_rows(kq::ui::main_window_design(), main_controls);
}

TEST(MainWindowDesign, NoControlSetsItsOwnLook) {
  for (const auto& control : kq::ui::main_window_design().controls) {
    SCOPED_TRACE(control.name);
    EXPECT_FALSE(control.back_colour || control.text_colour || control.font || control.centred);
  }
}

// Due timers are served in design order, so the order is part of the design.
TEST(MainWindowDesign, TimersInOrderWithNoInterval) {
  struct Expected {
    std::string_view name;
    bool enabled;
  };
  namespace names = kq::ui::main_controls;
  const std::vector<Expected> expected{
      {names::AlwaysOnTopTimer, true},     {names::UPTIME_TIMER, true},
      {names::DAY_UPTIME_TIMER, false},    {names::HOUR_UPTIME_TIMER, false},
      {names::MINUTE_UPTIME_TIMER, false}, {names::SECOND_UPTIME_TIMER, false},
      {names::KQ_DISPLAY_UPDATE_TIMER, true}, {names::TOTALS_TIMER, false}};
  std::vector<const ControlDesign*> timers;
  for (const auto& control : kq::ui::main_window_design().controls)
    if (control.kind == ControlKind::timer) timers.push_back(&control);
  ASSERT_EQ(timers.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(timers[i]->name, expected[i].name);
    EXPECT_EQ(timers[i]->enabled, expected[i].enabled);
    EXPECT_EQ(timers[i]->interval, 0);
    EXPECT_EQ(timers[i]->tab_index, -1);
  }
}

// The fields are the worksheet's cells: the same 31 names and initial texts.
TEST(MainWindowDesign, FieldsAreTheWorksheetCells) {
  std::set<std::string_view> fields;
  for (const auto& control : kq::ui::main_window_design().controls) {
    if (control.kind != ControlKind::text_field) continue;
    SCOPED_TRACE(control.name);
    fields.insert(control.name);
    auto cell = kq::engine::cell_by_name(control.name);
    ASSERT_TRUE(cell.has_value());
    EXPECT_EQ(control.text, kq::engine::cell_initial_text(*cell));
  }
  EXPECT_EQ(fields.size(), kq::engine::cell_count);
}

TEST(AboutDialogDesign, Window) {
  const auto& design = kq::ui::about_dialog_design();
  EXPECT_EQ(design.name, "KQ_REZ_ABOUT");
  EXPECT_EQ(design.caption, "KQ-DADEDED - ABOUT");
  EXPECT_EQ(design.client_width, 8640);
  EXPECT_EQ(design.client_height, 2040);
  EXPECT_TRUE(design.fixed_frame);
  EXPECT_FALSE(design.minimise_button);
  EXPECT_FALSE(design.maximise_button);
  EXPECT_TRUE(design.taskbar_entry);
  EXPECT_FALSE(design.manual_position);
}

TEST(AboutDialogDesign, EveryControlAsLaidOut) {
  expect_rows(kq::ui::about_dialog_design(), about_controls);
}

TEST(AboutDialogDesign, LabelsAreGreenArialOnBlackCentred) {
  for (const auto& control : kq::ui::about_dialog_design().controls) {
    SCOPED_TRACE(control.name);
    if (control.kind != ControlKind::label) {
      EXPECT_FALSE(control.back_colour || control.text_colour || control.font || control.centred);
      continue;
    }
    EXPECT_EQ(control.back_colour, (kq::platform::Rgb{0, 0, 0}));
    EXPECT_EQ(control.text_colour, (kq::platform::Rgb{0, 255, 0}));
    ASSERT_TRUE(control.font.has_value());
    EXPECT_EQ(control.font->face, "Arial");
    EXPECT_EQ(control.font->points, 12);
    EXPECT_EQ(control.font->weight, 700);
    EXPECT_FALSE(control.font->italic || control.font->underline || control.font->strikeout);
    EXPECT_EQ(control.font->charset, 0);
    EXPECT_TRUE(control.centred);
  }
}

// Names are how every behaviour finds a control: none may repeat, and no two
// controls that can take the focus share a tab index.
TEST(Designs, NamesAndTabIndexesAreUnique) {
  for (const auto* design : {&kq::ui::main_window_design(), &kq::ui::about_dialog_design()}) {
    SCOPED_TRACE(design->name);
    std::set<std::string_view> names;
    std::set<int> tabs;
    for (const auto& control : design->controls) {
      EXPECT_TRUE(names.insert(control.name).second) << control.name;
      if (control.tab_index >= 0) {
        EXPECT_TRUE(tabs.insert(control.tab_index).second) << control.name;
      }
    }
  }
}

}  // namespace
