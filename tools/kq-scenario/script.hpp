#pragma once
// One command of a scenario script: a line of words separated by single
// spaces; `#` lines and empty lines carry no command.

#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kq::scenario {

struct Command {
  int line = 0;
  std::string text;                // the whole line
  std::vector<std::string> words;  // split at single spaces
  // Everything after the first `count` words and the space that follows them.
  std::string_view rest_after(std::size_t count) const;
};

// A mistake in the script itself: reported and the run ends with status 2.
// Not a std::exception, so that nothing on the way out takes it for a
// failure of a behaviour.
struct ScriptError {
  int line;
  std::string message;
};

class Script {
 public:
  explicit Script(std::istream& in) : in_(in) {}
  // The next command, or nullopt at the end of the input.
  std::optional<Command> next();

 private:
  std::istream& in_;
  int line_ = 0;
};

}  // namespace kq::scenario
