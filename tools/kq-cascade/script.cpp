#include "script.hpp"

#include <charconv>
#include <optional>
#include <string>
#include <string_view>

#include "kq/engine/cascade.hpp"
#include "kq/engine/numbers.hpp"
#include "kq/engine/worksheet.hpp"

namespace kq::tools {
namespace {

using engine::Cell;
using engine::Register;
using engine::Stage;
using engine::Worksheet;

struct BadLine {
  std::string_view reason;
};

// A command word and, after exactly one space, its argument (possibly empty).
struct Words {
  std::string_view command;
  std::optional<std::string_view> argument;
};

Words split_command(std::string_view line) {
  const std::size_t space = line.find(' ');
  if (space == std::string_view::npos) return {line, std::nullopt};
  return {line.substr(0, space), line.substr(space + 1)};
}

void expect_no_argument(const Words& words) {
  if (words.argument) throw BadLine{"unexpected argument"};
}

std::string_view single_argument(const Words& words) {
  if (!words.argument) throw BadLine{"missing argument"};
  return *words.argument;
}

std::uint64_t tick_count(std::string_view text) {
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') throw BadLine{"bad tick count"};
  }
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc{} || ptr != text.data() + text.size()) {
    throw BadLine{"bad tick count"};
  }
  return value;
}

Cell cell_named(std::string_view name) {
  const std::optional<Cell> cell = engine::cell_by_name(name);
  if (!cell) throw BadLine{"unknown cell"};
  return *cell;
}

class ScriptRunner {
 public:
  explicit ScriptRunner(std::ostream& out) : out_(out) {}

  void run(std::string_view line) {
    const Words words = split_command(line);
    if (const std::optional<Stage> stage = engine::stage_by_name(words.command)) {
      std::optional<std::uint64_t> ticks;
      if (*stage == Stage::capture) {
        ticks = tick_count(single_argument(words));
      } else {
        expect_no_argument(words);
      }
      run_stage(*stage, ticks.value_or(0));
    } else if (words.command == "new") {
      expect_no_argument(words);
      sheet_ = Worksheet();
      caption_.reset();
    } else if (words.command == "set") {
      // Everything after the space that follows the cell name, blanks included.
      const Words cell_and_text = split_command(single_argument(words));
      sheet_.set_text(cell_named(cell_and_text.command), cell_and_text.argument.value_or(""));
    } else if (words.command == "get") {
      out_ << sheet_.text(cell_named(single_argument(words))) << '\n';
    } else if (words.command == "reg") {
      const std::optional<Register> reg = engine::register_by_name(single_argument(words));
      if (!reg) throw BadLine{"unknown register"};
      out_ << engine::integer_text(sheet_.reg(*reg)) << '\n';
    } else if (words.command == "caption") {
      expect_no_argument(words);
      if (caption_) out_ << *caption_ << '\n';
    } else {
      throw BadLine{"unknown command"};
    }
  }

 private:
  void run_stage(Stage stage, std::uint64_t ticks) {
    try {
      switch (stage) {
        case Stage::capture: engine::capture_stage(sheet_, ticks); break;
        case Stage::day: engine::day_stage(sheet_); break;
        case Stage::hour: engine::hour_stage(sheet_); break;
        case Stage::minute: engine::minute_stage(sheet_); break;
        case Stage::second: engine::second_stage(sheet_); break;
        case Stage::display: caption_ = engine::compose_caption(sheet_); break;
      }
    } catch (const engine::StageFailure& failure) {
      out_ << "failed " << engine::stage_name(failure.stage()) << '\n';
    }
  }

  std::ostream& out_;
  Worksheet sheet_;
  std::optional<std::string> caption_;  // none until a display run
};

}  // namespace

int run_script(std::istream& in, std::ostream& out, std::ostream& err) {
  ScriptRunner runner(out);
  std::string line;
  for (long number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() == '#') continue;
    try {
      runner.run(line);
    } catch (const BadLine& bad) {
      out.flush();
      err << "kq-cascade: line " << number << ": " << bad.reason << ": " << line << '\n';
      return exit_bad_script;
    }
  }
  out.flush();
  return 0;
}

}  // namespace kq::tools
