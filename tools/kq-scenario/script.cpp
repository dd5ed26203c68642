#include "script.hpp"

namespace kq::scenario {

std::string_view Command::rest_after(std::size_t count) const {
  std::size_t at = 0;
  for (std::size_t i = 0; i < count; ++i) {
    at = text.find(' ', at);
    if (at == std::string::npos) return {};
    ++at;
  }
  return std::string_view(text).substr(at);
}

std::optional<Command> Script::next() {
  std::string text;
  while (std::getline(in_, text)) {
    ++line_;
    if (!text.empty() && text.back() == '\r') text.pop_back();  // a script saved with CRLF
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos || text[first] == '#') continue;

    Command command{line_, text, {}};
    std::size_t at = 0;
    while (at <= text.size()) {
      auto end = text.find(' ', at);
      if (end == std::string::npos) end = text.size();
      if (end > at) command.words.push_back(text.substr(at, end - at));
      at = end + 1;
    }
    return command;
  }
  return std::nullopt;
}

}  // namespace kq::scenario
