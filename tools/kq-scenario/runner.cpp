#include "runner.hpp"

#include <charconv>
#include <exception>
#include <map>

#include "kq/engine/worksheet.hpp"
#include "kq/settings/values.hpp"
#include "kq/ui/about_dialog.hpp"

namespace kq::scenario {

namespace {

using platform::Key;

std::uint64_t whole_number(const Command& command, std::string_view text) {
  std::uint64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty())
    throw ScriptError{command.line, "not a whole number: " + std::string(text)};
  return value;
}

float twips(const Command& command, std::string_view text) {
  float value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty())
    throw ScriptError{command.line, "not a number: " + std::string(text)};
  return value;
}

void expect_words(const Command& command, std::size_t count) {
  if (command.words.size() != count)
    throw ScriptError{command.line, "expected " + std::to_string(count - 1) + " argument(s): " + command.text};
}

// "about.OK_BUTTON" -> {"about", "OK_BUTTON"}; "main" -> {"main", ""}.
std::pair<std::string_view, std::string_view> split_target(std::string_view target) {
  const auto dot = target.find('.');
  if (dot == std::string_view::npos) return {target, {}};
  return {target.substr(0, dot), target.substr(dot + 1)};
}

void expect_window_name(const Command& command, std::string_view window) {
  if (window != "main" && window != "about")
    throw ScriptError{command.line, "no window called " + std::string(window)};
}

Key key_named(const Command& command, std::string_view name) {
  static const std::map<std::string_view, Key> keys{
      {"Tab", Key::tab}, {"Space", Key::space}, {"Enter", Key::enter}, {"Escape", Key::escape}};
  auto found = keys.find(name);
  if (found == keys.end()) throw ScriptError{command.line, "no key called " + std::string(name)};
  return found->second;
}

}  // namespace

Runner::Runner(Script& script, std::ostream& log, std::ostream& errors)
    : script_(script), log_(log), errors_(errors), recording_(store_, [this](std::string_view text) { line(text); }) {
  // The script's names of the program's two windows; the main window's
  // caption is the program's output.
  sim_.name_window(ui::main_window_design().name, "main", platform::sim::SimPlatform::Caption::logged);
  sim_.name_window(ui::about_dialog_design().name, "about");
  sim_.set_event_sink([this](std::string_view text) { line(text); });
  sim_.set_failure_sink([this](std::string_view what) {
    errors_ << "kq-scenario: line " << current_line_ << ": failure: " << what << '\n';
  });
  sim_.set_driver([this] { return step(); });
}

void Runner::line(std::string_view text) { log_ << text << '\n'; }

void Runner::run() {
  while (step()) {
  }
  log_.flush();
}

bool Runner::step() {
  auto command = script_.next();
  if (!command) return false;
  current_line_ = command->line;
  try {
    execute(*command);
  } catch (const std::exception& failure) {
    // A behaviour run outside any message loop failed (the load at start).
    errors_ << "kq-scenario: line " << command->line << ": failure: " << failure.what() << '\n';
  }
  log_.flush();
  return true;
}

void Runner::execute(const Command& command) {
  const auto& words = command.words;
  const std::string_view verb = words.front();

  if (verb == "program") {
    expect_words(command, 2);
    store_.set_program(words[1]);
  } else if (verb == "stored") {
    if (words.size() < 2) throw ScriptError{command.line, "stored needs a key: " + command.text};
    store_.put(words[1], command.rest_after(2));
  } else if (verb == "ticks") {
    expect_words(command, 2);
    sim_.set_tick_count(whole_number(command, words[1]));
  } else if (verb == "start") {
    expect_words(command, 1);
    start(command);
  } else if (verb == "wait") {
    expect_words(command, 2);
    sim_.advance(whole_number(command, words[1]));
  } else if (verb == "front") {
    expect_words(command, 2);
    if (words[1] != "main" && words[1] != "about" && words[1] != "other" && words[1] != "none")
      throw ScriptError{command.line, "front takes main, about, other or none: " + command.text};
    sim_.set_foreground(words[1]);
  } else if (verb == "dblclick") {
    expect_words(command, 2);
    auto [window, control] = split_target(words[1]);
    expect_window_name(command, window);
    if (control.empty())
      sim_.double_click(window);
    else
      sim_.double_click(window, control);
  } else if (verb == "click") {
    expect_words(command, 2);
    auto [window, control] = split_target(words[1]);
    expect_window_name(command, window);
    if (control.empty()) throw ScriptError{command.line, "click needs WINDOW.CONTROL: " + command.text};
    sim_.click(window, control);
  } else if (verb == "key") {
    expect_words(command, 3);
    expect_window_name(command, words[1]);
    sim_.key(words[1], key_named(command, words[2]));
  } else if (verb == "close") {
    expect_words(command, 2);
    expect_window_name(command, words[1]);
    sim_.close(words[1]);
  } else if (verb == "move") {
    expect_words(command, 4);
    expect_window_name(command, words[1]);
    sim_.move(words[1], twips(command, words[2]), twips(command, words[3]));
  } else if (verb == "show") {
    expect_words(command, 2);
    show(command);
  } else {
    throw ScriptError{command.line, "unknown command: " + command.text};
  }
}

void Runner::start(const Command& command) {
  if (main_ && !main_->closed()) throw ScriptError{command.line, "the program is already running"};
  main_ = std::make_unique<ui::MainWindow>(sim_, recording_);
  try {
    main_->show();
  } catch (...) {
    main_.reset();  // a load that failed leaves no program running
    throw;
  }
  sim_.run(*main_);
  // The main window has closed (the program ended) or the script has; a
  // later start begins a new run of the program.
  if (main_->closed()) main_.reset();
}

void Runner::show(const Command& command) {
  const std::string& what = command.words[1];
  if (what == "store") {
    show_store();
    return;
  }
  if (what == "caption") {
    if (!main_) throw ScriptError{command.line, "the program is not running"};
    line("caption = " + main_->caption());
    return;
  }
  if (what == "focus") {
    std::string_view active_name = "about";
    platform::Window* active = sim_.window(active_name);
    if (active == nullptr) active = sim_.window(active_name = "main");
    platform::Control* focus = active != nullptr ? active->focus() : nullptr;
    line(focus == nullptr ? std::string("focus = none")
                          : "focus = " + std::string(active_name) + "." + std::string(focus->name()));
    return;
  }
  auto [window, item] = split_target(what);
  expect_window_name(command, window);
  if (item.empty()) throw ScriptError{command.line, "show needs WINDOW.ITEM: " + command.text};
  line(what + " = " + show_window_item(command, window, item));
}

std::string Runner::show_window_item(const Command& command, std::string_view window_name,
                                     std::string_view item) {
  platform::Window* window = sim_.window(window_name);
  if (window == nullptr) throw ScriptError{command.line, std::string(window_name) + " is not open"};

  if (window == main_.get()) {
    // The registers are no controls; the cells are, as the window's text fields.
    if (auto reg = engine::register_by_name(item)) return std::to_string(main_->worksheet().reg(*reg));
  }
  using settings::placement_text;
  if (item == "Left") return placement_text(window->left());
  if (item == "Top") return placement_text(window->top());
  if (item == "Width") return placement_text(window->width());
  if (item == "Height") return placement_text(window->height());
  if (item == "caption") return window->caption();
  if (item == "topmost") return sim_.topmost(window->handle()) ? "1" : "0";

  for (const auto& control : window->controls()) {
    if (control->name() != item) continue;
    if (auto* box = dynamic_cast<platform::TickBox*>(control.get())) return std::to_string(box->value());
    if (auto* label = dynamic_cast<platform::Label*>(control.get())) return label->caption();
    if (auto* field = dynamic_cast<platform::TextField*>(control.get())) return field->text();
    if (auto* timer = dynamic_cast<platform::Timer*>(control.get()))
      return std::string(timer->enabled() ? "on" : "off") + " interval " + std::to_string(timer->interval());
    return std::string(control->design().text);
  }
  throw ScriptError{command.line, "no " + std::string(item) + " in " + std::string(window_name)};
}

void Runner::show_store() {
  const auto lines = store_.content_lines();
  if (lines.empty()) {
    line("store = (empty)");
    return;
  }
  for (const auto& entry : lines) {
    const auto equals = entry.find('=');
    line("store." + entry.substr(0, equals) + " = " + entry.substr(equals + 1));
  }
}

}  // namespace kq::scenario
